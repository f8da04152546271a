#pragma once
// A throw-away installation for tests: drives C and D as local folders, other
// drives missing, and a user profile on drive C. On Linux the folder is also a Wine prefix (drive C as the
// usual ../drive_c link, drive D linked to its folder).

#include "upgrade/installation.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

class TemporaryPrefix {
public:
    TemporaryPrefix() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() / ("patch-prefix-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "dosdevices");
        std::filesystem::create_directories(root_ / "drive_c");
        std::filesystem::create_directories(root_ / "drive_d");
#ifndef _WIN32
        std::filesystem::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
        std::filesystem::create_directory_symlink(root_ / "drive_d", root_ / "dosdevices" / "d:");
#endif
    }
    ~TemporaryPrefix() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TemporaryPrefix(const TemporaryPrefix&) = delete;
    TemporaryPrefix& operator=(const TemporaryPrefix&) = delete;

    // The test user's local application data, where Windows' file
    // virtualisation keeps its copies (only once a test makes the folder).
    static constexpr std::string_view kLocalAppData = "C:\\users\\tester\\AppData\\Local";
    static constexpr std::string_view kVirtualStore = "C:\\users\\tester\\AppData\\Local\\VirtualStore";

    const std::filesystem::path& root() const { return root_; }
    upgrade::Installation installation() const {
        return upgrade::Installation::withDrives({{'c', root_ / "drive_c"}, {'d', root_ / "drive_d"}},
                                                 std::string(kLocalAppData));
    }

    // Creates the file of a catalogue directory ("D:\…", "\QorBirth.dll") with
    // the given content and returns its local path.
    std::filesystem::path install(std::string_view windowsDirectory, std::string_view fileName,
                                  std::string_view content = "db") const {
        const char drive = static_cast<char>(windowsDirectory[0] | 0x20);
        std::filesystem::path path = root_ / (std::string("drive_") + drive);
        std::string rest(windowsDirectory.substr(3));
        rest += '\\';
        rest += fileName.substr(fileName.front() == '\\' ? 1 : 0);
        std::size_t start = 0;
        while (start <= rest.size()) {
            const std::size_t end = std::min(rest.find('\\', start), rest.size());
            if (end > start) path /= std::filesystem::path(std::u8string(rest.begin() + start, rest.begin() + end));
            start = end + 1;
        }
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

private:
    std::filesystem::path root_;
};
