#include "jet/create/table_index_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/format/index_builder.h"
#include "jet/format/index_key.h"
#include "jet/write/row_index_key.h"

namespace jet {

std::vector<std::vector<std::uint32_t>> buildTableIndexes(PageAllocator& pages, TableDefinition& definition,
                                                          const std::vector<std::vector<Value>>& rows,
                                                          const std::vector<RowPointer>& positions, const std::string& path) {
    std::vector<std::vector<std::uint32_t>> indexPages;
    for (std::size_t i = 0; i < definition.physicalIndexes.size(); ++i) {
        PhysicalIndex& index = definition.physicalIndexes[i];
        const std::string& indexName = definition.logicalIndexes[i].name;
        const auto context = [&](const std::string& column) {
            return ErrorContext{path, definition.name, column, indexName, physicalIndexColumnNames(definition, i)};
        };
        std::vector<IndexEntry> entries;
        entries.reserve(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            IndexEntry entry;
            entry.row = positions[r];
            for (const auto& keyColumn : index.columns) {
                std::size_t c = 0;
                while (definition.columns[c].number != keyColumn.columnNumber) ++c;
                const ColumnDefinition& column = definition.columns[c];
                const Value& value = rows[r][c];
                if ((index.flags & kIndexRequiredFlag) && isNull(value))
                    throw Error(ErrorKind::InvalidArgument, context(column.name),
                                "row " + std::to_string(r + 1) + ": primary key column " + column.name + " is NULL");
                try {
                    appendIndexKey(entry.key, column.columnType(), column.sortOrder, value);
                } catch (const std::invalid_argument& bad) {
                    throw Error(ErrorKind::Unsupported, context(column.name),
                                "index " + indexName + ", row " + std::to_string(r + 1) + ": " + bad.what());
                }
            }
            entries.push_back(std::move(entry));
        }
        // Rows whose key columns are all NULL do not count against uniqueness.
        std::vector<std::vector<std::uint8_t>> keys;
        std::size_t allNull = 0;
        for (const auto& entry : entries) {
            if (std::all_of(entry.key.begin(), entry.key.end(), [](std::uint8_t b) { return b == 0; }) &&
                entry.key.size() == index.columns.size())
                ++allNull;
            else
                keys.push_back(entry.key);
        }
        std::sort(keys.begin(), keys.end());
        const std::size_t distinct = static_cast<std::size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
        if ((index.flags & kIndexUniqueFlag) && distinct != keys.size())
            throw Error(ErrorKind::InvalidArgument, context({}), "index " + indexName + " is unique but rows repeat a key");
        index.distinctKeyCount = static_cast<std::uint32_t>(distinct + (allNull ? 1 : 0));
        BuiltIndex built;
        try {
            built = buildIndexPages(pages, definition.page, std::move(entries));
        } catch (const std::invalid_argument& bad) {
            throw Error(ErrorKind::Unsupported, context({}), "index " + indexName + ": " + bad.what());
        }
        index.rootPage = built.rootPage;
        indexPages.push_back(built.pages);
    }
    return indexPages;
}

}  // namespace jet
