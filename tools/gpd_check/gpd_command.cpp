#include "tools/gpd_check/gpd_command.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "tools/gpd_check/gpd_names.h"

namespace {

constexpr size_t kMaxParts = 14;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// Quoted text as the bytes it stands for: <hex> pairs, %% for a percent sign.
bool ReadQuoted(std::string_view text, std::string& bytes, std::vector<std::string>& problems) {
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '%') {
      if (pos + 1 >= text.size() || text[pos + 1] != '%') {
        problems.push_back("a lone '%' in a string, which must be written %%");
        return false;
      }
      bytes += '%';
      ++pos;
    } else if (text[pos] == '<') {
      const size_t end = text.find('>', pos);
      std::string digits;
      for (size_t i = pos + 1; end != std::string_view::npos && i < end; ++i) {
        if (text[i] != ' ') digits += text[i];
      }
      const bool hex = end != std::string_view::npos && !digits.empty() && digits.size() % 2 == 0 &&
                       std::all_of(digits.begin(), digits.end(), [](char d) {
                         return std::isxdigit(static_cast<unsigned char>(d)) != 0;
                       });
      if (!hex) {
        problems.push_back("<...> must hold pairs of hexadecimal digits");
        return false;
      }
      for (size_t i = 0; i < digits.size(); i += 2) {
        bytes += static_cast<char>(std::strtol(digits.substr(i, 2).c_str(), nullptr, 16));
      }
      pos = end;
    } else {
      bytes += text[pos];
    }
  }
  return true;
}

// %<digits><type>[min,max]{expression}, from the '%' at pos; pos ends after it.
std::optional<CommandArgument> ReadArgument(std::string_view text, size_t& pos,
                                            std::vector<std::string>& problems) {
  CommandArgument argument;
  ++pos;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) != 0) {
    argument.format += text[pos++];
  }
  if (pos >= text.size() || std::string_view("dDcCfglmnqv").find(text[pos]) == std::string::npos) {
    problems.push_back("unknown argument type");
    return std::nullopt;
  }
  argument.format += text[pos++];
  if (pos < text.size() && text[pos] == '[') {
    const size_t end = text.find(']', pos);
    const std::string_view range =
        end == std::string_view::npos ? std::string_view() : text.substr(pos + 1, end - pos - 1);
    const size_t comma = range.find(',');
    const auto low = comma == std::string_view::npos
                         ? std::nullopt
                         : NumberValue(TrimBlanks(std::string(range.substr(0, comma))));
    const auto high = comma == std::string_view::npos
                          ? std::nullopt
                          : NumberValue(TrimBlanks(std::string(range.substr(comma + 1))));
    if (!low || !high || *low > *high) {
      problems.push_back("a range must be [min,max]");
      return std::nullopt;
    }
    argument.range = std::pair{*low, *high};
    pos = end + 1;
  }
  if (pos >= text.size() || text[pos] != '{') {
    problems.push_back("an argument needs a {expression}");
    return std::nullopt;
  }
  const size_t end = text.find('}', pos);
  if (end == std::string_view::npos) {
    problems.push_back("an expression is not closed");
    return std::nullopt;
  }
  argument.expression = std::string(text.substr(pos + 1, end - pos - 1));
  pos = end + 1;
  const ExpressionResult expression = ReadExpression(argument.expression, {});
  if (!expression.problem.empty()) {
    problems.push_back(expression.problem);
    return std::nullopt;
  }
  return argument;
}

// Reads and evaluates an expression in one pass, by precedence: sums of products of terms.
class ExpressionReader {
 public:
  ExpressionReader(std::string_view text, const VariableValues& values)
      : text_(text), values_(values) {}

  ExpressionResult Run() {
    const Value value = Sum();
    SkipBlanks();
    if (pos_ < text_.size()) Fail(text_[pos_] == ')' ? Unpaired() : Unexpected());
    if (result_.problem.empty()) result_.value = value;
    return result_;
  }

 private:
  using Value = std::optional<long>;

  Value Sum() {
    Value value = Product();
    while (result_.problem.empty()) {
      if (Take("+")) {
        value = Apply(value, Product(), [](long a, long b) -> Value { return a + b; });
      } else if (Take("-")) {
        value = Apply(value, Product(), [](long a, long b) -> Value { return a - b; });
      } else {
        break;
      }
    }
    return value;
  }

  Value Product() {
    Value value = Term();
    while (result_.problem.empty()) {
      if (Take("*")) {
        value = Apply(value, Term(), [](long a, long b) -> Value { return a * b; });
      } else if (Take("/")) {
        value = Apply(value, Term(),
                      [](long a, long b) -> Value { return b == 0 ? std::nullopt : Value(a / b); });
      } else if (TakeWord("MOD")) {
        value = Apply(value, Term(),
                      [](long a, long b) -> Value { return b == 0 ? std::nullopt : Value(a % b); });
      } else {
        break;
      }
    }
    return value;
  }

  Value Term() {
    SkipBlanks();
    if (pos_ >= text_.size()) {
      Fail("the expression {" + std::string(text_) + "} ends too soon");
      return std::nullopt;
    }
    const char c = text_[pos_];
    if (Take("-")) return Apply(Value(0), Term(), [](long, long b) -> Value { return -b; });
    if (Take("(")) {
      const Value value = Sum();
      if (!Take(")")) Fail(Unpaired());
      return value;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
      size_t end = pos_;
      while (end < text_.size() && std::isdigit(static_cast<unsigned char>(text_[end])) != 0) ++end;
      const long number =
          std::strtol(std::string(text_.substr(pos_, end - pos_)).c_str(), nullptr, 10);
      pos_ = end;
      return number;
    }
    if (!IsWordChar(c)) {
      Fail(Unexpected());
      return std::nullopt;
    }
    size_t end = pos_;
    while (end < text_.size() && IsWordChar(text_[end])) ++end;
    const std::string word(text_.substr(pos_, end - pos_));
    pos_ = end;
    if (word == "max" || word == "min" || word == "max_repeat") return Function(word);
    if (kStandardVariables.count(word) == 0) {
      Fail("unknown variable " + word);
      return std::nullopt;
    }
    const auto found = values_.find(word);
    return found == values_.end() ? std::nullopt : Value(found->second);
  }

