// yex-cli: the tables, lookups, compounds, mixtures and charts of YEX from
// the command line, through the core every front end calls.
#pragma once

#include <string>
#include <vector>

namespace yex::cli {

// Exit status: 0 done, 1 a data error, 2 a usage error.
int Run(const std::vector<std::string>& args);

}  // namespace yex::cli
