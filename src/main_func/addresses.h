// The product's fixed web addresses, in one place.
#pragma once

inline constexpr const char* HomepageUrl = "https://quillhaven.example.org/programs";
inline constexpr const char* BugReportUrl =
    "https://quillhaven.example.org/programs/bugreport/index.php?app=Quillhaven";
// Base address of the update server, ending in "/".
inline constexpr const char* UpdateServerUrl = "https://update.quillhaven.example.org/";
// HomepageUrl without its scheme, as shown on screens.
inline constexpr const char* HomepageText = "quillhaven.example.org/programs";
// The program versions come from the build: main_func/version.h.
