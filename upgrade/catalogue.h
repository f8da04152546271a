#pragma once
// The installation catalogue: three fixed, ordered lists of the directories in
// which the sibling products may be installed. The upgrade actions probe every
// entry of their list; the disk and the registry are never searched.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace upgrade {

// Category words that decide what an upgrade does with a product.
inline constexpr std::string_view kMarriageWord = "合婚";  // no zodiac-fortune table
inline constexpr std::string_view kFengShuiWord = "风水";  // almanac lives in QorFile.dll

class CatalogueList {
public:
    explicit CatalogueList(std::vector<std::string> rows);

    std::size_t count() const { return rows_.size(); }
    // Row i with leading and trailing blanks and control characters removed:
    // an installation directory such as "D:\Program Files\Quelvor软件\…".
    std::string entry(std::size_t i) const;
    // Row i exactly as stored.
    const std::string& rawRow(std::size_t i) const { return rows_.at(i); }

private:
    std::vector<std::string> rows_;
};

// The fortune list walked by the yearly fortune upgrade (36 rows).
const CatalogueList& fortuneList();
// The almanac list walked by the almanac upgrade (119 rows).
const CatalogueList& almanacList();
// The second almanac list of the hidden almanac action (18 rows).
const CatalogueList& secondAlmanacList();

}  // namespace upgrade
