#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace jetdb {

// Wrong command line: reported with the usage text and exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs one command (args[0] is its name) and returns the exit status. Database failures
// propagate as jet::Error.
int runCommand(const std::vector<std::string>& args, std::ostream& out);

}  // namespace jetdb
