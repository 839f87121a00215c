// zdaq: the scripting client of libzdaq.
#include <iostream>

#include "tools/zdaq/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zdaq::cli::Run(args, std::cout, std::cerr);
}
