#include "jet/create/table_placement.h"

#include "jet/format/page_rows.h"
#include "jet/format/table_definition_writer.h"
#include "jet/format/usage_map.h"
#include "jet/write/index_tree.h"

namespace jet {

namespace {

// Hands out empty inline map rows, starting a new map page when the current one is full.
class MapRows {
public:
    explicit MapRows(FileEditor& editor) : editor_(editor) {}

    RowPointer add() {
        if (page_ == 0 || pageRoomForRow(editor_.page(page_)) < kMapRowSize) {
            page_ = editor_.allocatePage();
            initDataPage(editor_.mutablePage(page_), 0);
        }
        return {page_, appendPageRow(editor_.mutablePage(page_), Bytes(emptyRow_.data(), emptyRow_.size()), 0)};
    }

private:
    FileEditor& editor_;
    std::uint32_t page_ = 0;
    const std::vector<std::uint8_t> emptyRow_ = buildInlineUsageMap(0, {}, kMapBitmapBytes);
};

}  // namespace

void placeTable(FileEditor& editor, TableDefinition& definition) {
    MapRows maps(editor);
    definition.ownedPagesMap = maps.add();
    definition.freePagesMap = maps.add();
    for (auto& index : definition.physicalIndexes) index.ownedPagesMap = maps.add();
    for (auto& longValues : definition.longValueMaps) {
        longValues.ownedPages = maps.add();
        longValues.freePages = maps.add();
    }

    for (auto& index : definition.physicalIndexes) {
        const std::vector<std::uint32_t> used = writeIndexTree(editor.file(), definition.page, {}, {}, [&] {
            const std::uint32_t page = editor.allocatePage();
            editor.setMapBit(index.ownedPagesMap, page, true);
            return page;
        });
        index.rootPage = used.front();
        index.distinctKeyCount = 0;
    }

    const std::vector<std::uint8_t> block = serializeTableDefinition(definition);
    std::vector<std::uint32_t> pages{definition.page};
    while (pages.size() < pagesNeededForDefinition(block.size())) pages.push_back(editor.allocatePage());
    const auto contents = paginateTableDefinition(block, pages);
    for (std::size_t i = 0; i < contents.size(); ++i) std::copy(contents[i].begin(), contents[i].end(), editor.mutablePage(pages[i]));
}

}  // namespace jet
