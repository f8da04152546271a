#pragma once

#include <stdexcept>
#include <string>

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

// The engine's only exception type. The message always names the file, the table when one is
// involved, and the cause.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& file, const std::string& table, const std::string& cause);

    ErrorKind kind() const noexcept { return kind_; }
    const std::string& file() const noexcept { return file_; }
    const std::string& table() const noexcept { return table_; }
    const std::string& cause() const noexcept { return cause_; }

private:
    ErrorKind kind_;
    std::string file_;
    std::string table_;
    std::string cause_;
};

// Thrown deep inside decoders that do not know the file or table; the layer that knows them
// converts it into an Error naming them.
class Damage : public std::runtime_error {
public:
    explicit Damage(const std::string& cause) : std::runtime_error(cause) {}
};

}  // namespace jet
