#pragma once
// Where the installed products are looked up: on Linux in the Wine prefix
// ($WINEPREFIX or ~/.wine), on Windows on the machine's own drives, or on
// drives mapped to local folders (tests and demos).
//
// A catalogue directory can stand for more than one folder on this platform
// (program_files.h): the same path under "Program Files (x86)", and the
// VirtualStore copies Windows keeps of files a product wrote below Program
// Files. Each folder that exists is a product directory of its own, upgraded
// file by file as its own unit.

#include "install_location.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace upgrade {

// A folder that holds a product's database files.
struct ProductFolder {
    std::string directory;           // Windows path of the folder, as the outcome names it
    std::string installedDirectory;  // the installation directory whose files these are
    bool virtualStore = false;       // a VirtualStore folder: the product reads the copies found here

    bool operator==(const ProductFolder&) const = default;
};

class Installation {
public:
    // This platform's own: the Wine prefix on Linux, the real drives on Windows.
    Installation();
    // The drives of a Wine prefix, the profile of the user Wine runs as.
    static Installation inWinePrefix(std::filesystem::path winePrefix);
    static Installation inWinePrefix(std::filesystem::path winePrefix, std::string_view userName);
    // Each drive letter ('c', 'd', …) stands for a local folder; localAppData
    // is a Windows path on those drives ("C:\users\x\AppData\Local"), or empty.
    static Installation withDrives(std::map<char, std::filesystem::path> roots, std::string localAppData = {});

    // The local path of directory + fileName ("\QorBirth.dll" style), if that file exists.
    std::optional<std::filesystem::path> locate(std::string_view directory, std::string_view fileName) const;
    bool fileExists(std::string_view directory, std::string_view fileName) const;

    // The folders of the product that a catalogue directory names, in this
    // order: the directory itself (always, whether or not it exists), its
    // VirtualStore folder; the directory under "Program Files (x86)" and its
    // VirtualStore folder. The last three only where they exist, and a folder
    // reached twice (through a link) only once.
    std::vector<ProductFolder> productFolders(std::string_view directory) const;

    // The user's local application-data folder that holds VirtualStore, if it exists.
    std::optional<std::string> localAppData() const;
    // Where the drives come from, for the user ("Wine prefix /home/…/.wine").
    const std::string& description() const { return description_; }

private:
    Installation(DriveRoots drives, std::string description, std::vector<std::string> localAppDataCandidates,
                 char systemDrive);
    std::optional<std::filesystem::path> existingDirectory(std::string_view directory) const;

    DriveRoots drives_;
    std::string description_;
    std::vector<std::string> localAppDataCandidates_;  // Windows paths; the first that exists is used
    char systemDrive_;
};

}  // namespace upgrade
