// The rules for the options of PaperSize: the entries each kind of size needs, its printable
// area against the paper and against the print head's reach, and the form length its selection
// command sets against its page length.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gpd_check/gpd_tree.h"

struct PaperRuleContext {
  std::optional<std::pair<long, long>> masterUnits;
  // Whether the entries, or every branch of a *switch among them, give an entry of this keyword.
  std::function<bool(const std::vector<GpdEntry>&, std::string_view)> provides;
  std::function<void(int line, const std::string& message)> report;
};

void CheckPaperSizeOptions(const std::map<std::string, const GpdEntry*, std::less<>>& options,
                           const PaperRuleContext& context);
