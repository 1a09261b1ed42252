// The names of the GPD language that the checker knows, from the platform's documentation of
// the language.
#pragma once

#include <map>
#include <set>
#include <string>

using GpdNames = std::set<std::string, std::less<>>;

// Entries allowed at the root level only.
extern const GpdNames kRootOnly;
extern const GpdNames kStandardFeatures;
// Features whose options must all be standard ones.
extern const std::map<std::string, GpdNames, std::less<>> kStandardOnly;
// The standard PaperSize options, whose dimensions the system knows.
extern const GpdNames kStandardPaperSizes;

// Portrait width and length of a paper size in micrometres, as the system's forms give them.
struct PaperDimensions {
  long width;
  long length;
};
// The dimensions of the common standard sizes, for the rules that measure a printable area or a
// form length against the page. A standard size missing here is not measured.
extern const std::map<std::string, PaperDimensions, std::less<>> kStandardPaperDimensions;

// The entries of the custom size (CUSTOMSIZE), in the documentation's two ways of describing it:
// by its margins, or by formulas relative to the largest paper size.
extern const GpdNames kCustomSizeEntries;
extern const GpdNames kRelativeCustomSizeEntries;

// Commands the driver sends at a point of the job that the GPD chooses with *Order, and the
// sections of the job.
extern const GpdNames kOrderedCommands;
extern const GpdNames kJobSections;
extern const GpdNames kRequiredCommands;

// The variables a command string's expressions may use.
extern const GpdNames kStandardVariables;

// Value macros that the platform's StdNames.gpd defines and the documentation describes.
extern const GpdNames kStdNamesMacros;
inline constexpr char kStdNamesFile[] = "StdNames.gpd";

extern const GpdNames kQualityEntries;
