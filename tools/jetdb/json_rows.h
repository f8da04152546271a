#pragma once

#include <istream>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jetdb {

// Reads rows given as JSON lines, one array of scalars per line (null, true/false, integers,
// decimals, strings; blank lines skipped). Integers become std::int64_t, decimals double,
// strings UTF-8 text (dates are given as "YYYY-MM-DD HH:MM:SS" text). Throws
// std::invalid_argument naming the line and what is wrong.
std::vector<std::vector<jet::Value>> readJsonRows(std::istream& in);

}  // namespace jetdb
