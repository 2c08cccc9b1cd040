#include "app/commandline.h"

namespace zazir {

const char kUsageLine[] =
    "Usage: zazir [LOG | PATTERN | DIRECTORY] | --list LOG... | --export DIR LOG... |\n"
    "       --search TEXT LOG... | --help\n";

namespace {

CommandLine usage(std::string problem) {
  CommandLine command;
  command.mode = CommandMode::Usage;
  command.problem = std::move(problem);
  return command;
}

bool isOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

// The logs after a command: at least one, and no option among them unless
// after "--".
CommandLine withLogs(CommandLine command, const std::vector<std::string>& args, std::size_t from) {
  bool options = true;
  for (std::size_t at = from; at < args.size(); ++at) {
    if (options && args[at] == "--") {
      options = false;
    } else if (options && isOption(args[at])) {
      return usage("unknown option " + args[at]);
    } else {
      command.logs.push_back(args[at]);
    }
  }
  if (command.logs.empty()) return usage("no log given");
  return command;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine command;
  if (args.empty()) return command;
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    command.mode = CommandMode::Help;
  } else if (first == "--version" || first == "-V") {
    command.mode = CommandMode::Version;
  } else if (first == "--list") {
    command.mode = CommandMode::List;
    return withLogs(command, args, 1);
  } else if (first == "--export") {
    if (args.size() < 2 || args[1].empty() || isOption(args[1])) {
      return usage("--export needs a directory");
    }
    command.mode = CommandMode::Export;
    command.exportDirectory = args[1];
    return withLogs(command, args, 2);
  } else if (first == "--search") {
    // The text is taken as it stands, a leading "-" included.
    if (args.size() < 2 || args[1].empty()) return usage("--search needs a text");
    command.mode = CommandMode::Search;
    command.searchText = args[1];
    return withLogs(command, args, 2);
  } else if (first == "--") {
    if (args.size() > 1) command.logArgument = args[1];
  } else if (isOption(first)) {
    return usage("unknown option " + first);
  } else {
    command.logArgument = first;
  }
  return command;
}

}  // namespace zazir
