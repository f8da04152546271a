#include "installation.h"

#include "utf8_path.h"

namespace upgrade {

Installation::Installation(DriveRoots drives, std::string description)
    : drives_(std::move(drives)), description_(std::move(description)) {}

Installation::Installation()
#ifdef _WIN32
    : Installation(nativeDrives(), "the drives of this computer") {
}
#else
    : Installation(inWinePrefix(defaultWinePrefix())) {
}
#endif

Installation Installation::inWinePrefix(std::filesystem::path winePrefix) {
    std::string description = "Wine prefix " + utf8FromPath(winePrefix);
    return Installation(wineDrives(std::move(winePrefix)), std::move(description));
}

Installation Installation::withDrives(std::map<char, std::filesystem::path> roots) {
    std::string description = "drives";
    for (const auto& [drive, root] : roots) {
        description += " ";
        description += static_cast<char>(drive - 'a' + 'A');
        description += ": = " + utf8FromPath(root);
    }
    return Installation(mappedDrives(std::move(roots)), std::move(description));
}

std::optional<std::filesystem::path> Installation::locate(std::string_view directory,
                                                          std::string_view fileName) const {
    return findInstalledFile(directory, fileName, drives_);
}

bool Installation::fileExists(std::string_view directory, std::string_view fileName) const {
    return locate(directory, fileName).has_value();
}

}  // namespace upgrade
