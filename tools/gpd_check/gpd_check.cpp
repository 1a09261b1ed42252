// The rules follow the platform's documentation of the GPD language: root-level-only attributes,
// standard features and options, option attributes of Resolution and PaperSize, printer
// commands and their execution order, command strings and standard variables, selection
// constraints, conditional statements and image-quality settings.
#include "tools/gpd_check/gpd_check.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

#include "tools/gpd_check/gpd_tree.h"

namespace {

using Names = std::set<std::string, std::less<>>;

const Names kRootOnly = {
    "CodePage",
    "FontCartSlots",
    "GPDFileName",
    "GPDFileVersion",
    "GPDSpecVersion",
    "HelpFile",
    "Include",
    "InstalledOptionName",
    "MasterUnits",
    "MaxCopies",
    "ModelName",
    "NotInstalledOptionName",
    "Personality",
    "PrinterType",
    "PrintRate",
    "PrintRatePPM",
    "PrintRateUnit",
    "rcInstalledOptionNameID",
    "rcNotInstalledOptionNameID",
    "rcPersonalityID",
    "rcPrinterIconID",
    "ResourceDLL",
};

const Names kStandardFeatures = {
    "Collate",     "ColorMode", "Duplex",      "Halftone",  "InputBin", "MediaType",  "Memory",
    "Orientation", "OutputBin", "PageProtect", "PaperSize", "RESDLL",   "Resolution", "Stapling"};

// Features whose options must all be standard ones.
const std::map<std::string, Names, std::less<>> kStandardOnly = {
    {"Collate", {"ON", "OFF"}},
    {"Duplex", {"NONE", "VERTICAL", "HORIZONTAL"}},
    {"Orientation", {"PORTRAIT", "LANDSCAPE_CC90", "LANDSCAPE_CC270"}},
    {"PageProtect", {"ON", "OFF"}},
};

// The standard PaperSize options: the system knows their dimensions.
const Names kStandardPaperSizes = {"10X11",
                                   "10X14",
                                   "11X17",
                                   "12X11",
                                   "15X11",
                                   "9X11",
                                   "A_PLUS",
                                   "A2",
                                   "A3",
                                   "A3_EXTRA",
                                   "A3_EXTRA_TRANSVERSE",
                                   "A3_ROTATED",
                                   "A3_TRANSVERSE",
                                   "A4",
                                   "A4_EXTRA",
                                   "A4_PLUS",
                                   "A4_ROTATED",
                                   "A4_TRANSVERSE",
                                   "A4SMALL",
                                   "A5",
                                   "A5_EXTRA",
                                   "A5_ROTATED",
                                   "A5_TRANSVERSE",
                                   "A6",
                                   "A6_ROTATED",
                                   "B_PLUS",
                                   "B4",
                                   "B4_JIS_ROTATED",
                                   "B5",
                                   "B5_EXTRA",
                                   "B5_JIS_ROTATED",
                                   "B5_TRANSVERSE",
                                   "B6_JIS",
                                   "B6_JIS_ROTATED",
                                   "CSHEET",
                                   "DBL_JAPANESE_POSTCARD",
                                   "DBL_JAPANESE_POSTCARD_ROTATED",
                                   "DSHEET",
                                   "ENV_10",
                                   "ENV_11",
                                   "ENV_12",
                                   "ENV_14",
                                   "ENV_9",
                                   "ENV_B4",
                                   "ENV_B5",
                                   "ENV_B6",
                                   "ENV_C3",
                                   "ENV_C4",
                                   "ENV_C5",
                                   "ENV_C6",
                                   "ENV_C65",
                                   "ENV_DL",
                                   "ENV_INVITE",
                                   "ENV_ITALY",
                                   "ENV_MONARCH",
                                   "ENV_PERSONAL",
                                   "ESHEET",
                                   "EXECUTIVE",
                                   "FANFOLD_LGL_GERMAN",
                                   "FANFOLD_STD_GERMAN",
                                   "FANFOLD_US",
                                   "FOLIO",
                                   "ISO_B4",
                                   "JAPANESE_POSTCARD",
                                   "JAPANESE_POSTCARD_ROTATED",
                                   "JENV_CHOU3",
                                   "JENV_CHOU3_ROTATED",
                                   "JENV_CHOU4",
                                   "JENV_CHOU4_ROTATED",
                                   "JENV_KAKU2",
                                   "JENV_KAKU2_ROTATED",
                                   "JENV_KAKU3",
                                   "JENV_KAKU3_ROTATED",
                                   "JENV_YOU4",
                                   "JENV_YOU4_ROTATED",
                                   "LEDGER",
                                   "LEGAL",
                                   "LEGAL_EXTRA",
                                   "LETTER",
                                   "LETTER_EXTRA",
                                   "LETTER_EXTRA_TRANSVERSE",
                                   "LETTER_PLUS",
                                   "LETTER_ROTATED",
                                   "LETTER_TRANSVERSE",
                                   "LETTERSMALL",
                                   "NOTE",
                                   "P16K",
                                   "P16K_ROTATED",
                                   "P32K",
                                   "P32K_ROTATED",
                                   "P32KBIG",
                                   "P32KBIG_ROTATED",
                                   "PENV_1",
                                   "PENV_1_ROTATED",
                                   "PENV_2",
                                   "PENV_2_ROTATED",
                                   "PENV_3",
                                   "PENV_3_ROTATED",
                                   "PENV_4",
                                   "PENV_4_ROTATED",
                                   "PENV_5",
                                   "PENV_5_ROTATED",
                                   "PENV_6",
                                   "PENV_6_ROTATED",
                                   "PENV_7",
                                   "PENV_7_ROTATED",
                                   "PENV_8",
                                   "PENV_8_ROTATED",
                                   "PENV_9",
                                   "PENV_9_ROTATED",
                                   "PENV_10",
                                   "PENV_10_ROTATED",
                                   "QUARTO",
                                   "STATEMENT",
                                   "TABLOID",
                                   "TABLOID_EXTRA"};

// Commands the driver sends at a point of the job that the GPD chooses with *Order.
const Names kOrderedCommands = {"CmdSelect",    "CmdStartJob", "CmdStartDoc",
                                "CmdStartPage", "CmdEndPage",  "CmdEndDoc",
                                "CmdEndJob",    "CmdCopies",   "CmdSleepTimeOut"};
const Names kJobSections = {"JOB_SETUP",   "DOC_SETUP",  "PAGE_SETUP",
                            "PAGE_FINISH", "DOC_FINISH", "JOB_FINISH"};
const Names kRequiredCommands = {"CmdCR", "CmdLF", "CmdFF", "CmdSendBlockData"};

const Names kStandardVariables = {"BlueValue",
                                  "CurrentFontID",
                                  "CurrentPaletteIndex",
                                  "CursorOriginX",
                                  "CursorOriginY",
                                  "DestX",
                                  "DestXRel",
                                  "DestY",
                                  "DestYRel",
                                  "FontBold",
                                  "FontHeight",
                                  "FontItalic",
                                  "FontMaxWidth",
                                  "FontStrikeThru",
                                  "FontUnderLine",
                                  "FontWidth",
                                  "GraphicsXRes",
                                  "GraphicsYRes",
                                  "GrayPercentage",
                                  "GreenValue",
                                  "LinefeedSpacing",
                                  "NextFontID",
                                  "NextGlyph",
                                  "NumOfCopies",
                                  "NumOfDataBytes",
                                  "PageNumber",
                                  "PaletteIndexToProgram",
                                  "PatternBrushID",
                                  "PatternBrushSize",
                                  "PatternBrushType",
                                  "PhysPaperLength",
                                  "PhysPaperWidth",
                                  "PrintDirInCCDegrees",
                                  "RasterDataHeightInPixels",
                                  "RasterDataWidthInBytes",
                                  "RectXSize",
                                  "RectYSize",
                                  "RedValue",
                                  "TextXRes",
                                  "TextYRes"};

// Value macros that the platform's StdNames.gpd defines and that the documentation describes.
const Names kStdNamesMacros = {"RCID_DMPAPER_SYSTEM_NAME"};
constexpr char kStdNamesFile[] = "StdNames.gpd";

const Names kQualityEntries = {"DraftQualitySettings", "BetterQualitySettings",
                               "BestQualitySettings", "DefaultQuality"};

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string Trim(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// "a, b, ..." as its items, without surrounding blanks.
std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream body(text);
  for (std::string item; std::getline(body, item, ',');) items.push_back(Trim(item));
  return items;
}

// The items of "NAME(a, b, ...)".
std::optional<std::vector<std::string>> Items(const std::string& value, const char* name) {
  const std::string head = std::string(name) + "(";
  if (value.compare(0, head.size(), head) != 0 || value.back() != ')') return std::nullopt;
  return Split(value.substr(head.size(), value.size() - head.size() - 1));
}

std::optional<long> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0') return std::nullopt;
  return number;
}

