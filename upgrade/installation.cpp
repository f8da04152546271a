#include "installation.h"

#include "program_files.h"
#include "user_profile.h"
#include "text/utf8_path.h"

#include <system_error>

namespace fs = std::filesystem;

namespace upgrade {
namespace {

std::vector<std::string> candidatesOf(std::optional<std::string> localAppData) {
    if (!localAppData || localAppData->empty()) return {};
    return {std::move(*localAppData)};
}

}  // namespace

Installation::Installation(DriveRoots drives, std::string description, std::vector<std::string> localAppDataCandidates,
                           char systemDrive)
    : drives_(std::move(drives)),
      description_(std::move(description)),
      localAppDataCandidates_(std::move(localAppDataCandidates)),
      systemDrive_(systemDrive) {}

Installation::Installation()
#ifdef _WIN32
    : Installation(nativeDrives(), "the drives of this computer", candidatesOf(nativeLocalAppData()),
                   nativeSystemDrive()) {
}
#else
    : Installation(inWinePrefix(defaultWinePrefix())) {
}
#endif

Installation Installation::inWinePrefix(fs::path winePrefix) {
    return inWinePrefix(std::move(winePrefix), wineUserName());
}

Installation Installation::inWinePrefix(fs::path winePrefix, std::string_view userName) {
    std::string description = "Wine prefix " + text::utf8FromPath(winePrefix);
    // Windows runs from drive C in every Wine prefix.
    return Installation(wineDrives(std::move(winePrefix)), std::move(description),
                        wineLocalAppDataCandidates(userName), 'c');
}

Installation Installation::withDrives(std::map<char, fs::path> roots, std::string localAppData) {
    std::string description = "drives";
    for (const auto& [drive, root] : roots) {
        description += " ";
        description += static_cast<char>(drive - 'a' + 'A');
        description += ": = " + text::utf8FromPath(root);
    }
    return Installation(mappedDrives(std::move(roots)), std::move(description), candidatesOf(std::move(localAppData)),
                        'c');
}

std::optional<fs::path> Installation::locate(std::string_view directory, std::string_view fileName) const {
    return findInstalledFile(directory, fileName, drives_);
}

bool Installation::fileExists(std::string_view directory, std::string_view fileName) const {
    return locate(directory, fileName).has_value();
}

std::optional<fs::path> Installation::existingDirectory(std::string_view directory) const {
    std::optional<fs::path> found = resolveWindowsPath(directory, drives_);
    std::error_code ec;
    if (!found || !fs::is_directory(*found, ec)) return std::nullopt;
    return found;
}

std::optional<std::string> Installation::localAppData() const {
    for (const std::string& candidate : localAppDataCandidates_)
        if (existingDirectory(candidate)) return candidate;
    return std::nullopt;
}

std::vector<ProductFolder> Installation::productFolders(std::string_view directory) const {
    const std::string row(directory);
    std::vector<ProductFolder> folders{{row, row, false}};
    const std::optional<std::string> appData = localAppData();

    // Local folders already listed: one reached again through a link is the same files.
    std::vector<fs::path> listed;
    auto isNew = [&listed](const fs::path& local) {
        for (const fs::path& earlier : listed) {
            std::error_code ec;
            if (fs::equivalent(earlier, local, ec)) return false;
        }
        listed.push_back(local);
        return true;
    };
    // The VirtualStore folder of an installed directory, where it holds anything.
    auto addVirtualStore = [&](const std::string& installed) {
        if (!appData) return;
        const std::optional<std::string> store = virtualStoreFolder(installed, *appData, systemDrive_);
        if (!store) return;
        if (const auto local = existingDirectory(*store); local && isNew(*local))
            folders.push_back({*store, installed, true});
    };

    if (const auto local = existingDirectory(row)) {
        isNew(*local);
        addVirtualStore(row);
    }
    if (const std::optional<std::string> twin = programFilesX86Twin(row)) {
        if (const auto local = existingDirectory(*twin); local && isNew(*local)) {
            folders.push_back({*twin, *twin, false});
            addVirtualStore(*twin);
        }
    }
    return folders;
}

}  // namespace upgrade
