#include "data/almanac/almanac_table.h"

#include "upgrade/gbk_codec.h"
#include "upgrade/utf8.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace content {

std::string_view almanac_tsv();  // embedded data/almanac/almanac.tsv

namespace {

constexpr std::string_view kSource = "data/almanac/almanac.tsv";

const std::vector<AlmanacRow>& rows() {
    static const std::vector<AlmanacRow> parsed = parseAlmanacText(almanac_tsv(), kSource);
    return parsed;
}

// Every value of the table as UTF-16, one after the other, and where each day's values end.
struct Utf16Table {
    std::u16string units;
    std::vector<std::array<std::size_t, kAlmanacColumnCount>> ends;
};

const Utf16Table& utf16Table() {
    static const Utf16Table table = [] {
        Utf16Table converted;
        const auto& all = rows();
        converted.ends.reserve(all.size());
        converted.units.reserve(almanac_tsv().size());   // never more units than UTF-8 bytes
        for (const AlmanacRow& day : all) {
            std::array<std::size_t, kAlmanacColumnCount> ends{};
            for (std::size_t c = 0; c < kAlmanacColumnCount; ++c) {
                upgrade::appendUtf16(converted.units, day[c]);
                ends[c] = converted.units.size();
            }
            converted.ends.push_back(ends);
        }
        return converted;
    }();
    return table;
}

void checkDay(std::size_t i, std::size_t count) {
    if (i >= count)
        throw std::out_of_range(std::string(kSource) + " (almanac table huangdao): day " + std::to_string(i) +
                                " requested, the table has " + std::to_string(count) + " days");
}

}  // namespace

std::size_t almanacDayCount() { return rows().size(); }

std::array<std::string_view, kAlmanacColumnCount> almanacDay(std::size_t i) {
    const auto& all = rows();
    checkDay(i, all.size());
    return all[i];
}

std::array<std::u16string_view, kAlmanacColumnCount> almanacDayUtf16(std::size_t i) {
    const Utf16Table& table = utf16Table();
    checkDay(i, table.ends.size());
    std::array<std::u16string_view, kAlmanacColumnCount> day;
    std::size_t start = i == 0 ? 0 : table.ends[i - 1].back();
    for (std::size_t c = 0; c < kAlmanacColumnCount; ++c) {
        day[c] = std::u16string_view(table.units).substr(start, table.ends[i][c] - start);
        start = table.ends[i][c];
    }
    return day;
}

std::array<std::string, kAlmanacColumnCount> almanacDayGbk(std::size_t i) {
    const AlmanacRow day = almanacDay(i);
    std::array<std::string, kAlmanacColumnCount> gbk;
    for (std::size_t c = 0; c < kAlmanacColumnCount; ++c) {
        try {
            gbk[c] = upgrade::utf8ToGbk(day[c]);
        } catch (const upgrade::TextEncodingError& e) {
            throw upgrade::TextEncodingError(std::string(kSource) + " (almanac table huangdao), day " + std::string(day[0]) +
                                             ", column " + std::string(kAlmanacColumns[c]) + ": " + e.what());
        }
    }
    return gbk;
}

}  // namespace content
