#include "install/package_integrity.h"

#include <utility>

#include "install/install_settings.h"
#include "platform/wide_text.h"

namespace {

constexpr DWORD kReadChunkBytes = 4096;

// Reads the file from its start to its end and compares the SHA-256 of its bytes.
bool HasDigest(HANDLE file, HCRYPTPROV provider, const BYTE (&expected)[kSha256Bytes]) {
  HCRYPTHASH created = 0;
  if (!CryptCreateHash(provider, CALG_SHA_256, 0, 0, &created)) return false;
  const UniqueCryptHash hash(created);
  BYTE chunk[kReadChunkBytes];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, chunk, sizeof(chunk), &read, nullptr)) return false;
    if (read == 0) break;
    if (!CryptHashData(hash.Get(), chunk, read, 0)) return false;
  }
  BYTE digest[kSha256Bytes] = {};
  DWORD length = sizeof(digest);
  if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &length, 0) || length != sizeof(digest)) {
    return false;
  }
  for (std::size_t i = 0; i < kSha256Bytes; ++i) {
    if (digest[i] != expected[i]) return false;
  }
  return true;
}

}  // namespace

int DriverPackageLock::Refuse() {
  for (UniqueFileHandle& file : m_files) file.Reset();
  return 0;
}

int DriverPackageLock::Acquire(const WCHAR* directory) {
  Refuse();
  HCRYPTPROV acquired = 0;
  if (!CryptAcquireContextW(&acquired, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    return 0;
  }
  const UniqueCryptProvider provider(acquired);
  for (std::size_t i = 0; i < kDriverPackageFileCount; ++i) {
    const PackageFileDigest& expected = kDriverPackageFiles[i];
    WCHAR path[kPathWidth] = {};
    if (!WideCopy(path, directory) || !WideAppend(path, expected.RelativePath)) return Refuse();
    // Read sharing only: whoever has the file open for writing makes this open fail, and
    // nobody can open it for writing, deleting or renaming while the handle is held.
    UniqueFileHandle file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid() || !HasDigest(file.Get(), provider.Get(), expected.Sha256)) {
      return Refuse();
    }
    m_files[i] = std::move(file);
  }
  return 1;
}
