#include "tools/jetdb/commands.h"

#include <string>

#include "jet/read/database.h"
#include "tools/jetdb/schema_text.h"
#include "tools/jetdb/create_commands.h"
#include "tools/jetdb/exec_command.h"

namespace jetdb {

namespace {

void requireCount(const std::vector<std::string>& args, std::size_t min, std::size_t max) {
    if (args.size() < min) throw UsageError(args[0] + ": missing arguments");
    if (args.size() > max) throw UsageError(args[0] + ": too many arguments");
}

int listTables(const std::vector<std::string>& args, std::ostream& out) {
    requireCount(args, 2, 3);
    bool system = false;
    if (args.size() == 3) {
        if (args[2] != "--system") throw UsageError("tables: unknown option " + args[2]);
        system = true;
    }
    const jet::Database database = jet::Database::open(args[1]);
    for (const auto& name : database.tableNames(system)) out << name << '\n';
    return 0;
}

int showSchema(const std::vector<std::string>& args, std::ostream& out) {
    requireCount(args, 2, 3);
    const jet::Database database = jet::Database::open(args[1]);
    if (args.size() == 3) {
        out << schemaText(database.table(args[2]));
        return 0;
    }
    for (const auto& name : database.tableNames()) out << schemaText(database.table(name)) << '\n';
    return 0;
}

// One JSON object per row; with --arrays, a first line describing the columns and the stored
// row count, then one JSON array per row (the form the interoperability tests compare).
int dumpTable(const std::vector<std::string>& args, std::ostream& out) {
    requireCount(args, 3, 4);
    bool arrays = false;
    if (args.size() == 4) {
        if (args[3] != "--arrays") throw UsageError("dump: unknown option " + args[3]);
        arrays = true;
    }
    const jet::Database database = jet::Database::open(args[1]);
    jet::RowCursor cursor = database.rows(args[2]);
    const auto& columns = cursor.definition().columns;
    std::string line;
    if (arrays) {
        line = "{\"columns\":[";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i) line.push_back(',');
            line += "{\"name\":";
            jet::appendJsonString(line, columns[i].name);
            line += ",\"type\":" + std::to_string(columns[i].type) + "}";
        }
        line += "],\"rowCount\":" + std::to_string(cursor.definition().rowCount) + "}\n";
        out << line;
    }
    std::vector<jet::Value> row;
    while (cursor.next(row)) {
        line.clear();
        line.push_back(arrays ? '[' : '{');
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i) line.push_back(',');
            if (!arrays) {
                jet::appendJsonString(line, columns[i].name);
                line.push_back(':');
            }
            jet::appendJson(line, row[i]);
        }
        line += arrays ? "]\n" : "}\n";
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    return 0;
}

}  // namespace

int runCommand(const std::vector<std::string>& args, std::ostream& out) {
    const std::string& command = args[0];
    if (command == "tables") return listTables(args, out);
    if (command == "schema") return showSchema(args, out);
    if (command == "dump") return dumpTable(args, out);
    if (command == "create") return createDatabase(args, out);
    if (command == "create-table") return createTable(args, out);
    if (command == "exec") return executeStatements(args, out);
    if (command == "check-indexes") return checkIndexesCommand(args, out);
    if (command == "check-structure") return checkStructureCommand(args, out);
    throw UsageError("unknown command " + command);
}

}  // namespace jetdb
