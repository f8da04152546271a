#include "jet/file_lock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "jet/error.h"
#include "jet/native_path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace jet {

namespace fs = std::filesystem;

std::string jetLockFilePath(const std::string& databasePath) {
    // Through UTF-8 both ways: on Windows a path made from a plain string would take it as ANSI
    // text and garble the Chinese folder names.
    fs::path path = nativePath(databasePath);
    path.replace_extension(".ldb");
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

std::string writerLockPath(const std::string& databasePath) { return databasePath + ".jet-lock"; }

namespace {
const char kInUseAdvice[] = "close the program that uses it (Access or the product) and try again";
}  // namespace

#ifdef _WIN32

WriterLock::WriterLock(const std::string& databasePath) : lockPath_(writerLockPath(databasePath)) {
    const fs::path path = fs::u8path(lockPath_);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            throw Error(ErrorKind::InUse, databasePath, "", "another copy of this program is writing the database (lock file " + lockPath_ + ")");
        throw Error(ErrorKind::Io, databasePath, "", "cannot create the lock file " + lockPath_ + " (error " + std::to_string(GetLastError()) + ")");
    }
    handle_ = handle;
}

WriterLock::~WriterLock() {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));   // deletes the file on close
}

void checkWritable(const std::string& databasePath) {
    const fs::path path = fs::u8path(databasePath);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Error(ErrorKind::Io, databasePath, "", "the file does not exist or cannot be read");
    if (fs::exists(fs::u8path(jetLockFilePath(databasePath))))
        throw Error(ErrorKind::InUse, databasePath, "", std::string("the database is in use (lock file ") + jetLockFilePath(databasePath) + " exists); " + kInUseAdvice);
    if (attributes & FILE_ATTRIBUTE_READONLY) throw Error(ErrorKind::ReadOnly, databasePath, "", "the file is read-only; nothing was written");
}

#else

namespace {
std::string folderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}
}  // namespace

WriterLock::WriterLock(const std::string& databasePath) : lockPath_(writerLockPath(databasePath)) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) throw Error(ErrorKind::Io, databasePath, "", "cannot create the lock file " + lockPath_ + ": " + std::strerror(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                throw Error(ErrorKind::InUse, databasePath, "", "another copy of this program is writing the database (lock file " + lockPath_ + ")");
            throw Error(ErrorKind::Io, databasePath, "", "cannot lock " + lockPath_ + ": " + std::strerror(error));
        }
        // The previous holder may have removed the file between our open and our lock; only a
        // lock on the file that is still there counts.
        struct stat held {}, current {};
        if (::fstat(fd, &held) == 0 && ::stat(lockPath_.c_str(), &current) == 0 && held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            fd_ = fd;   // the lock is the flock; the file stays empty, so making it allocates no data
            return;
        }
        ::close(fd);
    }
    throw Error(ErrorKind::InUse, databasePath, "", "the lock file " + lockPath_ + " keeps changing; another writer is active");
}

WriterLock::~WriterLock() {
    if (fd_ < 0) return;
    ::unlink(lockPath_.c_str());   // while still locked, so no one can hold a lock on a removed file unnoticed
    ::close(fd_);
}

void checkWritable(const std::string& databasePath) {
    struct stat file {};
    if (::stat(databasePath.c_str(), &file) != 0)
        throw Error(ErrorKind::Io, databasePath, "", std::string("cannot open the file: ") + std::strerror(errno));
    if (!S_ISREG(file.st_mode)) throw Error(ErrorKind::Io, databasePath, "", "not a regular file");
    const std::string ldb = jetLockFilePath(databasePath);
    std::string ldbUpper = fs::path(databasePath).replace_extension(".LDB").string();
    if (fs::exists(ldb) || fs::exists(ldbUpper))
        throw Error(ErrorKind::InUse, databasePath, "", "the database is in use (lock file " + (fs::exists(ldb) ? ldb : ldbUpper) + " exists); " + kInUseAdvice);
    // Write permission bits count even for a superuser, like the read-only attribute on Windows.
    if ((file.st_mode & 0222) == 0 || ::access(databasePath.c_str(), W_OK) != 0)
        throw Error(ErrorKind::ReadOnly, databasePath, "", "the file is read-only; nothing was written");
    const std::string folder = folderOf(databasePath);
    struct stat dir {};
    struct statvfs volume {};
    if (::stat(folder.c_str(), &dir) != 0 || (dir.st_mode & 0222) == 0 || ::access(folder.c_str(), W_OK | X_OK) != 0 ||
        (::statvfs(folder.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY)))
        throw Error(ErrorKind::ReadOnly, databasePath, "", "the folder " + folder + " is read-only (a commit replaces the file there); nothing was written");
}

#endif

}  // namespace jet
