#include "cli_args.h"

#include <cstdlib>
#include <map>
#include <set>

namespace tidemet::cli {
namespace {

struct Choice {
  const char* option;
  std::map<std::string, int> values;
};

const Choice kPair{"--pair", {{"12", 0}, {"34", 1}, {"56", 2}, {"78", 3}}};
const Choice kMode{"--mode", {{"peak", 0}, {"impulse", 1}, {"avg", 2}}};
const Choice kUnits{"--units", {{"metric", 1}, {"us", 0}}};
const Choice kFormat{"--format", {{"json", 0}, {"text", 1}}};
const std::set<std::string> kExportFormats{"edf", "csv"};

const std::set<std::string> kSimulateOptions{"--model",     "--seconds",     "--out",      "--seed",
                                             "--stroke-rate", "--channels", "--working-folder"};

// A whole number or a decimal number that must use the whole text.
bool parseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

// The options of `simulate`, which takes no file arguments.
void parseSimulate(const std::vector<std::string>& args, size_t i, ParsedArgs& out) {
  CliOptions& o = out.options;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      return;
    }
    if (a == "--force") {
      o.force = true;
      continue;
    }
    if (!kSimulateOptions.count(a)) {
      out.error = a.rfind("--", 0) == 0 ? "unknown option '" + a + "'" : "simulate takes no file '" + a + "'";
      return;
    }
    if (i + 1 >= args.size()) {
      out.error = "option '" + a + "' needs a value";
      return;
    }
    const std::string& v = args[++i];
    double number = 0;
    const bool isNumber = parseNumber(v, number);
    if (a == "--out") {
      o.out = v;
    } else if (a == "--working-folder") {
      o.workingFolder = v;
    } else if (!isNumber) {
      out.error = "invalid value '" + v + "' for " + a;
      return;
    } else if (a == "--model") {
      o.model = static_cast<int>(number);
    } else if (a == "--seconds") {
      o.seconds = number;
    } else if (a == "--seed") {
      o.seed = static_cast<unsigned>(number);
    } else if (a == "--stroke-rate") {
      o.strokeRate = number;
    } else if (a == "--channels") {
      o.channels = static_cast<int>(number);
    }
  }
  if (!o.model) out.error = "simulate needs --model";
  else if (*o.model != 0) out.error = "only the demonstration unit, --model 0, can be simulated";
  else if (!o.seconds || *o.seconds <= 0 || *o.seconds > 327) out.error = "simulate needs --seconds from 0 to 327";
  else if (!o.out) out.error = "simulate needs --out FILE.dat";
  else if (o.channels && *o.channels != 2 && *o.channels != 4 && *o.channels != 8) out.error = "--channels takes 2, 4 or 8";
  else if (o.strokeRate && (*o.strokeRate < 1 || *o.strokeRate > kFastestAnalysedStrokeRate))
    out.error = "--stroke-rate takes 1 to " + std::to_string(kFastestAnalysedStrokeRate) +
                " strokes a minute; the analysis cannot part faster strokes";
}

// Every option of the commands that take files; `takes` says which command takes which.
const std::set<std::string> kFileCommandOptions{"--pair",   "--mode",           "--units",    "--stroke",
                                                "--format", "--working-folder", "--smoothed", "--force", "--out"};

// Which options each command takes.
bool takes(Command c, const std::string& option) {
  if (c == Command::Report) return option != "--smoothed" && option != "--force";
  if (option == "--out") return c == Command::Export;
  if (option == "--pair") return c == Command::Analyze || c == Command::Export;
  if (option == "--format" || option == "--units" || option == "--stroke")
    return c == Command::Analyze || c == Command::Export;
  if (option == "--working-folder") return c == Command::Analyze || c == Command::Export || c == Command::Resave;
  if (option == "--smoothed") return c == Command::Export;
  if (option == "--force") return c == Command::Resave;
  return c == Command::Analyze;  // --mode, --units, --stroke, --format
}

}  // namespace

