#include "jet/write/connection.h"

#include "jet/file/atomic_replace.h"
#include "jet/error.h"
#include "jet/file/file_lock.h"
#include "jet/file/side_file.h"
#include "jet/sql/sql_parser.h"
#include "jet/check/structure_check.h"
#include "jet/write/write_session.h"

namespace jet {

Connection::Connection(const std::string& path) : path_(path) {
    checkWritable(path_);
    lock_ = std::make_unique<WriterLock>(path_);
    // The Jet lock file may have appeared while we took ours.
    checkWritable(path_);
    // Left by a commit that was interrupted; anything there but a regular file is refused.
    removeLeftoverSideFile(path_, replacementPath(path_));
    reload();
}

Connection::~Connection() = default;

void Connection::reload() {
    // Room for the pages a unit of work typically adds (a table of a few thousand rows).
    constexpr std::size_t kGrowthRoom = 4u << 20;
    PageFile file = PageFile::load(path_, kGrowthRoom);
    // A damaged file is refused before anything is written. The session checks the header
    // first, as it tells what kind of file this is (encrypted pages would look damaged).
    auto session = std::make_unique<WriteSession>(path_, file.releaseImage());
    checkStructure(session->file());
    session_ = std::move(session);
    damaged_ = false;
}

void Connection::beginWork() {
    if (inWork_) throw Error(ErrorKind::InvalidArgument, path_, "", "a unit of work is already open");
    if (damaged_) reload();
    inWork_ = true;
}

std::size_t Connection::execute(std::string_view sql, const std::vector<Value>& parameters) {
    if (damaged_) throw Error(ErrorKind::InvalidArgument, path_, "", "an earlier statement of this unit of work found the file damaged; roll the unit back");
    if (!lastParsed_ || sql != lastSql_) {
        try {
            lastParsed_ = std::make_shared<const ParsedStatement>(parseSql(sql));
            lastSql_ = std::string(sql);
        } catch (const SqlSyntaxError& error) {
            throw Error(ErrorKind::SqlSyntax, path_, "", error.what());
        }
    }
    const std::shared_ptr<const ParsedStatement> parsed = lastParsed_;
    std::size_t changed = 0;
    try {
        changed = session_->execute(*parsed, parameters);
    } catch (const Error& error) {
        // The session is as it was before the statement. A unit whose file turned out damaged
        // is not committed, though: only rolled back.
        if (inWork_ && error.kind() == ErrorKind::Damaged) damaged_ = true;
        throw;
    }
    if (!inWork_) {
        try {
            save();
        } catch (...) {
            reload();
            throw;
        }
    }
    return changed;
}

void Connection::applyChange(const std::function<void(WriteSession&)>& change) {
    if (damaged_) throw Error(ErrorKind::InvalidArgument, path_, "", "an earlier statement of this unit of work found the file damaged; roll the unit back");
    // Pending index changes go into the image first, so that a copy of it is the whole state.
    session_->flush();
    std::vector<std::uint8_t> before = session_->file().image();
    try {
        change(*session_);
    } catch (...) {
        session_ = std::make_unique<WriteSession>(path_, std::move(before));
        throw;
    }
    if (!inWork_) {
        try {
            save();
        } catch (...) {
            reload();
            throw;
        }
    }
}

void Connection::save() {
    session_->flush();
    checkStructure(session_->file());   // no damage of ours reaches the disk
    // Our own share-mode hold on the database (Windows) would keep the rename from replacing it.
    lock_->releaseDatabase();
    try {
        replaceFileAtomically(path_, session_->file().image());
    } catch (...) {
        lock_->holdDatabaseAgain();
        throw;
    }
    lock_->holdDatabaseAgain();
}

void Connection::commitWork() {
    if (!inWork_) throw Error(ErrorKind::InvalidArgument, path_, "", "no unit of work is open");
    if (damaged_) throw Error(ErrorKind::InvalidArgument, path_, "", "an earlier statement of this unit of work found the file damaged; roll the unit back");
    save();   // on failure the file is unchanged and the unit stays open: retry or roll back
    inWork_ = false;
}

void Connection::rollbackWork() {
    if (!inWork_) throw Error(ErrorKind::InvalidArgument, path_, "", "no unit of work is open");
    inWork_ = false;
    reload();
}

}  // namespace jet
