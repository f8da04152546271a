#pragma once
// Why a product database file could not be upgraded, told so that a user can
// act on it: a Chinese sentence saying what is wrong and what to do, followed
// by the technical detail in parentheses for support.

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace upgrade {

enum class FailureKind {
    FileMissing,    // the database file is gone
    InUse,          // the product (or another program) has the file open
    ReadOnly,       // the file or its folder cannot be written
    NotAccess,      // not an Access database at all
    OldFormat,      // Access 97 (Jet 3)
    NewFormat,      // Access 2007 or later (ACE)
    Encrypted,      // the pages are encrypted
    Password,       // the database has a password
    Damaged,        // truncated or inconsistent
    Unsupported,    // a feature the engine cannot write
    TableMissing,   // table() is missing
    ColumnMissing,  // column() of table() is missing
    ValueTooLong,   // a new value is longer than column() of table() allows
    DuplicateKey,   // column() of table() allows no repeated values and the new ones repeat
    RuleBroken,     // another rule of table(): a required value, a relationship, the row size
    DiskFull,       // no room on the disk for the new file (or its backup)
    ForeignFile,    // a link, FIFO or folder takes a name the upgrade keeps beside the file (backup, temporary, lock)
    ReadWrite,      // any other failure to read or write the file
    Unexpected,     // anything else: a fault of the patch itself
};

// A failure of a product database, as its adapter reports it. table() and
// column() name what the kind concerns; detail() is the technical description.
class ProductDatabaseFailure : public std::runtime_error {
public:
    ProductDatabaseFailure(FailureKind kind, std::string detail, std::string table = {}, std::string column = {});

    FailureKind kind() const { return kind_; }
    const std::string& detail() const { return detail_; }
    const std::string& table() const { return table_; }
    const std::string& column() const { return column_; }

private:
    FailureKind kind_;
    std::string detail_;
    std::string table_;
    std::string column_;
};

// The sentence for the user: what is wrong and what to do.
std::string causeSentence(FailureKind kind, std::string_view table = {}, std::string_view column = {});

// The cause as shown: the sentence, then "（技术信息：…）" with the detail.
std::string userCause(const ProductDatabaseFailure& failure);

// Any exception as a product database failure: a ProductDatabaseFailure as it
// is, others as Unexpected with their message as the detail.
ProductDatabaseFailure asProductFailure(const std::exception& failure);

}  // namespace upgrade
