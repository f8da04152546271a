#include "jet/create/table_placement.h"

#include "jet/format/data_page.h"
#include "jet/format/table_definition.h"
#include "jet/format/usage_map.h"
#include "jet/format/index_tree.h"

namespace jet {

namespace {

constexpr std::uint32_t kMapPageOwner = 0;

// Hands out empty inline map rows, starting a new map page when the current one is full.
class MapRows {
public:
    MapRows(FileEditor& editor, std::uint32_t sharedPage) : editor_(editor) {
        if (sharedPage != 0 && sharedPage < editor_.file().pageCount() && holdsOnlyMapRows(editor_.page(sharedPage))) page_ = sharedPage;
    }

    RowPointer add() {
        if (page_ == 0 || pageRoomForRow(editor_.page(page_)) < kMapRowSize) {
            page_ = editor_.allocatePage();
            initDataPage(editor_.mutablePage(page_), kMapPageOwner);
        }
        return {page_, appendPageRow(editor_.mutablePage(page_), Bytes(emptyRow_.data(), emptyRow_.size()), 0)};
    }

private:
    static bool holdsOnlyMapRows(Bytes page) {
        return page[0] == static_cast<std::uint8_t>(PageType::Data) && DataPage(ByteView(page)).owner() == kMapPageOwner;
    }

    FileEditor& editor_;
    std::uint32_t page_ = 0;
    const std::vector<std::uint8_t> emptyRow_ = encodeInlineUsageMap(0, {}, kMapBitmapBytes);
};

}  // namespace

void placeTable(FileEditor& editor, TableDefinition& definition, std::uint32_t sharedMapPage) {
    MapRows maps(editor, sharedMapPage);
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
