#include "jet/write/write_session.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "jet/write/column_value.h"
#include "jet/write/free_pages.h"
#include "jet/format/index_key.h"
#include "jet/format/long_value.h"
#include "jet/format/row_fields.h"
#include "jet/write/row_index_key.h"
#include "jet/format/row_layout.h"
#include "jet/write/table_definition_editor.h"
#include "jet/format/text_codec.h"

namespace jet {

namespace {

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return sameValue(Value(a), Value(b));
}

// The row an index entry points to: its last 4 bytes, the row's page (3 bytes, big-endian) and
// row number.
void setEntryRow(std::vector<std::uint8_t>& entry, RowPointer pointer) {
    std::uint8_t* tail = entry.data() + entry.size() - 4;
    tail[0] = static_cast<std::uint8_t>(pointer.page >> 16);
    tail[1] = static_cast<std::uint8_t>(pointer.page >> 8);
    tail[2] = static_cast<std::uint8_t>(pointer.page);
    tail[3] = pointer.row;
}

// An index entry: the key bytes, then the row pointer.
std::vector<std::uint8_t> indexEntry(const std::vector<std::uint8_t>& key, RowPointer pointer) {
    std::vector<std::uint8_t> entry;
    entry.reserve(key.size() + 4);
    entry.assign(key.begin(), key.end());
    entry.resize(key.size() + 4);
    setEntryRow(entry, pointer);
    return entry;
}

bool isPrimaryKeyIndex(const TableDefinition& definition, std::size_t physical) {
    for (const auto& logical : definition.logicalIndexes)
        if (logical.physicalIndex == physical && logical.type == kLogicalIndexPrimaryKey) return true;
    return false;
}

std::size_t countDistinctKeys(const std::vector<IndexEntryBytes>& entries) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].size() == entries[i - 1].size() &&
            std::equal(entries[i].begin(), entries[i].end() - 4, entries[i - 1].begin()))
            continue;
        ++count;
    }
    return count;
}

}  // namespace

WriteSession::WriteSession(std::string path, std::vector<std::uint8_t> image)
    : file_(PageFile::fromImage(std::move(path), std::move(image))), editor_(file_, [this] { return reusablePages(file_, catalogue_); }) {
    header_ = checkHeader(file_);
    try {
        catalogue_ = readCatalogue(file_);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "MSysObjects", std::string("damaged database: ") + damage.what());
    }
}

void WriteSession::reloadCatalogue(const std::vector<CatalogueEntry>& pending) {
    try {
        catalogue_ = readCatalogue(file_);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "MSysObjects", std::string("damaged database: ") + damage.what());
    }
    for (const auto& entry : pending) {
        const bool listed = std::any_of(catalogue_.begin(), catalogue_.end(),
                                        [&](const CatalogueEntry& known) { return known.isTable() && known.definitionPage() == entry.definitionPage(); });
        if (!listed) catalogue_.push_back(entry);
    }
}

void WriteSession::fail(ErrorKind kind, const TableState& table, const std::string& cause) const {
    throw Error(kind, file_.path(), table.definition.name, cause);
}

void WriteSession::fail(ErrorKind kind, BrokenRule rule, ErrorContext context, const std::string& cause) const {
    throw Error(kind, std::move(context), cause, rule);
}

ErrorContext WriteSession::errorContext(const TableState& table, const std::string& column) const {
    ErrorContext context;
    context.file = file_.path();
    context.table = table.definition.name;
    context.column = column;
    return context;
}

ErrorContext WriteSession::indexErrorContext(const TableState& table, std::size_t physicalIndex, const std::string& column) const {
    ErrorContext context = errorContext(table, column);
    context.index = physicalIndexName(table.definition, physicalIndex);
    context.indexColumns = physicalIndexColumnNames(table.definition, physicalIndex);
    return context;
}

ErrorContext WriteSession::relationshipErrorContext(const TableState& table, std::size_t physicalIndex, const std::string& relationship) const {
    ErrorContext context = indexErrorContext(table, physicalIndex);
    context.index = relationship;
    return context;
}

