#include "jet/file/side_file.h"

#include <cerrno>
#include <cstring>

#include "jet/error.h"
#include "jet/file/native_path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace jet {

void refuseForeignEntry(const std::string& databasePath, const std::string& sidePath) {
    throw Error(ErrorKind::ForeignFile, databasePath, "",
                sidePath + " is not a file of this program (a link, FIFO, folder or the like); it was left alone and nothing was written. "
                           "Remove it and try again");
}

#ifdef _WIN32

namespace {
std::string windowsErrorText(DWORD code) { return "error " + std::to_string(code); }
}  // namespace

SideEntry sideEntryAt(const std::string& sidePath) {
    // Attributes of the name itself: a symbolic link or junction reports itself as a reparse point.
    const DWORD attributes = GetFileAttributesW(nativePath(sidePath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? SideEntry::Absent : SideEntry::Other;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) return SideEntry::Other;
    return SideEntry::RegularFile;
}

void removeLeftoverSideFile(const std::string& databasePath, const std::string& sidePath) {
    switch (sideEntryAt(sidePath)) {
    case SideEntry::Absent: return;
    case SideEntry::Other: refuseForeignEntry(databasePath, sidePath);
    case SideEntry::RegularFile: break;
    }
    // A read-only attribute would make the delete fail; the file is ours, so it goes.
    SetFileAttributesW(nativePath(sidePath).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(nativePath(sidePath).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw Error(ErrorKind::Io, databasePath, "", "cannot remove " + sidePath + " left by an interrupted run (" + windowsErrorText(GetLastError()) + ")");
}

ExclusiveSideFile::ExclusiveSideFile(const std::string& databasePath, const std::string& sidePath, unsigned mode) : sidePath_(sidePath) {
    const DWORD attributes = mode == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(mode);
    // CREATE_NEW fails on any existing name, a reparse point included, so nothing is followed.
    HANDLE handle = CreateFileW(nativePath(sidePath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS || code == ERROR_ACCESS_DENIED) {
            if (sideEntryAt(sidePath) == SideEntry::Other) refuseForeignEntry(databasePath, sidePath);
            if (code != ERROR_ACCESS_DENIED)
                throw Error(ErrorKind::Io, databasePath, "", "cannot create " + sidePath + ": another run made it just now");
        }
        const ErrorKind kind = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL ? ErrorKind::DiskFull : ErrorKind::Io;
        throw Error(kind, databasePath, "", "cannot create " + sidePath + " (" + windowsErrorText(code) + ")");
    }
    handle_ = handle;
}

ExclusiveSideFile::~ExclusiveSideFile() { close(); }

bool ExclusiveSideFile::close() {
    if (!handle_) return true;
    const bool closed = CloseHandle(static_cast<HANDLE>(handle_)) != 0;
    handle_ = nullptr;
    return closed;
}

#else

SideEntry sideEntryAt(const std::string& sidePath) {
    struct stat entry {};
    if (::lstat(sidePath.c_str(), &entry) != 0) return errno == ENOENT || errno == ENOTDIR ? SideEntry::Absent : SideEntry::Other;
    return S_ISREG(entry.st_mode) ? SideEntry::RegularFile : SideEntry::Other;
}

void removeLeftoverSideFile(const std::string& databasePath, const std::string& sidePath) {
    switch (sideEntryAt(sidePath)) {
    case SideEntry::Absent: return;
    case SideEntry::Other: refuseForeignEntry(databasePath, sidePath);
    case SideEntry::RegularFile: break;
    }
    // unlink removes the name itself and never follows a link; should a link have replaced the
    // file since it was looked at, only that link goes.
    if (::unlink(sidePath.c_str()) != 0 && errno != ENOENT)
        throw Error(ErrorKind::Io, databasePath, "", "cannot remove " + sidePath + " left by an interrupted run: " + std::strerror(errno));
}

ExclusiveSideFile::ExclusiveSideFile(const std::string& databasePath, const std::string& sidePath, unsigned mode) : sidePath_(sidePath) {
    // O_NONBLOCK keeps a FIFO from stalling the open, should one appear between the checks.
    const int fd = ::open(sidePath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK,
                          static_cast<mode_t>(mode == 0 ? 0644 : mode));
    if (fd < 0) {
        const int error = errno;
        if (error == EEXIST || error == ELOOP || error == EISDIR) {
            if (sideEntryAt(sidePath) != SideEntry::RegularFile) refuseForeignEntry(databasePath, sidePath);
            throw Error(ErrorKind::Io, databasePath, "", "cannot create " + sidePath + ": another run made it just now");
        }
        const ErrorKind kind = error == ENOSPC || error == EDQUOT ? ErrorKind::DiskFull
                               : error == EROFS || error == EACCES || error == EPERM ? ErrorKind::ReadOnly
                                                                                     : ErrorKind::Io;
        throw Error(kind, databasePath, "", "cannot create " + sidePath + ": " + std::strerror(error));
    }
    // Back to ordinary blocking writes on the regular file just made.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
}

ExclusiveSideFile::~ExclusiveSideFile() { close(); }

bool ExclusiveSideFile::close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

#endif

}  // namespace jet
