// Fuzzes ExtractVidPid with arbitrary UTF-16 text and checks what it promises: outputs
// untouched on 0, at most four characters each on 1, texts of 260 characters or more refused,
// no lower-case ASCII letter in an extracted ID, and a supported pair always a whole row.
#include "fuzz/fuzz_input.h"
#include "ports/device_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::basic_string<WCHAR> text = Utf16Text(data, size);
  IdText sentinel;
  Require(sentinel.Assign(u"\u2603old"));
  IdText vid = sentinel;
  IdText pid = sentinel;
  const int result = ExtractVidPid(text.c_str(), vid, pid);
  if (result == 0) {
    Require(vid == sentinel && pid == sentinel);
    return 0;
  }
  Require(result == 1 && text.size() < kIdentityTextWidth);
  for (const IdText* id : {&vid, &pid}) {
    Require(id->size() <= kIdLength);
    for (std::size_t i = 0; i < id->size(); ++i) {
      const WCHAR c = id->c_str()[i];
      Require(c != 0 && !(c >= u'a' && c <= u'z'));
    }
  }
  if (IsSupportedDevice(vid.c_str(), pid.c_str()) == 1) {
    Require(vid.size() == kIdLength && pid.size() == kIdLength);
  }
  return 0;
}
