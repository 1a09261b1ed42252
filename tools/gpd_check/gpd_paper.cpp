#include "tools/gpd_check/gpd_paper.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "tools/gpd_check/escp_form.h"
#include "tools/gpd_check/gpd_command.h"
#include "tools/gpd_check/gpd_names.h"

namespace {

constexpr long kMicrometresPerInch = 25400;
// The unit of the printer's form lengths and line spacings.
constexpr long kFormUnitsPerInch = 360;
constexpr char kUnknownSpacing[] = ": the form length counts lines of a spacing it does not set";

class PaperRules {
 public:
  PaperRules(const std::map<std::string, const GpdEntry*, std::less<>>& options,
             const PaperRuleContext& context)
      : options_(options), context_(context) {}

  void Run() {
    const std::optional<long> reach = HeadReach();
    for (const auto& [name, option] : options_) {
      if (name == "CUSTOMSIZE") {
        CheckCustomSize(*option, reach);
      } else {
        CheckFixedSize(name, *option, reach);
      }
    }
  }

 private:
  void Report(int line, const std::string& message) const { context_.report(line, message); }
  bool Provides(const std::vector<GpdEntry>& entries, std::string_view keyword) const {
    return context_.provides(entries, keyword);
  }

  void CheckFixedSize(const std::string& name, const GpdEntry& option, std::optional<long> reach) {
    const std::string where = "option PaperSize." + name;
    for (const char* required : {"PrintableArea", "PrintableOrigin"}) {
      if (!Provides(option.children, required)) Report(option.line, where + " lacks *" + required);
    }
    const GpdEntry* dimensions = FindEntry(option.children, "PageDimensions");
    const bool standard = kStandardPaperSizes.count(name) != 0;
    std::optional<std::pair<long, long>> page;
    if (standard && dimensions) {
      Report(dimensions->line, where + " is a standard size and takes no *PageDimensions");
    } else if (!standard && !dimensions) {
      Report(option.line, where + " is not a standard size and needs *PageDimensions");
    } else if (dimensions) {
      page = PairValue(dimensions->value);
      if (!page) Report(dimensions->line, where + ": *PageDimensions must be a PAIR of numbers");
    } else {
      page = StandardPage(name);
    }
    if (!page) return;
    CheckPrintableArea(option.children, *page, reach, where, nullptr, nullptr);
    for (const GpdEntry* command : SelectCommands(option)) CheckFormLength(*command, *page, where);
  }

  // A standard size in master units, when the checker knows its dimensions.
  std::optional<std::pair<long, long>> StandardPage(const std::string& name) const {
    const auto size = kStandardPaperDimensions.find(name);
    if (size == kStandardPaperDimensions.end() || !context_.masterUnits) return std::nullopt;
    const auto units = [](long micrometres, long master) {
      return (micrometres * master + kMicrometresPerInch / 2) / kMicrometresPerInch;
    };
    return std::pair{units(size->second.width, context_.masterUnits->first),
                     units(size->second.length, context_.masterUnits->second)};
  }

  // The rightmost column the head prints at, from the paper's left edge: what the custom size
  // declares, its left margin plus its widest printable area (narrower paper, the documentation
  // says, has no right margin). Nothing without a custom size.
  std::optional<long> HeadReach() const {
    const auto custom = options_.find("CUSTOMSIZE");
    if (custom == options_.end()) return std::nullopt;
    const GpdEntry* width = FindEntry(custom->second->children, "MaxPrintableWidth");
    const GpdEntry* margin = FindEntry(custom->second->children, "MinLeftMargin");
    const std::optional<long> printable = width ? NumberValue(width->value) : std::nullopt;
    if (!printable) return std::nullopt;
    return *printable + (margin ? NumberValue(margin->value).value_or(0) : 0);
  }

  // Each block that gives an origin or an area, with what it inherits, must lie on the page and
  // within the head's reach.
  void CheckPrintableArea(const std::vector<GpdEntry>& entries, std::pair<long, long> page,
                          std::optional<long> reach, const std::string& where,
                          const GpdEntry* origin, const GpdEntry* area) {
    const GpdEntry* ownOrigin = FindEntry(entries, "PrintableOrigin");
    const GpdEntry* ownArea = FindEntry(entries, "PrintableArea");
    origin = ownOrigin ? ownOrigin : origin;
    area = ownArea ? ownArea : area;
    if ((ownOrigin || ownArea) && origin && area) {
      const auto o = PairValue(origin->value);
      const auto a = PairValue(area->value);
      const int line = std::max(origin->line, area->line);
      if (!o || !a) {
        Report(line, where + ": *PrintableOrigin and *PrintableArea must be PAIRs");
      } else if (o->first < 0 || o->second < 0 || o->first + a->first > page.first ||
                 o->second + a->second > page.second) {
        Report(line, where + ": the printable area does not fit on the page");
      } else if (reach && o->first + a->first > *reach) {
        Report(line, where + ": the printable area ends at " + std::to_string(o->first + a->first) +
                         ", past the print head's reach of " + std::to_string(*reach));
      }
    }
    for (const GpdEntry& entry : entries) {
      if (IsKeyword(entry, "switch") || IsKeyword(entry, "case") || IsKeyword(entry, "default")) {
        CheckPrintableArea(entry.children, page, reach, where, origin, area);
      }
    }
  }

