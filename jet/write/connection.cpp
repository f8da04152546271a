#include "jet/write/connection.h"

#include "jet/file/atomic_replace.h"
#include "jet/error.h"
#include "jet/file/file_lock.h"
#include "jet/file/side_file.h"
#include "jet/sql/sql_parser.h"
#include "jet/check/structure_check.h"
#include "jet/write/resolved_statement.h"
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
    ++loads_;
    damaged_ = false;
}

void Connection::beginWork() {
    if (inWork_) throw Error(ErrorKind::InvalidArgument, path_, "", "a unit of work is already open");
    if (damaged_) reload();
    inWork_ = true;
}

void Connection::refuseIfDamaged() const {
    if (damaged_) throw Error(ErrorKind::InvalidArgument, path_, "", "an earlier statement of this unit of work found the file damaged; roll the unit back");
}

template <typename Call>
decltype(auto) Connection::notingDamage(Call&& call) {
    try {
        return call();
    } catch (const Error& error) {
        // The session is as it was before the statement. A unit whose file turned out damaged
        // is not committed, though: only rolled back.
        if (inWork_ && error.kind() == ErrorKind::Damaged) damaged_ = true;
        throw;
    }
}

PreparedStatement Connection::parsed(std::string_view sql) {
    refuseIfDamaged();
    try {
        return PreparedStatement(self_, path_, std::make_shared<const ParsedStatement>(parseSql(sql)));
    } catch (const SqlSyntaxError& error) {
        throw Error(ErrorKind::SqlSyntax, path_, "", error.what());
    }
}

void Connection::resolve(PreparedStatement& statement) {
    statement.resolved_.reset();
    statement.resolved_ = notingDamage([&] { return std::make_unique<ResolvedStatement>(session_->resolve(*statement.parsed_)); });
    statement.resolvedForLoad_ = loads_;
}

PreparedStatement Connection::prepare(std::string_view sql) {
    PreparedStatement statement = parsed(sql);
    resolve(statement);
    return statement;
}

std::size_t Connection::execute(std::string_view sql, const std::vector<Value>& parameters) {
    // A caller that repeats one text runs the statement prepared for it the time before.
    if (!last_ || last_->sql != sql) {
        last_.reset();
        last_.emplace(LastStatement{std::string(sql), parsed(sql)});
    }
    session_->checkParameterCount(last_->statement.parameterCount(), parameters.size());
    return run(last_->statement, parameters);
}

std::size_t Connection::run(PreparedStatement& statement, const std::vector<Value>& parameters) {
    refuseIfDamaged();
    if (!statement.resolved_ || statement.resolvedForLoad_ != loads_) resolve(statement);
    const std::size_t changed = notingDamage([&] { return session_->execute(*statement.resolved_, parameters); });
    commitUnlessInWork();
    return changed;
}

void Connection::applyChange(const std::function<void(WriteSession&)>& change) {
    refuseIfDamaged();
    // Pending index changes go into the image first, so that a copy of it is the whole state.
    session_->flush();
    std::vector<std::uint8_t> before = session_->file().image();
    try {
        change(*session_);
    } catch (...) {
        // A session over the image as it was; statements resolved against the old one resolve
        // again, as after a reload.
        session_ = std::make_unique<WriteSession>(path_, std::move(before));
        ++loads_;
        throw;
    }
    commitUnlessInWork();
}

void Connection::commitUnlessInWork() {
    if (inWork_) return;
    try {
        save();
    } catch (...) {
        reload();   // the file on disk is as it was; so is the image again
        throw;
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
