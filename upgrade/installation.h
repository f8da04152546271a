#pragma once
// Where the installed products are looked up: the Wine prefix on Linux (see
// install_location.h); on Windows the paths are used as they are.

#include <filesystem>
#include <optional>
#include <string_view>

namespace upgrade {

class Installation {
public:
    // The prefix of $WINEPREFIX or ~/.wine.
    Installation();
    explicit Installation(std::filesystem::path winePrefix);

    // The local path of directory + fileName ("\QorBirth.dll" style), if that file exists.
    std::optional<std::filesystem::path> locate(std::string_view directory, std::string_view fileName) const;
    bool fileExists(std::string_view directory, std::string_view fileName) const;

    const std::filesystem::path& winePrefix() const { return winePrefix_; }

private:
    std::filesystem::path winePrefix_;
};

}  // namespace upgrade
