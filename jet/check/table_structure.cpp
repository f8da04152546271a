#include "jet/check/table_structure.h"

#include <algorithm>
#include <string>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/error.h"
#include "jet/write/index_tree.h"
#include "jet/check/long_value_structure.h"
#include "jet/format/usage_map.h"
#include "jet/format/table_definition.h"

namespace jet {

namespace {

class TableStructure {
public:
    TableStructure(const PageFile& file, std::uint32_t tableKey, const std::string& name, PageClaims& claims, UsageMapRows& mapRows)
        : file_(file), key_(tableKey), name_(name), claims_(claims), mapRows_(mapRows) {}

    void check(std::uint32_t definitionPage) {
        readDefinition(definitionPage);
        const MapContent owned = map(table_.ownedPagesMap, "owned-pages map");
        map(table_.freePagesMap, "free-space map");
        for (const LongValueMaps& maps : table_.longValueMaps) {
            const std::string column = columnName(maps.columnNumber);
            map(maps.ownedPages, "long-value map of column " + column, true);
            map(maps.freePages, "long-value free-space map of column " + column, true);
        }
        for (std::size_t i = 0; i < table_.physicalIndexes.size(); ++i) checkIndex(i);
        LongValueStructure longValues(file_, table_, claims_, key_);
        checkDataPages(owned, longValues);
        checkLongValuePagesListed(longValues.pagesUsed());
    }

private:
    [[noreturn]] void fail(const std::string& cause) const { throw Error(ErrorKind::Damaged, file_.path(), name_, cause); }

    void readDefinition(std::uint32_t first) {
        if (first >= file_.pageCount())
            fail("the definition at page " + std::to_string(first) + " lies past the end of the file (" + std::to_string(file_.pageCount()) + " pages)");
        try {
            table_ = readTableDefinition(file_, first);
        } catch (const Damage& damage) {
            fail(std::string("the definition at page ") + std::to_string(first) + " is unreadable: " + damage.what());
        }
        table_.name = name_;
        // The chain was followed once without loops; claim its pages.
        const std::uint32_t owner = claims_.addOwner(key_, name_, "definition");
        for (std::uint32_t page = first; page != 0; page = file_.page(page).u32(4, "next definition page")) claims_.claim(page, owner);
    }

    std::string columnName(std::uint16_t number) const {
        for (const ColumnDefinition& column : table_.columns)
            if (column.number == number) return column.name;
        fail("a long-value map names column number " + std::to_string(number) + ", which the table does not have");
    }

    // Reads a usage map of the table; claims the page of its row and its bitmap pages, and lists
    // the pages it records for the table.
    MapContent map(RowPointer pointer, const std::string& what, bool optional = false) {
        MapContent content;
        if (optional && pointer.raw() == 0) return content;   // the column or index has no such map
        try {
            content = readMapContent(file_, pointer);
        } catch (const Damage& damage) {
            fail("its " + what + " at page " + std::to_string(pointer.page) + " row " + std::to_string(pointer.row) + " is unreadable: " + damage.what());
        }
        if (content.anyPastEnd)
            fail("its " + what + " lists page " + std::to_string(content.firstPastEnd) + ", past the end of the file (" +
                 std::to_string(file_.pageCount()) + " pages)");
        if (!mapRows_.used.insert(pointer.raw()).second)
            fail("its " + what + " at page " + std::to_string(pointer.page) + " row " + std::to_string(pointer.row) + " is the row of another usage map too");
        claims_.claim(pointer.page, mapRows_.owner);
        if (!content.bitmapPages.empty()) {
            const std::uint32_t owner = claims_.addOwner(key_, name_, what + " bitmap");
            for (std::uint32_t page : content.bitmapPages) claims_.claim(page, owner);
        }
        for (std::uint32_t page : content.pages) claims_.list(page, key_, name_, what);
        listed_.insert(listed_.end(), content.pages.begin(), content.pages.end());
        return content;
    }

    // Data pages are the owned pages that point back at the definition; a page that does not is
    // slack Access leaves (given back, or used by the table's long values).
    void checkDataPages(const MapContent& owned, LongValueStructure& longValues) {
        const std::uint32_t owner = claims_.addOwner(key_, name_, "data pages");
        std::uint64_t liveRows = 0;
        for (std::uint32_t pageNumber : owned.pages) {
            const ByteView view = file_.page(pageNumber);
            if (!isDataPageOwnedBy(view, table_.page)) continue;
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
        if (liveRows != table_.rowCount)
            fail("the definition counts " + std::to_string(table_.rowCount) + " rows, its data pages hold " + std::to_string(liveRows));
    }

    // A long value stays within its table: every long-value page its rows use is one that a
    // usage map of the table lists.
    void checkLongValuePagesListed(std::vector<std::uint32_t> used) {
        if (used.empty()) return;
        std::sort(listed_.begin(), listed_.end());
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        for (std::uint32_t page : used)
            if (!std::binary_search(listed_.begin(), listed_.end(), page))
                fail("its long values use page " + std::to_string(page) + ", which none of its usage maps lists");
    }

    void checkIndex(std::size_t number) {
        const PhysicalIndex& index = table_.physicalIndexes[number];
        std::string name = "index " + std::to_string(number);
        for (const LogicalIndex& logical : table_.logicalIndexes)
            if (logical.physicalIndex == number) {
                name = "index " + logical.name;
                break;
            }
        if (index.rootPage >= file_.pageCount())
            fail(name + ": its root page " + std::to_string(index.rootPage) + " lies past the end of the file (" + std::to_string(file_.pageCount()) + " pages)");
        std::vector<std::uint32_t> pages;
        try {
            pages = indexTreePages(file_, index.rootPage);
        } catch (const Damage& damage) {
            fail(name + " (root page " + std::to_string(index.rootPage) + "): " + damage.what());
        }
        const std::uint32_t owner = claims_.addOwner(key_, name_, name);
        for (std::uint32_t page : pages) {
            if (page >= file_.pageCount()) fail(name + " uses page " + std::to_string(page) + ", past the end of the file");
            claims_.claim(page, owner);   // first, so that a page two indexes share is named as such
            const ByteView view = file_.page(page);
            const std::uint8_t type = view.u8(0, "page type");
            if (type != static_cast<std::uint8_t>(PageType::IndexLeaf) && type != static_cast<std::uint8_t>(PageType::IndexNode))
                fail(name + ": page " + std::to_string(page) + " is not an index page (type " + std::to_string(type) + ")");
            if (view.u32(4, "index page owner") != table_.page)
                fail(name + ": index page " + std::to_string(page) + " points at the definition at page " +
                     std::to_string(view.u32(4, "index page owner")));
        }
        map(index.ownedPagesMap, name + "'s owned-pages map", true);
    }

    const PageFile& file_;
    std::uint32_t key_;
    std::string name_;
    PageClaims& claims_;
    UsageMapRows& mapRows_;
    TableDefinition table_;
    std::vector<std::uint32_t> listed_;   // pages the table's usage maps list
};

}  // namespace

void checkTableStructure(const PageFile& file, std::uint32_t tableKey, const std::string& name, std::uint32_t definitionPage,
                         PageClaims& claims, UsageMapRows& mapRows) {
    TableStructure(file, tableKey, name, claims, mapRows).check(definitionPage);
}

}  // namespace jet
