// The form length that a paper size's selection command sets on an ESC/P printer: ESC C n sets
// it to n lines of the line spacing in force, ESC C NUL n to n inches. The line spacing comes
// from ESC 0 (1/8 inch), ESC 2 (1/6 inch), ESC 3 n (n/180 inch), ESC A n (n/60 inch) and ESC + n
// (n/360 inch), as 24-pin printers read them. Lengths are in 1/360 inch.
#pragma once

#include <optional>
#include <string_view>

struct EscpFormLength {
  bool set = false;            // the bytes hold a form-length command
  std::optional<long> length;  // nothing when it counts lines of a spacing the bytes do not set
};

EscpFormLength ReadEscpFormLength(std::string_view bytes);

// How far the form length may be from a length the printer cannot set exactly. The printer's
// form length is a whole number of lines (at most 127) of a whole number of 1/360 inch (at most
// 255): with the fewest lines that reach the length, the spacing nearest to it is off by at most
// half a 1/360 inch a line.
long EscpFormLengthTolerance(long length);