TableState& WriteSession::table(const std::string& name) {
    const CatalogueEntry* found = nullptr;
    for (const auto& entry : catalogue_)
        if (entry.isTable() && entry.name == name) found = &entry;
    if (!found)
        for (const auto& entry : catalogue_)
            if (entry.isTable() && equalsIgnoringAsciiCase(entry.name, name)) found = &entry;
    if (!found) throw Error(ErrorKind::NotFound, file_.path(), name, "no such table");
    if (found->isSystem() && !systemTablesWritable_) throw Error(ErrorKind::Unsupported, file_.path(), found->name, "system tables are not written");
    auto& slot = tables_[found->definitionPage()];
    if (!slot) {
        auto state = std::make_unique<TableState>();
        try {
            state->definition = readTableDefinition(file_, found->definitionPage());
            state->definition.name = found->name;
            TableWriter::loadPages(editor_, *state);
        } catch (const Damage& damage) {
            throw Error(ErrorKind::Damaged, file_.path(), found->name, std::string("damaged database: ") + damage.what());
        }
        state->indexes.resize(state->definition.physicalIndexes.size());
        try {
            state->foreignKeys = readForeignKeys(file_, state->definition);
        } catch (const Damage& damage) {
            throw Error(ErrorKind::Damaged, file_.path(), found->name, std::string("damaged database: ") + damage.what());
        }
        for (const auto& column : state->definition.columns)
            if (column.flags & kColumnAutoGuidFlag) state->refusal = "column " + column.name + " is a replication ID (GUID AutoNumber), which this engine does not write";
        slot = std::move(state);
    }
    return *slot;
}

TableState& WriteSession::tableAt(std::uint32_t definitionPage) {
    for (const auto& entry : catalogue_)
        if (entry.isTable() && entry.definitionPage() == definitionPage) return table(entry.name);
    throw Error(ErrorKind::Damaged, file_.path(), "", "a relationship refers to table definition page " + std::to_string(definitionPage) + ", which no table has");
}

std::size_t WriteSession::physicalOf(const TableState& table, std::uint32_t number) const {
    for (const auto& logical : table.definition.logicalIndexes)
        if (logical.number == number && logical.physicalIndex < table.definition.physicalIndexes.size()) return logical.physicalIndex;
    fail(ErrorKind::Damaged, table, "damaged database: a relationship names index number " + std::to_string(number) + ", which the table does not have");
}

void WriteSession::checkReferencedRowsExist(TableState& t, const std::vector<std::vector<std::uint8_t>>& keys) {
    for (const auto& side : t.foreignKeys) {
        if (side.referenced) continue;
        const std::size_t mine = t.definition.logicalIndexes[side.logicalIndex].physicalIndex;
        if (mine >= keys.size() || keys[mine].empty()) continue;
        TableState& other = tableAt(side.otherTablePage);
        const std::size_t theirs = physicalOf(other, side.otherLogicalIndex);
        loadIndex(other, theirs);
        if (!keyTaken(other, theirs, keys[mine], RowPointer{0xFFFFFF, 0xFF}))
            fail(ErrorKind::Constraint, BrokenRule::None, relationshipErrorContext(t, mine, t.definition.logicalIndexes[side.logicalIndex].name),
                 "no row of table " + other.definition.name + " matches the key of relationship " + t.definition.logicalIndexes[side.logicalIndex].name);
    }
}

void WriteSession::checkNotReferenced(TableState& t, const std::vector<LiveRow>& rows, const std::set<std::uint16_t>* changedColumns) {
    for (const auto& side : t.foreignKeys) {
        if (!side.referenced) continue;
        const std::size_t mine = t.definition.logicalIndexes[side.logicalIndex].physicalIndex;
        if (changedColumns) {
            bool touches = false;
            for (const auto& keyColumn : t.definition.physicalIndexes[mine].columns) touches = touches || changedColumns->count(keyColumn.columnNumber);
            if (!touches) continue;
        }
        TableState& other = tableAt(side.otherTablePage);
        const std::size_t theirs = physicalOf(other, side.otherLogicalIndex);
        loadIndex(t, mine);
        loadIndex(other, theirs);
        std::set<std::uint32_t> ids;
        for (const auto& row : rows) ids.insert(row.id.raw());
        for (const auto& entry : t.indexes[mine].entries) {
            if (!ids.count(entryRow(entry).raw())) continue;
            const std::vector<std::uint8_t> key(entry.begin(), entry.end() - 4);
            if (!keyTaken(other, theirs, key, RowPointer{0xFFFFFF, 0xFF})) continue;
            const bool cascade = changedColumns ? side.cascadeUpdates : side.cascadeDeletes;
            std::string relationship = t.definition.logicalIndexes[side.logicalIndex].name;
            for (const auto& logical : other.definition.logicalIndexes)
                if (logical.number == side.otherLogicalIndex) relationship = logical.name;
            fail(cascade ? ErrorKind::Unsupported : ErrorKind::Constraint, BrokenRule::None, relationshipErrorContext(t, mine, relationship),
                 std::string(cascade ? "cascading changes to related rows are not supported" : "rows are still referred to") + " (table " +
                     other.definition.name + ", relationship " + relationship + "); nothing was written");
        }
    }
}

