#include "jet/check/table_structure.h"

#include <algorithm>
#include <string>
#include <vector>

#include "jet/check/long_value_structure.h"
#include "jet/error.h"
#include "jet/format/data_page.h"

namespace jet {

namespace {

class TableContent {
public:
    TableContent(const PageFile& file, const WalkedTable& table, PageClaims& claims) : file_(file), table_(table), claims_(claims) {}

    void check() {
        LongValueStructure longValues(file_, table_.definition, claims_, table_.key);
        checkDataPages(longValues);
        checkLongValuePagesListed(longValues.pagesUsed());
    }

private:
    [[noreturn]] void fail(const std::string& cause) const { throw Error(ErrorKind::Damaged, file_.path(), table_.name, cause); }

    // Data pages are the owned pages that point back at the definition; a page that does not is
    // slack Access leaves (given back, or used by the table's long values).
    void checkDataPages(LongValueStructure& longValues) {
        const std::uint32_t owner = claims_.addOwner(table_.key, table_.name, "data pages");
        const std::uint32_t definitionPage = table_.definition.page;
        std::uint64_t liveRows = 0;
        for (std::uint32_t pageNumber : table_.owned.pages) {
            const ByteView view = file_.page(pageNumber);
            if (!isDataPageOwnedBy(view, definitionPage)) continue;
            claims_.claim(pageNumber, owner);
            try {
                const DataPage page(view);
                for (std::uint16_t row = 0; row < page.rowCount(); ++row) {
                    // Overflow stubs and deleted rows carry 0x4000; the data of a moved row is
                    // counted where it lies.
                    if (page.rowFlags(row) & kRowOverflowFlag) continue;
                    ++liveRows;
                    if (longValues.hasLongValueColumns()) longValues.checkRow(page.row(row).bytes, pageNumber, row);
                }
            } catch (const Damage& damage) {
                fail("data page " + std::to_string(pageNumber) + ": " + damage.what());
            }
        }
        if (liveRows != table_.definition.rowCount)
            fail("the definition counts " + std::to_string(table_.definition.rowCount) + " rows, its data pages hold " + std::to_string(liveRows));
    }

    // A long value stays within its table: every long-value page its rows use is one that a
    // usage map of the table lists.
    void checkLongValuePagesListed(std::vector<std::uint32_t> used) {
        if (used.empty()) return;
        std::vector<std::uint32_t> listed = table_.listed;
        std::sort(listed.begin(), listed.end());
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        for (std::uint32_t page : used)
            if (!std::binary_search(listed.begin(), listed.end(), page))
                fail("its long values use page " + std::to_string(page) + ", which none of its usage maps lists");
    }

    const PageFile& file_;
    const WalkedTable& table_;
    PageClaims& claims_;
};

}  // namespace

void checkTableContent(const PageFile& file, const WalkedTable& table, PageClaims& claims) { TableContent(file, table, claims).check(); }

}  // namespace jet
