// One way for every program to read its command line. --help and --version print their text
// to standard output and end the program with status 0; an unknown option, a missing value or
// a value the program refuses prints the reason and the usage to standard error and ends it
// with status 2, before anything else has happened.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

class CommandLine {
 public:
  // A handler returns false with a reason in *error to refuse a value.
  using ValueHandler = std::function<bool(const std::string& value, std::string* error)>;

  // usage: what follows the program's name on the usage line ("[OPTION]... FILE...").
  CommandLine(std::string program, std::string usage);

  // Text printed by --help before the options (what the program does) and after them.
  void Describe(std::string text) { description_ = std::move(text); }
  void Epilogue(std::string text) { epilogue_ = std::move(text); }
  // The --version text; without one, "<program> <project version>".
  void Version(std::function<std::string()> text) { version_ = std::move(text); }

  // names: "--quiet" or "-q, --quiet". A heading starts a group in --help's option list. An
  // option with no help text is read like any other but left out of --help, to keep it one
  // screen: the program's manual page tells of it.
  void Heading(std::string text);
  void Flag(const std::string& names, std::string help, std::function<void()> on);
  void Value(const std::string& names, std::string value_name, std::string help, ValueHandler on);
  // Each argument that is not an option (and every one after "--").
  void Operands(ValueHandler on) { operands_ = std::move(on); }

  enum class Outcome { kRun, kExit };
  // Reads argv. kExit: --help or --version answered, or a usage error reported;
  // *exit_status then says which (0 or 2).
  Outcome Parse(int argc, char** argv, int* exit_status);
  // For checks made after Parse (operand counts, options that exclude each other): prints the
  // reason and the usage to standard error and returns 2, the status to exit with.
  int UsageError(const std::string& reason) const;

  std::string HelpText() const;
  std::string VersionText() const;

 private:
  struct Option {
    std::vector<std::string> names;  // empty for a heading
    std::string value_name;          // empty for a flag
    std::string help;
    std::function<void()> on_flag;
    ValueHandler on_value;
  };
  const Option* Find(const std::string& name) const;

  std::string program_, usage_, description_, epilogue_;
  std::function<std::string()> version_;
  std::vector<Option> options_;
  ValueHandler operands_;
};

}  // namespace platform
