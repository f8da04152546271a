#pragma once
// A Wine-style prefix with a handful of installed products, their databases
// holding last edition's content, for trying the patch out and for end-to-end
// tests: an ordinary product, feng-shui products with both database files, a
// marriage-matching product, products on drives C and E, and a directory that
// the almanac list names twice.

#include "jet/create/new_table.h"

#include <filesystem>
#include <string>
#include <vector>

namespace demo {

struct InstalledFile {
    std::string directory;  // as the catalogue writes it, "D:\Program Files\…"
    std::string fileName;   // "QorBirth.dll", "QorFile.dll" or "Tgcode.dll"
    std::filesystem::path path;
};

// Creates the prefix folder (which must not exist yet or be empty) with its
// drive links and product databases. Returns every database file made.
std::vector<InstalledFile> makeDemoPrefix(const std::filesystem::path& prefix);

// The parts it is made of, for larger installations (benchmarks).
// Drives C, D and E as folders drive_c … of the prefix, linked from dosdevices
// (on Linux, where Wine reads them).
void makeDrives(const std::filesystem::path& prefix);

enum class AlmanacShape { Plain, WithAutoNumberKey, WithDateIndex };

// The tables of the products' databases, holding last edition's content:
// huangdao (the first 365 days), Bennian2011 and xingzuo2007.
jet::NewTable almanacTable(AlmanacShape shape);
jet::NewTable fortuneTable();
jet::NewTable horoscopeTable();
// Writes a product database (Chinese code page and sort order) holding these
// tables and the product's own settings table.
void writeProductDatabase(const std::filesystem::path& file, std::vector<jet::NewTable> tables);

struct DemoProduct {
    std::string directory;
    bool almanac = false;     // QorBirth.dll with huangdao (QorFile.dll too for feng-shui products)
    bool horoscopes = false;  // QorFile.dll with xingzuo2007
    bool fortunes = false;    // Tgcode.dll with Bennian2011
    AlmanacShape shape = AlmanacShape::Plain;
};

// The local folder of a catalogue directory ("X:\a\b") inside a prefix made by makeDrives.
std::filesystem::path localDirectory(const std::filesystem::path& prefix, const std::string& directory);

// Installs one product's databases into a prefix made by makeDrives.
std::vector<InstalledFile> installProduct(const std::filesystem::path& prefix, const DemoProduct& product);

}  // namespace demo
