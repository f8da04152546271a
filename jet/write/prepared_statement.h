#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jet {

class Connection;
struct ParsedStatement;
struct ResolvedStatement;

// A statement of one connection, parsed once and with its table and column names resolved once;
// its `?` parameters are bound at each execution. Made by Connection::prepare.
//
// Whenever the connection loads its file anew (a rollback, a commit that failed, a unit found
// damaged), the tables a statement was resolved against are gone: the statement then resolves
// its names again, against the file as it now is, before it runs; a name that no longer fits is
// refused then as prepare would refuse it. A statement used after its connection was destroyed
// is refused (InvalidArgument). Errors are the connection's (jet::Error).
class PreparedStatement {
public:
    PreparedStatement(PreparedStatement&&) noexcept;
    PreparedStatement& operator=(PreparedStatement&&) noexcept;
    ~PreparedStatement();

    // Runs the statement with these values for its `?` parameters (as Connection::execute does),
    // committing it on its own unless a unit of work is open. Returns the number of rows
    // inserted, changed or deleted.
    std::size_t execute(const std::vector<Value>& parameters = {});
    std::size_t parameterCount() const;

private:
    friend class Connection;
    PreparedStatement(std::weak_ptr<Connection*> connection, std::string path, std::shared_ptr<const ParsedStatement> parsed);

    std::weak_ptr<Connection*> connection_;
    std::string path_;   // the connection's file, to name once the connection is gone
    std::shared_ptr<const ParsedStatement> parsed_;
    std::unique_ptr<ResolvedStatement> resolved_;
    std::uint64_t resolvedForLoad_ = 0;   // which load of the file it was resolved against
};

}  // namespace jet
