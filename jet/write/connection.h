#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/value.h"
#include "jet/write/prepared_statement.h"

namespace jet {

class WriteSession;
class WriterLock;

// A Jet 4 database opened for writing. Statements change an in-memory image of the file; a
// commit writes the image beside the file, flushes it to the disk and renames it over the file,
// so the file on disk is always either the old or the new one in full. The new image must pass
// the structure check first, so no damage of ours reaches the disk.
//
// Without an open unit of work each statement commits on its own. Inside beginWork() ...
// commitWork() statements accumulate and are written together; rollbackWork() drops them and
// leaves the file untouched. A refused statement changes nothing, also inside a unit and also
// when it fails after it began writing; the unit goes on as if it had not been run. Only a
// statement that finds the file damaged leaves a unit that can just be rolled back. All errors
// are jet::Error naming the file, the table where one is involved, and the cause.
class Connection {
public:
    // Refuses, before reading anything: a missing file (Io); a database in use, i.e. a Jet lock
    // file "<name>.ldb" beside it in any letter case, another process's record lock on it, or
    // another writer of ours holding our lock (InUse); a file larger than Jet 4 allows (Damaged);
    // a read-only file or folder (ReadOnly). Then loads and checks the file (NotAccess, Jet3, ...,
    // and its whole structure: Damaged). Removes a replacement file an interrupted commit left
    // behind; a link, FIFO or folder at that name or at our lock file's is refused (ForeignFile)
    // and left alone.
    explicit Connection(const std::string& path);
    ~Connection();   // an open unit of work is rolled back
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& path() const { return path_; }
    bool inWork() const { return inWork_; }

    void beginWork();
    // Parses a statement and resolves its table and column names (SqlSyntax, NotFound, ...), to
    // run it many times with new parameters. See PreparedStatement.
    PreparedStatement prepare(std::string_view sql);
    // Prepares and runs one statement (a text run again reuses the statement prepared for it
    // the time before); `?` parameters take UTF-8 text, integers or NULL (std::monostate).
    // Returns the number of rows inserted, changed or deleted. Hand the values over (std::move)
    // to spare copying their text.
    std::size_t execute(std::string_view sql, const std::vector<Value>& parameters = {});
    void commitWork();
    void rollbackWork();

    // Runs a change that statements cannot express (adding a table) on the session, with a
    // statement's guarantees: when it throws, the image is as it was before; outside a unit of
    // work it is committed at once.
    void applyChange(const std::function<void(WriteSession&)>& change);

private:
    friend class PreparedStatement;

    void reload();
    void save();
    // Outside a unit of work: saves the image, or reloads the file when saving failed.
    void commitUnlessInWork();
    void refuseIfDamaged() const;
    // A statement of this connection parsed from `sql` (SqlSyntax), not yet resolved.
    PreparedStatement parsed(std::string_view sql);
    // Resolves the statement against the file as now loaded.
    void resolve(PreparedStatement& statement);
    // Runs a statement of this connection, committing it unless a unit is open.
    std::size_t run(PreparedStatement& statement, const std::vector<Value>& parameters);
    // Runs `call`; damage it finds inside a unit leaves the unit only to be rolled back.
    template <typename Call>
    decltype(auto) notingDamage(Call&& call);

    std::string path_;
    std::unique_ptr<WriterLock> lock_;
    std::unique_ptr<WriteSession> session_;
    std::uint64_t loads_ = 0;   // counts the loads of the file: statements resolved before the last one resolve again
    bool inWork_ = false;
    bool damaged_ = false;   // a statement of the open unit found the file damaged; only a rollback helps
    // The statement execute() ran last, kept prepared for a caller that runs its text again.
    struct LastStatement {
        std::string sql;
        PreparedStatement statement;
    };
    std::optional<LastStatement> last_;
    // What this connection's statements reach it through; they find it gone once it is destroyed.
    std::shared_ptr<Connection*> self_ = std::make_shared<Connection*>(this);
};

}  // namespace jet
