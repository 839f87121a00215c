// tidemet-cli: the Tidemet core without a window, for batch work and scripts.
#include <cstdio>
#include <cstring>

namespace {

void usage(FILE* out) {
  std::fputs(
      "usage: tidemet-cli [--help] [--version]\n"
      "\n"
      "The command-line companion of Tidemet. Its subcommands work on trial files\n"
      "without opening a window.\n",
      out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage(stderr);
    return 2;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    usage(stdout);
    return 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::puts("tidemet-cli 5.6");
    return 0;
  }
  std::fprintf(stderr, "tidemet-cli: unknown command '%s'\n", argv[1]);
  usage(stderr);
  return 2;
}
