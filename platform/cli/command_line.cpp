#include "platform/command_line.h"

#include <algorithm>
#include <cstdio>

#ifndef JED_PROJECT_VERSION
#define JED_PROJECT_VERSION "unknown"
#endif

namespace platform {

namespace {

std::vector<std::string> SplitNames(const std::string& names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find(',', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    if (!name.empty()) out.push_back(name);
    start = end + 1;
  }
  return out;
}

}  // namespace

CommandLine::CommandLine(std::string program, std::string usage)
    : program_(std::move(program)), usage_(std::move(usage)) {
  Flag("-h, --help", "show this text and exit", nullptr);
  Flag("--version", "show the version and exit", nullptr);
}

void CommandLine::Heading(std::string text) { options_.push_back({{}, {}, std::move(text), nullptr, nullptr}); }

void CommandLine::Flag(const std::string& names, std::string help, std::function<void()> on) {
  options_.push_back({SplitNames(names), {}, std::move(help), std::move(on), nullptr});
}

void CommandLine::Value(const std::string& names, std::string value_name, std::string help, ValueHandler on) {
  options_.push_back({SplitNames(names), std::move(value_name), std::move(help), nullptr, std::move(on)});
}

const CommandLine::Option* CommandLine::Find(const std::string& name) const {
  for (const Option& option : options_)
    if (std::find(option.names.begin(), option.names.end(), name) != option.names.end()) return &option;
  return nullptr;
}

CommandLine::Outcome CommandLine::Parse(int argc, char** argv, int* exit_status) {
  // --help and --version win wherever they stand, and nothing else is acted on before them.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help" || arg == "--version") {
      std::fputs((arg == "--version" ? VersionText() : HelpText()).c_str(), stdout);
      *exit_status = 0;
      return Outcome::kExit;
    }
    const Option* option = Find(arg.substr(0, arg.find('=')));
    if (option && !option->value_name.empty() && arg.find('=') == std::string::npos) ++i;  // its value
  }
  auto fail = [&](const std::string& reason) {
    *exit_status = UsageError(reason);
    return Outcome::kExit;
  };
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string error;
    const bool is_option = !options_ended && arg.size() > 1 && arg[0] == '-';
    if (!is_option) {
      if (!operands_) return fail("unexpected argument '" + arg + "'");
      if (!operands_(arg, &error)) return fail(error);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string name = arg, value;
    const size_t equals = arg.find('=');
    const bool inline_value = arg.rfind("--", 0) == 0 && equals != std::string::npos;
    if (inline_value) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const Option* option = Find(name);
    if (!option) return fail("unknown option '" + name + "'");
    if (option->value_name.empty()) {
      if (inline_value) return fail("option '" + name + "' takes no value");
      if (option->on_flag) option->on_flag();
      continue;
    }
    if (!inline_value) {
      if (i + 1 >= argc) return fail("option '" + name + "' needs a value (" + option->value_name + ")");
      value = argv[++i];
    }
    if (option->on_value && !option->on_value(value, &error))
      // NOLINTNEXTLINE(performance-inefficient-string-concatenation): once, on the way out
      return fail(error.empty() ? "bad value '" + value + "' for " + name : error);
  }
  return Outcome::kRun;
}

int CommandLine::UsageError(const std::string& reason) const {
  std::fprintf(stderr, "%s: %s\nUsage: %s %s\nTry '%s --help' for more information.\n", program_.c_str(),
               reason.c_str(), program_.c_str(), usage_.c_str(), program_.c_str());
  return 2;
}

std::string CommandLine::HelpText() const {
  std::string text = "Usage: " + program_ + " " + usage_ + "\n";
  if (!description_.empty()) text += description_ + (description_.back() == '\n' ? "" : "\n");
  text += "\n";
  bool first_group = true;
  auto option_line = [](const Option& option) {
    std::string left = "  ";
    for (size_t n = 0; n < option.names.size(); ++n) left += (n ? ", " : "") + option.names[n];
    if (!option.value_name.empty()) left += " " + option.value_name;
    const size_t column = 25;
    left += left.size() < column ? std::string(column - left.size(), ' ') : "\n" + std::string(column, ' ');
    std::string help = option.help;
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, std::string(column, ' '));
    return left + help + "\n";
  };
  // The program's own options first, --help and --version last.
  if (options_.size() > 2 && !options_[2].names.empty()) text += "Options:\n";
  for (size_t n = 2; n < options_.size(); ++n) {
    const Option& option = options_[n];
    if (option.names.empty()) {
      text += (first_group && n == 2 ? "" : "\n") + option.help + "\n";
      first_group = false;
      continue;
    }
    if (!option.help.empty()) text += option_line(option);
  }
  text += option_line(options_[0]) + option_line(options_[1]);
  if (!epilogue_.empty()) text += "\n" + epilogue_ + (epilogue_.back() == '\n' ? "" : "\n");
  return text;
}

std::string CommandLine::VersionText() const {
  std::string text = version_ ? version_() : program_ + " " + JED_PROJECT_VERSION;
  if (text.empty() || text.back() != '\n') text += "\n";
  return text;
}

}  // namespace platform
