#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace jetdb {

int createDatabase(const std::vector<std::string>& args, std::ostream& out);
int createTable(const std::vector<std::string>& args, std::ostream& out);

}  // namespace jetdb
