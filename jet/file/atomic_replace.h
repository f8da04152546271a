#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace jet {

// Name of the temporary file a commit writes beside the database before replacing it.
std::string replacementPath(const std::string& path);

// Called before each step of a replacement (each chunk written, the flush, the rename); lets
// tests stop the process at any of them. Null by default.
using ReplaceProbe = std::function<void(const char* step)>;
void setReplaceProbe(ReplaceProbe probe);

// Replaces the file at `path` with `image` so that the file is always either the old one or the
// complete new one: the image goes to a temporary file in the same folder, which is flushed to
// the disk and then renamed over the target in one step (MoveFileExW on Windows). The new file
// keeps the old one's permissions (on Windows its attributes). On failure the temporary file is
// removed and Error names the file and the cause: DiskFull when there was no room for the new
// file, Io otherwise; the old file is intact.
void replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& image);

// The same for a file that must not exist yet: the new file appears complete or not at all, and
// when something takes the name meanwhile it is left alone and Error(InvalidArgument) is raised.
void createFileAtomically(const std::string& path, const std::vector<std::uint8_t>& image);

}  // namespace jet
