#include "tools/jetdb/create_commands.h"

#include <cstdlib>
#include <fstream>
#include <regex>

#include "jet/create/add_table.h"
#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/file/native_path.h"
#include "tools/jetdb/commands.h"
#include "tools/jetdb/json_rows.h"

namespace jetdb {

namespace {

// NAME:TYPE or NAME:TYPE:pk, TYPE one of Text(n) Text Memo Long AutoNumber Integer Byte Double
// DateTime YesNo.
jet::NewColumn parseColumn(const std::string& argument, bool& primaryKey) {
    static const std::regex pattern(R"(^([^:]+):([A-Za-z]+)(?:\((\d+)\))?(:pk)?$)");
    std::smatch match;
    if (!std::regex_match(argument, match, pattern)) throw UsageError("create-table: bad column " + argument + " (expected NAME:TYPE[:pk])");
    jet::NewColumn column;
    column.name = match[1];
    const std::string type = match[2];
    primaryKey = match[4].matched;
    if (match[3].matched && type != "Text") throw UsageError("create-table: only Text takes a length (" + argument + ")");
    if (type == "Text") {
        column.type = jet::ColumnType::Text;
        column.textLength = match[3].matched ? static_cast<std::uint16_t>(std::min(std::atoi(match[3].str().c_str()), 65535)) : 255;
    } else if (type == "Memo") column.type = jet::ColumnType::Memo;
    else if (type == "Long") column.type = jet::ColumnType::Long;
    else if (type == "AutoNumber") { column.type = jet::ColumnType::Long; column.autoNumber = true; }
    else if (type == "Integer") column.type = jet::ColumnType::Integer;
    else if (type == "Byte") column.type = jet::ColumnType::Byte;
    else if (type == "Double") column.type = jet::ColumnType::Double;
    else if (type == "DateTime") column.type = jet::ColumnType::DateTime;
    else if (type == "YesNo") column.type = jet::ColumnType::Boolean;
    else throw UsageError("create-table: unknown column type " + type);
    return column;
}

// NAME:COLUMN[,COLUMN...]
jet::NewIndex parseIndex(const std::string& argument, bool unique) {
    const auto colon = argument.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == argument.size())
        throw UsageError("create-table: bad index " + argument + " (expected NAME:COLUMN[,COLUMN])");
    jet::NewIndex index;
    index.name = argument.substr(0, colon);
    index.unique = unique;
    std::string rest = argument.substr(colon + 1);
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto comma = rest.find(',', start);
        index.columns.push_back(rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return index;
}

}  // namespace

int createDatabase(const std::vector<std::string>& args, std::ostream&) {
    if (args.size() != 2 && args.size() != 4) throw UsageError("create: expected FILE [--sort-order LCID]");
    jet::DatabaseOptions options;
    if (args.size() == 4) {
        if (args[2] != "--sort-order") throw UsageError("create: unknown option " + args[2]);
        if (args[3] != "1033" && args[3] != "2052") throw UsageError("create: sort order must be 1033 (General) or 2052 (Chinese PRC)");
        options.sortOrder = static_cast<std::uint16_t>(std::atoi(args[3].c_str()));
        if (options.sortOrder == 2052) options.codePage = 936;
    }
    jet::createDatabase(args[1], {}, options);
    return 0;
}

int createTable(const std::vector<std::string>& args, std::ostream&) {
    if (args.size() < 4) throw UsageError("create-table: expected FILE TABLE COLUMN...");
    jet::NewTable table;
    table.name = args[2];
    std::vector<std::string> primaryKey;
    std::string rowsFile;
    for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--rows") {
            if (i + 1 >= args.size()) throw UsageError("create-table: --rows needs a file of JSON lines");
            rowsFile = args[++i];
            continue;
        }
        if (args[i] == "--index" || args[i] == "--unique-index") {
            if (i + 1 >= args.size()) throw UsageError("create-table: " + args[i] + " needs NAME:COLUMN[,COLUMN]");
            table.indexes.push_back(parseIndex(args[i + 1], args[i] == "--unique-index"));
            ++i;
            continue;
        }
        bool isKey = false;
        table.columns.push_back(parseColumn(args[i], isKey));
        if (isKey) primaryKey.push_back(table.columns.back().name);
    }
    if (table.columns.empty()) throw UsageError("create-table: no columns given");
    if (!primaryKey.empty()) {
        jet::NewIndex key;
        key.name = "PrimaryKey";
        key.columns = primaryKey;
        key.primaryKey = true;
        table.indexes.insert(table.indexes.begin(), key);
    }
    if (!rowsFile.empty()) {
        std::ifstream in(jet::nativePath(rowsFile));
        if (!in) throw jet::Error(jet::ErrorKind::Io, rowsFile, "", "cannot open the rows file");
        try {
            table.rows = readJsonRows(in);
        } catch (const std::invalid_argument& bad) {
            throw jet::Error(jet::ErrorKind::InvalidArgument, rowsFile, table.name, bad.what());
        }
    }
    jet::addTableToDatabase(args[1], table);
    return 0;
}

}  // namespace jetdb
