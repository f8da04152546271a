#pragma once
// The user's local application-data folder (%LOCALAPPDATA%) and the system
// drive, as Windows paths in UTF-8, wherever the products are looked up.
// File virtualisation keeps its per-user copies below that folder
// (program_files.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace upgrade {

// On Windows: the local application-data folder of the user running this
// program (the shell's known folder, else %LOCALAPPDATA%); nothing elsewhere
// or when neither tells. An elevated run of the patch keeps the profile of the
// user who started it, whose VirtualStore the products read.
std::optional<std::string> nativeLocalAppData();
// The drive Windows runs from ('c' unless told otherwise); 'c' elsewhere.
char nativeSystemDrive();

// The user name Wine gives its user profile: $USER, else the account's name.
std::string wineUserName();
// Where a Wine prefix keeps that user's local application data, as seen from
// Windows programs: "C:\users\<user>\AppData\Local" in current prefixes,
// "C:\users\<user>\Local Settings\Application Data" in old ones.
std::vector<std::string> wineLocalAppDataCandidates(std::string_view userName);

}  // namespace upgrade
