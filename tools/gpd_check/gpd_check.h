// A check of GPD files, the printer descriptions of the universal printer driver, for the
// mistakes that otherwise show only on a customer's machine or paper: braces that do not pair,
// a feature or option referred to but never defined, an entry the driver requires left out, a
// command string the driver cannot expand, a printable area off the paper or past the print
// head's reach, a form length that is not the page length.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct GpdProblem {
  int line;  // 1-based; 0 when the problem belongs to the file as a whole
  std::string message;
};

// Whether a file named by *Include is there when the driver reads the GPD.
using GpdIncludeCheck = std::function<bool(const std::string& name)>;

// All problems found in text, the bytes of a GPD file, in the order of the checks. Empty when
// the file passes.
std::vector<GpdProblem> CheckGpd(const std::string& text, const GpdIncludeCheck& includable);

// One line per problem, "line N: message", for test failure output.
std::string DescribeProblems(const std::vector<GpdProblem>& problems);
