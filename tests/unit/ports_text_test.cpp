// The window-free and platform-free parts of port discovery: device identity, the rendering
// of registry values as text, and port names.
#include <climits>
#include <cstring>
#include <vector>

#include "fixed_text_support.h"
#include "ports/device_identity.h"
#include "ports/port_number.h"
#include "ports/supported_devices.h"
#include "ports/value_text.h"

namespace {

TEST(ExtractVidPidTest, TakesUpToFourCharactersAfterTheFirstOfEachMarkerOrNothing) {
  const std::u16string tail = u"VID_D7A5&PID_10A1";
  const struct {
    std::u16string source, vid, pid;  // "keep" and "this": refused, the outputs untouched
  } cases[] = {
      {u"\\\\?\\usb#vid_abcd&pid_12ef#6&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", u"ABCD",
       u"12EF"},
      {u"USB\\VID_12&PID_3456\\X", u"12&P", u"3456"},
      {u"PID_9&VID_", u"", u"9&VI"},
      {u"VID_1111&VID_2222&PID_3333", u"1111", u"3333"},
      {u"vid_\u00e9b\u00df1&pid_\u0431z", u"\u00e9B\u00df1", u"\u0431Z"},  // ASCII letters only
      {std::u16string(259 - tail.size(), u'x') + tail, u"D7A5", u"10A1"},
      {std::u16string(260 - tail.size(), u'x') + tail, u"keep", u"this"},
      {u"USB\\VID_D7A5\\1", u"keep", u"this"},
      {u"VID-D7A5&PID-10A1", u"keep", u"this"},
  };
  for (const auto& c : cases) {
    IdText vid = TextOf<IdText>(u"keep");
    IdText pid = TextOf<IdText>(u"this");
    EXPECT_EQ(ExtractVidPid(c.source.c_str(), vid, pid), c.vid == u"keep" ? 0 : 1);
    EXPECT_EQ(vid, c.vid.c_str());
    EXPECT_EQ(pid, c.pid.c_str());
  }
}

TEST(IsSupportedDeviceTest, MatchesOnlyWholeRowsExactly) {
  for (const SupportedDevice& row : SupportedDeviceTable) {
    EXPECT_EQ(IsSupportedDevice(row.Vid, row.Pid), 1);
  }
  EXPECT_EQ(IsSupportedDevice(u"D7A5", u"3F0E"), 0) << "each in the table, but not together";
  EXPECT_EQ(IsSupportedDevice(u"d7a5", u"10a1"), 0);
  EXPECT_EQ(IsSupportedDevice(u"D7A", u"10A1"), 0);
}

std::vector<BYTE> Bytes(const void* data, std::size_t size) {
  std::vector<BYTE> bytes(size);
  std::memcpy(bytes.data(), data, size);
  return bytes;
}

TEST(RenderValueTextTest, RendersDwordsAsSignedDecimalAndTerminatesCopiedText) {
  const LONG one = 1, negative = -7, least = INT_MIN;
  const std::u16string longest(128, u'w');
  const char16_t digits[] = u"123", multi[] = u"a\0b\0";
  const struct {
    std::vector<BYTE> data;
    DWORD type;
    std::u16string text;  // "stale": refused, the text untouched
  } cases[] = {
      {Bytes(&one, 4), REG_DWORD, u"1"},
      {Bytes(&negative, 4), REG_DWORD, u"-7"},
      {Bytes(&least, 4), REG_DWORD, u"-2147483648"},
      {{1, 0}, REG_DWORD, u"stale"},
      {{1, 0, 0, 0, 0}, REG_DWORD, u"stale"},
      {Bytes(digits, sizeof(digits)), REG_SZ, u"123"},
      {Bytes(digits, 4), REG_SZ, u"12"},
      {Bytes(digits, 5), REG_SZ, u"12"},  // an odd byte dropped
      {{}, REG_SZ, u""},
      {Bytes(multi, sizeof(multi)), REG_MULTI_SZ, u"a"},
      {Bytes(longest.c_str(), 256), REG_SZ, longest},
      {Bytes(longest.c_str(), 258), REG_SZ, u"stale"},
  };
  for (const auto& c : cases) {
    WCHAR text[kValueTextWidth];
    std::fill(std::begin(text), std::end(text), u'z');
    std::memcpy(text, u"stale", sizeof(u"stale"));
    EXPECT_EQ(RenderValueText(c.type, c.data.data(), static_cast<DWORD>(c.data.size()), text),
              c.text == u"stale" ? 0 : 1);
    EXPECT_EQ(std::u16string(text), c.text);
  }
}

TEST(FormatUsbPortNameTest, NamesPortsWithAtLeastThreeDigitsUpTo32Bits) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"3", u"USB003"},
      {u"12", u"USB012"},
      {u"0012", u"USB012"},
      {u"1234", u"USB1234"},
      {u"4294967295", u"USB4294967295"},
      {u"4294967296", u"none"},
      {u"-1", u"none"},
      {u"3a", u"none"},
      {u"", u"none"},
  };
  for (const auto& [number, name] : cases) {
    WCHAR text[kValueTextWidth] = {};
    number.copy(text, number.size());
    PortNameText port = TextOf<PortNameText>(u"none");
    EXPECT_EQ(FormatUsbPortName(text, port), name == u"none" ? 0 : 1);
    EXPECT_EQ(port, name.c_str());
  }
}

}  // namespace
