// The rules follow the platform's documentation of the GPD language: root-level-only attributes,
// standard features and options, option attributes of Resolution and PaperSize, printer
// commands and their execution order, command strings and standard variables, selection
// constraints, conditional statements and image-quality settings. The paper sizes are also
// measured against the paper and the print head, and their form lengths against the page.
#include "tools/gpd_check/gpd_check.h"

#include <map>
#include <optional>
#include <utility>

#include "tools/gpd_check/gpd_command.h"
#include "tools/gpd_check/gpd_names.h"
#include "tools/gpd_check/gpd_paper.h"
#include "tools/gpd_check/gpd_tree.h"

namespace {

struct Feature {
  const GpdEntry* entry = nullptr;
  std::map<std::string, const GpdEntry*, std::less<>> options;
};

class Checker {
 public:
  Checker(const std::string& text, const GpdIncludeCheck& includable)
      : text_(text), includable_(includable) {}

  std::vector<GpdProblem> Run() {
    tree_ = ParseGpd(text_, problems_);
    CheckSpecVersionFirst();
    CheckRootEntries();
    CollectFeatures();
    CheckFeatures();
    CheckResolutions();
    CheckPaperSizes();
    CheckReferences(tree_.root, false);
    CheckQualitySettings();
    CheckCommands();
    CheckMoveUnits();
    CheckMacros(tree_.root);
    return std::move(problems_);
  }

 private:
  void Report(int line, const std::string& message) { problems_.push_back({line, message}); }

  const GpdEntry* Root(std::string_view keyword) const { return FindEntry(tree_.root, keyword); }

  void CheckSpecVersionFirst() {
    if (tree_.root.empty() || !IsKeyword(tree_.root.front(), "GPDSpecVersion")) {
      Report(0, "*GPDSpecVersion must be the first entry");
      return;
    }
    const GpdEntry& first = tree_.root.front();
    if (tree_.firstCommentLine != 0 && tree_.firstCommentLine < first.line) {
      Report(tree_.firstCommentLine, "*GPDSpecVersion must come before any comment");
    }
    if (first.value != "\"1.0\"") Report(first.line, "*GPDSpecVersion must be \"1.0\"");
  }

  void CheckRootEntries() {
    if (!Root("ModelName") && !Root("rcModelNameID")) Report(0, "missing root entry *ModelName");
    const GpdEntry* units = Root("MasterUnits");
    if (!units) {
      Report(0, "missing root entry *MasterUnits");
    } else if (const auto pair = PairValue(units->value);
               pair && pair->first > 0 && pair->second > 0) {
      masterUnits_ = *pair;
    } else {
      Report(units->line, "*MasterUnits must be a PAIR of positive numbers");
    }
    const GpdEntry* type = Root("PrinterType");
    if (!type) {
      Report(0, "missing root entry *PrinterType");
    } else if (type->value != "PAGE" && type->value != "SERIAL" && type->value != "TTY") {
      Report(type->line, "*PrinterType must be PAGE, SERIAL or TTY");
    }
    for (const GpdEntry* include : FindEntries(tree_.root, "Include")) {
      const std::string name = Unquote(include->value);
      if (name == kStdNamesFile) {
        includesStdNames_ = true;
      } else if (!includable_(name)) {
        Report(include->line, "*Include names " + name + ", which is not there");
      }
    }
    for (const GpdEntry& entry : tree_.root) CheckRootOnlyNested(entry.children);
  }

  void CheckRootOnlyNested(const std::vector<GpdEntry>& list) {
    for (const GpdEntry& entry : list) {
      if (kRootOnly.count(entry.keyword) != 0) {
        Report(entry.line, "*" + entry.keyword + " belongs at the root level");
      }
      CheckRootOnlyNested(entry.children);
    }
  }

  void CollectFeatures() {
    for (const GpdEntry* entry : FindEntries(tree_.root, "Feature")) {
      if (features_.count(entry->value) != 0) {
        Report(entry->line, "feature " + entry->value + " is defined twice");
        continue;
      }
      Feature& feature = features_[entry->value];
      feature.entry = entry;
      for (const GpdEntry* option : FindEntries(entry->children, "Option")) {
        if (!feature.options.emplace(option->value, option).second) {
          Report(option->line,
                 "option " + entry->value + "." + option->value + " is defined twice");
        }
      }
    }
  }

