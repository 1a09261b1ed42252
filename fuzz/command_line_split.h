// The platform's rules for splitting a command line into arguments (CommandLineToArgvW's),
// written out for the install command fuzzer:
// - The first argument is the program name and knows no escapes: after a quotation mark it
//   runs to the next one, otherwise to the first space or tab. A line that begins with a
//   space or tab has an empty first argument.
// - After it, spaces and tabs outside quoted parts separate arguments; blanks at the end add
//   none. A quotation mark opens or closes a quoted part and is dropped.
// - 2n backslashes before a quotation mark give n backslashes, and the mark opens or closes;
//   2n+1 give n backslashes and a literal mark. Other backslashes are literal.
// - Inside a quoted part, two quotation marks give one literal mark and close the part.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32.h"

using ArgumentText = std::basic_string<WCHAR>;

inline std::vector<ArgumentText> SplitCommandLine(const WCHAR* line) {
  const auto blank = [](WCHAR c) { return c == WCHAR(' ') || c == WCHAR('\t'); };
  const WCHAR quote = WCHAR('"');
  const WCHAR backslash = WCHAR('\\');
  const WCHAR* at = line;
  ArgumentText first;
  if (*at == quote) {
    for (++at; *at != 0 && *at != quote; ++at) first += *at;
    if (*at == quote) ++at;
  } else {
    for (; *at != 0 && !blank(*at); ++at) first += *at;
  }
  std::vector<ArgumentText> arguments{first};
  while (blank(*at)) ++at;
  while (*at != 0) {
    ArgumentText argument;
    bool quoted = false;
    while (*at != 0 && (quoted || !blank(*at))) {
      std::size_t run = 0;
      while (at[run] == backslash) ++run;
      if (run > 0) {
        const bool beforeQuote = at[run] == quote;
        argument.append(beforeQuote ? run / 2 : run, backslash);
        at += run;
        if (!beforeQuote) continue;
        if (run % 2 == 1) {
          argument += *at++;
          continue;
        }
      }
      if (*at != quote) {
        argument += *at++;
      } else if (quoted && at[1] == quote) {
        argument += quote;
        at += 2;
        quoted = false;
      } else {
        quoted = !quoted;
        ++at;
      }
    }
    arguments.push_back(argument);
    while (blank(*at)) ++at;
  }
  return arguments;
}
