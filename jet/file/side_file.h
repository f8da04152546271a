#pragma once

#include <string>

namespace jet {

// Files the engine and the upgrade keep beside a database (the replacement a commit writes, the
// writer's lock file, the backup copy) are taken only as regular files of their own. Whatever
// else sits at such a name (a symbolic link, a FIFO, a folder, a device, on Windows a reparse
// point) is never opened, followed, written or removed: the database's write is refused with
// Error(ForeignFile) naming that entry, so a planted link cannot redirect a write and a FIFO
// cannot stall the run.

// What is at a name, seen without following a link.
enum class SideEntry { Absent, RegularFile, Other };
SideEntry sideEntryAt(const std::string& sidePath);

// Throws Error(ForeignFile) for `databasePath`, naming the entry at `sidePath`.
[[noreturn]] void refuseForeignEntry(const std::string& databasePath, const std::string& sidePath);

// Removes a regular file an interrupted run left at `sidePath`; refuses anything else there.
// Nothing at the name is fine.
void removeLeftoverSideFile(const std::string& databasePath, const std::string& sidePath);

// A side file created by this call and by no one else: creation fails when anything at all
// exists at the name, and a link there is never followed (O_CREAT|O_EXCL|O_NOFOLLOW on POSIX,
// CREATE_NEW on Windows, which does not follow a reparse point it would have to create).
// The file is open for reading and writing and is closed when this object goes.
class ExclusiveSideFile {
public:
    // `mode` is the new file's permission bits on POSIX (before the umask), its attributes
    // (FILE_ATTRIBUTE_...) on Windows; 0 gives 0644 or normal attributes. A name already taken is
    // refused with Error(ForeignFile) when it is not a regular file, with Error(Io) otherwise
    // (another run made it just now); no room is Error(DiskFull).
    ExclusiveSideFile(const std::string& databasePath, const std::string& sidePath, unsigned mode = 0);
    ~ExclusiveSideFile();
    ExclusiveSideFile(const ExclusiveSideFile&) = delete;
    ExclusiveSideFile& operator=(const ExclusiveSideFile&) = delete;

    const std::string& path() const { return sidePath_; }
#ifdef _WIN32
    void* handle() const { return handle_; }
#else
    int descriptor() const { return fd_; }
#endif
    // Closes the file now; returns false (errno / GetLastError set) when closing failed, which
    // some file systems use to report a full disk.
    bool close();

private:
    std::string sidePath_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace jet
