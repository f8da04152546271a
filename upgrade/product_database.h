#pragma once
// What the upgrade needs of a product database file: statements with bound
// parameters, grouped in a unit of work that is committed or rolled back as
// a whole. The Access file engine provides it; tests use fakes. Failures are
// reported as ProductDatabaseFailure (failure_cause.h), so the user can be
// told the cause in words of their own.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace upgrade {

// A value bound to a `?` of a statement: NULL, UTF-8 text, an integer, or text as UTF-16 code
// units (the form the databases store, which spares converting text held that way).
using SqlParameter = std::variant<std::monostate, std::string, std::int64_t, std::u16string>;
using SqlParameters = std::vector<SqlParameter>;

// A statement of one open database, prepared once to run many times with new parameters, in
// the database's units of work. It is used only while its database is open.
class ProductStatement {
public:
    virtual ~ProductStatement() = default;
    // Runs the statement; returns the number of rows it changed.
    virtual std::size_t execute(const SqlParameters& parameters) = 0;
};

class ProductDatabase {
public:
    virtual ~ProductDatabase() = default;

    virtual void beginWork() = 0;
    // Runs one statement; returns the number of rows it changed.
    virtual std::size_t execute(std::string_view sql, const SqlParameters& parameters) = 0;
    // Prepares a statement that is run many times (a statement the database refuses whatever
    // its parameters fails here already).
    virtual std::unique_ptr<ProductStatement> prepare(std::string_view sql) = 0;
    // Makes the unit's changes durable, all or nothing.
    virtual void commitWork() = 0;
    // Drops the unit's changes; the file stays exactly as it was.
    virtual void rollbackWork() = 0;
};

class ProductDatabaseOpener {
public:
    virtual ~ProductDatabaseOpener() = default;
    virtual std::unique_ptr<ProductDatabase> open(const std::filesystem::path& file) = 0;
};

}  // namespace upgrade