  void CheckCustomSize(const GpdEntry& option, std::optional<long> reach) {
    const std::string where = "option PaperSize.CUSTOMSIZE";
    const bool relative = Provides(option.children, "CustCursorOriginX");
    for (const std::string& required : relative ? kRelativeCustomSizeEntries : kCustomSizeEntries) {
      if (!Provides(option.children, required)) {
        Report(option.line, where + " lacks *" + required);
      }
    }
    const GpdEntry* minEntry = FindEntry(option.children, "MinSize");
    const GpdEntry* maxEntry = FindEntry(option.children, "MaxSize");
    const auto minSize = minEntry ? PairValue(minEntry->value) : std::nullopt;
    const auto maxSize = maxEntry ? PairValue(maxEntry->value) : std::nullopt;
    if (!minSize || !maxSize) return;
    const GpdEntry* centre = FindEntry(option.children, "CenterPrintable?");
    const GpdEntry* width = FindEntry(option.children, "MaxPrintableWidth");
    const std::optional<long> printable = width ? NumberValue(width->value) : std::nullopt;
    if (reach && printable && centre && centre->value == "TRUE" &&
        (maxSize->first + *printable) / 2 > *reach) {
      Report(centre->line, where + ": centred on the widest paper, the printable area ends at " +
                               std::to_string((maxSize->first + *printable) / 2) +
                               ", past the print head's reach of " + std::to_string(*reach));
    }
    for (const GpdEntry* command : SelectCommands(option)) {
      CheckCustomFormLength(*command, *minSize, *maxSize, where);
    }
  }

  static std::vector<const GpdEntry*> SelectCommands(const GpdEntry& option) {
    std::vector<const GpdEntry*> commands;
    CollectEntries(option.children, "Command", commands);
    std::vector<const GpdEntry*> selects;
    for (const GpdEntry* command : commands) {
      if (CommandName(*command) == "CmdSelect") selects.push_back(command);
    }
    return selects;
  }

  // The parts of a command the driver can expand; problems in it are reported with the others.
  static std::optional<std::vector<CommandPart>> CommandParts(const GpdEntry& command) {
    const auto text = CommandText(command);
    std::vector<std::string> problems;
    return text ? ReadCommandString(text->first, problems) : std::nullopt;
  }

  // What a selection command sets the form length to for a page of this size, in 1/360 inch.
  static EscpFormLength FormLength(const std::vector<CommandPart>& parts,
                                   std::pair<long, long> page) {
    const auto bytes =
        ExpandCommand(parts, {{"PhysPaperWidth", page.first}, {"PhysPaperLength", page.second}});
    return bytes ? ReadEscpFormLength(*bytes) : EscpFormLength{};
  }

  // Tractor-fed forms move on by the form length at each form feed: any difference from the
  // page length adds up form after form.
  void CheckFormLength(const GpdEntry& command, std::pair<long, long> page,
                       const std::string& where) {
    const auto parts = CommandParts(command);
    if (!parts || !context_.masterUnits) return;
    const EscpFormLength form = FormLength(*parts, page);
    if (form.set && !form.length) {
      Report(command.line, where + kUnknownSpacing);
    } else if (form.set &&
               *form.length * context_.masterUnits->second != page.second * kFormUnitsPerInch) {
      Report(command.line, where + ": the form length is " +
                               std::to_string(ToMaster(*form.length)) + ", the page length " +
                               std::to_string(page.second));
    }
  }

  // The custom size at the lengths forms come in, whole millimetres and whole sixths of an inch:
  // exact where the printer can set the length, otherwise no further from it than the printer's
  // line spacing forces.
  void CheckCustomFormLength(const GpdEntry& command, std::pair<long, long> minSize,
                             std::pair<long, long> maxSize, const std::string& where) {
    const auto parts = CommandParts(command);
    if (!parts || !context_.masterUnits) return;
    for (const long length : CommonFormLengths(minSize.second, maxSize.second)) {
      const EscpFormLength form = FormLength(*parts, {maxSize.first, length});
      if (!form.set) return;
      const long wanted = ToFormUnits(length);
      if (!form.length) {
        Report(command.line, where + kUnknownSpacing);
        return;
      }
      if (std::labs(*form.length - wanted) > EscpFormLengthTolerance(wanted)) {
        Report(command.line, where + ": the form length for a page " + std::to_string(length) +
                                 " long is " + std::to_string(ToMaster(*form.length)));
        return;
      }
    }
  }

  std::set<long> CommonFormLengths(long shortest, long longest) const {
    std::set<long> lengths;
    const long unitsPerInch = context_.masterUnits->second;
    for (long mm = 1;; ++mm) {
      const long length =
          (mm * 1000 * unitsPerInch + kMicrometresPerInch / 2) / kMicrometresPerInch;
      if (length > longest) break;
      if (length >= shortest) lengths.insert(length);
    }
    for (long sixths = 1; sixths * unitsPerInch / 6 <= longest; ++sixths) {
      if (sixths * unitsPerInch / 6 >= shortest) lengths.insert(sixths * unitsPerInch / 6);
    }
    return lengths;
  }

  long ToMaster(long formUnits) const {
    return formUnits * context_.masterUnits->second / kFormUnitsPerInch;
  }
  long ToFormUnits(long master) const {
    return (master * kFormUnitsPerInch + context_.masterUnits->second / 2) /
           context_.masterUnits->second;
  }

  const std::map<std::string, const GpdEntry*, std::less<>>& options_;
  const PaperRuleContext& context_;
};

}  // namespace

void CheckPaperSizeOptions(const std::map<std::string, const GpdEntry*, std::less<>>& options,
                           const PaperRuleContext& context) {
  PaperRules(options, context).Run();
}
