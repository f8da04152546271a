#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/write/table_writer.h"

namespace jet {

// What a statement changes in the write path's memory besides the page image (which the page
// file's journal keeps): the state of the tables it writes. Each table is remembered before the
// statement first changes it and put back when the statement is refused.
class StatementUndo {
public:
    void clear() { saved_.clear(); }
    // Remembers `table` as it is now, with the entries of the indexes `indexes` marks (a
    // statement leaves out the indexes it does not change, and those it only adds entries to
    // once nothing can fail any more).
    void remember(TableState& table, const std::vector<bool>& indexes);
    // Puts every remembered table back, the last remembered first.
    void restore();

private:
    struct Saved {
        TableState* table = nullptr;
        std::vector<std::uint32_t> dataPages;
        std::size_t insertCursor = 0;
        std::vector<std::optional<std::uint32_t>> longValuePage;
        std::uint32_t rowCount = 0;
        std::uint32_t lastAutoNumber = 0;
        bool countsPending = false;
        std::vector<std::pair<std::size_t, TableState::Index>> indexes;   // by position
    };
    std::vector<Saved> saved_;
};

}  // namespace jet
