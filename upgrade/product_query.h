#pragma once
// The single query object through which the upgrade actions reach the
// product databases. It is pointed at a file of an installation directory,
// opens that file with the first statement, and keeps it open for later
// statements until it is pointed at another file or released.

#include "failure_cause.h"
#include "installation.h"
#include "product_database.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace upgrade {

// A failure of a product database: the directory, the file, the kind of
// failure and the cause as the user reads it (failure_cause.h).
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(std::string directory, std::string fileName, std::string cause,
                  FailureKind kind = FailureKind::Unexpected);
    // The failure in the directory and file, its cause in the user's words.
    DatabaseError(std::string directory, std::string fileName, const ProductDatabaseFailure& failure);
    const std::string& directory() const { return directory_; }
    const std::string& fileName() const { return fileName_; }
    const std::string& cause() const { return cause_; }
    FailureKind kind() const { return kind_; }

private:
    std::string directory_;
    std::string fileName_;
    std::string cause_;
    FailureKind kind_;
};

class ProductQuery {
public:
    ProductQuery(ProductDatabaseOpener& opener, Installation installation);

    // Points at directory + fileName ("\QorBirth.dll" style). Does no I/O; a
    // different file drops the open one, the same file keeps it.
    void pointAt(std::string_view directory, std::string_view fileName);
    // The file pointed at as the catalogue names it, "<directory>\<file>";
    // empty before the first pointAt.
    const std::string& filePath() const { return filePath_; }
    // The file as a connection string would name it, for display:
    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<directory>\<file>;Persist Security Info=False"
    std::string connectionString() const;
    bool isOpen() const { return database_ != nullptr; }

    // Statements and units of work on the file pointed at; the first one
    // opens it. Failures throw DatabaseError, its cause in the user's words.
    std::size_t execute(std::string_view sql, const SqlParameters& parameters = {});
    // Runs one statement once for each set of parameters, prepared once; returns the number of
    // rows changed in all. Stops at the first failure.
    std::size_t executeEach(std::string_view sql, const std::vector<SqlParameters>& parameterSets);
    void beginWork();
    void commitWork();
    // Never throws: a failed rollback drops the connection, which leaves the
    // file as it was before the unit.
    void rollbackWork() noexcept;
    // Closes the open file, if any, releasing whatever the connection holds
    // on it (its lock file included); the next statement opens it again. The
    // window calls this when each action ends.
    void release() noexcept;

    const Installation& installation() const { return installation_; }
    const std::string& directory() const { return directory_; }
    const std::string& fileName() const { return fileName_; }

private:
    ProductDatabase& database();
    [[noreturn]] void fail(const std::exception& cause) const;
    // The failure with the local paths of the file and its folder in the
    // technical detail written as the catalogue names them ("D:\…\QorBirth.dll").
    ProductDatabaseFailure withCataloguePaths(const ProductDatabaseFailure& failure) const;
    template <typename Action>
    auto guarded(Action&& action);

    ProductDatabaseOpener& opener_;
    Installation installation_;
    std::string directory_;
    std::string fileName_;
    std::string filePath_;   // directory_ + "\\" + fileName_: which file is pointed at
    std::unique_ptr<ProductDatabase> database_;
    std::filesystem::path localFile_;  // where the file pointed at was found
};

}  // namespace upgrade
