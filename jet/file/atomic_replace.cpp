#include "jet/file/atomic_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "jet/error.h"
#include "jet/file/side_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace jet {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

ReplaceProbe& probe() {
    static ReplaceProbe instance;
    return instance;
}

void step(const char* name) {
    if (probe()) probe()(name);
}

#ifdef _WIN32
std::string lastErrorText() {
    const DWORD code = GetLastError();
    char buffer[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer, sizeof buffer, nullptr);
    return std::string(buffer) + " (error " + std::to_string(code) + ")";
}

// A full disk (or quota) is its own kind, so callers can tell the user to make room.
ErrorKind writeErrorKind(DWORD code) {
    return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL ? ErrorKind::DiskFull : ErrorKind::Io;
}

void writeOnWindows(const std::string& path, const std::vector<std::uint8_t>& image, bool mustBeNew) {
    const std::filesystem::path target = std::filesystem::u8path(path);
    const std::filesystem::path temporary = std::filesystem::u8path(replacementPath(path));
    // The new file takes the old one's attributes (hidden, system, archive); both get their
    // permissions from the folder.
    const DWORD oldAttributes = mustBeNew ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(target.c_str());
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & kept) ? (oldAttributes & kept) : FILE_ATTRIBUTE_NORMAL;
    // Created only by us: anything already at the name is removed when it is a file an
    // interrupted commit left, refused when it is not a plain file.
    const std::string temporaryName = replacementPath(path);
    removeLeftoverSideFile(path, temporaryName);
    ExclusiveSideFile created(path, temporaryName, attributes);
    HANDLE handle = static_cast<HANDLE>(created.handle());
    auto abandon = [&](const std::string& cause) {
        const ErrorKind kind = writeErrorKind(GetLastError());
        const std::string text = cause + lastErrorText();
        created.close();
        DeleteFileW(temporary.c_str());
        throw Error(kind, path, "", text);
    };
    for (std::size_t done = 0; done < image.size();) {
        step("write");
        const DWORD length = static_cast<DWORD>(std::min(kChunk, image.size() - done));
        DWORD written = 0;
        if (!WriteFile(handle, image.data() + done, length, &written, nullptr) || written != length) abandon("cannot write the temporary file: ");
        done += written;
    }
    step("flush");
    if (!FlushFileBuffers(handle)) abandon("cannot flush the temporary file to disk: ");
    created.close();
    step("rename");
    // One rename over the old file, so that the folder holds the old file or the new one at every
    // instant. Not ReplaceFileW: without a backup name it removes the old file before it moves the
    // new one in (Wine moves it aside and deletes it), and when the move then fails the old file
    // is gone.
    // A new file is moved in only while the name is free.
    const DWORD flags = mustBeNew ? MOVEFILE_WRITE_THROUGH : (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        const DWORD code = GetLastError();
        const std::string text = "cannot replace the file: " + lastErrorText();
        DeleteFileW(temporary.c_str());
        if (mustBeNew && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS))
            throw Error(ErrorKind::InvalidArgument, path, "", "the file already exists");
        throw Error(ErrorKind::Io, path, "", text);
    }
    step("done");
}
#else
// The cause text with the system's reason appended (built by appending, which also keeps GCC 12's
// -Wrestrict false alarm on string concatenation quiet).
std::string withReason(const char* cause, int error) {
    std::string text(cause);
    text += std::strerror(error);
    return text;
}

// A full disk, quota or file size limit is its own kind, so callers can tell the user to make room.
ErrorKind writeErrorKind(int error) {
    return error == ENOSPC || error == EFBIG || error == EDQUOT ? ErrorKind::DiskFull : ErrorKind::Io;
}

// Moves the finished temporary file to `path` only while nothing holds that name: a rename that
// refuses to replace where the system has one, else a hard link (which also refuses), else, on
// file systems with neither, a rename after a last look.
void publishNewFile(const std::string& path, const std::string& temporary) {
    auto refuse = [&] {
        ::unlink(temporary.c_str());
        throw Error(ErrorKind::InvalidArgument, path, "", "the file already exists");
    };
    auto fail = [&](int error) {
        const std::string text = withReason("cannot create the file: ", error);
        ::unlink(temporary.c_str());
        throw Error(ErrorKind::Io, path, "", text);
    };
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno == EEXIST) refuse();
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP) fail(errno);
#endif
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return;
    }
    if (errno == EEXIST) refuse();
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS) fail(errno);
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) refuse();
    if (::rename(temporary.c_str(), path.c_str()) != 0) fail(errno);
}

void writeOnPosix(const std::string& path, const std::vector<std::uint8_t>& image, bool mustBeNew) {
    const std::string temporary = replacementPath(path);
    struct stat original {};
    const bool haveOriginal = !mustBeNew && ::stat(path.c_str(), &original) == 0;
    // Created only by us: anything already at the name is removed when it is a file an
    // interrupted commit left, refused when it is not a plain file. So the owner and mode below
    // only ever go onto our own new file, never through a link onto another one.
    removeLeftoverSideFile(path, temporary);
    ExclusiveSideFile created(path, temporary, haveOriginal ? (original.st_mode & 0777) : 0644);
    const int fd = created.descriptor();
    auto abandon = [&](const char* cause) {
        const int error = errno;
        const std::string text = withReason(cause, error);
        created.close();
        ::unlink(temporary.c_str());
        throw Error(writeErrorKind(error), path, "", text);
    };
    for (std::size_t done = 0; done < image.size();) {
        step("write");
        const std::size_t length = std::min(kChunk, image.size() - done);
        const ssize_t written = ::write(fd, image.data() + done, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            abandon("cannot write the temporary file: ");
        }
        if (written == 0) {
            errno = ENOSPC;
            abandon("cannot write the temporary file: ");
        }
        done += static_cast<std::size_t>(written);
    }
    if (haveOriginal) {
        if (::fchmod(fd, original.st_mode & 07777) != 0) abandon("cannot copy the file's permissions: ");
        if (::fchown(fd, original.st_uid, original.st_gid) != 0 && errno != EPERM) abandon("cannot copy the file's owner: ");
    }
    step("flush");
    if (::fsync(fd) != 0) abandon("cannot flush the temporary file to disk: ");
    if (!created.close()) {
        // Some file systems (NFS) report a full disk only when the file is closed.
        const int error = errno;
        const std::string text = withReason("cannot close the temporary file: ", error);
        ::unlink(temporary.c_str());
        throw Error(writeErrorKind(error), path, "", text);
    }
    step("rename");
    if (mustBeNew) {
        publishNewFile(path, temporary);
    } else if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string text = withReason("cannot replace the file: ", errno);
        ::unlink(temporary.c_str());
        throw Error(ErrorKind::Io, path, "", text);
    }
    // Make the rename itself durable.
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::filesystem::path folder = parent.empty() ? std::filesystem::path(".") : parent;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    step("done");
}
#endif

}  // namespace

std::string replacementPath(const std::string& path) { return path + ".jet-new"; }

void setReplaceProbe(ReplaceProbe newProbe) { probe() = std::move(newProbe); }

void replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& image) {
#ifdef _WIN32
    writeOnWindows(path, image, false);
#else
    writeOnPosix(path, image, false);
#endif
}

void createFileAtomically(const std::string& path, const std::vector<std::uint8_t>& image) {
#ifdef _WIN32
    writeOnWindows(path, image, true);
#else
    writeOnPosix(path, image, true);
#endif
}

}  // namespace jet
