// jetdb: command-line access to Access (Jet 4) databases through the jet engine.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "jet/error.h"
#include "tools/jetdb/commands.h"

namespace {

const char kUsage[] =
    "usage: jetdb COMMAND FILE [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  tables FILE [--system]          list the tables (system tables too with --system)\n"
    "  schema FILE [TABLE]             show columns and indexes of one or all tables\n"
    "  dump FILE TABLE                 print every row as one JSON object per line\n"
    "  create FILE [--sort-order LCID] create a new empty database (default 1033, General)\n"
    "  create-table FILE TABLE COLUMN... [--index NAME:COLUMN[,COLUMN]]... [--unique-index ...]\n"
    "               [--rows ROWS.jsonl]\n"
    "                                  add a table to a database made by jetdb; a COLUMN is\n"
    "                                  NAME:TYPE with TYPE one of Text(n) Memo Long AutoNumber\n"
    "                                  Integer Byte Double DateTime YesNo; append :pk to make it\n"
    "                                  the primary key. ROWS.jsonl holds one JSON array of values\n"
    "                                  per line, in column order (null for AutoNumber, dates as\n"
    "                                  \"YYYY-MM-DD HH:MM:SS\")\n"
    "  exec FILE SQL [--param TEXT | --int N | --null]...\n"
    "                                  run one UPDATE, DELETE or INSERT statement; each ? takes the\n"
    "                                  next parameter; the change is committed at once\n"
    "  exec FILE --script FILE.sql     run every statement of a script (separated by ;) in one\n"
    "                                  unit: all of them are written, or none\n"
    "  check-indexes FILE [--exact-counts]\n"
    "                                  check every index against the rows (exit status 1 on problems)\n"
    "\n"
    "Exit status: 0 on success, 1 on database errors, 2 on usage errors.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    std::ios::sync_with_stdio(false);
    try {
        return jetdb::runCommand(args, std::cout);
    } catch (const jetdb::UsageError& error) {
        std::cerr << "jetdb: " << error.what() << "\n\n" << kUsage;
        return 2;
    } catch (const jet::Error& error) {
        std::cerr << "jetdb: " << error.what() << "\n";
        return 1;
    }
}
