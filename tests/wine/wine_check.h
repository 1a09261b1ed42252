// The one check the Wine test programs need: a failed check is printed and counted.
#pragma once

#include <cstdio>

inline int failedChecks = 0;

#define CHECK(condition)                                                                 \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failedChecks;                                                                    \
    }                                                                                    \
  } while (0)
