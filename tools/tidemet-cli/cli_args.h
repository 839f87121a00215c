#pragma once
// The command line of tidemet-cli: a command, its files and its options.

#include <optional>
#include <string>
#include <vector>

namespace tidemet::cli {

// The fastest demonstration stroke rate whose strokes the analysis still parts (measured over
// trials of 10 to 60 s: from 98 a minute on it misses strokes, from 100 on it finds almost none).
inline constexpr int kFastestAnalysedStrokeRate = 97;

enum class Command { None, Info, Analyze, Export, Resave, Simulate, Report };

struct CliOptions {
  Command command = Command::None;
  std::vector<std::string> files;
  std::optional<int> pairItem;        // 0..3 for 12, 34, 56, 78
  std::optional<int> mode;            // AnalysisMode 0..2
  std::optional<bool> metric;         // --units
  std::optional<std::string> stroke;
  std::optional<std::string> workingFolder;
  bool text = false;                  // --format text
  std::optional<std::string> fileFormat;  // export --format edf|csv
  bool smoothed = false;
  bool force = false;                 // replace read-only files (resave, simulate)
  // simulate
  std::optional<int> model;
  std::optional<double> seconds;
  std::optional<std::string> out;
  std::optional<unsigned> seed;
  std::optional<double> strokeRate;
  std::optional<int> channels;
  bool help = false;
  bool version = false;
};

struct ParsedArgs {
  CliOptions options;
  std::string error;  // wrong usage, when not empty
};

ParsedArgs ParseArgs(const std::vector<std::string>& args);

// The usage text of the whole tool, or of one command.
std::string UsageText(Command command);

}  // namespace tidemet::cli