std::size_t WriteSession::column(const TableState& table, const std::string& name) const {
    const auto& columns = table.definition.columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return i;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (equalsIgnoringAsciiCase(columns[i].name, name)) return i;
    fail(ErrorKind::NotFound, BrokenRule::None, errorContext(table, name), "no such column: " + name);
}

const Value& WriteSession::operandValue(const SqlOperand& operand, const std::vector<Value>& parameters) const {
    if (const auto* literal = std::get_if<SqlLiteral>(&operand)) return literal->value;
    return parameters.at(std::get<SqlParameter>(operand).index);
}

Value WriteSession::convert(const TableState& table, std::size_t column, Value value) const {
    try {
        return toColumnValue(table.definition.columns[column], std::move(value));
    } catch (const std::invalid_argument& error) {
        refuseValue(table, error, column);
    }
}

void WriteSession::refuseValue(const TableState& table, const std::invalid_argument& error, std::size_t column) const {
    const std::string known = column < table.definition.columns.size() ? table.definition.columns[column].name : std::string();
    if (const auto* refusal = dynamic_cast<const Refusal*>(&error))
        fail(refusal->kind(), refusal->rule(), errorContext(table, refusal->column().empty() ? known : refusal->column()), error.what());
    fail(ErrorKind::Constraint, known.empty() ? BrokenRule::None : BrokenRule::BadValue, errorContext(table, known), error.what());
}

void WriteSession::checkRequired(const TableState& table, const std::vector<const Value*>& values) const {
    const auto& definition = table.definition;
    for (std::size_t i = 0; i < definition.physicalIndexes.size(); ++i) {
        const auto& index = definition.physicalIndexes[i];
        if (!(index.flags & kIndexRequiredFlag) && !isPrimaryKeyIndex(definition, i)) continue;
        for (const auto& key : index.columns)
            for (std::size_t c = 0; c < definition.columns.size(); ++c)
                if (definition.columns[c].number == key.columnNumber && isNull(*values[c]))
                    fail(ErrorKind::Constraint, BrokenRule::RequiredValue, indexErrorContext(table, i, definition.columns[c].name),
                         "column " + definition.columns[c].name + " is required (index " + physicalIndexName(definition, i) + "); NULL is not allowed");
    }
}

bool WriteSession::indexKey(const TableState& table, std::size_t index, const std::vector<const Value*>& values, std::vector<std::uint8_t>& key,
                            bool& allNull) const {
    try {
        return rowIndexKey(table.definition, index, values, key, allNull);
    } catch (const std::invalid_argument& error) {
        const auto* refusal = dynamic_cast<const Refusal*>(&error);
        fail(ErrorKind::Unsupported, BrokenRule::None, indexErrorContext(table, index, refusal ? refusal->column() : std::string()),
             std::string(error.what()) + "; nothing was written");
    } catch (const std::out_of_range& error) {
        fail(ErrorKind::Damaged, table, std::string("damaged database: ") + error.what());
    }
}

void WriteSession::loadIndex(TableState& table, std::size_t index) {
    auto& state = table.indexes[index];
    if (state.loaded) return;
    try {
        state.entries = readIndexTree(file_, table.definition.physicalIndexes[index].rootPage).entries;
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, BrokenRule::None, indexErrorContext(table, index),
             "damaged database: index " + physicalIndexName(table.definition, index) + ": " + damage.what());
    }
    if (!std::is_sorted(state.entries.begin(), state.entries.end())) std::sort(state.entries.begin(), state.entries.end());
    state.loaded = true;
}

bool WriteSession::keyTaken(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except) const {
    const auto& entries = table.indexes[index].entries;
    for (auto it = std::lower_bound(entries.begin(), entries.end(), key); it != entries.end(); ++it) {
        if (it->size() < key.size() || !std::equal(key.begin(), key.end(), it->begin())) break;
        if (it->size() == key.size() + 4 && !(entryRow(*it) == except)) return true;
    }
    return false;
}

