#include "jet/check/index_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "jet/format/index_key.h"
#include "jet/read/catalogue.h"
#include "jet/format/index_tree.h"
#include "jet/format/row_decoder.h"
#include "jet/format/row_index_key.h"
#include "jet/read/live_rows.h"

namespace jet {

namespace {

std::string where(const TableDefinition& table, std::size_t index) {
    return table.name + "." + physicalIndexName(table, index) + ": ";
}

// Walks the tree level by level; checks links and node entries. Returns the last leaf entry
// below `page`.
std::vector<std::uint8_t> checkSubtree(const PageFile& file, std::uint32_t page, std::size_t depth,
                                       std::map<std::size_t, std::vector<std::uint32_t>>& levels, std::set<std::uint32_t>& seen,
                                       const std::string& prefix, std::vector<std::string>& problems) {
    if (depth > 8) throw Damage("index tree too deep");
    // A page reached again is a loop; walking it again would cost time exponential in the depth.
    if (!seen.insert(page).second) throw Damage("index page " + std::to_string(page) + " is reached twice");
    levels[depth].push_back(page);
    const ByteView view = file.page(page);
    const auto entries = readIndexPageEntries(view.bytes());
    const IndexNodeHeader header = readIndexNodeHeader(view);
    if (header.isLeaf()) return entries.empty() ? std::vector<std::uint8_t>{} : entries.back();
    std::vector<std::uint8_t> last;
    for (const auto& entry : entries) {
        const std::vector<std::uint8_t> childLast = checkSubtree(file, entryChild(entry), depth + 1, levels, seen, prefix, problems);
        if (!std::equal(childLast.begin(), childLast.end(), entry.begin(), entry.end() - index_node::kChildPointerSize))
            problems.push_back(prefix + "node page " + std::to_string(page) + " has an entry that is not its child's last entry");
        last = childLast;
    }
    if (header.tail != 0) last = checkSubtree(file, header.tail, depth + 1, levels, seen, prefix, problems);
    return last;
}

}  // namespace

std::vector<std::string> checkTableIndexes(const PageFile& file, const TableDefinition& table, bool exactKeyCounts) {
    std::vector<std::string> problems;
    const std::vector<LiveRow> rows = listLiveRows(file, ownedDataPages(file, table));
    std::vector<std::vector<Value>> rowValues;
    const RowDecoder decoder(file, table);
    for (const auto& row : rows) {
        std::vector<Value> values;
        decoder.decode(DataPage(file.page(row.data.page)).row(row.data.row).bytes, values);
        rowValues.push_back(std::move(values));
    }
    if (table.rowCount != rows.size())
        problems.push_back(table.name + ": the definition counts " + std::to_string(table.rowCount) + " rows, the pages hold " + std::to_string(rows.size()));

    for (std::size_t i = 0; i < table.physicalIndexes.size(); ++i) {
        const std::string prefix = where(table, i);
        const PhysicalIndex& physical = table.physicalIndexes[i];
        std::map<std::size_t, std::vector<std::uint32_t>> levels;
        std::set<std::uint32_t> seen;
        checkSubtree(file, physical.rootPage, 0, levels, seen, prefix, problems);
        for (const auto& [depth, pages] : levels)
            for (std::size_t p = 0; p < pages.size(); ++p) {
                const IndexNodeHeader header = readIndexNodeHeader(file.page(pages[p]));
                if (header.previous != (p > 0 ? pages[p - 1] : 0) || header.next != (p + 1 < pages.size() ? pages[p + 1] : 0))
                    problems.push_back(prefix + "page " + std::to_string(pages[p]) + " is not linked to its neighbours on level " + std::to_string(depth));
            }
        const std::vector<IndexEntryBytes> entries = readIndexTree(file, physical.rootPage).entries;
        for (std::size_t e = 1; e < entries.size(); ++e)
            if (!(entries[e - 1] < entries[e])) problems.push_back(prefix + "entries " + std::to_string(e - 1) + " and " + std::to_string(e) + " are out of order");

        std::map<std::uint32_t, std::vector<std::uint8_t>> keyOfRow;   // by raw row pointer
        std::size_t distinct = 0;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            const std::vector<std::uint8_t> key(entries[e].begin(), entries[e].end() - index_node::kRowPointerSize);
            if (e == 0 || key != std::vector<std::uint8_t>(entries[e - 1].begin(), entries[e - 1].end() - index_node::kRowPointerSize)) ++distinct;
            else if ((physical.flags & kIndexUniqueFlag) && !isAllNullKey(key, physical.columns.size()))
                problems.push_back(prefix + "unique index holds a key twice");
            if (!keyOfRow.emplace(entryRow(entries[e]).raw(), key).second)
                problems.push_back(prefix + "row " + std::to_string(entryRow(entries[e]).page) + ":" + std::to_string(entryRow(entries[e]).row) + " has more than one entry");
        }
        if (exactKeyCounts && distinct != physical.distinctKeyCount)
            problems.push_back(prefix + "the definition counts " + std::to_string(physical.distinctKeyCount) + " distinct keys, the index holds " + std::to_string(distinct));

        std::size_t expected = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::uint8_t> key;
            bool allNull = true;
            bool included = true, encodable = true;
            try {
                included = rowIndexKey(table, i, valuePointers(rowValues[r]), key, allNull);
            } catch (const std::invalid_argument&) {
                encodable = false;   // the entry's presence is still checked below
            } catch (const std::out_of_range& error) {
                throw Damage(error.what());   // the definition names a column the table lacks
            }
            if (!included) continue;
            ++expected;
            const auto found = keyOfRow.find(rows[r].id.raw());
            if (found == keyOfRow.end()) {
                problems.push_back(prefix + "row " + std::to_string(rows[r].id.page) + ":" + std::to_string(rows[r].id.row) + " has no entry");
                continue;
            }
            if (encodable && found->second != key)
                problems.push_back(prefix + "row " + std::to_string(rows[r].id.page) + ":" + std::to_string(rows[r].id.row) + " has an entry with the wrong key");
        }
        if (entries.size() != expected)
            problems.push_back(prefix + std::to_string(entries.size()) + " entries for " + std::to_string(expected) + " indexed rows");
    }
    return problems;
}

std::vector<std::string> checkAllIndexes(const PageFile& file, bool exactKeyCounts) {
    std::vector<std::string> problems;
    for (const auto& entry : readCatalogue(file)) {
        if (!entry.isTable() || entry.isSystem()) continue;
        TableDefinition table = readTableDefinition(file, entry.definitionPage());
        table.name = entry.name;
        for (auto& problem : checkTableIndexes(file, table, exactKeyCounts)) problems.push_back(std::move(problem));
    }
    return problems;
}

}  // namespace jet
