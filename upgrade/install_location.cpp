#include "install_location.h"

#include "text/ascii_case.h"
#include "text/utf8_path.h"

#include <cstdlib>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace upgrade {
namespace {

std::vector<std::string_view> splitComponents(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t sep = path.find_first_of("\\/", start);
        const std::size_t end = sep == std::string_view::npos ? path.size() : sep;
        if (end > start) parts.push_back(path.substr(start, end - start));
        if (sep == std::string_view::npos) break;
        start = sep + 1;
    }
    return parts;
}

// The entry of `directory` whose name equals `name` (exactly, or else without
// regard to case). Windows compares file names without regard to case; Wine
// folds the case of every character, and the catalogue's paths hold ASCII
// letters and CJK ideographs (which have no case), so ASCII folding covers them.
std::optional<fs::path> findEntry(const fs::path& directory, std::string_view name) {
    if (name == "." || name == "..") return std::nullopt;
    std::error_code ec;
    const fs::path exact = directory / text::pathFromUtf8(name);
    if (fs::exists(exact, ec)) return exact;
    fs::directory_iterator it(directory, ec);
    if (ec) return std::nullopt;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return std::nullopt;
        if (text::equalsIgnoringAsciiCase(text::utf8FromPath(it->path().filename()), name)) return it->path();
    }
    return std::nullopt;
}

}  // namespace

fs::path defaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return fs::path(prefix);
    if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".wine";
    return {};
}

DriveRoots wineDrives(fs::path winePrefix) {
    return [prefix = std::move(winePrefix)](char drive) -> std::optional<fs::path> {
        if (prefix.empty()) return std::nullopt;
        const std::optional<fs::path> dosdevices = findEntry(prefix, "dosdevices");
        if (!dosdevices) return std::nullopt;
        return findEntry(*dosdevices, std::string{drive, ':'});
    };
}

DriveRoots nativeDrives() {
    return [](char drive) -> std::optional<fs::path> {
#ifdef _WIN32
        const fs::path root(std::string{drive, ':', '\\'});
        std::error_code ec;
        if (fs::is_directory(root, ec)) return root;
#else
        (void)drive;
#endif
        return std::nullopt;
    };
}

DriveRoots mappedDrives(std::map<char, fs::path> roots) {
    return [roots = std::move(roots)](char drive) -> std::optional<fs::path> {
        const auto it = roots.find(drive);
        if (it == roots.end()) return std::nullopt;
        std::error_code ec;
        if (!fs::is_directory(it->second, ec)) return std::nullopt;
        return it->second;
    };
}

std::optional<fs::path> resolveWindowsPath(std::string_view windowsPath, const DriveRoots& drives) {
    // Only absolute drive paths name an installation directory.
    if (windowsPath.size() < 3 || windowsPath[1] != ':' || (windowsPath[2] != '\\' && windowsPath[2] != '/'))
        return std::nullopt;
    const char drive = text::lowerAscii(windowsPath[0]);
    if (drive < 'a' || drive > 'z') return std::nullopt;
    std::optional<fs::path> current = drives(drive);
    for (std::string_view component : splitComponents(windowsPath.substr(3))) {
        if (!current) break;
        current = findEntry(*current, component);
    }
    return current;
}

std::optional<fs::path> findInstalledFile(std::string_view directory, std::string_view fileName,
                                          const DriveRoots& drives) {
    std::string windowsPath(directory);
    if (fileName.empty() || (fileName.front() != '\\' && fileName.front() != '/')) windowsPath += '\\';
    windowsPath += fileName;
    std::optional<fs::path> found = resolveWindowsPath(windowsPath, drives);
    std::error_code ec;
    if (!found || !fs::is_regular_file(*found, ec)) return std::nullopt;
    return found;
}

}  // namespace upgrade
