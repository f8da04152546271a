// jetdb: command-line access to Access (Jet 4) databases through the jet engine.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "jet/error.h"
#include "tools/jetdb/commands.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#endif

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
    "  check-structure FILE            check pages, usage maps, row counts and long values as every\n"
    "                                  write does (exit status 1 on damage)\n"
    "\n"
    "Exit status: 0 on success, 1 on database errors, 2 on usage errors.\n";

// The arguments as UTF-8, as the engine takes file names and values. Windows hands main() its
// arguments in the ANSI code page, which loses Chinese text elsewhere than on a Chinese system,
// so there they are read from the wide command line.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) {
        const std::u8string u8 = std::filesystem::path(wide[i]).u8string();
        args.emplace_back(u8.begin(), u8.end());
    }
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);   // the output is UTF-8 text
#endif
    std::vector<std::string> args = utf8Arguments(argc, argv);
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