std::string UsageText(Command command) {
  switch (command) {
    case Command::Info:
      return "usage: tidemet-cli info FILE...\n\n"
             "Prints the trial record of each .dat or .sum file as JSON.\n";
    case Command::Analyze:
      return "usage: tidemet-cli analyze FILE... [--pair 12|34|56|78] [--mode peak|impulse|avg]\n"
             "                           [--units metric|us] [--stroke NAME]\n"
             "                           [--working-folder DIR] [--format json|text]\n\n"
             "Opens each file as the program does, analyses the channel pair and prints the\n"
             "repetitions, means, swim figures and messages.\n";
    case Command::Export:
      return "usage: tidemet-cli export FILE... [--smoothed] [--pair 12|34|56|78]\n"
             "                          [--units metric|us] [--working-folder DIR]\n"
             "       tidemet-cli export FILE --format edf|csv --out OUT [--pair 12|34|56|78]\n"
             "                          [--units metric|us] [--stroke NAME] [--working-folder DIR]\n\n"
             "Prints the per-sample force table of a data file as tab-separated text\n"
             "(\"copy data\"; with --smoothed, \"copy smoothed data\").\n"
             "With --format, writes the trial to OUT instead: EDF+ with one signal per recorded\n"
             "channel in newtons (pounds with US units) and the repetitions of the pair as\n"
             "annotations, or CSV with a header row and the time and forces of every sample.\n";
    case Command::Resave:
      return "usage: tidemet-cli resave IN OUT [--working-folder DIR] [--force]\n\n"
             "Opens IN and saves it as OUT; a .dat name also writes its .sum summary.\n"
             "A summary saved again keeps its results; it holds no samples for a .dat.\n"
             "A read-only OUT is replaced only with --force.\n";
    case Command::Simulate:
      return "usage: tidemet-cli simulate --model 0 --seconds S --out FILE.dat [--seed N]\n"
             "                            [--stroke-rate R] [--channels 2|4|8]\n"
             "                            [--working-folder DIR] [--force]\n\n"
             "Records S seconds of the built-in demonstration unit through the monitor's own\n"
             "sampling code on a simulated clock (no waiting) and saves the .dat and its .sum.\n"
             "R is in strokes a minute, 1 to 97 (default 40); the trial has 2 channels unless told.\n";
    case Command::Report:
      return "usage: tidemet-cli report FILE [--out FILE.pdf] [--format text] [--pair 12|34|56|78]\n"
             "                          [--mode peak|impulse|avg] [--units metric|us]\n"
             "                          [--stroke NAME] [--working-folder DIR]\n\n"
             "Opens FILE as the program does, analyses the channel pair and writes its\n"
             "performance report as a PDF, or as the report's text lines with --format text\n"
             "(pages separated by form feeds).\n";
    case Command::None:
      break;
  }
  return "usage: tidemet-cli [--help] [--version] COMMAND [ARGS]\n\n"
         "The command-line companion of Tidemet. Its commands work on trial files\n"
         "without opening a window:\n"
         "  info      the trial record of .dat and .sum files, as JSON\n"
         "  analyze   repetitions, means and swim figures of a channel pair\n"
         "  export    the per-sample force table of a data file, or the trial as EDF+ or CSV\n"
         "  resave    open a trial file and save it under another name\n"
         "  simulate  record a trial of the demonstration unit without waiting\n"
         "  report    the performance report of a trial, as PDF or text\n\n"
         "Exit status: 0 success, 1 a file was refused, 2 wrong usage.\n"
         "'tidemet-cli COMMAND --help' describes a command.\n";
}

ParsedArgs ParseArgs(const std::vector<std::string>& args) {
  ParsedArgs out;
  CliOptions& o = out.options;
  size_t i = 0;
  if (i < args.size() && (args[i] == "--help" || args[i] == "-h")) {
    o.help = true;
    return out;
  }
  if (i < args.size() && args[i] == "--version") {
    o.version = true;
    return out;
  }
  if (i >= args.size()) {
    out.error = "no command given";
    return out;
  }
  const std::map<std::string, Command> commands{{"info", Command::Info}, {"analyze", Command::Analyze},
                                                {"export", Command::Export}, {"resave", Command::Resave},
                                                {"simulate", Command::Simulate}, {"report", Command::Report}};
  auto found = commands.find(args[i]);
  if (found == commands.end()) {
    out.error = "unknown command '" + args[i] + "'";
    return out;
  }
  o.command = found->second;
  ++i;
  if (o.command == Command::Simulate) {
    parseSimulate(args, i, out);
    return out;
  }

  auto choose = [&](const Choice& choice, const std::string& value) -> std::optional<int> {
    auto v = choice.values.find(value);
    if (v == choice.values.end()) {
      out.error = std::string("invalid value '") + value + "' for " + choice.option;
      return std::nullopt;
    }
    return v->second;
  };
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      return out;
    }
    if (a.rfind("--", 0) != 0 || a == "--") {
      o.files.push_back(a);
      continue;
    }
    if (!kFileCommandOptions.count(a)) {
      out.error = "unknown option '" + a + "'";
      return out;
    }
    if (!takes(o.command, a)) {
      out.error = "option '" + a + "' does not apply to this command";
      return out;
    }
    if (a == "--smoothed" || a == "--force") {
      (a == "--smoothed" ? o.smoothed : o.force) = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      out.error = "option '" + a + "' needs a value";
      return out;
    }
    const std::string& v = args[++i];
    if (a == "--pair") {
      if (auto item = choose(kPair, v)) o.pairItem = *item; else return out;
    } else if (a == "--mode") {
      if (auto item = choose(kMode, v)) o.mode = *item; else return out;
    } else if (a == "--units") {
      if (auto item = choose(kUnits, v)) o.metric = *item == 1; else return out;
    } else if (a == "--format" && o.command == Command::Export) {
      if (!kExportFormats.count(v)) {
        out.error = "invalid value '" + v + "' for --format (edf or csv)";
        return out;
      }
      o.fileFormat = v;
    } else if (a == "--format") {
      if (auto item = choose(kFormat, v)) o.text = *item == 1; else return out;
    } else if (a == "--stroke") {
      o.stroke = v;
    } else if (a == "--working-folder") {
      o.workingFolder = v;
    } else if (a == "--out") {
      o.out = v;
    }
  }
  if (o.files.empty()) out.error = "no file given";
  if (o.command == Command::Resave && o.files.size() != 2) out.error = "resave takes IN and OUT";
  if (o.command == Command::Export && (o.fileFormat || o.out)) {
    if (!o.fileFormat || !o.out) out.error = "export writes a file with both --format edf|csv and --out FILE";
    else if (o.files.size() != 1) out.error = "export --format takes one FILE";
    else if (o.smoothed) out.error = "--smoothed applies only to the tab-separated table";
  }
  if (o.command == Command::Report && o.files.size() != 1) out.error = "report takes one FILE";
  else if (o.command == Command::Report && !o.text && !o.out) out.error = "report needs --out FILE.pdf or --format text";
  return out;
}

}  // namespace tidemet::cli
