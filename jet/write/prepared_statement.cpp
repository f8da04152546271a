#include "jet/write/prepared_statement.h"

#include "jet/error.h"
#include "jet/write/connection.h"
#include "jet/write/resolved_statement.h"

namespace jet {

PreparedStatement::PreparedStatement(std::weak_ptr<Connection*> connection, std::string path, std::shared_ptr<const ParsedStatement> parsed)
    : connection_(std::move(connection)), path_(std::move(path)), parsed_(std::move(parsed)) {}

PreparedStatement::PreparedStatement(PreparedStatement&&) noexcept = default;
PreparedStatement& PreparedStatement::operator=(PreparedStatement&&) noexcept = default;
PreparedStatement::~PreparedStatement() = default;

std::size_t PreparedStatement::parameterCount() const {
    return parsed_->parameterCount;
}

std::size_t PreparedStatement::execute(const std::vector<Value>& parameters) {
    const std::shared_ptr<Connection*> connection = connection_.lock();
    if (!connection) throw Error(ErrorKind::InvalidArgument, path_, "", "the statement's connection is closed");
    return (*connection)->run(*this, parameters);
}

}  // namespace jet
