// The screens that add, edit and delete entries of the Own category.
#pragma once

void AddOsScreen();
void EditOsScreen();
void DeleteOsScreen();
