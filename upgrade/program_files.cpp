#include "program_files.h"

#include "text/ascii_case.h"

namespace upgrade {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A directory "X:\<top>\<rest>" taken apart; nothing for other shapes.
struct DrivePath {
    char drive;             // lower case
    std::string_view top;   // the first folder below the drive's root
    std::string_view rest;  // what follows it, without the separator; may be empty
};

std::optional<DrivePath> splitDrivePath(std::string_view directory) {
    if (directory.size() < 4 || directory[1] != ':' || !isSeparator(directory[2])) return std::nullopt;
    const char drive = text::lowerAscii(directory[0]);
    if (drive < 'a' || drive > 'z') return std::nullopt;
    std::string_view path = directory.substr(3);
    const std::size_t separator = path.find_first_of("\\/");
    if (separator == std::string_view::npos) return DrivePath{drive, path, {}};
    return DrivePath{drive, path.substr(0, separator), path.substr(separator + 1)};
}

}  // namespace

std::optional<std::string> programFilesX86Twin(std::string_view directory) {
    const std::optional<DrivePath> parts = splitDrivePath(directory);
    if (!parts || !text::equalsIgnoringAsciiCase(parts->top, kProgramFiles) || parts->rest.empty()) return std::nullopt;
    std::string twin(directory.substr(0, 3));
    twin += kProgramFilesX86;
    twin += '\\';
    twin += parts->rest;
    return twin;
}

std::optional<std::string> virtualStoreFolder(std::string_view directory, std::string_view localAppData,
                                              char systemDrive) {
    const std::optional<DrivePath> parts = splitDrivePath(directory);
    if (localAppData.empty() || !parts || parts->drive != text::lowerAscii(systemDrive) || parts->rest.empty())
        return std::nullopt;
    if (!text::equalsIgnoringAsciiCase(parts->top, kProgramFiles) && !text::equalsIgnoringAsciiCase(parts->top, kProgramFilesX86))
        return std::nullopt;
    std::string folder(localAppData);
    while (!folder.empty() && isSeparator(folder.back())) folder.pop_back();
    folder += '\\';
    folder += kVirtualStore;
    folder += '\\';
    folder += directory.substr(3);
    return folder;
}

}  // namespace upgrade
