#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/format/table_definition.h"
#include "jet/format/text_codec.h"
#include "jet/value.h"

namespace jet {

// Converts a statement value to the form a column stores: text for Text and Memo columns,
// integers for Byte/Integer/Long (range-checked), doubles, dates, Yes/No. Text that names a
// number or date is accepted for such columns. NULL stays NULL. Throws Refusal (naming the column)
// saying why the value does not fit (too long text counts in UTF-16 characters as Jet does;
// malformed UTF-8 is found by encodeColumnTextInto, which every write calls before it changes a page).
// Takes the value by value so that a caller handing it over (std::move) has text moved, not copied.
Value toColumnValue(const ColumnDefinition& column, Value value);

// Appends the stored bytes of a converted, non-NULL value of a column kept in the row itself
// (not Memo or OLE) to `out`. Throws Refusal (naming the column) for types this engine does not write.
void appendFieldBytes(const ColumnDefinition& column, const Value& value, std::vector<std::uint8_t>& out);

// Stored form of text for a Text or Memo column: one byte per character ("compressed", after the
// FF FE marker) when the column allows it and every character is in U+0001..U+00FF, UCS-2
// little-endian otherwise. Throws Refusal (naming the column) on malformed UTF-8 and on text longer
// than a Text column holds. Written at `out`, which has room for maxColumnTextBytes(utf8.size())
// bytes; returns the number of bytes the stored form takes.
std::size_t encodeColumnTextInto(const ColumnDefinition& column, std::string_view utf8, std::uint8_t* out);
// The same for text given as UTF-16 units. Throws Refusal (naming the column) on an unpaired surrogate
// and on text longer than a Text column holds.
std::size_t encodeColumnTextInto(const ColumnDefinition& column, std::u16string_view units, std::uint8_t* out);
// Text values of either form (std::string UTF-8, std::u16string): the room their stored form may
// need, the stored form written at `out`, and the stored form on its own.
std::size_t textRoom(const Value& text);
std::size_t encodeTextValueInto(const ColumnDefinition& column, const Value& text, std::uint8_t* out);
// encodeTextValue also refuses a Memo value whose stored form is longer than a long value holds.
std::vector<std::uint8_t> encodeTextValue(const ColumnDefinition& column, const Value& text);
// Memo and OLE columns keep their values as long values (inline, one row, or a chain).
bool isLongValueColumn(const ColumnDefinition& column);
// The stored form of a converted, non-NULL Memo or OLE value: the encoded text, or the bytes.
// Throws Refusal (naming the column) as encodeTextValue does, and for values longer than a long value.
std::vector<std::uint8_t> encodeLongValueBytes(const ColumnDefinition& column, const Value& value);
// Throws Refusal naming the column and the limit when `storedBytes` bytes are more
// than a memo or OLE value can hold (kLongValueMaxLength).
void checkLongValueLength(const ColumnDefinition& column, std::size_t storedBytes);
// Room the stored form of `utf8Bytes` bytes of UTF-8 may need while it is encoded.
constexpr std::size_t maxColumnTextBytes(std::size_t utf8Bytes) { return maxStoredTextBytes(utf8Bytes); }

// Equality as a WHERE clause sees it: text compares ignoring ASCII case, numbers by value.
bool sameValue(const Value& a, const Value& b);

}  // namespace jet
