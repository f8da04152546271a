#include "jet/atomic_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "jet/error.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
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

void replaceOnWindows(const std::string& path, const std::vector<std::uint8_t>& image) {
    const std::filesystem::path target = std::filesystem::u8path(path);
    const std::filesystem::path temporary = std::filesystem::u8path(replacementPath(path));
    HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw Error(ErrorKind::Io, path, "", "cannot create the temporary file: " + lastErrorText());
    auto abandon = [&](const std::string& cause) {
        const std::string text = cause + lastErrorText();
        CloseHandle(handle);
        DeleteFileW(temporary.c_str());
        throw Error(ErrorKind::Io, path, "", text);
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
    CloseHandle(handle);
    step("rename");
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        const std::string text = "cannot replace the file: " + lastErrorText();
        DeleteFileW(temporary.c_str());
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

void replaceOnPosix(const std::string& path, const std::vector<std::uint8_t>& image) {
    const std::string temporary = replacementPath(path);
    struct stat original {};
    const bool haveOriginal = ::stat(path.c_str(), &original) == 0;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, haveOriginal ? (original.st_mode & 07777) : 0644);
    if (fd < 0) throw Error(ErrorKind::Io, path, "", withReason("cannot create the temporary file: ", errno));
    auto abandon = [&](const char* cause) {
        const std::string text = withReason(cause, errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        throw Error(ErrorKind::Io, path, "", text);
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
    if (::close(fd) != 0) {
        const std::string text = withReason("cannot close the temporary file: ", errno);
        ::unlink(temporary.c_str());
        throw Error(ErrorKind::Io, path, "", text);
    }
    step("rename");
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
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
    replaceOnWindows(path, image);
#else
    replaceOnPosix(path, image);
#endif
}

}  // namespace jet
