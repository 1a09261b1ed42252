// The platform-free parts of port discovery: device identity, and port names from registry
// values.
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
      {u"PID_9&VID_1111&VID_2222", u"1111", u"9&VI"},
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

// A port number as the registry may store it: the rendering as text, always terminated, and
// the port name made from that text.
TEST(PortNameFromValueTest, NamesPortsWithAtLeastThreeDigitsFromDecimalNumbersOnly) {
  const LONG twelve = 12, negative = -1, least = INT_MIN;
  const std::u16string longest = std::u16string(127, u'0') + u"7";
  const char16_t text[] = u"4294967295\0004294967296\0003a\0007\0";
  const struct {
    DWORD type, size;
    const void* data;
    std::u16string port;  // "none": no port, the name untouched
  } cases[] = {
      {REG_DWORD, 4, &twelve, u"USB012"},      {REG_DWORD, 4, &negative, u"none"},
      {REG_DWORD, 4, &least, u"none"},         {REG_DWORD, 2, &twelve, u"none"},
      {REG_DWORD, 5, &twelve, u"none"},        {REG_SZ, 22, text, u"USB4294967295"},
      {REG_SZ, 22, text + 11, u"none"},   // past 32 bits
      {REG_SZ, 6, text + 22, u"none"},    // not a number
      {REG_SZ, 0, text + 22, u"none"},    // empty
      {REG_SZ, 2, text + 25, u"USB007"},  // without its terminator
      {REG_SZ, 3, text + 25, u"USB007"},  // an odd byte dropped
      {REG_MULTI_SZ, 6, text + 25, u"USB007"}, {REG_SZ, 256, longest.c_str(), u"USB007"},
      {REG_SZ, 258, longest.c_str(), u"none"},
  };
  for (const auto& c : cases) {
    WCHAR number[kValueTextWidth];
    std::fill(std::begin(number), std::end(number), u'9');  // what an earlier read left
    std::vector<BYTE> data(c.size);
    std::memcpy(data.data(), c.data, c.size);
    PortNameText port = TextOf<PortNameText>(u"none");
    const int rendered = RenderValueText(c.type, data.data(), c.size, number);
    EXPECT_EQ(rendered == 1 && FormatUsbPortName(number, port) == 1, c.port != u"none");
    EXPECT_EQ(port, c.port.c_str()) << c.size;
  }
}

}  // namespace
