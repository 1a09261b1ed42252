#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "fixed_text_support.h"
#include "ports/device_identity.h"
#include "ports/supported_devices.h"

namespace {

struct Extraction {
  std::u16string source;
  std::u16string vid;
  std::u16string pid;
};

TEST(ExtractVidPidTest, TakesUpToFourCharactersAfterTheFirstOfEachMarker) {
  const Extraction cases[] = {
      {u"\\\\?\\usb#vid_abcd&pid_12ef#6&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", u"ABCD",
       u"12EF"},
      {u"USB\\VID_12&PID_3456\\X", u"12&P", u"3456"},
      {u"PID_5678&VID_1234", u"1234", u"5678"},
      {u"PID_9&VID_", u"", u"9&VI"},
      {u"VID_1111&VID_2222&PID_3333", u"1111", u"3333"},
      {u"XVID_1234&PID_5678", u"1234", u"5678"},
      // Only ASCII letters change case.
      {u"vid_\u00e9b\u00df1&pid_\u0431z", u"\u00e9B\u00df1", u"\u0431Z"},
  };
  for (const Extraction& c : cases) {
    SCOPED_TRACE(std::string(c.source.begin(), c.source.end()));
    IdText vid = TextOf<IdText>(u"old");
    IdText pid = TextOf<IdText>(u"old");
    EXPECT_EQ(ExtractVidPid(c.source.c_str(), vid, pid), 1);
    EXPECT_EQ(vid, c.vid.c_str());
    EXPECT_EQ(pid, c.pid.c_str());
  }
}

TEST(ExtractVidPidTest, WithoutBothMarkersOrOverLongLeavesOutputsUntouched) {
  const std::u16string tail = u"VID_D7A5&PID_10A1";
  const std::u16string cases[] = {
      u"USB\\VID_D7A5\\1",
      u"USB\\PID_10A1\\1",
      u"",
      u"VID-D7A5&PID-10A1",
      std::u16string(260 - tail.size(), u'x') + tail,
  };
  for (const std::u16string& source : cases) {
    IdText vid = TextOf<IdText>(u"keep");
    IdText pid = TextOf<IdText>(u"this");
    EXPECT_EQ(ExtractVidPid(source.c_str(), vid, pid), 0);
    EXPECT_EQ(vid, u"keep");
    EXPECT_EQ(pid, u"this");
  }
  // 259 characters is the longest text that is read.
  const std::u16string longest = std::u16string(259 - tail.size(), u'x') + tail;
  IdText vid;
  IdText pid;
  EXPECT_EQ(ExtractVidPid(longest.c_str(), vid, pid), 1);
  EXPECT_EQ(pid, u"10A1");
}

TEST(IsSupportedDeviceTest, MatchesOnlyWholeRowsExactly) {
  for (const SupportedDevice& row : SupportedDeviceTable) {
    EXPECT_EQ(IsSupportedDevice(row.Vid, row.Pid), 1);
  }
  // D7A5 and 3F0E are each in the table, but not together.
  EXPECT_EQ(IsSupportedDevice(u"D7A5", u"3F0E"), 0);
  EXPECT_EQ(IsSupportedDevice(u"d7a5", u"10a1"), 0);
  EXPECT_EQ(IsSupportedDevice(u"D7A", u"10A1"), 0);
  EXPECT_EQ(IsSupportedDevice(u"D7A5", u"10A1 "), 0);
  EXPECT_EQ(IsSupportedDevice(u"", u""), 0);
}

TEST(SupportedDeviceTableTest, HoldsEightDistinctUpperCaseHexPairsOfFourVendors) {
  std::set<std::u16string> pairs;
  std::multiset<std::u16string> vendors;
  std::map<std::u16string, std::set<std::u16string>> vendorsOfProduct;
  for (const SupportedDevice& row : SupportedDeviceTable) {
    for (const std::u16string& id : {std::u16string(row.Vid), std::u16string(row.Pid)}) {
      ASSERT_EQ(id.size(), 4u);
      for (char16_t c : id) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
    }
    pairs.insert(std::u16string(row.Vid) + u":" + row.Pid);
    vendors.insert(row.Vid);
    vendorsOfProduct[row.Pid].insert(row.Vid);
  }
  EXPECT_EQ(pairs.size(), kSupportedDeviceCount);
  EXPECT_EQ(std::set<std::u16string>(vendors.begin(), vendors.end()).size(), 4u);
  std::size_t largest = 0;
  for (const auto& vendor : vendors) largest = std::max(largest, vendors.count(vendor));
  EXPECT_EQ(largest, 5u);
  std::size_t shared = 0;
  for (const auto& product : vendorsOfProduct) shared += product.second.size() == 2 ? 1 : 0;
  EXPECT_EQ(shared, 1u);
}

}  // namespace
