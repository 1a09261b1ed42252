#include "install/package_staging.h"

#include "install/package_integrity.h"
#include "platform/system_folder.h"
#include "platform/wide_text.h"

#include <sddl.h>

namespace {

constexpr DWORD kReadChunkBytes = 4096;
constexpr std::size_t kNameRandomBytes = 16;

// Full control for SYSTEM and Administrators, inherited by the files, and nothing from the
// parent: users may create folders in the Windows folder's Temp, but not change this one.
const WCHAR kStagingAccess[] = TEXT("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");

// The file's name: its relative path after the last backslash.
const WCHAR* FileName(const WCHAR* relativePath) {
  const WCHAR* name = relativePath;
  for (const WCHAR* c = relativePath; *c != 0; ++c) {
    if (*c == TEXT('\\')) name = c + 1;
  }
  return name;
}

bool AppendHex(WCHAR (&target)[kPathWidth], const BYTE (&bytes)[kNameRandomBytes]) {
  const WCHAR digits[] = TEXT("0123456789abcdef");
  WCHAR hex[2 * kNameRandomBytes + 1] = {};
  for (std::size_t i = 0; i < kNameRandomBytes; ++i) {
    hex[2 * i] = digits[bytes[i] >> 4];
    hex[2 * i + 1] = digits[bytes[i] & 0xF];
  }
  return WideAppend(target, hex);
}

void RemoveAtRestart(const WCHAR* path) { MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

}  // namespace

StagedPackage::~StagedPackage() {
  if (!Remove()) Discard(false);
}

bool StagedPackage::Remove() {
  if (m_folder[0] == 0) return true;
  if (m_reader.IsValid() && WaitForSingleObject(m_reader.Get(), 0) == WAIT_TIMEOUT) return false;
  Discard(true);
  return true;
}

void StagedPackage::Discard(bool now) {
  if (m_folder[0] == 0) return;
  WCHAR path[kPathWidth] = {};
  for (std::size_t i = m_created; i-- > 0;) {
    if (StagedPath(i, path) && !(now && DeleteFileW(path))) RemoveAtRestart(path);
  }
  if (!(now && RemoveDirectoryW(m_folder))) RemoveAtRestart(m_folder);
  m_folder[0] = 0;
  m_inf[0] = 0;
  m_created = 0;
  m_reader.Reset();
}

bool StagedPackage::StagedPath(std::size_t index, WCHAR (&path)[kPathWidth]) const {
  return WideCopy(path, m_folder) && WideAppend(path, TEXT("\\")) &&
         WideAppend(path, FileName(kDriverPackageFiles[index].RelativePath));
}

bool StagedPackage::CreateFolder(HCRYPTPROV provider) {
  // The name cannot be guessed, so nobody can make it first; if somebody did, creating it
  // fails rather than taking over their folder.
  BYTE random[kNameRandomBytes] = {};
  WCHAR temp[kSystemPathWidth] = {};
  WCHAR folder[kPathWidth] = {};
  if (!CryptGenRandom(provider, sizeof(random), random) ||
      !SystemWindowsFilePath(TEXT("Temp"), temp) || !WideCopy(folder, temp) ||
      !WideAppend(folder, TEXT("\\VelmoraSetup-")) || !AppendHex(folder, random)) {
    return false;
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kStagingAccess, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return false;
  }
  const UniqueLocalMemory owned(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  // Made with its access list in one step: never a moment in which users could open it.
  if (!CreateDirectoryW(folder, &attributes)) return false;
  WideCopy(m_folder, folder);
  return StagedPath(0, m_inf);
}

bool StagedPackage::CopyChecked(HCRYPTPROV provider, const WCHAR* directory, std::size_t index) {
  const PackageFileDigest& expected = kDriverPackageFiles[index];
  WCHAR source[kPathWidth] = {};
  WCHAR target[kPathWidth] = {};
  if (!WideCopy(source, directory) || !WideAppend(source, expected.RelativePath) ||
      !StagedPath(index, target)) {
    return false;
  }
  // Read sharing only: a file that somebody is writing is refused.
  const UniqueFileHandle from(
      CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!from.IsValid()) return false;
  const UniqueFileHandle to(
      CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!to.IsValid()) return false;
  ++m_created;
  HCRYPTHASH created = 0;
  if (!CryptCreateHash(provider, CALG_SHA_256, 0, 0, &created)) return false;
  const UniqueCryptHash hash(created);
  BYTE chunk[kReadChunkBytes];
  for (;;) {
    DWORD read = 0;
    DWORD written = 0;
    if (!ReadFile(from.Get(), chunk, sizeof(chunk), &read, nullptr)) return false;
    if (read == 0) break;
    if (!CryptHashData(hash.Get(), chunk, read, 0) ||
        !WriteFile(to.Get(), chunk, read, &written, nullptr) || written != read) {
      return false;
    }
  }
  BYTE digest[kSha256Bytes] = {};
  DWORD length = sizeof(digest);
  return CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &length, 0) &&
         length == sizeof(digest) && DigestsEqual(digest, expected.Sha256);
}

int StagedPackage::Stage(const WCHAR* directory) {
  if (!Remove()) return 0;
  HCRYPTPROV acquired = 0;
  if (!CryptAcquireContextW(&acquired, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    return 0;
  }
  const UniqueCryptProvider provider(acquired);
  bool staged = CreateFolder(provider.Get());
  for (std::size_t i = 0; staged && i < kDriverPackageFileCount; ++i) {
    staged = CopyChecked(provider.Get(), directory, i);
  }
  if (!staged) Discard(true);
  return staged ? 1 : 0;
}
