// The driver package the program was built with: the SHA-256 digest of each of its files, and
// a lock that checks the files beside the program against them and keeps them unchanged while
// the platform installs from them. The program runs elevated from a folder that any program of
// the user can write to; whatever the package there names is installed with full rights.
#pragma once

#include <cstddef>

#include "platform/unique_handle.h"
#include "platform/win32.h"

constexpr std::size_t kSha256Bytes = 32;
constexpr std::size_t kMaxPackageFiles = 16;

// One file of the package: its path below the program's folder, and its digest.
struct PackageFileDigest {
  const WCHAR* RelativePath;
  BYTE Sha256[kSha256Bytes];
};

// Written at build time from the files that ship (cmake/package_digests.cmake); the INF comes
// first.
extern const PackageFileDigest kDriverPackageFiles[];
extern const std::size_t kDriverPackageFileCount;

// Holds the package's files open for reading while it lives, sharing them for reading only:
// no other process can write, delete or rename them meanwhile.
class DriverPackageLock {
 public:
  // Opens each file of the package below directory (ending with a backslash) and checks its
  // digest with the platform's SHA-256. Returns 1 when every file is there with its digest,
  // all of them then held; 0 otherwise (a file missing, held open by another for writing,
  // unreadable, different, or its path too long), holding none.
  int Acquire(const WCHAR* directory);

 private:
  int Refuse();

  UniqueFileHandle m_files[kMaxPackageFiles];
};
