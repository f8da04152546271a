#include "tools/jetdb/exec_command.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/file/native_path.h"
#include "jet/check/index_check.h"
#include "jet/file/page_file.h"
#include "jet/sql/sql_parser.h"
#include "jet/check/structure_check.h"
#include "tools/jetdb/commands.h"

namespace jetdb {

namespace {

std::vector<jet::Value> parseParameters(const std::vector<std::string>& args, std::size_t first) {
    std::vector<jet::Value> parameters;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--null") {
            parameters.emplace_back();
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError("exec: " + option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--param") {
            parameters.emplace_back(value);
        } else if (option == "--int") {
            std::int64_t number = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
            if (ec != std::errc() || end != value.data() + value.size()) throw UsageError("exec: --int " + value + " is not a whole number");
            parameters.emplace_back(number);
        } else {
            throw UsageError("exec: unknown option " + option);
        }
    }
    return parameters;
}

std::string readScript(const std::string& path) {
    std::ifstream in(jet::nativePath(path), std::ios::binary);
    if (!in) throw UsageError("exec: cannot read the script " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int checkIndexesCommand(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 2 && !(args.size() == 3 && args[2] == "--exact-counts")) throw UsageError("check-indexes: expects FILE [--exact-counts]");
    const jet::PageFile file = jet::PageFile::load(args[1]);
    std::vector<std::string> problems;
    try {
        problems = jet::checkAllIndexes(file, args.size() == 3);
    } catch (const jet::Damage& damage) {
        throw jet::Error(jet::ErrorKind::Damaged, args[1], "", std::string("damaged database: ") + damage.what());
    }
    for (const auto& problem : problems) out << problem << "\n";
    if (problems.empty()) out << "indexes consistent\n";
    return problems.empty() ? 0 : 1;
}

int checkStructureCommand(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 2) throw UsageError("check-structure: expects FILE");
    const jet::PageFile file = jet::PageFile::load(args[1]);
    jet::checkStructure(file);   // damage is an Error: exit status 1 with its message
    out << "structure sound\n";
    return 0;
}

int executeStatements(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 3) throw UsageError("exec: missing arguments");
    jet::Connection connection(args[1]);
    if (args[2] == "--script") {
        if (args.size() != 4) throw UsageError("exec: --script takes one file and no parameters");
        const std::vector<std::string> statements = jet::splitSqlScript(readScript(args[3]));
        connection.beginWork();
        std::size_t total = 0;
        for (const auto& statement : statements) total += connection.execute(statement, {});
        connection.commitWork();
        out << statements.size() << " statements, " << total << " rows changed\n";
        return 0;
    }
    const std::size_t changed = connection.execute(args[2], parseParameters(args, 3));
    out << changed << " rows changed\n";
    return 0;
}

}  // namespace jetdb
