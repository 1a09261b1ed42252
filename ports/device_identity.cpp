#include "ports/device_identity.h"

#include "platform/wide_text.h"
#include "ports/supported_devices.h"

namespace {

const WCHAR kVidMarker[] = TEXT("VID_");
const WCHAR kPidMarker[] = TEXT("PID_");
constexpr std::size_t kMarkerLength = 4;

WCHAR AsciiUpper(WCHAR c) {
  return c >= TEXT('a') && c <= TEXT('z') ? static_cast<WCHAR>(c - TEXT('a') + TEXT('A')) : c;
}

// False when the source does not end within the working copy.
bool UpperCaseCopy(const WCHAR* source, WCHAR (&text)[kIdentityTextWidth]) {
  for (std::size_t i = 0; i < kIdentityTextWidth; ++i) {
    text[i] = AsciiUpper(source[i]);
    if (source[i] == 0) return true;
  }
  return false;
}

// The at most four characters that follow the first occurrence of the marker.
bool TakeAfterMarker(const WCHAR* text, const WCHAR (&marker)[kMarkerLength + 1], IdText& id) {
  for (const WCHAR* at = text; *at != 0; ++at) {
    std::size_t matched = 0;
    while (matched < kMarkerLength && at[matched] == marker[matched]) ++matched;
    if (matched < kMarkerLength) continue;
    // At most four characters always fit.
    return id.Assign(at + kMarkerLength, kIdLength);
  }
  return false;
}

}  // namespace

int ExtractVidPid(const WCHAR* source, IdText& vid, IdText& pid) {
  WCHAR text[kIdentityTextWidth];
  if (!UpperCaseCopy(source, text)) return 0;
  IdText foundVid;
  IdText foundPid;
  if (!TakeAfterMarker(text, kVidMarker, foundVid)) return 0;
  if (!TakeAfterMarker(text, kPidMarker, foundPid)) return 0;
  vid = foundVid;
  pid = foundPid;
  return 1;
}

int IsSupportedDevice(const WCHAR* vid, const WCHAR* pid) {
  for (const SupportedDevice& row : SupportedDeviceTable) {
    if (WideEqual(vid, row.Vid) && WideEqual(pid, row.Pid)) return 1;
  }
  return 0;
}