  static bool Named(const GpdEntry& entry) {
    return FindEntry(entry.children, "Name") || FindEntry(entry.children, "rcNameID");
  }

  void CheckFeatures() {
    for (const char* required : {"InputBin", "PaperSize", "Resolution"}) {
      if (features_.count(required) == 0) Report(0, std::string("missing feature ") + required);
    }
    for (const auto& [name, feature] : features_) {
      const int line = feature.entry->line;
      if (feature.options.empty()) Report(line, "feature " + name + " has no options");
      if (!Named(*feature.entry)) Report(line, "feature " + name + " has no *Name or *rcNameID");
      if (kStandardFeatures.count(name) == 0 &&
          !FindEntry(feature.entry->children, "FeatureType")) {
        Report(line, "feature " + name + " is not a standard feature and needs *FeatureType");
      }
      if (const GpdEntry* defaultOption = FindEntry(feature.entry->children, "DefaultOption");
          defaultOption && feature.options.count(defaultOption->value) == 0) {
        Report(defaultOption->line, "feature " + name + ": *DefaultOption " + defaultOption->value +
                                        " is not one of its options");
      }
      const auto standardOnly = kStandardOnly.find(name);
      for (const auto& [optionName, option] : feature.options) {
        if (!Named(*option)) {
          Report(option->line, "option " + name + "." + optionName + " has no *Name or *rcNameID");
        }
        if (standardOnly != kStandardOnly.end() && standardOnly->second.count(optionName) == 0) {
          Report(option->line,
                 "feature " + name + " takes only standard options, not " + optionName);
        }
      }
    }
  }

  // True when entries, or every branch of a *switch among them, hold an entry that has.
  template <typename Has>
  bool Provides(const std::vector<GpdEntry>& entries, const Has& has) const {
    for (const GpdEntry& entry : entries) {
      if (has(entry)) return true;
    }
    for (const GpdEntry* sw : FindEntries(entries, "switch")) {
      const auto feature = features_.find(sw->value);
      if (feature == features_.end() || sw->children.empty()) continue;
      bool all = true;
      bool hasDefault = false;
      GpdNames covered;
      for (const GpdEntry& branch : sw->children) {
        hasDefault = hasDefault || IsKeyword(branch, "default");
        covered.insert(branch.value);
        all = all && Provides(branch.children, has);
      }
      if (all && (hasDefault || covered.size() >= feature->second.options.size())) return true;
    }
    return false;
  }

  bool ProvidesEntry(const std::vector<GpdEntry>& entries, std::string_view keyword) const {
    return Provides(entries,
                    [keyword](const GpdEntry& entry) { return IsKeyword(entry, keyword); });
  }

  void CheckResolutions() {
    const auto resolution = features_.find("Resolution");
    if (resolution == features_.end()) return;
    for (const auto& [name, option] : resolution->second.options) {
      const std::string where = "option Resolution." + name;
      for (const char* required : {"DPI", "TextDPI", "SpotDiameter"}) {
        if (!ProvidesEntry(option->children, required)) {
          Report(option->line, where + " lacks *" + required);
        }
      }
      std::vector<const GpdEntry*> dpis;
      CollectEntries(option->children, "DPI", dpis);
      for (const GpdEntry* dpi : dpis) CheckDividesMasterUnits(*dpi, where);
      CheckPins(*option, where);
    }
  }

  void CheckDividesMasterUnits(const GpdEntry& entry, const std::string& where) {
    const auto pair = PairValue(entry.value);
    if (!pair || pair->first <= 0 || pair->second <= 0) {
      Report(entry.line, where + ": *" + entry.keyword + " must be a PAIR of positive numbers");
    } else if (masterUnits_ && (masterUnits_->first % pair->first != 0 ||
                                masterUnits_->second % pair->second != 0)) {
      Report(entry.line, where + ": *" + entry.keyword + " does not divide the master units");
    }
  }

  void CheckPins(const GpdEntry& option, const std::string& where) {
    const GpdEntry* phys = FindEntry(option.children, "PinsPerPhysPass");
    const GpdEntry* log = FindEntry(option.children, "PinsPerLogPass");
    const long physPins = phys ? NumberValue(phys->value).value_or(0) : 1;
    const long logPins = log ? NumberValue(log->value).value_or(0) : 1;
    if (physPins <= 0 || (physPins != 1 && physPins % 8 != 0)) {
      Report(option.line, where + ": *PinsPerPhysPass must be 1 or a multiple of 8");
    } else if (logPins <= 0 || logPins % physPins != 0) {
      Report(option.line, where + ": *PinsPerLogPass must be a multiple of *PinsPerPhysPass");
    }
  }

