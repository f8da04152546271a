#include "jet/check/page_ownership.h"

#include <string>

#include "jet/error.h"
#include "jet/format/index_node.h"
#include "jet/format/usage_map.h"
#include "jet/format/index_tree.h"

namespace jet {

namespace {

class TableWalk {
public:
    TableWalk(const PageFile& file, WalkedTable& table, PageClaims& claims, UsageMapRows& mapRows)
        : file_(file), table_(table), claims_(claims), mapRows_(mapRows) {}

    void walk(std::uint32_t definitionPage) {
        readDefinition(definitionPage);
        const TableDefinition& definition = table_.definition;
        table_.owned = map(definition.ownedPagesMap, "owned-pages map");
        map(definition.freePagesMap, "free-space map");
        for (const LongValueMaps& maps : definition.longValueMaps) {
            const std::string column = columnName(maps.columnNumber);
            map(maps.ownedPages, "long-value map of column " + column, true);
            map(maps.freePages, "long-value free-space map of column " + column, true);
        }
        for (std::size_t i = 0; i < definition.physicalIndexes.size(); ++i) walkIndex(i);
    }

private:
    [[noreturn]] void fail(const std::string& cause) const { throw Error(ErrorKind::Damaged, file_.path(), table_.name, cause); }

    void readDefinition(std::uint32_t first) {
        if (first >= file_.pageCount())
            fail("the definition at page " + std::to_string(first) + " lies past the end of the file (" + std::to_string(file_.pageCount()) + " pages)");
        std::vector<std::uint32_t> chain;
        try {
            table_.definition = readTableDefinition(file_, first);
            chain = definitionChain(file_, first);
        } catch (const Damage& damage) {
            fail(std::string("the definition at page ") + std::to_string(first) + " is unreadable: " + damage.what());
        }
        table_.definition.name = table_.name;
        const std::uint32_t owner = claims_.addOwner(table_.key, table_.name, "definition");
        for (std::uint32_t page : chain) claims_.claim(page, owner);
    }

    std::string columnName(std::uint16_t number) const {
        for (const ColumnDefinition& column : table_.definition.columns)
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
            const std::uint32_t owner = claims_.addOwner(table_.key, table_.name, what + " bitmap");
            for (std::uint32_t page : content.bitmapPages) claims_.claim(page, owner);
        }
        for (std::uint32_t page : content.pages) claims_.list(page, table_.key, table_.name, what);
        table_.listed.insert(table_.listed.end(), content.pages.begin(), content.pages.end());
        return content;
    }

    void walkIndex(std::size_t number) {
        const TableDefinition& definition = table_.definition;
        const PhysicalIndex& index = definition.physicalIndexes[number];
        std::string name = "index " + std::to_string(number);
        for (const LogicalIndex& logical : definition.logicalIndexes)
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
        const std::uint32_t owner = claims_.addOwner(table_.key, table_.name, name);
        for (std::uint32_t page : pages) {
            if (page >= file_.pageCount()) fail(name + " uses page " + std::to_string(page) + ", past the end of the file");
            claims_.claim(page, owner);   // first, so that a page two indexes share is named as such
            const IndexNodeHeader header = readIndexNodeHeader(file_.page(page));
            if (!header.isLeaf() && !header.isNode())
                fail(name + ": page " + std::to_string(page) + " is not an index page (type " + std::to_string(header.type) + ")");
            if (header.owner != definition.page)
                fail(name + ": index page " + std::to_string(page) + " points at the definition at page " + std::to_string(header.owner));
        }
        map(index.ownedPagesMap, name + "'s owned-pages map", true);
    }

    const PageFile& file_;
    WalkedTable& table_;
    PageClaims& claims_;
    UsageMapRows& mapRows_;
};

}  // namespace

PageOwnership::PageOwnership(const PageFile& file) : file_(file), claims_(file) {
    claims_.claim(0, claims_.addOwner(0, "", "file header"));
    mapRows_.owner = claims_.addOwner(0, "", "usage map rows");
    mapRows_.used.insert(kGlobalUsageMap.raw());
    claims_.claim(kGlobalUsageMap.page, mapRows_.owner);
}

void PageOwnership::walk(const std::vector<CatalogueEntry>& catalogue, const std::function<void(const WalkedTable&)>& visit) {
    std::uint32_t key = 0;
    bool catalogueListed = false;
    auto walkOne = [&](const std::string& name, std::uint32_t definitionPage) {
        WalkedTable table;
        table.key = ++key;
        table.name = name;
        TableWalk(file_, table, claims_, mapRows_).walk(definitionPage);
        if (visit) visit(table);
    };
    for (const CatalogueEntry& entry : catalogue) {
        if (!entry.isTable()) continue;
        catalogueListed = catalogueListed || entry.definitionPage() == kCatalogueTablePage;
        walkOne(entry.name, entry.definitionPage());
    }
    if (!catalogueListed) walkOne("MSysObjects", kCatalogueTablePage);
}

}  // namespace jet
