// tidemet-cli: the Tidemet core without a window, for batch work and scripts.
#include <iostream>
#include <string>
#include <vector>

#include "cli_commands.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tidemet::cli::RunCli(tidemet::cli::ParseArgs(args), std::cout, std::cerr);
}