  void CheckPaperSizes() {
    const auto paper = features_.find("PaperSize");
    if (paper == features_.end()) return;
    const PaperRuleContext context{
        masterUnits_,
        [this](const std::vector<GpdEntry>& entries, std::string_view keyword) {
          return ProvidesEntry(entries, keyword);
        },
        [this](int line, const std::string& message) { Report(line, message); }};
    CheckPaperSizeOptions(paper->second.options, context);
  }

  bool CheckOptionReference(const std::string& reference, int line, const std::string& where) {
    const size_t dot = reference.find('.');
    if (dot == std::string::npos) {
      Report(line, where + ": " + reference + " is not Feature.Option");
      return false;
    }
    const auto feature = features_.find(reference.substr(0, dot));
    if (feature == features_.end()) {
      Report(line, where + ": unknown feature " + reference.substr(0, dot));
      return false;
    }
    if (feature->second.options.count(reference.substr(dot + 1)) == 0) {
      Report(line, where + ": unknown option " + reference);
      return false;
    }
    return true;
  }

  void CheckReferenceList(const GpdEntry& entry) {
    const auto list = ListValue(entry.value, "LIST");
    const std::vector<std::string> references =
        list ? *list : std::vector<std::string>{entry.value};
    for (const std::string& reference : references) {
      CheckOptionReference(reference, entry.line, "*" + entry.keyword);
    }
  }

  void CheckReferences(const std::vector<GpdEntry>& entries, bool inOption) {
    for (const GpdEntry& entry : entries) {
      if (IsKeyword(entry, "Constraints")) {
        if (!inOption) Report(entry.line, "*Constraints belongs inside an *Option");
        CheckReferenceList(entry);
      } else if (IsKeyword(entry, "InvalidCombination")) {
        if (&entries != &tree_.root) {
          Report(entry.line, "*InvalidCombination belongs at the root level");
        }
        CheckReferenceList(entry);
      } else if (kQualityEntries.count(entry.keyword) != 0 && !IsKeyword(entry, "DefaultQuality")) {
        if (const auto list = ListValue(entry.value, "LIST")) {
          for (const std::string& reference : *list) {
            CheckOptionReference(reference, entry.line, "*" + entry.keyword);
          }
        } else {
          Report(entry.line, "*" + entry.keyword + " must be a LIST");
        }
      } else if (IsKeyword(entry, "switch")) {
        CheckSwitch(entry);
      }
      CheckReferences(entry.children, inOption || IsKeyword(entry, "Option"));
    }
  }

  void CheckSwitch(const GpdEntry& sw) {
    const auto feature = features_.find(sw.value);
    if (feature == features_.end()) {
      Report(sw.line, "*switch: unknown feature " + sw.value);
      return;
    }
    for (const GpdEntry& branch : sw.children) {
      if (IsKeyword(branch, "case")) {
        if (feature->second.options.count(branch.value) == 0) {
          Report(branch.line, "*case: unknown option " + sw.value + "." + branch.value);
        }
      } else if (!IsKeyword(branch, "default")) {
        Report(branch.line, "*switch holds only *case and *default, not *" + branch.keyword);
      }
    }
  }

  void CheckQualitySettings() {
    std::vector<const GpdEntry*> found;
    for (const std::string& keyword : kQualityEntries) CollectEntries(tree_.root, keyword, found);
    if (found.empty()) return;
    for (const std::string& keyword : kQualityEntries) {
      if (!ProvidesEntry(tree_.root, keyword)) {
        Report(found.front()->line, "image-quality settings need *" + keyword + " too");
      }
    }
    std::vector<const GpdEntry*> defaults;
    CollectEntries(tree_.root, "DefaultQuality", defaults);
    for (const GpdEntry* entry : defaults) {
      if (entry->value != "DRAFTQUALITY" && entry->value != "BETTERQUALITY" &&
          entry->value != "BESTQUALITY") {
        Report(entry->line, "*DefaultQuality must be DRAFTQUALITY, BETTERQUALITY or BESTQUALITY");
      }
    }
  }

