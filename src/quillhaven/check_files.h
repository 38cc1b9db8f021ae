// The start-up self-check of the tool files, and the bootstrap of a missing updater.
#pragma once

void CheckFiles();
