#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace jet {

// What went wrong, so callers can react to a kind of failure without parsing messages.
enum class ErrorKind {
    Io,                 // the file cannot be read or written
    DiskFull,           // no room to write the file: the disk or the user's quota is full, or a file size limit
    NotAccess,          // not an Access database at all
    Jet3,               // Access 97 (Jet 3) file
    Ace,                // Access 2007 or later (ACE) file
    EncryptedPages,     // pages are RC4-encrypted
    DatabasePassword,   // the database has a password
    BadFileSize,        // size is not a whole number of 4096-byte pages
    Damaged,            // structure inconsistent or pointing outside the file
    Unsupported,        // valid file, but a feature this engine does not handle
    NotFound,           // table or column name unknown
    InvalidArgument,    // caller asked for something impossible (bad definition, bad value)
    SqlSyntax,          // a statement outside the supported SQL subset or malformed
    Constraint,         // a write would break a rule: duplicate key, NULL where required, text too long
    InUse,              // the database is open elsewhere (Jet lock file, or another writer holds our lock)
    ReadOnly,           // the file or its folder cannot be written
    ForeignFile,        // a name the engine keeps beside the database (replacement, lock, backup) is taken by a link, FIFO, folder or the like
};

const char* errorKindName(ErrorKind kind);

// Which rule a Constraint error broke, for callers that tell the cases apart.
enum class BrokenRule {
    None,           // not a Constraint error, or a rule without its own entry (relationships, row size)
    ValueTooLong,   // the value is longer than column() holds
    DuplicateKey,   // the key repeats one already in unique index index()
    RequiredValue,  // column() is required (by index index()) and the value is NULL
    BadValue,       // the value does not fit column()'s type or range, or is malformed text
};

// Where an error happened: every name that is known at the place it is raised, empty otherwise.
struct ErrorContext {
    std::string file;
    std::string table;
    std::string column;
    std::string index;
    std::vector<std::string> indexColumns;   // the columns of index(), in key order
};

// The engine's only exception type. The message always names the file, the table when one is
// involved, and the cause; the same names are also held as fields so that no caller needs to
// read the message.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& file, const std::string& table, const std::string& cause);
    Error(ErrorKind kind, ErrorContext context, const std::string& cause, BrokenRule rule = BrokenRule::None);

    ErrorKind kind() const noexcept { return kind_; }
    BrokenRule rule() const noexcept { return rule_; }
    const ErrorContext& context() const noexcept { return context_; }
    const std::string& file() const noexcept { return context_.file; }
    const std::string& table() const noexcept { return context_.table; }
    const std::string& column() const noexcept { return context_.column; }
    const std::string& index() const noexcept { return context_.index; }
    const std::vector<std::string>& indexColumns() const noexcept { return context_.indexColumns; }
    const std::string& cause() const noexcept { return cause_; }

private:
    ErrorKind kind_;
    BrokenRule rule_;
    ErrorContext context_;
    std::string cause_;
};

// A value or request the engine refuses, raised where the file and table are not known. It is a
// std::invalid_argument so that layers which only pass refusals on need no change; the layer that
// knows the file and table turns it into an Error with the same kind, rule and column.
class Refusal : public std::invalid_argument {
public:
    Refusal(ErrorKind kind, BrokenRule rule, std::string column, const std::string& message)
        : std::invalid_argument(message), kind_(kind), rule_(rule), column_(std::move(column)) {}

    ErrorKind kind() const noexcept { return kind_; }
    BrokenRule rule() const noexcept { return rule_; }
    const std::string& column() const noexcept { return column_; }

private:
    ErrorKind kind_;
    BrokenRule rule_;
    std::string column_;
};

// Thrown deep inside decoders that do not know the file or table; the layer that knows them
// converts it into an Error naming them.
class Damage : public std::runtime_error {
public:
    explicit Damage(const std::string& cause) : std::runtime_error(cause) {}
};

}  // namespace jet
