// The command-string reader: a printer command of a GPD file as the driver expands it. A command
// string is quoted text, with <hex> bytes and %% for a percent sign, and arguments
// %<type>[min,max]{expression}, whose values the driver computes from its standard variables
// with + - * / MOD max min max_repeat and parentheses.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gpd_check/gpd_tree.h"

// A *Command entry's name: "*Command: CmdCR" with a block, or the short form
// "*Command: CmdCR: "<0D>"".
std::string CommandName(const GpdEntry& command);
// Its command string and the line it is on; nothing when it has none.
std::optional<std::pair<std::string, int>> CommandText(const GpdEntry& command);

struct CommandArgument {
  std::string format;                          // what follows '%': optional digits, a letter
  std::optional<std::pair<long, long>> range;  // the values the driver sends, [min,max]
  std::string expression;                      // between the braces
};

// One part of a command string: bytes sent as they stand, or an argument.
struct CommandPart {
  std::string bytes;
  std::optional<CommandArgument> argument;
};

// The parts of a command string. Nothing when the driver could not expand it; problems then
// says why. A macro reference (=NAME) ends the parts: macros are checked on their own.
std::optional<std::vector<CommandPart>> ReadCommandString(std::string_view text,
                                                          std::vector<std::string>& problems);

// The values of standard variables at one moment of a job.
using VariableValues = std::map<std::string, long, std::less<>>;

struct ExpressionResult {
  std::string problem;        // empty when the expression is well formed
  std::optional<long> value;  // when every variable it uses has a value and nothing divides by 0
  bool repeats = false;       // it uses max_repeat
};

ExpressionResult ReadExpression(std::string_view text, const VariableValues& values);

// The bytes the driver sends for these parts with these values, each argument kept within its
// range. Nothing when a value is missing, the command repeats (max_repeat) or an argument's
// format is not one of c, C, d, D, l, m.
std::optional<std::string> ExpandCommand(const std::vector<CommandPart>& parts,
                                         const VariableValues& values);
