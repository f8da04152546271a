// Long values: every size is stored in the form other readers expect (one row up to 4,076
// bytes, chains of 4,072-byte chunks above) and reads back byte for byte, chunk boundaries
// included; fields that do not hold what they claim are damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/long_value.h"
#include "jet/format/data_page.h"

namespace jet {
namespace {

constexpr std::uint32_t kLvalOwner = 0x4C41564C;   // "LVAL"

// Long-value rows placed one per page of a growing image, as a table writer would place them.
struct LongValuePages {
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kPageSize);   // page 0 unused
    RowPointer place(Bytes row) {
        const std::uint32_t page = static_cast<std::uint32_t>(image.size() / kPageSize);
        image.resize(image.size() + kPageSize);
        initDataPage(image.data() + page * kPageSize, kLvalOwner);
        return {page, appendPageRow(image.data() + page * kPageSize, row, 0)};
    }
};

std::vector<std::uint8_t> patterned(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 251);
    return bytes;
}

TEST(LongValue, EverySizeIsStoredInItsFormAndReadsBack) {
    struct Case {
        std::size_t size;
        LongValueForm form;
        std::size_t rows;
    };
    const Case cases[] = {{0, LongValueForm::SingleRow, 1},     {65, LongValueForm::SingleRow, 1},  {4076, LongValueForm::SingleRow, 1},
                          {4077, LongValueForm::Chain, 2},      {8144, LongValueForm::Chain, 2},    {8145, LongValueForm::Chain, 3},
                          {3 * 4072 + 1, LongValueForm::Chain, 4}};
    for (const Case& c : cases) {
        LongValuePages pages;
        const std::vector<std::uint8_t> stored = patterned(c.size);
        const std::vector<std::uint8_t> field = storeLongValueRows(stored, [&](Bytes row) { return pages.place(row); });
        ASSERT_EQ(field.size(), kLongValueHeaderSize) << c.size;
        const LongValueField header = decodeLongValueField(field);
        EXPECT_EQ(header.form, c.form) << c.size;
        EXPECT_EQ(header.length, c.size);
        EXPECT_EQ(pages.image.size() / kPageSize - 1, c.rows) << c.size;
        // Chain rows hold full chunks except the last, and the first row holds the start.
        if (c.form == LongValueForm::Chain) {
            const PageFile file = PageFile::fromImage("lv.mdb", pages.image);
            const LongValueChainRow first = decodeChainRow(readPointedRow(file, header.first, "first"));
            EXPECT_EQ(first.data.size(), kLongValueChainChunk);
            EXPECT_TRUE(std::equal(first.data.begin(), first.data.end(), stored.begin()));
        }
        EXPECT_EQ(readLongValue(PageFile::fromImage("lv.mdb", pages.image), field), stored) << c.size;
    }

    const std::vector<std::uint8_t> small = patterned(64);
    const std::vector<std::uint8_t> inlined = encodeInlineLongValue(small);
    EXPECT_EQ(decodeLongValueField(inlined).form, LongValueForm::Inline);
    EXPECT_EQ(readLongValue(PageFile::fromImage("lv.mdb", std::vector<std::uint8_t>(kPageSize)), inlined), small);
}

TEST(LongValue, FieldsThatDoNotHoldWhatTheyClaimAreDamage) {
    const std::vector<std::uint8_t> inlined = encodeInlineLongValue(patterned(10));
    std::vector<std::uint8_t> overclaiming = inlined;
    overclaiming[0] = 11;
    std::vector<std::uint8_t> unknownForm = encodeLongValueField(LongValueForm::Chain, 10, {1, 0});
    unknownForm[3] = 0x20;
    const std::vector<std::uint8_t> shortHeader(inlined.begin(), inlined.begin() + 11);
    for (const auto& field : {overclaiming, unknownForm, shortHeader}) EXPECT_THROW(decodeLongValueField(field), Damage);

    // A chain whose rows end before its length, and one that loops back on itself.
    LongValuePages pages;
    const std::vector<std::uint8_t> stored = patterned(5000);
    std::vector<std::uint8_t> field = storeLongValueRows(stored, [&](Bytes row) { return pages.place(row); });
    putU24(field.data(), 9000);
    EXPECT_THROW(readLongValue(PageFile::fromImage("lv.mdb", pages.image), field), Damage);
    const LongValueField header = decodeLongValueField(field);
    std::vector<std::uint8_t> looping = pages.image;
    const PageFile file = PageFile::fromImage("lv.mdb", looping);
    const Bytes firstRow = readPointedRow(file, header.first, "first");
    const std::size_t at = static_cast<std::size_t>(firstRow.data() - file.page(header.first.page).bytes().data()) + header.first.page * kPageSize;
    putU32(looping.data() + at, header.first.raw());
    EXPECT_THROW(readLongValue(PageFile::fromImage("lv.mdb", looping), field), Damage);
}

}  // namespace
}  // namespace jet
