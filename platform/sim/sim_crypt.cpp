// Simulated CryptoAPI: one provider type and one hash, SHA-256, computed for real so that the
// digests the build takes of the driver package match the files a test places. Calls with any
// other provider type, flags or algorithm fail, as they would for the program on Windows.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {

std::uint32_t Rotate(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// SHA-256 as FIPS 180-4 defines it.
std::string Sha256(std::string data) {
  static const std::uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  data += '\x80';
  while (data.size() % 64 != 56) data += '\0';
  for (int i = 7; i >= 0; --i) data += static_cast<char>(bits >> (8 * i));
  for (std::size_t block = 0; block < data.size(); block += 64) {
    std::uint32_t w[64];
    for (std::size_t i = 0; i < 16; ++i) {
      w[i] = 0;
      for (std::size_t j = 0; j < 4; ++j) {
        w[i] = (w[i] << 8) | static_cast<std::uint8_t>(data[block + 4 * i + j]);
      }
    }
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t v[8];
    std::memcpy(v, h, sizeof(v));
    for (int i = 0; i < 64; ++i) {
      const std::uint32_t t1 = v[7] + (Rotate(v[4], 6) ^ Rotate(v[4], 11) ^ Rotate(v[4], 25)) +
                               ((v[4] & v[5]) ^ (~v[4] & v[6])) + k[i] + w[i];
      const std::uint32_t t2 = (Rotate(v[0], 2) ^ Rotate(v[0], 13) ^ Rotate(v[0], 22)) +
                               ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
      std::memmove(v + 1, v, 7 * sizeof(v[0]));
      v[4] += t1;
      v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
  }
  std::string digest;
  for (std::uint32_t word : h) {
    for (int shift = 24; shift >= 0; shift -= 8) digest += static_cast<char>(word >> shift);
  }
  return digest;
}

}  // namespace

BOOL CryptAcquireContextW(HCRYPTPROV* provider, LPCWSTR container, LPCWSTR providerName, DWORD type,
                          DWORD flags) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(Call::CryptAcquireContextW)) return FALSE;
  if (container != nullptr || providerName != nullptr || type != PROV_RSA_AES ||
      flags != CRYPT_VERIFYCONTEXT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *provider = machine.nextCryptObject++;
  machine.cryptProviders.insert(*provider);
  return TRUE;
}

BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD) {
  return TheMachine().cryptProviders.erase(provider) == 1;
}

BOOL CryptCreateHash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key, DWORD flags,
                     HCRYPTHASH* hash) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(Call::CryptCreateHash)) return FALSE;
  if (machine.cryptProviders.count(provider) == 0 || algorithm != CALG_SHA_256 || key != 0 ||
      flags != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *hash = machine.nextCryptObject++;
  machine.cryptHashes[*hash];
  return TRUE;
}

BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(Call::CryptHashData)) return FALSE;
  const auto found = machine.cryptHashes.find(hash);
  if (found == machine.cryptHashes.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  found->second.append(reinterpret_cast<const char*>(data), length);
  return TRUE;
}

BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD parameter, BYTE* data, DWORD* length, DWORD) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(Call::CryptGetHashParam)) return FALSE;
  const auto found = machine.cryptHashes.find(hash);
  if (found == machine.cryptHashes.end() || parameter != HP_HASHVAL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string digest = Sha256(found->second);
  if (data == nullptr || *length < digest.size()) {
    *length = static_cast<DWORD>(digest.size());
    SetLastError(ERROR_MORE_DATA);
    return FALSE;
  }
  std::copy(digest.begin(), digest.end(), data);
  *length = static_cast<DWORD>(digest.size());
  return TRUE;
}

BOOL CryptDestroyHash(HCRYPTHASH hash) { return TheMachine().cryptHashes.erase(hash) == 1; }
