#include "install/package_integrity.h"

bool DigestsEqual(const BYTE (&a)[kSha256Bytes], const BYTE (&b)[kSha256Bytes]) {
  for (std::size_t i = 0; i < kSha256Bytes; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}
