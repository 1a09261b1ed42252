#include "tools/gpd_check/gpd_tree.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '?';
}

class Parser {
 public:
  Parser(const std::string& text, std::vector<GpdProblem>& problems)
      : text_(text), problems_(problems) {
    levels_.push_back(&tree_.root);
  }

  GpdTree Run() {
    while (pos_ < text_.size()) Step();
    for (size_t i = 1; i < levels_.size(); ++i) {
      Report(openLines_[i - 1], "'{' is not closed");
    }
    return std::move(tree_);
  }

 private:
  void Step() {
    const char c = text_[pos_];
    if (c == '\n') {
      ++line_;
      ++pos_;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      ++pos_;
    } else if (StartsComment()) {
      if (tree_.firstCommentLine == 0) tree_.firstCommentLine = line_;
      SkipToLineEnd();
    } else if (c == '*') {
      ReadEntry();
    } else if (c == '{') {
      OpenBlock();
    } else if (c == '}') {
      CloseBlock();
    } else if (text_.compare(pos_, 14, "EXTERN_GLOBAL:") == 0) {
      pos_ += 14;
    } else {
      Report(line_, "text outside an entry");
      SkipToLineEnd();
    }
  }

  bool StartsComment() const {
    return text_[pos_] == '*' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '%';
  }

  void SkipToLineEnd() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
  }

  void ReadEntry() {
    GpdEntry entry;
    entry.line = line_;
    ++pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) entry.keyword += text_[pos_++];
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (entry.keyword.empty() || pos_ >= text_.size() || text_[pos_] != ':') {
      Report(line_, "'*" + entry.keyword + "' is not followed by ':'");
      SkipToLineEnd();
      return;
    }
    ++pos_;
    entry.value = ReadValue();
    levels_.back()->push_back(std::move(entry));
    canOpen_ = true;
  }

  // The value ends at the line's end or at a brace; the braces of a command argument's
  // expression, %d{...}, belong to the value. A line that starts with '+' continues the value.
  std::string ReadValue() {
    std::string value;
    bool quoted = false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\r') {
        ++pos_;
        continue;
      }
      if (c == '\n' && !quoted && pos_ + 1 < text_.size() && text_[pos_ + 1] == '+') {
        ++line_;
        pos_ += 2;
        value += ' ';
        continue;
      }
      if (c == '\n') {
        if (quoted) Report(line_, "string is not closed on its line");
        break;
      }
      if (quoted) {
        if (c == '"') quoted = false;
        value += c;
        ++pos_;
        continue;
      }
      if (c == '"') {
        quoted = true;
      } else if (c == '%') {
        ReadArgument(value);
        continue;
      } else if (c == '{' || c == '}' || StartsComment()) {
        break;
      } else if (c == '*' && pos_ + 1 < text_.size() &&
                 std::isalpha(static_cast<unsigned char>(text_[pos_ + 1])) != 0) {
        Report(line_, "an entry must start on its own line");
        break;
      }
      value += c;
      ++pos_;
    }
    const size_t start = value.find_first_not_of(" \t\r");
    const size_t end = value.find_last_not_of(" \t\r");
    return start == std::string::npos ? std::string() : value.substr(start, end - start + 1);
  }

  // %<digits><type>[min,max]{expression}, copied whole into the value.
  void ReadArgument(std::string& value) {
    value += text_[pos_++];
    while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_])) != 0) {
      value += text_[pos_++];
    }
    for (const auto& [open, close] : {std::pair{'[', ']'}, std::pair{'{', '}'}}) {
      if (pos_ >= text_.size() || text_[pos_] != open) continue;
      const size_t end = text_.find_first_of(std::string(1, close) + "\n", pos_);
      if (end == std::string::npos || text_[end] != close) {
        Report(line_, std::string("'") + open + "' of a command argument is not closed");
        SkipToLineEnd();
        return;
      }
      value.append(text_, pos_, end - pos_ + 1);
      pos_ = end + 1;
    }
  }

  void OpenBlock() {
    std::vector<GpdEntry>& level = *levels_.back();
    ++pos_;
    if (!canOpen_ || level.empty()) {
      Report(line_, "'{' has no entry to open");
      level.push_back(GpdEntry{"", "", line_, false, {}});
    }
    level.back().hasBlock = true;
    levels_.push_back(&level.back().children);
    openLines_.push_back(line_);
    canOpen_ = false;
  }

  void CloseBlock() {
    ++pos_;
    if (levels_.size() == 1) {
      Report(line_, "'}' has no matching '{'");
      return;
    }
    levels_.pop_back();
    openLines_.pop_back();
    canOpen_ = false;
  }

  void Report(int line, const std::string& message) { problems_.push_back({line, message}); }

  const std::string& text_;
  std::vector<GpdProblem>& problems_;
  GpdTree tree_;
  std::vector<std::vector<GpdEntry>*> levels_;
  std::vector<int> openLines_;
  size_t pos_ = 0;
  int line_ = 1;
  bool canOpen_ = false;
};

}  // namespace

GpdTree ParseGpd(const std::string& text, std::vector<GpdProblem>& problems) {
  return Parser(text, problems).Run();
}

bool IsKeyword(const GpdEntry& entry, std::string_view keyword) {
  if (keyword == "switch" || keyword == "case" || keyword == "default") {
    return entry.keyword.size() == keyword.size() &&
           strncasecmp(entry.keyword.c_str(), keyword.data(), keyword.size()) == 0;
  }
  return entry.keyword == keyword;
}

const GpdEntry* FindEntry(const std::vector<GpdEntry>& list, std::string_view keyword) {
  for (const GpdEntry& entry : list) {
    if (IsKeyword(entry, keyword)) return &entry;
  }
  return nullptr;
}

std::vector<const GpdEntry*> FindEntries(const std::vector<GpdEntry>& list,
                                         std::string_view keyword) {
  std::vector<const GpdEntry*> found;
  for (const GpdEntry& entry : list) {
    if (IsKeyword(entry, keyword)) found.push_back(&entry);
  }
  return found;
}

void CollectEntries(const std::vector<GpdEntry>& entries, std::string_view keyword,
                    std::vector<const GpdEntry*>& found) {
  for (const GpdEntry& entry : entries) {
    if (IsKeyword(entry, keyword)) found.push_back(&entry);
    CollectEntries(entry.children, keyword, found);
  }
}

std::optional<long> NumberValue(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0') return std::nullopt;
  return number;
}

std::optional<std::pair<long, long>> PairValue(const std::string& value) {
  const auto items = ListValue(value, "PAIR");
  if (!items || items->size() != 2) return std::nullopt;
  const auto x = NumberValue((*items)[0]);
  const auto y = NumberValue((*items)[1]);
  if (!x || !y) return std::nullopt;
  return std::pair{*x, *y};
}

std::optional<std::vector<std::string>> ListValue(const std::string& value, const char* name) {
  const std::string head = std::string(name) + "(";
  if (value.compare(0, head.size(), head) != 0 || value.back() != ')') return std::nullopt;
  std::vector<std::string> items;
  std::stringstream body(value.substr(head.size(), value.size() - head.size() - 1));
  for (std::string item; std::getline(body, item, ',');) items.push_back(TrimBlanks(item));
  return items;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string TrimBlanks(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}
