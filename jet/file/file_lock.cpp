#include "jet/file/file_lock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "jet/error.h"
#include "jet/file/native_path.h"
#include "jet/file/side_file.h"
#include "text/ascii_case.h"
#include "text/utf8_path.h"

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

[[noreturn]] void refuseJetLockFile(const std::string& databasePath, const std::string& lockFile) {
    throw Error(ErrorKind::InUse, databasePath, "", "the database is in use (lock file " + lockFile + " exists); " + kInUseAdvice);
}

}  // namespace

std::string findJetLockFile(const std::string& databasePath) {
    // Products are found whatever the case of their names, and the programs that open them
    // write the lock file's name in their own case; so every entry of the folder is compared.
    const fs::path expected = nativePath(jetLockFilePath(databasePath));
    const std::string wanted = text::utf8FromPath(expected.filename());
    fs::path folder = expected.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!text::equalsIgnoringAsciiCase(text::utf8FromPath(it->path().filename()), wanted)) continue;
        return text::utf8FromPath(it->path());
    }
    // A folder that cannot be listed: at least the name as Jet writes it.
    std::error_code ignored;
    if (error && fs::exists(expected, ignored)) return jetLockFilePath(databasePath);
    return {};
}

#ifdef _WIN32

namespace {
// The database opened for reading, sharing only reading (and the rename of a commit) with
// others: a program that has it open for writing makes this fail, and while it is open no
// program can open it for writing.
HANDLE holdDatabaseFile(const std::string& databasePath) {
    return CreateFileW(nativePath(databasePath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

WriterLock::WriterLock(const std::string& databasePath) : databasePath_(databasePath), lockPath_(writerLockPath(databasePath)) {
    if (sideEntryAt(lockPath_) == SideEntry::Other) refuseForeignEntry(databasePath, lockPath_);
    // OPEN_ALWAYS takes over a lock file a crashed run left; the reparse point flag keeps a link
    // that appeared since the check above from being followed.
    HANDLE handle = CreateFileW(nativePath(lockPath_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_SHARING_VIOLATION)
            throw Error(ErrorKind::InUse, databasePath, "", "another copy of this program is writing the database (lock file " + lockPath_ + ")");
        if (sideEntryAt(lockPath_) == SideEntry::Other) refuseForeignEntry(databasePath, lockPath_);
        throw Error(ErrorKind::Io, databasePath, "", "cannot create the lock file " + lockPath_ + " (error " + std::to_string(code) + ")");
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        refuseForeignEntry(databasePath, lockPath_);
    }
    handle_ = handle;
    HANDLE database = holdDatabaseFile(databasePath);
    if (database == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        CloseHandle(handle);
        handle_ = nullptr;
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
            throw Error(ErrorKind::InUse, databasePath, "", std::string("another program has the database open for writing; ") + kInUseAdvice);
        throw Error(ErrorKind::Io, databasePath, "", "cannot open the file (error " + std::to_string(code) + ")");
    }
    // A program that locked byte ranges of the file (Jet does, past its end) holds it even when it
    // shares it for writing: trying an exclusive lock of the whole range tells.
    OVERLAPPED whole{};
    if (!LockFileEx(database, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
        if (GetLastError() == ERROR_LOCK_VIOLATION) {
            CloseHandle(database);
            CloseHandle(handle);
            handle_ = nullptr;
            throw Error(ErrorKind::InUse, databasePath, "", std::string("another program holds a lock on the file; ") + kInUseAdvice);
        }
    } else {
        UnlockFileEx(database, 0, MAXDWORD, MAXDWORD, &whole);
    }
    database_ = database;
}

WriterLock::~WriterLock() {
    releaseDatabase();
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));   // deletes the file on close
}

void WriterLock::releaseDatabase() {
    if (database_) CloseHandle(static_cast<HANDLE>(database_));
    database_ = nullptr;
}

void WriterLock::holdDatabaseAgain() {
    if (database_) return;
    HANDLE database = holdDatabaseFile(databasePath_);
    database_ = database == INVALID_HANDLE_VALUE ? nullptr : database;
}

void checkWritable(const std::string& databasePath) {
    const fs::path path = nativePath(databasePath);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Error(ErrorKind::Io, databasePath, "", "the file does not exist or cannot be read");
    if (const std::string lockFile = findJetLockFile(databasePath); !lockFile.empty()) refuseJetLockFile(databasePath, lockFile);
    if (attributes & FILE_ATTRIBUTE_READONLY) throw Error(ErrorKind::ReadOnly, databasePath, "", "the file is read-only; nothing was written");
}

#else

namespace {

std::string folderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

// Opens the lock file: made exclusively when absent, else the regular file already there (left
// by a killed run, or held by another writer, which the flock then tells). Never through a
// link, never a FIFO or folder. Returns -1 when the name vanished meanwhile.
int openLockFile(const std::string& databasePath, const std::string& lockPath) {
    if (sideEntryAt(lockPath) == SideEntry::Other) refuseForeignEntry(databasePath, lockPath);
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0 && errno == EEXIST) {
        fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0 && errno == ENOENT) return -1;
    }
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP || error == EISDIR || error == ENXIO) refuseForeignEntry(databasePath, lockPath);
        throw Error(error == EACCES || error == EROFS ? ErrorKind::ReadOnly : ErrorKind::Io, databasePath, "",
                    "cannot create the lock file " + lockPath + ": " + std::strerror(error));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        refuseForeignEntry(databasePath, lockPath);
    }
    return fd;
}

// Whether another process holds a record lock anywhere on the file, also past its end (Jet and
// Wine lock bytes there): a classic POSIX lock or an open-file-description lock, shared or
// exclusive. Asked about a whole-file write lock, the system reports any lock in its way.
bool lockedByAnotherProcess(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    bool locked = false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;   // to the end of the file and beyond
#ifdef F_OFD_GETLK
    struct flock ofd = probe;
    if (::fcntl(fd, F_OFD_GETLK, &ofd) == 0 && ofd.l_type != F_UNLCK) locked = true;
#endif
    if (!locked && ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) locked = true;
    // This process holds no record locks on the file, so closing it releases none.
    ::close(fd);
    return locked;
}

}  // namespace

WriterLock::WriterLock(const std::string& databasePath) : databasePath_(databasePath), lockPath_(writerLockPath(databasePath)) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = openLockFile(databasePath, lockPath_);
        if (fd < 0) continue;
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
        if (::fstat(fd, &held) == 0 && ::lstat(lockPath_.c_str(), &current) == 0 && held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
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

// POSIX systems have no share modes; other programs' locks are looked for by checkWritable.
void WriterLock::releaseDatabase() {}
void WriterLock::holdDatabaseAgain() {}

void checkWritable(const std::string& databasePath) {
    struct stat file {};
    if (::stat(databasePath.c_str(), &file) != 0)
        throw Error(ErrorKind::Io, databasePath, "", std::string("cannot open the file: ") + std::strerror(errno));
    if (!S_ISREG(file.st_mode)) throw Error(ErrorKind::Io, databasePath, "", "not a regular file");
    if (const std::string lockFile = findJetLockFile(databasePath); !lockFile.empty()) refuseJetLockFile(databasePath, lockFile);
    if (lockedByAnotherProcess(databasePath))
        throw Error(ErrorKind::InUse, databasePath, "", std::string("another process holds a lock on the file; ") + kInUseAdvice);
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
