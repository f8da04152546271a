#include "installation.h"

#include "install_location.h"

namespace upgrade {

Installation::Installation() : winePrefix_(defaultWinePrefix()) {}

Installation::Installation(std::filesystem::path winePrefix) : winePrefix_(std::move(winePrefix)) {}

std::optional<std::filesystem::path> Installation::locate(std::string_view directory,
                                                          std::string_view fileName) const {
    return findInstalledFile(directory, fileName, winePrefix_);
}

bool Installation::fileExists(std::string_view directory, std::string_view fileName) const {
    return locate(directory, fileName).has_value();
}

}  // namespace upgrade
