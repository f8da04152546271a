#include "jet/error.h"

namespace jet {

const char* errorKindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Io: return "input/output error";
    case ErrorKind::DiskFull: return "disk full";
    case ErrorKind::NotAccess: return "not an Access database";
    case ErrorKind::Jet3: return "Access 97 (Jet 3) database";
    case ErrorKind::Ace: return "Access 2007 or later (ACE) database";
    case ErrorKind::EncryptedPages: return "encrypted database";
    case ErrorKind::DatabasePassword: return "password-protected database";
    case ErrorKind::BadFileSize: return "truncated database";
    case ErrorKind::Damaged: return "damaged database";
    case ErrorKind::Unsupported: return "unsupported feature";
    case ErrorKind::NotFound: return "not found";
    case ErrorKind::InvalidArgument: return "invalid argument";
    case ErrorKind::SqlSyntax: return "syntax error";
    case ErrorKind::Constraint: return "constraint violated";
    case ErrorKind::InUse: return "database in use";
    case ErrorKind::ReadOnly: return "read-only database";
    case ErrorKind::ForeignFile: return "foreign entry beside the database";
    }
    return "error";
}

namespace {
std::string composeMessage(const std::string& file, const std::string& table, const std::string& cause) {
    std::string message = file.empty() ? std::string("(no file)") : file;
    if (!table.empty()) message += ", table " + table;
    message += ": " + cause;
    return message;
}
}  // namespace

Error::Error(ErrorKind kind, const std::string& file, const std::string& table, const std::string& cause)
    : Error(kind, ErrorContext{file, table, {}, {}, {}}, cause) {}

Error::Error(ErrorKind kind, ErrorContext context, const std::string& cause, BrokenRule rule)
    : std::runtime_error(composeMessage(context.file, context.table, cause)),
      kind_(kind),
      rule_(rule),
      context_(std::move(context)),
      cause_(cause) {}

}  // namespace jet
