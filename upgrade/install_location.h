#pragma once
// Where an installation directory of the catalogue is on this machine.
//
// The catalogue names Windows paths ("D:\Program Files\…"). On Windows they
// are used as they are, through the wide-character file API so that any system
// locale works. On Linux the products live in a Wine prefix: "X:\a\b" is
// looked up as <prefix>/dosdevices/x:/a/b, where <prefix> is $WINEPREFIX or
// else ~/.wine, and every component is matched case-insensitively as Wine does.

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace upgrade {

// The local folder that stands for a drive letter ('a'..'z'), if the drive exists.
using DriveRoots = std::function<std::optional<std::filesystem::path>(char drive)>;

// Drives of a Wine prefix: <prefix>/dosdevices/<letter>: (matched without regard to case).
DriveRoots wineDrives(std::filesystem::path winePrefix);
// The machine's own drives: "X:\" on Windows; none elsewhere.
DriveRoots nativeDrives();
// Drives given one by one, each a local folder (for tests and demos).
DriveRoots mappedDrives(std::map<char, std::filesystem::path> roots);

// Resolves a Windows path ("X:\dir\file") to an existing file or directory
// below the root of its drive, matching every component exactly or else
// without regard to case. Nothing when the drive does not exist, a component
// is missing, or the path is not an absolute drive path.
std::optional<std::filesystem::path> resolveWindowsPath(std::string_view windowsPath, const DriveRoots& drives);

// The Wine prefix that Windows paths resolve into on this machine, from
// $WINEPREFIX or else $HOME/.wine; empty when neither is set.
std::filesystem::path defaultWinePrefix();

// Path of the file of an installation directory: directory + fileName, where
// fileName is written with its leading backslash ("\Tgcode.dll"). Returns
// nothing when no such regular file exists: "not installed", never an error.
std::optional<std::filesystem::path> findInstalledFile(std::string_view directory, std::string_view fileName,
                                                      const DriveRoots& drives);

}  // namespace upgrade