std::vector<LiveRow> WriteSession::matchingRows(TableState& table, const std::vector<SqlCondition>& where, const std::vector<Value>& parameters) {
    std::vector<std::pair<std::size_t, Value>> conditions;
    for (const auto& condition : where) {
        const std::size_t c = column(table, condition.column);
        conditions.emplace_back(c, convert(table, c, operandValue(condition.value, parameters)));
    }
    TableWriter writer(editor_, table);
    std::vector<LiveRow> matches;
    try {
        for (const LiveRow& row : writer.liveRows()) {
            if (conditions.empty()) {
                matches.push_back(row);
                continue;
            }
            const std::vector<RowField> fields = splitRow(table.definition, writer.rowBytes(row));
            bool all = true;
            for (const auto& [c, wanted] : conditions)
                if (!sameValue(decodeField(file_, table.definition.columns[c], fields[c]), wanted)) {
                    all = false;
                    break;
                }
            if (all) matches.push_back(row);
        }
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, table, std::string("damaged database: ") + damage.what());
    }
    return matches;
}

void WriteSession::makeField(const TableState& table, std::size_t c, const Value& value, RowField& field) const {
    const ColumnDefinition& column = table.definition.columns[c];
    field.present = false;
    field.bytes.clear();
    if (column.columnType() == ColumnType::Boolean) {
        field.present = std::get_if<bool>(&value) && std::get<bool>(value);
        return;
    }
    if (isNull(value)) return;
    if (isLongValueColumn(column)) throw std::logic_error("makeField: memo and OLE values are stored by makeMemoField");
    field.present = true;
    // Runs before the statement changes a page, so malformed text is refused here.
    try {
        appendFieldBytes(column, value, field.bytes);
    } catch (const std::invalid_argument& error) {
        refuseValue(table, error, c);
    }
}

std::vector<std::uint8_t> WriteSession::encodeMemo(const TableState& table, std::size_t c, const Value& value) const {
    try {
        return encodeLongValueBytes(table.definition.columns[c], value);
    } catch (const std::invalid_argument& error) {
        refuseValue(table, error, c);
    }
}

void WriteSession::makeMemoField(TableWriter& writer, TableState& table, std::size_t c, const std::vector<std::uint8_t>& stored, bool allowInline,
                                 RowField& field) {
    const ColumnDefinition& column = table.definition.columns[c];
    field.present = true;
    field.bytes.clear();
    if (allowInline && stored.size() <= kInlineMemoLimit) {
        field.bytes.assign(kLongValueHeaderSize, 0);
        putU32(field.bytes.data(), static_cast<std::uint32_t>(stored.size()) | kLongValueInline);
        field.bytes.insert(field.bytes.end(), stored.begin(), stored.end());
        return;
    }
    std::size_t lv = 0;
    while (lv < table.definition.longValueMaps.size() && table.definition.longValueMaps[lv].columnNumber != column.number) ++lv;
    if (lv == table.definition.longValueMaps.size())
        fail(ErrorKind::Unsupported, BrokenRule::None, errorContext(table, column.name),
             "memo column " + column.name + " has no long-value page maps in its table definition");
    field.bytes = writer.storeLongValue(lv, stored);
}

const std::vector<std::size_t>& WriteSession::insertPositions(TableState& t, const InsertStatement& statement) const {
    auto& scratch = t.insertScratch;
    const auto& columns = t.definition.columns;
    if (statement.columns.empty() && statement.values.size() != columns.size())
        fail(ErrorKind::SqlSyntax, t, std::to_string(statement.values.size()) + " values given for " + std::to_string(columns.size()) + " columns");
    // A run of inserts repeats one statement, or at least one column list; it is resolved once.
    if (statement.serial != 0 && statement.serial == scratch.serial) return scratch.positions;
    if (scratch.positions.size() == statement.values.size() && scratch.names == statement.columns) {
        scratch.serial = statement.serial;
        return scratch.positions;
    }
    std::vector<std::size_t> positions(statement.values.size());
    std::vector<bool> named(columns.size(), false);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::size_t c = statement.columns.empty() ? i : column(t, statement.columns[i]);
        if (named[c]) fail(ErrorKind::SqlSyntax, BrokenRule::None, errorContext(t, columns[c].name), "column " + columns[c].name + " is named twice");
        named[c] = true;
        positions[i] = c;
    }
    scratch.names = statement.columns;
    scratch.positions = std::move(positions);
    scratch.serial = statement.serial;
    return scratch.positions;
}

