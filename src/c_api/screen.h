// Portable screen helpers built on the console routines: centring and the standard header.
#pragma once
#include <string>

std::string CenterText(const std::string& text, int width);
// The four lines of the product-name lettering (44, 45, 45 and 45 characters wide).
extern const char* const LogoLines[4];
// Clears the screen and draws the logo, an empty line and the centred title.
void ShowHeader(const std::string& title);
