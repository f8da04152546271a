#pragma once
// The other places where Windows keeps a product that the catalogue lists
// under "X:\Program Files\…".
//
// On 64-bit Windows (and in a 64-bit Wine prefix) a 32-bit installer puts the
// product under "X:\Program Files (x86)\…" instead; the catalogue's rows were
// written before that folder existed, so each "Program Files" row stands for
// both folders.
//
// Windows' file virtualisation: a program without administrator rights that
// writes to a file below the system drive's Program Files folders gets a copy
// of it in "%LOCALAPPDATA%\VirtualStore\<the path without its drive>", and
// from then on reads that copy instead of the installed file.
//
// These functions only compute paths (Windows paths in UTF-8); whether the
// folders exist is for the installation to find out.

#include <optional>
#include <string>
#include <string_view>

namespace upgrade {

inline constexpr std::string_view kProgramFiles = "Program Files";
inline constexpr std::string_view kProgramFilesX86 = "Program Files (x86)";
inline constexpr std::string_view kVirtualStore = "VirtualStore";

// "X:\Program Files\rest" → "X:\Program Files (x86)\rest" (the folder name
// matched without regard to case). Nothing for a directory elsewhere.
std::optional<std::string> programFilesX86Twin(std::string_view directory);

// The folder in which file virtualisation keeps the copies of a directory's
// files: for "C:\Program Files\rest" or "C:\Program Files (x86)\rest" on the
// system drive, localAppData + "\VirtualStore\Program Files…\rest". Nothing
// for directories that Windows does not virtualise (other drives, other
// folders) or when localAppData is empty.
std::optional<std::string> virtualStoreFolder(std::string_view directory, std::string_view localAppData,
                                              char systemDrive);

}  // namespace upgrade