std::size_t WriteSession::execute(const ParsedStatement& parsed, const std::vector<Value>& parameters) {
    if (parameters.size() != parsed.parameterCount)
        throw Error(ErrorKind::InvalidArgument, file_.path(), "",
                    "the statement has " + std::to_string(parsed.parameterCount) + " parameters but " + std::to_string(parameters.size()) + " values were given");
    // The pages the statement changes are kept, and the tables it writes remembered, so that a
    // failure at any point puts everything back.
    undo_.clear();
    file_.beginJournal();
    std::size_t changed = 0;
    try {
        changed = run(parsed, parameters);
    } catch (...) {
        file_.restoreJournal();
        undo_.restore();
        editor_.forgetFreePages();
        throw;
    }
    file_.endJournal();
    undo_.clear();
    return changed;
}

std::size_t WriteSession::run(const ParsedStatement& parsed, const std::vector<Value>& parameters) {
    return std::visit(
        [&](const auto& statement) -> std::size_t {
            using T = std::decay_t<decltype(statement)>;
            if constexpr (std::is_same_v<T, UpdateStatement>) return runUpdate(statement, parameters);
            else if constexpr (std::is_same_v<T, DeleteStatement>) return runDelete(statement, parameters);
            else return runInsert(statement, parameters);
        },
        parsed.statement);
}

