// The entries of a GPD file as a tree: every "*Keyword: value" entry, with the entries inside
// the braces that follow it as its children.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gpd_check/gpd_check.h"

struct GpdEntry {
  std::string keyword;  // without the leading '*', e.g. "Feature"
  std::string value;    // the text after the colon, without surrounding blanks
  int line = 0;
  bool hasBlock = false;
  std::vector<GpdEntry> children;
};

struct GpdTree {
  std::vector<GpdEntry> root;
  int firstCommentLine = 0;  // 0 when the file has no comment
};

// Builds the tree, adding to problems what breaks the file's syntax: braces that do not pair,
// a brace with no entry to open, a string left open, an entry that does not start a line, text
// that belongs to no entry.
GpdTree ParseGpd(const std::string& text, std::vector<GpdProblem>& problems);

// The entries of list with this keyword. "switch", "case" and "default" match in any letter
// case, as the driver reads them; every other keyword matches exactly.
bool IsKeyword(const GpdEntry& entry, std::string_view keyword);
const GpdEntry* FindEntry(const std::vector<GpdEntry>& list, std::string_view keyword);
std::vector<const GpdEntry*> FindEntries(const std::vector<GpdEntry>& list,
                                         std::string_view keyword);
// Every entry with this keyword in the subtree of entries, whatever branch it sits in.
void CollectEntries(const std::vector<GpdEntry>& entries, std::string_view keyword,
                    std::vector<const GpdEntry*>& found);

// The values of entries: a number, PAIR(x, y), the items of NAME(a, b, ...), a quoted string's
// text. Nothing when the value is not of that form.
std::optional<long> NumberValue(const std::string& text);
std::optional<std::pair<long, long>> PairValue(const std::string& value);
std::optional<std::vector<std::string>> ListValue(const std::string& value, const char* name);
std::string Unquote(const std::string& value);
std::string TrimBlanks(const std::string& text);