  void CheckCommands() {
    for (const std::string& name : kRequiredCommands) {
      const bool present = Provides(tree_.root, [&name](const GpdEntry& entry) {
        return IsKeyword(entry, "Command") && CommandName(entry) == name;
      });
      if (!present) Report(0, "missing command " + name);
    }
    std::vector<const GpdEntry*> commands;
    CollectEntries(tree_.root, "Command", commands);
    for (const GpdEntry* command : commands) CheckCommand(*command);
  }

  void CheckCommand(const GpdEntry& command) {
    const std::string name = CommandName(command);
    const std::string where = "command " + name;
    if (const auto text = CommandText(command)) {
      std::vector<std::string> problems;
      ReadCommandString(text->first, problems);
      for (const std::string& problem : problems) Report(text->second, where + ": " + problem);
    } else {
      Report(command.line, where + " lacks *Cmd");
    }
    if (kOrderedCommands.count(name) == 0) return;
    const GpdEntry* order = FindEntry(command.children, "Order");
    if (!order) {
      Report(command.line, where + " lacks *Order");
      return;
    }
    const size_t dot = order->value.find('.');
    const std::string section = order->value.substr(0, dot);
    if (dot == std::string::npos || kJobSections.count(section) == 0 ||
        !NumberValue(order->value.substr(dot + 1))) {
      Report(order->line, where + ": *Order must be SECTION.number, not " + order->value);
      return;
    }
    const std::string owner = name == "CmdSelect" ? OwningFeature(command) : name;
    const auto [slot, added] = orderOwners_.emplace(order->value, owner);
    if (!added && slot->second != owner) {
      Report(order->line, where + ": *Order " + order->value + " is taken by " + slot->second);
    }
  }

  // The feature whose option holds this CmdSelect.
  std::string OwningFeature(const GpdEntry& command) const {
    for (const auto& [name, feature] : features_) {
      for (const auto& [optionName, option] : feature.options) {
        std::vector<const GpdEntry*> commands;
        CollectEntries(option->children, "Command", commands);
        for (const GpdEntry* found : commands) {
          if (found == &command) return name;
        }
      }
    }
    return "a command outside every option";
  }

  void CheckMoveUnits() {
    std::vector<const GpdEntry*> commands;
    CollectEntries(tree_.root, "Command", commands);
    for (const auto& [axis, unitName] :
         {std::pair{"X", "XMoveUnit"}, std::pair{"Y", "YMoveUnit"}}) {
      bool moves = false;
      for (const GpdEntry* command : commands) {
        moves = moves || CommandName(*command).rfind(std::string("Cmd") + axis + "Move", 0) == 0;
      }
      const GpdEntry* unit = Root(unitName);
      if (moves && !unit) Report(0, std::string(axis) + " move commands need *" + unitName);
      if (!unit || !masterUnits_) continue;
      const long master = std::string(axis) == "X" ? masterUnits_->first : masterUnits_->second;
      const auto value = NumberValue(unit->value);
      if (!value || *value <= 0 || master % *value != 0) {
        Report(unit->line, std::string("*") + unitName + " does not divide the master units");
      }
    }
  }

  void CheckMacros(const std::vector<GpdEntry>& entries) {
    for (const GpdEntry& entry : entries) {
      if (!entry.value.empty() && entry.value.front() == '=') {
        const std::string macro = entry.value.substr(1);
        const bool known = includesStdNames_ && kStdNamesMacros.count(macro) != 0;
        if (!known)
          Report(entry.line, "*" + entry.keyword + ": macro =" + macro + " is not defined");
      }
      CheckMacros(entry.children);
    }
  }

  const std::string& text_;
  const GpdIncludeCheck& includable_;
  GpdTree tree_;
  std::vector<GpdProblem> problems_;
  std::map<std::string, Feature, std::less<>> features_;
  std::map<std::string, std::string> orderOwners_;
  std::optional<std::pair<long, long>> masterUnits_;
  bool includesStdNames_ = false;
};

}  // namespace

std::vector<GpdProblem> CheckGpd(const std::string& text, const GpdIncludeCheck& includable) {
  return Checker(text, includable).Run();
}

std::string DescribeProblems(const std::vector<GpdProblem>& problems) {
  std::string text;
  for (const GpdProblem& problem : problems) {
    text += "line " + std::to_string(problem.line) + ": " + problem.message + "\n";
  }
  return text;
}