  // max(a, b), min(a, b), max_repeat(a); max_repeat sends its value in pieces of the range.
  Value Function(const std::string& name) {
    if (!Take("(")) {
      Fail(name + " needs its arguments in parentheses");
      return std::nullopt;
    }
    Value value = Sum();
    if (name == "max_repeat") {
      result_.repeats = true;
    } else if (!Take(",")) {
      Fail(name + " needs two arguments");
    } else {
      value = Apply(value, Sum(), [&name](long a, long b) -> Value {
        return name == "max" ? std::max(a, b) : std::min(a, b);
      });
    }
    if (result_.problem.empty() && !Take(")")) Fail(Unpaired());
    return value;
  }

  template <typename Operation>
  static Value Apply(Value a, Value b, const Operation& operation) {
    return a && b ? operation(*a, *b) : std::nullopt;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  bool Take(std::string_view token) {
    SkipBlanks();
    if (text_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }

  bool TakeWord(std::string_view word) {
    SkipBlanks();
    const size_t end = pos_ + word.size();
    if (text_.substr(pos_, word.size()) != word || (end < text_.size() && IsWordChar(text_[end]))) {
      return false;
    }
    pos_ = end;
    return true;
  }

  void Fail(const std::string& problem) {
    if (result_.problem.empty()) result_.problem = problem;
  }
  std::string Unexpected() const {
    return "unexpected '" + std::string(1, text_[pos_]) + "' in an expression";
  }
  std::string Unpaired() const { return "parentheses do not pair in {" + std::string(text_) + "}"; }

  std::string_view text_;
  const VariableValues& values_;
  size_t pos_ = 0;
  ExpressionResult result_;
};

// An argument's value as the bytes its format writes.
bool Encode(const std::string& format, long value, std::string& bytes) {
  const auto byte = [](long v) { return static_cast<char>(v & 0xFF); };
  if (format == "c") {
    bytes += byte(value);
  } else if (format == "C") {
    bytes += byte(value + '0');
  } else if (format == "d" || format == "D") {
    bytes += (format == "D" && value >= 0 ? "+" : "") + std::to_string(value);
  } else if (format == "l") {
    bytes += {byte(value), byte(value >> 8)};
  } else if (format == "m") {
    bytes += {byte(value >> 8), byte(value)};
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string CommandName(const GpdEntry& command) {
  return TrimBlanks(command.value.substr(0, command.value.find(':')));
}

std::optional<std::pair<std::string, int>> CommandText(const GpdEntry& command) {
  const size_t colon = command.value.find(':');
  if (colon != std::string::npos) {
    return std::pair{TrimBlanks(command.value.substr(colon + 1)), command.line};
  }
  const GpdEntry* cmd = FindEntry(command.children, "Cmd");
  if (!cmd) return std::nullopt;
  return std::pair{cmd->value, cmd->line};
}

std::optional<std::vector<CommandPart>> ReadCommandString(std::string_view text,
                                                          std::vector<std::string>& problems) {
  const size_t problemsBefore = problems.size();
  std::vector<CommandPart> parts;
  size_t arguments = 0;
  bool ranged = false;
  bool repeats = false;
  for (size_t pos = 0; pos < text.size() && text[pos] != '=';) {
    const char c = text[pos];
    if (c == ' ' || c == '\t') {
      ++pos;
    } else if (c == '"') {
      const size_t end = text.find('"', pos + 1);
      if (end == std::string_view::npos) {
        problems.push_back("string is not closed");
        return std::nullopt;
      }
      CommandPart part;
      if (!ReadQuoted(text.substr(pos + 1, end - pos - 1), part.bytes, problems)) {
        return std::nullopt;
      }
      parts.push_back(std::move(part));
      pos = end + 1;
    } else if (c == '%') {
      auto argument = ReadArgument(text, pos, problems);
      if (!argument) return std::nullopt;
      ++arguments;
      ranged = ranged || argument->range.has_value();
      repeats = repeats || ReadExpression(argument->expression, {}).repeats;
      parts.push_back({"", std::move(argument)});
    } else {
      problems.push_back("unexpected '" + std::string(1, c) + "'");
      return std::nullopt;
    }
  }
  if (parts.size() > kMaxParts) problems.push_back("more than 14 parts");
  if (repeats && (arguments != 1 || !ranged)) {
    problems.push_back("max_repeat needs a single argument with a range");
  }
  if (problems.size() != problemsBefore) return std::nullopt;
  return parts;
}

ExpressionResult ReadExpression(std::string_view text, const VariableValues& values) {
  return ExpressionReader(text, values).Run();
}

std::optional<std::string> ExpandCommand(const std::vector<CommandPart>& parts,
                                         const VariableValues& values) {
  std::string bytes;
  for (const CommandPart& part : parts) {
    if (!part.argument) {
      bytes += part.bytes;
      continue;
    }
    const ExpressionResult result = ReadExpression(part.argument->expression, values);
    if (!result.value || result.repeats) return std::nullopt;
    long value = *result.value;
    if (part.argument->range) {
      value = std::clamp(value, part.argument->range->first, part.argument->range->second);
    }
    if (!Encode(part.argument->format, value, bytes)) return std::nullopt;
  }
  return bytes;
}
