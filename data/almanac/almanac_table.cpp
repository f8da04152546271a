#include "data/almanac/almanac_table.h"

#include "text/gbk_codec.h"

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

}  // namespace

std::size_t almanacDayCount() { return rows().size(); }

std::array<std::string_view, kAlmanacColumnCount> almanacDay(std::size_t i) {
    const auto& all = rows();
    if (i >= all.size())
        throw std::out_of_range(std::string(kSource) + " (almanac table huangdao): day " + std::to_string(i) +
                                " requested, the table has " + std::to_string(all.size()) + " days");
    return all[i];
}

std::array<std::string, kAlmanacColumnCount> almanacDayGbk(std::size_t i) {
    const AlmanacRow day = almanacDay(i);
    std::array<std::string, kAlmanacColumnCount> gbk;
    for (std::size_t c = 0; c < kAlmanacColumnCount; ++c) {
        try {
            gbk[c] = text::utf8ToGbk(day[c]);
        } catch (const text::EncodingError& e) {
            throw text::EncodingError(std::string(kSource) + " (almanac table huangdao), day " + std::string(day[0]) +
                                             ", column " + std::string(kAlmanacColumns[c]) + ": " + e.what());
        }
    }
    return gbk;
}

}  // namespace content
