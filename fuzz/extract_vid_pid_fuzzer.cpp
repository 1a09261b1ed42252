// Fuzzes ExtractVidPid with arbitrary UTF-16 text (the input's bytes, little-endian pairs)
// and checks what it promises: outputs untouched on 0, at most four characters each on 1,
// texts of 260 characters or more refused, no lower-case ASCII letter in an extracted ID,
// and a supported pair always four upper-case hexadecimal digits each.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ports/device_identity.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsUpperHex(const IdText& id) {
  if (id.size() != kIdLength) return false;
  for (std::size_t i = 0; i < id.size(); ++i) {
    const WCHAR c = id.c_str()[i];
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<WCHAR> text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  text.push_back(0);

  IdText sentinel;
  Require(sentinel.Assign(u"\u2603old"));
  IdText vid = sentinel;
  IdText pid = sentinel;
  const int result = ExtractVidPid(text.data(), vid, pid);
  if (result == 0) {
    Require(vid == sentinel && pid == sentinel);
    return 0;
  }
  Require(result == 1);
  Require(text.size() <= kIdentityTextWidth);
  for (const IdText* id : {&vid, &pid}) {
    Require(id->size() <= kIdLength);
    for (std::size_t i = 0; i < id->size(); ++i) {
      const WCHAR c = id->c_str()[i];
      Require(c != 0 && !(c >= u'a' && c <= u'z'));
    }
  }
  if (IsSupportedDevice(vid.c_str(), pid.c_str()) == 1) {
    Require(IsUpperHex(vid) && IsUpperHex(pid));
  }
  return 0;
}