std::size_t WriteSession::runInsert(const InsertStatement& statement, const std::vector<Value>& parameters) {
    // Table states live as long as the session, so the one a statement named last time is kept.
    const bool resolved = statement.serial != 0 && statement.serial == lastInsert_.serial;
    TableState& t = resolved ? *lastInsert_.table : table(statement.table);
    lastInsert_ = {statement.serial, &t};
    if (!t.refusal.empty()) fail(ErrorKind::Unsupported, t, t.refusal);
    undo_.remember(t, std::vector<bool>{});
    const auto& columns = t.definition.columns;
    const std::vector<std::size_t>& positions = insertPositions(t, statement);
    auto& scratch = t.insertScratch;

    // Each column's value. Text for a Text column is used where it lies (it is checked as it is
    // encoded below); other values are converted into `converted`, whose room is made up front
    // so that pointers into it stay valid. Columns the statement leaves out are NULL.
    static const Value kNull;
    std::vector<const Value*>& cells = scratch.cells;
    std::vector<Value>& converted = scratch.converted;
    cells.assign(columns.size(), &kNull);
    converted.clear();
    converted.reserve(2 * columns.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::size_t c = positions[i];
        const Value& given = operandValue(statement.values[i], parameters);
        if (columns[c].columnType() == ColumnType::Text && (std::holds_alternative<std::string>(given) || std::holds_alternative<std::u16string>(given))) {
            cells[c] = &given;
        } else {
            converted.push_back(convert(t, c, given));
            cells[c] = &converted.back();
        }
    }
    std::uint32_t lastAutoNumber = t.definition.lastAutoNumber;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].isAutoNumber() && columns[c].columnType() == ColumnType::Long) {
            if (isNull(*cells[c])) {
                converted.push_back(static_cast<std::int64_t>(++lastAutoNumber));
                cells[c] = &converted.back();
            } else {
                lastAutoNumber = std::max<std::uint32_t>(lastAutoNumber, static_cast<std::uint32_t>(std::get<std::int64_t>(*cells[c])));
            }
        }
        if (columns[c].columnType() == ColumnType::Boolean && isNull(*cells[c])) {
            converted.push_back(false);
            cells[c] = &converted.back();
        }
    }
    checkRequired(t, cells);

    // The row, memos left out for now: encoding refuses malformed or too long text before
    // anything changes. Without memo values the row is laid out straight from the values.
    std::vector<std::size_t> memos;
    std::vector<std::vector<std::uint8_t>> memoBytes;   // stored form of each memo, checked now
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (isLongValueColumn(columns[c]) && !isNull(*cells[c])) {
            memos.push_back(c);
            memoBytes.push_back(encodeMemo(t, c, *cells[c]));
        }
    std::vector<RowField>& fields = scratch.fields;
    std::vector<std::uint8_t>& row = scratch.row;
    TableWriter writer(editor_, t);
    try {
        if (memos.empty()) {
            layoutRowInto(t.definition, cells, row);
        } else {
            fields.resize(columns.size());
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (std::find(memos.begin(), memos.end(), c) != memos.end()) {
                    fields[c].present = true;
                    fields[c].bytes.assign(kLongValueHeaderSize, 0);
                } else {
                    makeField(t, c, *cells[c], fields[c]);
                }
            }
            // Row size with every memo out of line; memos short enough go inline below.
            joinRowInto(t.definition, fields, row);
        }
    } catch (const std::invalid_argument& error) {
        refuseValue(t, error);
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, t, std::string("damaged database: ") + damage.what());
    }

    // Keys: an index this engine cannot maintain, or a duplicate, stops the statement here.
    const std::size_t indexCount = t.definition.physicalIndexes.size();
    scratch.keys.resize(indexCount);
    scratch.keyUsed.assign(indexCount, false);
    std::vector<std::vector<std::uint8_t>> referencing(t.foreignKeys.empty() ? 0 : indexCount);
    for (std::size_t i = 0; i < indexCount; ++i) {
        std::vector<std::uint8_t>& key = scratch.keys[i];
        bool allNull = true;
        if (!indexKey(t, i, cells, key, allNull)) continue;
        loadIndex(t, i);
        if ((t.definition.physicalIndexes[i].flags & kIndexUniqueFlag) && !allNull && keyTaken(t, i, key, RowPointer{0xFFFFFF, 0xFF}))
            fail(ErrorKind::Constraint, BrokenRule::DuplicateKey, indexErrorContext(t, i),
                 "duplicate key in unique index " + physicalIndexName(t.definition, i));
        if (!allNull && !referencing.empty()) referencing[i] = key;
        scratch.keyUsed[i] = true;
    }
    checkReferencedRowsExist(t, referencing);

    // With memos, the size counts every memo out of line; memos short enough then go inline
    // while room lasts.
    std::size_t size = row.size();
    if (size > kMaxStoredRowSize)
        fail(ErrorKind::Constraint, t, "row of " + std::to_string(size) + " bytes exceeds the " + std::to_string(kMaxStoredRowSize) + "-byte row limit");
    try {
        for (std::size_t k = 0; k < memos.size(); ++k) {
            const std::size_t c = memos[k];
            const bool inlineFits = size + memoBytes[k].size() <= kMaxStoredRowSize;
            makeMemoField(writer, t, c, memoBytes[k], inlineFits, fields[c]);
            size += fields[c].bytes.size() - kLongValueHeaderSize;
        }
        // Without memos the row measured above is already the row to store.
        if (!memos.empty()) joinRowInto(t.definition, fields, row);
        // The index entries are made, and room for them, before the row is stored: once it is,
        // nothing may fail, since the index entries are not part of the statement's undo.
        std::vector<IndexEntryBytes> newEntries(indexCount);
        for (std::size_t i = 0; i < indexCount; ++i) {
            if (!scratch.keyUsed[i]) continue;
            newEntries[i] = indexEntry(scratch.keys[i], RowPointer{0, 0});
            t.indexes[i].entries.reserve(t.indexes[i].entries.size() + 1);
        }
        const RowPointer where = writer.insertRow(row);
        for (std::size_t i = 0; i < indexCount; ++i) {
            if (!scratch.keyUsed[i]) continue;
            IndexEntryBytes& entry = newEntries[i];
            setEntryRow(entry, where);
            auto& entries = t.indexes[i].entries;
            entries.insert(std::upper_bound(entries.begin(), entries.end(), entry), std::move(entry));
            t.indexes[i].dirty = true;
        }
        ++t.definition.rowCount;
        t.definition.lastAutoNumber = lastAutoNumber;
        t.countsPending = true;   // written by flush()
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, t, std::string("damaged database: ") + damage.what());
    }
    return 1;
}

