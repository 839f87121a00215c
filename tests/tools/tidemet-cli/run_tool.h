#pragma once
// Runs tidemet-cli in-process with the arguments of a command line and keeps what it wrote.

#include <sstream>
#include <string>
#include <vector>

#include "cli_commands.h"

namespace tidemet::cli {

struct Result {
  int status;
  std::string out, err;
};

inline Result RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(ParseArgs(args), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace tidemet::cli
