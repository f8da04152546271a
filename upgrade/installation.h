#pragma once
// Where the installed products are looked up: on Linux in the Wine prefix
// ($WINEPREFIX or ~/.wine), on Windows on the machine's own drives, or on
// drives mapped to local folders (tests and demos).

#include "install_location.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace upgrade {

class Installation {
public:
    // This platform's own: the Wine prefix on Linux, the real drives on Windows.
    Installation();
    // The drives of a Wine prefix.
    static Installation inWinePrefix(std::filesystem::path winePrefix);
    // Each drive letter ('c', 'd', …) stands for a local folder.
    static Installation withDrives(std::map<char, std::filesystem::path> roots);

    // The local path of directory + fileName ("\QorBirth.dll" style), if that file exists.
    std::optional<std::filesystem::path> locate(std::string_view directory, std::string_view fileName) const;
    bool fileExists(std::string_view directory, std::string_view fileName) const;

    // Where the drives come from, for the user ("Wine prefix /home/…/.wine").
    const std::string& description() const { return description_; }

private:
    Installation(DriveRoots drives, std::string description);

    DriveRoots drives_;
    std::string description_;
};

}  // namespace upgrade
