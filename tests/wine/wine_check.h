// The few checks the Wine test programs need: each failed check is printed, and the program
// exits nonzero when any failed.
#pragma once

#include <cstdio>

inline int& FailedChecks() {
  static int failed = 0;
  return failed;
}

#define CHECK(condition)                                                                 \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      ++FailedChecks();                                                                  \
    }                                                                                    \
  } while (0)

inline int CheckResult() {
  std::printf(FailedChecks() == 0 ? "all checks passed\n" : "%d checks failed\n", FailedChecks());
  return FailedChecks() == 0 ? 0 : 1;
}