std::size_t WriteSession::runUpdate(const UpdateStatement& statement, const std::vector<Value>& parameters) {
    TableState& t = table(statement.table);
    const auto& columns = t.definition.columns;
    std::vector<std::pair<std::size_t, Value>> assignments;
    std::set<std::uint16_t> assignedNumbers;
    for (const auto& assignment : statement.assignments) {
        const std::size_t c = column(t, assignment.column);
        if (columns[c].isAutoNumber())
            fail(ErrorKind::Constraint, BrokenRule::None, errorContext(t, columns[c].name), "AutoNumber column " + columns[c].name + " cannot be changed");
        if (!assignedNumbers.insert(columns[c].number).second)
            fail(ErrorKind::SqlSyntax, BrokenRule::None, errorContext(t, columns[c].name), "column " + columns[c].name + " is set twice");
        assignments.emplace_back(c, convert(t, c, operandValue(assignment.value, parameters)));
    }
    // Stored form of each memo assigned, once for every row it goes to, and checked now.
    std::vector<std::vector<std::uint8_t>> memoBytes(assignments.size());
    for (std::size_t a = 0; a < assignments.size(); ++a) {
        const auto& [c, value] = assignments[a];
        if (isLongValueColumn(columns[c]) && !isNull(value)) memoBytes[a] = encodeMemo(t, c, value);
    }
    const std::vector<LiveRow> rows = matchingRows(t, statement.where, parameters);
    std::vector<bool> touched(t.definition.physicalIndexes.size(), false);
    for (std::size_t i = 0; i < touched.size(); ++i)
        for (const auto& keyColumn : t.definition.physicalIndexes[i].columns)
            if (assignedNumbers.count(keyColumn.columnNumber)) touched[i] = true;
    undo_.remember(t, touched);   // only the indexes the new values change

    struct Plan {
        std::vector<RowField> fields;
        std::vector<std::optional<std::vector<std::uint8_t>>> keys;
    };
    std::vector<Plan> plans(rows.size());
    std::set<std::pair<std::size_t, std::vector<std::uint8_t>>> plannedUnique;
    TableWriter writer(editor_, t);
    try {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            Plan& plan = plans[r];
            plan.fields = splitRow(t.definition, writer.rowBytes(rows[r]));
            std::vector<RowField> sized = plan.fields;
            for (const auto& [c, value] : assignments) {
                if (isLongValueColumn(columns[c])) {
                    sized[c].present = !isNull(value);
                    sized[c].bytes.assign(isNull(value) ? 0 : kLongValueHeaderSize, 0);
                } else {
                    makeField(t, c, value, sized[c]);
                }
            }
            const std::size_t size = joinRow(t.definition, sized).size();
            if (size > kMaxStoredRowSize)
                fail(ErrorKind::Constraint, t, "row of " + std::to_string(size) + " bytes exceeds the " + std::to_string(kMaxStoredRowSize) + "-byte row limit");
            plan.keys.resize(touched.size());
            if (std::find(touched.begin(), touched.end(), true) == touched.end()) continue;
            std::vector<Value> values(columns.size());
            for (std::size_t c = 0; c < columns.size(); ++c) values[c] = decodeField(file_, columns[c], plan.fields[c]);
            for (const auto& [c, value] : assignments) values[c] = value;
            const std::vector<const Value*> cells = valuePointers(values);
            checkRequired(t, cells);
            std::vector<std::vector<std::uint8_t>> referencing(touched.size());
            for (std::size_t i = 0; i < touched.size(); ++i) {
                if (!touched[i]) continue;
                loadIndex(t, i);
                std::vector<std::uint8_t> key;
                bool allNull = true;
                if (indexKey(t, i, cells, key, allNull)) {
                    const bool unique = (t.definition.physicalIndexes[i].flags & kIndexUniqueFlag) && !allNull;
                    // Also two changed rows must not end up with one key.
                    if (unique && (keyTaken(t, i, key, rows[r].id) || !plannedUnique.insert({i, key}).second))
                        fail(ErrorKind::Constraint, BrokenRule::DuplicateKey, indexErrorContext(t, i),
                             "duplicate key in unique index " + physicalIndexName(t.definition, i));
                    if (!allNull) referencing[i] = key;
                    plan.keys[i] = std::move(key);
                }
            }
            checkReferencedRowsExist(t, referencing);
        }
        checkNotReferenced(t, rows, &assignedNumbers);
        // Everything checked: write.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            Plan& plan = plans[r];
            std::size_t size = joinRow(t.definition, plan.fields).size();
            for (std::size_t a = 0; a < assignments.size(); ++a) {
                const auto& [c, value] = assignments[a];
                // The old value's pages are freed first, so that the new value can take them.
                if (isLongValueColumn(columns[c]) && plan.fields[c].present) writer.releaseLongValue(plan.fields[c].bytes);
                size -= plan.fields[c].bytes.size();
                if (isLongValueColumn(columns[c]) && !isNull(value)) {
                    const bool inlineFits = size + kLongValueHeaderSize + memoBytes[a].size() <= kMaxStoredRowSize;
                    makeMemoField(writer, t, c, memoBytes[a], inlineFits, plan.fields[c]);
                } else {
                    makeField(t, c, value, plan.fields[c]);
                }
                size += plan.fields[c].bytes.size();
            }
            writer.replaceRow(rows[r], joinRow(t.definition, plan.fields));
            for (std::size_t i = 0; i < touched.size(); ++i) {
                if (!touched[i]) continue;
                auto& entries = t.indexes[i].entries;
                entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const IndexEntryBytes& e) { return entryRow(e) == rows[r].id; }),
                              entries.end());
                if (plan.keys[i]) {
                    std::vector<std::uint8_t> entry = indexEntry(std::move(*plan.keys[i]), rows[r].id);
                    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry), std::move(entry));
                }
                t.indexes[i].dirty = true;
            }
        }
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, t, std::string("damaged database: ") + damage.what());
    }
    return rows.size();
}

