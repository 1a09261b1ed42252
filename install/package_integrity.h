// The driver package the program was built with: the SHA-256 digest of each of its files,
// written by the build from the files that ship. The program runs elevated from a folder that
// any program of the user can write to; whatever the package there names is installed with
// full rights, so only these files, with these digests, are ever installed.
#pragma once

#include <cstddef>

#include "platform/win32.h"

constexpr std::size_t kSha256Bytes = 32;

// One file of the package: its path below the program's folder, and its digest.
struct PackageFileDigest {
  const WCHAR* RelativePath;
  BYTE Sha256[kSha256Bytes];
};

// Written at build time from the files that ship (cmake/package_digests.cmake): the INF first,
// every file in the INF's folder.
extern const PackageFileDigest kDriverPackageFiles[];
extern const std::size_t kDriverPackageFileCount;

// True when the two digests are equal in every byte.
bool DigestsEqual(const BYTE (&a)[kSha256Bytes], const BYTE (&b)[kSha256Bytes]);
