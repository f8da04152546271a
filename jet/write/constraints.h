#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/value.h"
#include "jet/write/table_directory.h"

namespace jet {

// The rules a statement checks before it writes anything: values required by an index, unique
// keys, and relationships with enforced integrity. Each refusal is a jet::Error naming the file,
// the table, the column and the index (a relationship's name as the index).
class Constraints {
public:
    Constraints(const PageFile& file, TableDirectory& tables) : file_(file), tables_(tables) {}

    // Refuses NULL in a column a required or primary-key index has among its keys. `values` holds
    // a pointer per column, in table order.
    void checkRequired(const TableState& table, const std::vector<const Value*>& values) const;
    // Refuses `key` in unique index `index` when another row than `except` has it already (the
    // index loaded).
    void checkUnique(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except) const;
    // The refusal of a key that unique index `index` already has (or that two rows would share).
    [[noreturn]] void refuseDuplicate(const TableState& table, std::size_t index) const;
    // Refuses keys of the referencing side whose referenced row does not exist. `keys` holds a
    // key per physical index (empty: not changed or all NULL).
    void checkReferencedRowsExist(TableState& table, const std::vector<std::vector<std::uint8_t>>& keys);
    // Refuses deleting rows, or changing the columns `changedColumns` names in them, while rows of
    // another table refer to them (no cascades: those are Unsupported). `changedColumns` null:
    // the rows are deleted.
    void checkNotReferenced(TableState& table, const std::vector<LiveRow>& rows, const std::set<std::uint16_t>* changedColumns);

private:
    const PageFile& file_;
    TableDirectory& tables_;
};

}  // namespace jet