std::size_t WriteSession::runDelete(const DeleteStatement& statement, const std::vector<Value>& parameters) {
    TableState& t = table(statement.table);
    undo_.remember(t, std::vector<bool>(t.indexes.size(), true));
    TableWriter writer(editor_, t);
    std::size_t deleted = 0;
    try {
        if (!t.foreignKeys.empty()) checkNotReferenced(t, statement.where.empty() ? writer.liveRows() : matchingRows(t, statement.where, parameters), nullptr);
        if (statement.where.empty()) {
            deleted = writer.deleteAllRows();
            for (auto& index : t.indexes) {
                index.entries.clear();
                index.loaded = true;
                index.dirty = true;
            }
        } else {
            const std::vector<LiveRow> rows = matchingRows(t, statement.where, parameters);
            for (std::size_t i = 0; i < t.indexes.size(); ++i) loadIndex(t, i);
            for (const LiveRow& row : rows) {
                writer.deleteRow(row);
                for (auto& index : t.indexes) {
                    index.entries.erase(std::remove_if(index.entries.begin(), index.entries.end(),
                                                       [&](const IndexEntryBytes& e) { return entryRow(e) == row.id; }),
                                        index.entries.end());
                    index.dirty = true;
                }
            }
            deleted = rows.size();
        }
        if (deleted > 0 || statement.where.empty()) {
            t.definition.rowCount = statement.where.empty() ? 0 : t.definition.rowCount - std::min<std::uint32_t>(t.definition.rowCount, static_cast<std::uint32_t>(deleted));
            TableDefinitionEditor(file_, t.definition).setRowCount(t.definition.rowCount);
        }
    } catch (const Damage& damage) {
        fail(ErrorKind::Damaged, t, std::string("damaged database: ") + damage.what());
    }
    return deleted;
}

void WriteSession::flush() {
    for (auto& [page, state] : tables_) {
        TableState& t = *state;
        if (t.countsPending) {
            try {
                TableDefinitionEditor tdef(file_, t.definition);
                tdef.setRowCount(t.definition.rowCount);
                tdef.setLastAutoNumber(t.definition.lastAutoNumber);
            } catch (const Damage& damage) {
                fail(ErrorKind::Damaged, t, std::string("damaged database: ") + damage.what());
            }
            t.countsPending = false;
        }
        for (std::size_t i = 0; i < t.indexes.size(); ++i) {
            if (!t.indexes[i].dirty) continue;
            PhysicalIndex& physical = t.definition.physicalIndexes[i];
            try {
                const std::vector<std::uint32_t> old = indexTreePages(file_, physical.rootPage);
                const std::vector<std::uint32_t> used = writeIndexTree(file_, t.definition.page, t.indexes[i].entries, old, [&] {
                    const std::uint32_t fresh = editor_.allocatePage();
                    if (physical.ownedPagesMap.page != 0) editor_.setMapBit(physical.ownedPagesMap, fresh, true);
                    return fresh;
                });
                for (std::uint32_t p : old) {
                    if (std::find(used.begin(), used.end(), p) != used.end()) continue;
                    if (physical.ownedPagesMap.page != 0) editor_.setMapBit(physical.ownedPagesMap, p, false);
                    editor_.releasePage(p);
                }
                TableDefinitionEditor tdef(file_, t.definition);
                if (used.front() != physical.rootPage) tdef.setRootPage(i, physical.rootPage = used.front());
                physical.distinctKeyCount = static_cast<std::uint32_t>(countDistinctKeys(t.indexes[i].entries));
                tdef.setDistinctKeyCount(i, physical.distinctKeyCount);
            } catch (const Damage& damage) {
                fail(ErrorKind::Damaged, BrokenRule::None, indexErrorContext(t, i),
                     "damaged database: index " + physicalIndexName(t.definition, i) + ": " + damage.what());
            }
            t.indexes[i].dirty = false;
        }
    }
    try {
        editor_.trimFreeTail();
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "", std::string("damaged database: ") + damage.what());
    }
}

}  // namespace jet
