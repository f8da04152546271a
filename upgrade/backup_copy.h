#pragma once
// The backup kept of a product database before its first change: the file as
// it was, under its name with ".bak" added. Kept only as a regular file of our
// own: a link, FIFO or folder at the backup name (or at the name its copy is
// made under, ".bak.partial") refuses the file's upgrade, so the old database
// is never written through a link and no upgrade goes on without its backup.

#include <filesystem>

namespace upgrade {

// The backup kept of a product database file: the same name with ".bak" added.
std::filesystem::path backupPathFor(const std::filesystem::path& file);

// Keeps `file` as it is under backupPathFor(file). Returns false when a backup
// (a regular file) was kept by an earlier upgrade; it is never overwritten.
// Throws jet::Error naming the file: ForeignFile when something else takes
// the backup's name, DiskFull, ReadOnly or Io when the copy cannot be made.
// A failed copy leaves nothing behind.
bool keepBackup(const std::filesystem::path& file);

}  // namespace upgrade