std::optional<std::pair<long, long>> Pair(const std::string& value) {
  const auto items = Items(value, "PAIR");
  if (!items || items->size() != 2) return std::nullopt;
  const auto x = Number((*items)[0]);
  const auto y = Number((*items)[1]);
  if (!x || !y) return std::nullopt;
  return std::pair{*x, *y};
}

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
    } else if (const auto pair = Pair(units->value); pair && pair->first > 0 && pair->second > 0) {
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
      Names covered;
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

  // Every entry with this keyword in the subtree, whatever branch it sits in.
  static void Collect(const std::vector<GpdEntry>& entries, std::string_view keyword,
                      std::vector<const GpdEntry*>& found) {
    for (const GpdEntry& entry : entries) {
      if (IsKeyword(entry, keyword)) found.push_back(&entry);
      Collect(entry.children, keyword, found);
    }
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
      Collect(option->children, "DPI", dpis);
      for (const GpdEntry* dpi : dpis) CheckDividesMasterUnits(*dpi, where);
      CheckPins(*option, where);
    }
  }

  void CheckDividesMasterUnits(const GpdEntry& entry, const std::string& where) {
    const auto pair = Pair(entry.value);
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
    const long physPins = phys ? Number(phys->value).value_or(0) : 1;
    const long logPins = log ? Number(log->value).value_or(0) : 1;
    if (physPins <= 0 || (physPins != 1 && physPins % 8 != 0)) {
      Report(option.line, where + ": *PinsPerPhysPass must be 1 or a multiple of 8");
    } else if (logPins <= 0 || logPins % physPins != 0) {
      Report(option.line, where + ": *PinsPerLogPass must be a multiple of *PinsPerPhysPass");
    }
  }

  void CheckPaperSizes() {
    const auto paper = features_.find("PaperSize");
    if (paper == features_.end()) return;
    for (const auto& [name, option] : paper->second.options) {
      const std::string where = "option PaperSize." + name;
      const GpdEntry* dimensions = FindEntry(option->children, "PageDimensions");
      if (name == "CUSTOMSIZE") {
        for (const char* required : {"MinSize", "MaxSize", "MaxPrintableWidth"}) {
          if (!ProvidesEntry(option->children, required)) {
            Report(option->line, where + " lacks *" + required);
          }
        }
        continue;
      }
      for (const char* required : {"PrintableArea", "PrintableOrigin"}) {
        if (!ProvidesEntry(option->children, required)) {
          Report(option->line, where + " lacks *" + required);
        }
      }
      const bool standard = kStandardPaperSizes.count(name) != 0;
      if (standard && dimensions) {
        Report(dimensions->line, where + " is a standard size and takes no *PageDimensions");
      } else if (!standard && !dimensions) {
        Report(option->line, where + " is not a standard size and needs *PageDimensions");
      } else if (dimensions) {
        CheckPrintableFits(option->children, *dimensions, where);
      }
    }
  }

  // In each block that gives both, origin plus area must lie on the page.
  void CheckPrintableFits(const std::vector<GpdEntry>& entries, const GpdEntry& dimensions,
                          const std::string& where) {
    const auto page = Pair(dimensions.value);
    if (!page) {
      Report(dimensions.line, where + ": *PageDimensions must be a PAIR of numbers");
      return;
    }
    const GpdEntry* origin = FindEntry(entries, "PrintableOrigin");
    const GpdEntry* area = FindEntry(entries, "PrintableArea");
    if (origin && area) {
      const auto o = Pair(origin->value);
      const auto a = Pair(area->value);
      if (!o || !a) {
        Report(area->line, where + ": *PrintableOrigin and *PrintableArea must be PAIRs");
      } else if (o->first < 0 || o->second < 0 || o->first + a->first > page->first ||
                 o->second + a->second > page->second) {
        Report(area->line, where + ": the printable area does not fit on the page");
      }
    }
    for (const GpdEntry& entry : entries) {
      if (IsKeyword(entry, "switch") || IsKeyword(entry, "case") || IsKeyword(entry, "default")) {
        CheckPrintableFits(entry.children, dimensions, where);
      }
    }
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
    const auto list = Items(entry.value, "LIST");
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
        if (const auto list = Items(entry.value, "LIST")) {
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
    for (const std::string& keyword : kQualityEntries) Collect(tree_.root, keyword, found);
    if (found.empty()) return;
    for (const std::string& keyword : kQualityEntries) {
      if (!ProvidesEntry(tree_.root, keyword)) {
        Report(found.front()->line, "image-quality settings need *" + keyword + " too");
      }
    }
    std::vector<const GpdEntry*> defaults;
    Collect(tree_.root, "DefaultQuality", defaults);
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
    Collect(tree_.root, "Command", commands);
    for (const GpdEntry* command : commands) CheckCommand(*command);
  }

  // "*Command: CmdCR" with a block, or the short form "*Command: CmdCR: "<0D>"".
  static std::string CommandName(const GpdEntry& command) {
    return Trim(command.value.substr(0, command.value.find(':')));
  }

  void CheckCommand(const GpdEntry& command) {
    const std::string name = CommandName(command);
    const std::string where = "command " + name;
    const size_t colon = command.value.find(':');
    const GpdEntry* cmd = FindEntry(command.children, "Cmd");
    if (colon != std::string::npos) {
      CheckCommandString(Trim(command.value.substr(colon + 1)), command.line, where);
    } else if (!cmd) {
      Report(command.line, where + " lacks *Cmd");
    } else {
      CheckCommandString(cmd->value, cmd->line, where);
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
        !Number(order->value.substr(dot + 1))) {
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
        Collect(option->children, "Command", commands);
        for (const GpdEntry* found : commands) {
          if (found == &command) return name;
        }
      }
    }
    return "a command outside every option";
  }

  // Quoted text with <hex> bytes, and %<type>[min,max]{expression} arguments.
  void CheckCommandString(const std::string& text, int line, const std::string& where) {
    size_t pos = 0;
    int parts = 0;
    int arguments = 0;
    bool repeats = false;
    bool ranged = false;
    while (pos < text.size()) {
      const char c = text[pos];
      if (c == ' ' || c == '\t') {
        ++pos;
      } else if (c == '"') {
        const size_t end = text.find('"', pos + 1);
        if (end == std::string::npos) {
          Report(line, where + ": string is not closed");
          return;
        }
        CheckQuotedCommandText(text.substr(pos + 1, end - pos - 1), line, where);
        pos = end + 1;
        ++parts;
      } else if (c == '%') {
        const auto argument = ReadArgument(text, pos, line, where);
        if (!argument) return;
        ++parts;
        ++arguments;
        ranged = ranged || argument->first;
        repeats = repeats || argument->second;
      } else if (c == '=') {
        break;  // a macro reference, checked with the other macros
      } else {
        Report(line, where + ": unexpected '" + std::string(1, c) + "'");
        return;
      }
    }
    if (parts > 14) Report(line, where + " has more than 14 parts");
    if (repeats && (arguments != 1 || !ranged)) {
      Report(line, where + ": max_repeat needs a single argument with a range");
    }
  }

  void CheckQuotedCommandText(const std::string& text, int line, const std::string& where) {
    for (size_t pos = 0; pos < text.size(); ++pos) {
      if (text[pos] == '%') {
        if (pos + 1 < text.size() && text[pos + 1] == '%') {
          ++pos;
        } else {
          Report(line, where + ": a lone '%' in a string, which must be written %%");
        }
      } else if (text[pos] == '<') {
        const size_t end = text.find('>', pos);
        std::string digits;
        for (size_t i = pos + 1; end != std::string::npos && i < end; ++i) {
          if (text[i] != ' ') digits += text[i];
        }
        bool hex = end != std::string::npos && !digits.empty() && digits.size() % 2 == 0;
        for (char d : digits) hex = hex && std::isxdigit(static_cast<unsigned char>(d)) != 0;
        if (!hex) {
          Report(line, where + ": <...> must hold pairs of hexadecimal digits");
          return;
        }
        pos = end;
      }
    }
  }

  // Returns (has a range, uses max_repeat), or nothing after reporting a problem.
  std::optional<std::pair<bool, bool>> ReadArgument(const std::string& text, size_t& pos, int line,
                                                    const std::string& where) {
    ++pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) != 0) ++pos;
    if (pos >= text.size() || std::string("dDcCfglmnqv").find(text[pos]) == std::string::npos) {
      Report(line, where + ": unknown argument type");
      return std::nullopt;
    }
    ++pos;
    bool ranged = false;
    if (pos < text.size() && text[pos] == '[') {
      const size_t end = text.find(']', pos);
      const std::vector<std::string> range =
          Split(text.substr(pos + 1, end == std::string::npos ? 0 : end - pos - 1));
      if (end == std::string::npos || range.size() != 2 || !Number(range[0]) || !Number(range[1]) ||
          *Number(range[0]) > *Number(range[1])) {
        Report(line, where + ": a range must be [min,max]");
        return std::nullopt;
      }
      ranged = true;
      pos = end + 1;
    }
    if (pos >= text.size() || text[pos] != '{') {
      Report(line, where + ": an argument needs a {expression}");
      return std::nullopt;
    }
    const size_t end = text.find('}', pos);
    if (end == std::string::npos) {
      Report(line, where + ": an expression is not closed");
      return std::nullopt;
    }
    const std::string expression = text.substr(pos + 1, end - pos - 1);
    pos = end + 1;
    bool repeats = false;
    if (!CheckExpression(expression, line, where, repeats)) return std::nullopt;
    return std::pair{ranged, repeats};
  }

  bool CheckExpression(const std::string& expression, int line, const std::string& where,
                       bool& repeats) {
    int depth = 0;
    for (size_t pos = 0; pos < expression.size();) {
      const char c = expression[pos];
      if (std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_') {
        size_t end = pos;
        while (end < expression.size() &&
               (std::isalnum(static_cast<unsigned char>(expression[end])) != 0 ||
                expression[end] == '_')) {
          ++end;
        }
        const std::string word = expression.substr(pos, end - pos);
        repeats = repeats || word == "max_repeat";
        if (kStandardVariables.count(word) == 0 && word != "max_repeat" && word != "max" &&
            word != "min" && word != "MOD") {
          Report(line, where + ": unknown variable " + word);
          return false;
        }
        pos = end;
      } else if (std::isdigit(static_cast<unsigned char>(c)) != 0 ||
                 std::string(" \t+-*/,").find(c) != std::string::npos) {
        ++pos;
      } else if (c == '(' || c == ')') {
        depth += c == '(' ? 1 : -1;
        if (depth < 0) break;
        ++pos;
      } else {
        Report(line, where + ": unexpected '" + std::string(1, c) + "' in an expression");
        return false;
      }
    }
    if (depth != 0) {
      Report(line, where + ": parentheses do not pair in {" + expression + "}");
      return false;
    }
    return true;
  }

  void CheckMoveUnits() {
    std::vector<const GpdEntry*> commands;
    Collect(tree_.root, "Command", commands);
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
      const auto value = Number(unit->value);
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
