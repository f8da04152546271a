#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace jetdb {

// exec FILE SQL [--param TEXT | --int N | --null]...   one statement, committed on its own
// exec FILE --script FILE.sql                           every statement of a script in one unit
// check-indexes FILE: prints index problems of every user table; exit status 1 when there are any
int checkIndexesCommand(const std::vector<std::string>& args, std::ostream& out);

// check-structure FILE: the structure check the write path runs (pages, maps, row counts, long
// values); exit status 1, naming table and page, on damage
int checkStructureCommand(const std::vector<std::string>& args, std::ostream& out);

int executeStatements(const std::vector<std::string>& args, std::ostream& out);

}  // namespace jetdb
