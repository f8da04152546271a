#include "demo_prefix.h"

#include "data/almanac/almanac_table.h"
#include "data/fortunes/fortune_texts.h"
#include "jet/create/database_builder.h"
#include "upgrade/catalogue.h"
#include "text/gbk_codec.h"
#include "upgrade/horoscope_scrambler.h"
#include "text/utf8_path.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace demo {
namespace {

std::vector<DemoProduct> demoProducts() {
    const upgrade::CatalogueList& fortune = upgrade::fortuneList();
    const upgrade::CatalogueList& almanac = upgrade::almanacList();
    return {
        // An ordinary fortune-telling product with all three databases.
        {fortune.entry(0), true, true, true, AlmanacShape::WithAutoNumberKey},
        // A product installed on drive C.
        {fortune.entry(5), true, false, true, AlmanacShape::Plain},
        // A product installed on drive E, its almanac indexed by date.
        {fortune.entry(10), true, true, false, AlmanacShape::WithDateIndex},
        // A marriage-matching product: its zodiac table stays as it is.
        {fortune.entry(32), true, true, true, AlmanacShape::Plain},
        // Feng-shui products keep the almanac in QorFile.dll; this one is listed twice.
        {almanac.entry(56), true, true, false, AlmanacShape::WithAutoNumberKey},
        {almanac.entry(32), true, true, false, AlmanacShape::Plain},
    };
}

bool isFengShui(const std::string& directory) {
    return directory.find(upgrade::kFengShuiWord) != std::string::npos;
}


// Last edition's content: this year's wording with last year's numbers.
std::string lastEdition(std::string text) {
    for (std::size_t at = text.find("2024"); at != std::string::npos; at = text.find("2024", at + 4))
        text.replace(at, 4, "2023");
    return text;
}

// A table of the product's own that the patch must leave alone.
jet::NewTable productSettingsTable() {
    jet::NewTable table;
    table.name = "Settings";
    table.columns = {{"ID", jet::ColumnType::Long, 0, true},
                     {"Name", jet::ColumnType::Text, 50},
                     {"Setting", jet::ColumnType::Text, 255},
                     {"Changed", jet::ColumnType::DateTime}};
    table.indexes.push_back({"PrimaryKey", {"ID"}, true, true});
    table.rows = {{std::monostate{}, std::string("用户名"), std::string("演示用户"), jet::DateTime{44927.5}},
                  {std::monostate{}, std::string("注册码"), std::string("DEMO-0000-0000"), jet::DateTime{44928.25}}};
    return table;
}

}  // namespace

jet::NewTable almanacTable(AlmanacShape shape) {
    jet::NewTable table;
    table.name = "huangdao";
    if (shape == AlmanacShape::WithAutoNumberKey) {
        table.columns.push_back({"ID", jet::ColumnType::Long, 0, true});
        table.indexes.push_back({"PrimaryKey", {"ID"}, true, true});
    }
    for (std::string_view column : content::kAlmanacColumns)
        table.columns.push_back({std::string(column), jet::ColumnType::Text, 255});
    if (shape == AlmanacShape::WithDateIndex) table.indexes.push_back({"gn", {"gn"}, false, false});
    // Last edition carried the first year of the range.
    for (std::size_t day = 0; day < 365; ++day) {
        std::vector<jet::Value> row;
        if (shape == AlmanacShape::WithAutoNumberKey) row.emplace_back(std::monostate{});
        for (std::string_view value : content::almanacDay(day)) row.emplace_back(std::string(value));
        table.rows.push_back(std::move(row));
    }
    return table;
}

jet::NewTable fortuneTable() {
    jet::NewTable table;
    table.name = "Bennian2011";
    table.columns = {{"shuxing", jet::ColumnType::Text, 2}, {"Values", jet::ColumnType::Memo}, {"Liuyue", jet::ColumnType::Memo}};
    for (const content::AnimalFortune& animal : content::animalFortunes())
        table.rows.push_back({std::string(animal.key), lastEdition(text::gbkToUtf8(animal.yearlyText)),
                              lastEdition(text::gbkToUtf8(animal.monthlyText))});
    return table;
}

jet::NewTable horoscopeTable() {
    jet::NewTable table;
    table.name = "xingzuo2007";
    table.columns = {{"idxz", jet::ColumnType::Text, 10}, {"content", jet::ColumnType::Memo}};
    for (const content::Horoscope& sign : content::horoscopes()) {
        const std::string old = text::utf8ToGbk(lastEdition(text::gbkToUtf8(sign.text)));
        table.rows.push_back({std::string(sign.key), upgrade::horoscopeScramble(old)});
    }
    return table;
}

void writeProductDatabase(const fs::path& file, std::vector<jet::NewTable> tables) {
    tables.push_back(productSettingsTable());
    jet::DatabaseOptions options;
    options.codePage = 936;
    options.sortOrder = 2052;
    jet::createDatabase(text::utf8FromPath(file), tables, options);
}

fs::path localDirectory(const fs::path& prefix, const std::string& directory) {
    fs::path path = prefix / ("drive_" + std::string(1, static_cast<char>(directory[0] | 0x20)));
    std::size_t start = 3;
    while (start < directory.size()) {
        const std::size_t end = std::min(directory.find('\\', start), directory.size());
        path /= text::pathFromUtf8(std::string_view(directory).substr(start, end - start));
        start = end + 1;
    }
    return path;
}

void makeDrives(const fs::path& prefix) {
    for (const char drive : {'c', 'd', 'e'}) fs::create_directories(prefix / ("drive_" + std::string(1, drive)));
#ifndef _WIN32
    // Wine finds the drives through these links; on Windows the folders are
    // used as mapped drives instead (a name may not hold a colon there).
    fs::create_directories(prefix / "dosdevices");
    for (const char drive : {'c', 'd', 'e'})
        fs::create_directory_symlink(fs::path("..") / ("drive_" + std::string(1, drive)),
                                     prefix / "dosdevices" / (std::string(1, drive) + ":"));
#endif
}

std::vector<InstalledFile> installProduct(const fs::path& prefix, const DemoProduct& product) {
    std::vector<InstalledFile> made;
    auto add = [&](const char* fileName, std::vector<jet::NewTable> tables) {
        const fs::path folder = localDirectory(prefix, product.directory);
        fs::create_directories(folder);
        const fs::path file = folder / fileName;
        writeProductDatabase(file, std::move(tables));
        made.push_back({product.directory, fileName, file});
    };
    const bool fengShui = isFengShui(product.directory);
    if (product.fortunes) add("Tgcode.dll", {fortuneTable()});
    std::vector<jet::NewTable> qorFile;
    if (product.horoscopes) qorFile.push_back(horoscopeTable());
    if (product.almanac && fengShui) qorFile.push_back(almanacTable(product.shape));
    if (!qorFile.empty()) add("QorFile.dll", std::move(qorFile));
    // The almanac upgrade looks for QorBirth.dll in every product, feng-shui ones included.
    if (product.almanac) add("QorBirth.dll", {almanacTable(fengShui ? AlmanacShape::Plain : product.shape)});
    return made;
}

std::vector<InstalledFile> makeDemoPrefix(const fs::path& prefix) {
    if (fs::exists(prefix) && !fs::is_empty(prefix))
        throw std::runtime_error(prefix.string() + ": the folder exists and is not empty");
    makeDrives(prefix);
    std::vector<InstalledFile> made;
    for (const DemoProduct& product : demoProducts()) {
        auto files = installProduct(prefix, product);
        made.insert(made.end(), files.begin(), files.end());
    }
    return made;
}

}  // namespace demo
