#pragma once
// A product database that records what it is asked to do, for testing the
// upgrade actions without an engine. Statements of a unit become visible in
// `committed` only on commit.

#include "upgrade/failure_cause.h"
#include "upgrade/product_database.h"

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct RecordedStatement {
    std::string sql;
    upgrade::SqlParameters parameters;
};

struct FakeFileState {
    int opens = 0;
    std::vector<RecordedStatement> committed;
    int commits = 0;
    int rollbacks = 0;
    // Fails the n-th statement (counted from 1 over the file's life) with this
    // kind of failure, table and technical detail.
    int failAtStatement = 0;
    upgrade::FailureKind failureKind = upgrade::FailureKind::TableMissing;
    std::string failureTable = "huangdao";
    std::string failure = "no such table: huangdao";
    int statementsSeen = 0;
    int prepared = 0;   // statements prepared to run many times
    // What every statement reports as the number of rows it changed.
    std::size_t changedRows = 1;
};

class FakeProductDatabase : public upgrade::ProductDatabase {
public:
    explicit FakeProductDatabase(FakeFileState& state) : state_(state) { ++state_.opens; }
    void beginWork() override { pending_.clear(); }
    std::size_t execute(std::string_view sql, const upgrade::SqlParameters& parameters) override {
        if (++state_.statementsSeen == state_.failAtStatement)
            throw upgrade::ProductDatabaseFailure(state_.failureKind, state_.failure, state_.failureTable);
        pending_.push_back({std::string(sql), parameters});
        return state_.changedRows;
    }
    std::unique_ptr<upgrade::ProductStatement> prepare(std::string_view sql) override {
        ++state_.prepared;
        return std::make_unique<Statement>(*this, std::string(sql));
    }
    void commitWork() override {
        state_.committed.insert(state_.committed.end(), pending_.begin(), pending_.end());
        pending_.clear();
        ++state_.commits;
    }
    void rollbackWork() override {
        pending_.clear();
        ++state_.rollbacks;
    }

private:
    // Runs as the database's own statements do, recorded the same way.
    class Statement : public upgrade::ProductStatement {
    public:
        Statement(FakeProductDatabase& database, std::string sql) : database_(database), sql_(std::move(sql)) {}
        std::size_t execute(const upgrade::SqlParameters& parameters) override { return database_.execute(sql_, parameters); }

    private:
        FakeProductDatabase& database_;
        std::string sql_;
    };

    FakeFileState& state_;
    std::vector<RecordedStatement> pending_;
};

// Opens fakes by local path; every path gets a state of its own.
class FakeOpener : public upgrade::ProductDatabaseOpener {
public:
    std::unique_ptr<upgrade::ProductDatabase> open(const std::filesystem::path& file) override {
        opened.push_back(file);
        return std::make_unique<FakeProductDatabase>(files[std::filesystem::weakly_canonical(file)]);
    }
    FakeFileState& state(const std::filesystem::path& file) { return files[std::filesystem::weakly_canonical(file)]; }

    std::map<std::filesystem::path, FakeFileState> files;
    std::vector<std::filesystem::path> opened;
};

// Opens nothing: for tests that build the window but run no upgrade.
class UnusedOpener : public upgrade::ProductDatabaseOpener {
public:
    std::unique_ptr<upgrade::ProductDatabase> open(const std::filesystem::path& file) override {
        throw std::logic_error("this test opens no database, yet " + file.string() + " was opened");
    }
};
