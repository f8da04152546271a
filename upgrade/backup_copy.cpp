#include "backup_copy.h"

#include "jet/error.h"
#include "jet/file/side_file.h"
#include "text/utf8_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace upgrade {
namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

#ifdef _WIN32

[[noreturn]] void fail(const std::string& file, const std::string& what) {
    const DWORD code = GetLastError();
    const jet::ErrorKind kind = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL ? jet::ErrorKind::DiskFull
                                : code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT ? jet::ErrorKind::ReadOnly
                                                                                             : jet::ErrorKind::Io;
    throw jet::Error(kind, file, "", "cannot keep the backup copy: " + what + " (error " + std::to_string(code) + ")");
}

// Copies `file` into the new, exclusively created `partial` and flushes it.
void copyInto(const std::string& file, jet::ExclusiveSideFile& partial) {
    HANDLE in = CreateFileW(text::pathFromUtf8(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) fail(file, "cannot read " + file);
    std::vector<char> buffer(kCopyChunk);
    HANDLE out = static_cast<HANDLE>(partial.handle());
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            CloseHandle(in);
            fail(file, "cannot read " + file);
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
            CloseHandle(in);
            fail(file, "cannot write " + partial.path());
        }
    }
    CloseHandle(in);
    if (!FlushFileBuffers(out)) fail(file, "cannot write " + partial.path());
    if (!partial.close()) fail(file, "cannot write " + partial.path());
}

// Gives the finished copy the backup's name, failing when anything has taken it since.
void moveIntoPlace(const std::string& file, const std::string& partial, const std::string& backup) {
    if (!MoveFileExW(text::pathFromUtf8(partial).c_str(), text::pathFromUtf8(backup).c_str(), MOVEFILE_WRITE_THROUGH))
        fail(file, "cannot name the copy " + backup);
}

#else

[[noreturn]] void fail(const std::string& file, const std::string& what, int error) {
    const jet::ErrorKind kind = error == ENOSPC || error == EFBIG || error == EDQUOT ? jet::ErrorKind::DiskFull
                                : error == EACCES || error == EPERM || error == EROFS ? jet::ErrorKind::ReadOnly
                                                                                      : jet::ErrorKind::Io;
    std::string cause = "cannot keep the backup copy: " + what + ": ";
    cause += std::strerror(error);
    throw jet::Error(kind, file, "", cause);
}

void copyInto(const std::string& file, jet::ExclusiveSideFile& partial) {
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) fail(file, "cannot read " + file, errno);
    std::vector<char> buffer(kCopyChunk);
    const int out = partial.descriptor();
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            ::close(in);
            fail(file, "cannot read " + file, error);
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                const int error = written == 0 ? ENOSPC : errno;
                ::close(in);
                fail(file, "cannot write " + partial.path(), error);
            }
            done += written;
        }
    }
    ::close(in);
    if (::fsync(out) != 0) fail(file, "cannot write " + partial.path(), errno);
    if (!partial.close()) fail(file, "cannot write " + partial.path(), errno);
}

void moveIntoPlace(const std::string& file, const std::string& partial, const std::string& backup) {
#ifdef RENAME_NOREPLACE
    // Never over anything that took the backup's name since it was looked at.
    if (::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, backup.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno != EINVAL && errno != ENOSYS) fail(file, "cannot name the copy " + backup, errno);
#endif
    if (jet::sideEntryAt(backup) != jet::SideEntry::Absent) fail(file, "cannot name the copy " + backup, EEXIST);
    if (::rename(partial.c_str(), backup.c_str()) != 0) fail(file, "cannot name the copy " + backup, errno);
}

#endif

// The copy is made under a temporary name, so a backup that exists is always complete.
void copyBackup(const std::string& file, const std::string& backup, const std::string& partial) {
    try {
        jet::ExclusiveSideFile created(file, partial);
        copyInto(file, created);
        moveIntoPlace(file, partial, backup);
    } catch (const jet::Error& error) {
        // An incomplete copy must not stay behind in the product's folder; a name that was not
        // ours (ForeignFile) stays as it was.
        if (error.kind() != jet::ErrorKind::ForeignFile) jet::removeLeftoverSideFile(file, partial);
        throw;
    }
}

#ifndef _WIN32
// A backup kept earlier is a file of its own, or a second name of the database itself (a run
// killed between making the backup and replacing the file). Another file with more than one
// name is a hard link someone put there: taking it for the backup would leave the database
// without one.
bool isKeptBackup(const std::string& database, const std::string& backup) {
    struct stat kept {}, current {};
    if (::lstat(backup.c_str(), &kept) != 0 || kept.st_nlink <= 1) return true;
    return ::stat(database.c_str(), &current) == 0 && current.st_dev == kept.st_dev && current.st_ino == kept.st_ino;
}
#endif

}  // namespace

fs::path backupPathFor(const fs::path& file) {
    fs::path backup = file;
    backup += ".bak";
    return backup;
}

bool keepBackup(const fs::path& file) {
    const std::string database = text::utf8FromPath(file);
    const std::string backup = text::utf8FromPath(backupPathFor(file));
    // The name a copy is made under: a file left by a run that was killed while copying goes,
    // whatever is not a regular file refuses the upgrade, also where no copy will be needed.
    const std::string partial = backup + ".partial";
    jet::removeLeftoverSideFile(database, partial);
    switch (jet::sideEntryAt(backup)) {
    case jet::SideEntry::RegularFile:
#ifndef _WIN32
        if (!isKeptBackup(database, backup)) jet::refuseForeignEntry(database, backup);
#endif
        return false;
    case jet::SideEntry::Other: jet::refuseForeignEntry(database, backup);
    case jet::SideEntry::Absent: break;
    }
#ifndef _WIN32
    // A commit replaces the file by renaming a new one over it and never writes into the old
    // one, so a second name for the old file is a complete backup that costs no copying. link
    // makes the new name itself and fails when anything has taken it. File systems without
    // hard links get a copy.
    if (::link(database.c_str(), backup.c_str()) == 0) return true;
    if (errno == EEXIST) {
        if (jet::sideEntryAt(backup) == jet::SideEntry::Other) jet::refuseForeignEntry(database, backup);
        fail(database, "cannot make " + backup, EEXIST);
    }
#endif
    copyBackup(database, backup, partial);
    return true;
}

}  // namespace upgrade
