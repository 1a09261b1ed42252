#include <vector>

#include "ports/usb_port.h"
#include "ports_sim_fixture.h"

namespace {

using sim::Call;
using sim::DwordValue;
using sim::StringValue;

// A detector that reports a fixed device, so that these tests see only the registry scan.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through a base.
class FixedDevice final : public CUSBPort {
 public:
  explicit FixedDevice(int found) : found_(found) {}
  int FindDevice(IdText& vid, IdText& pid) override {
    vid = TextOf<IdText>(u"D7A5");
    pid = TextOf<IdText>(u"10A1");
    return found_;
  }

 private:
  int found_;
};

const std::u16string kOurs = u"USB\\VID_D7A5&PID_10A1\\5&2f1a&0&1";
const std::u16string kOurs2 = u"USB\\VID_D7A5&PID_10A1\\5&2f1a&0&2";
const std::u16string kOther = u"USB\\VID_D7A5&PID_10A2\\5&2f1a&0&3";

class GetPortNameTest : public PortsTest {
 protected:
  int Resolve(int found = 1) {
    FixedDevice detector(found);
    return detector.GetPortName(port);
  }
  PortNameText port = TextOf<PortNameText>(u"untouched");
};

struct Resolution {
  const char* name;
  std::vector<ClassEntry> entries;
  std::u16string port;  // "untouched" when the result is 0
};

TEST_F(GetPortNameTest, UsesTheFirstLinkedEntryWithTheDevicesIds) {
  const Resolution cases[] = {
      {"linked as DWORD", {{kOurs, DwordValue(1), DwordValue(1)}}, u"USB001"},
      {"linked as string", {{kOurs, StringValue(u"1"), DwordValue(1)}}, u"USB001"},
      {"not linked", {{kOurs, DwordValue(0), DwordValue(1)}}, u"untouched"},
      {"link missing", {{kOurs, std::nullopt, DwordValue(1)}}, u"untouched"},
      {"unlinked before linked",
       {{kOurs, DwordValue(0), DwordValue(1)}, {kOurs2, DwordValue(1), DwordValue(2)}},
       u"USB002"},
      {"other printer first",
       {{kOther, DwordValue(1), DwordValue(1)}, {kOurs, DwordValue(1), DwordValue(4)}},
       u"USB004"},
      {"first match without port number ends the scan",
       {{kOurs, DwordValue(1), std::nullopt}, {kOurs2, DwordValue(1), DwordValue(2)}},
       u"untouched"},
      {"lower-case instance",
       {{u"usb\\vid_d7a5&pid_10a1\\1", DwordValue(1), DwordValue(5)}},
       u"USB005"},
      {"no entries", {}, u"untouched"},
  };
  for (const Resolution& c : cases) {
    SCOPED_TRACE(c.name);
    sim::ResetMachine();
    port = TextOf<PortNameText>(u"untouched");
    for (const auto& entry : c.entries) AddEntry(entry);
    EXPECT_EQ(Resolve(), c.port == u"untouched" ? 0 : 1);
    EXPECT_EQ(port, c.port.c_str());
    EXPECT_TRUE(machine().AllReleased());
  }
}

TEST_F(GetPortNameTest, NamesThePortWithAtLeastThreeDigits) {
  const std::pair<sim::RegistryValue, std::u16string> cases[] = {
      {DwordValue(3), u"USB003"},
      {StringValue(u"3"), u"USB003"},
      {DwordValue(9), u"USB009"},
      {DwordValue(12), u"USB012"},
      {StringValue(u"0012"), u"USB012"},
      {DwordValue(1234), u"USB1234"},
      {StringValue(u"4294967295"), u"USB4294967295"},
      {DwordValue(0xFFFFFFFF), u"untouched"},  // reads as -1
      {StringValue(u"4294967296"), u"untouched"},
      {StringValue(u"3a"), u"untouched"},
      {StringValue(u""), u"untouched"},
      {sim::BytesValue(REG_BINARY, {'7', 0}), u"USB007"},
  };
  for (const auto& [number, expected] : cases) {
    SCOPED_TRACE(std::string(expected.begin(), expected.end()));
    sim::ResetMachine();
    port = TextOf<PortNameText>(u"untouched");
    AddEntry({kOurs, DwordValue(1), number});
    EXPECT_EQ(Resolve(), expected == u"untouched" ? 0 : 1);
    EXPECT_EQ(port, expected.c_str());
  }
}

TEST_F(GetPortNameTest, FailedReadSkipsTheEntryUnlessItIsThePortNumber) {
  // The reads of entry 0 open the entry, "#" and "Control" and query "Linked" (opens 1 to 3,
  // query 1); the entry and "DeviceInstance" (open 4, query 2); the entry, "#" and
  // "Device Parameters" and "Port Number" (opens 5 to 7, query 3).
  const struct {
    Call call;
    int nth;
    DWORD code;
    std::u16string port;  // "untouched" when the result is 0
  } cases[] = {
      {Call::RegOpenKeyExW, 1, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegOpenKeyExW, 2, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegOpenKeyExW, 3, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegOpenKeyExW, 4, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegOpenKeyExW, 5, ERROR_ACCESS_DENIED, u"untouched"},
      {Call::RegOpenKeyExW, 6, ERROR_ACCESS_DENIED, u"untouched"},
      {Call::RegOpenKeyExW, 7, ERROR_ACCESS_DENIED, u"untouched"},
      {Call::RegQueryValueExW, 1, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegQueryValueExW, 1, ERROR_MORE_DATA, u"USB002"},
      {Call::RegQueryValueExW, 2, ERROR_ACCESS_DENIED, u"USB002"},
      {Call::RegQueryValueExW, 2, ERROR_MORE_DATA, u"USB002"},
      {Call::RegQueryValueExW, 3, ERROR_ACCESS_DENIED, u"untouched"},
      {Call::RegQueryValueExW, 3, ERROR_MORE_DATA, u"untouched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.call == Call::RegOpenKeyExW ? "open " : "query ")
                                      << c.nth << ", error " << c.code);
    sim::ResetMachine();
    port = TextOf<PortNameText>(u"untouched");
    AddEntry({kOurs, DwordValue(1), DwordValue(1)});
    AddEntry({kOurs2, DwordValue(1), DwordValue(2)});
    machine().Fail(c.call, c.code, c.nth);
    EXPECT_EQ(Resolve(), c.port == u"untouched" ? 0 : 1);
    EXPECT_EQ(port, c.port.c_str());
    EXPECT_TRUE(machine().AllReleased());
  }
}

TEST_F(GetPortNameTest, ValueStoredWithoutTerminatorDoesNotRunOnIntoTheLastRead) {
  // Entry 0 leaves its device instance in the text buffer; entry 1's "1" has no terminator.
  AddEntry({kOther, DwordValue(1), DwordValue(1)});
  AddEntry({kOurs, StringValue(u"1", false), DwordValue(2)});
  EXPECT_EQ(Resolve(), 1);
  EXPECT_EQ(port, u"USB002");
}

TEST_F(GetPortNameTest, LongEntryNamesAreSkippedWhereTheirPathWouldNotFit) {
  // Name, terminator and "#", "Device Parameters" need 21 more characters of 256.
  const std::pair<std::size_t, std::u16string> cases[] = {
      {234, u"USB001"}, {235, u"untouched"}, {243, u"untouched"}, {244, u"USB002"}};
  for (const auto& [length, expected] : cases) {
    SCOPED_TRACE(length);
    sim::ResetMachine();
    port = TextOf<PortNameText>(u"untouched");
    AddEntry({kOurs, DwordValue(1), DwordValue(1), std::u16string(length, u'n')});
    AddEntry({kOurs2, DwordValue(1), DwordValue(2)});
    Resolve();
    EXPECT_EQ(port, expected.c_str());
    EXPECT_TRUE(machine().AllReleased());
  }
}

TEST_F(GetPortNameTest, ScanAlwaysEnds) {
  AddEntry({kOurs, DwordValue(1), DwordValue(1)});
  // Nothing detected: the registry is not read.
  EXPECT_EQ(Resolve(0), 0);
  EXPECT_EQ(CountOf(Call::SetupDiOpenClassRegKeyExW), 0u);

  // A class key that cannot be opened ends the scan at once.
  machine().Fail(Call::SetupDiOpenClassRegKeyExW, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Resolve(), 0);
  EXPECT_EQ(CountOf(Call::SetupDiOpenClassRegKeyExW), 1u);

  // Entries that keep failing to enumerate are skipped up to the bound.
  sim::ResetMachine();
  machine().devices.classKey.enumError = ERROR_KEY_DELETED;
  EXPECT_EQ(Resolve(), 0);
  EXPECT_EQ(CountOf(Call::RegEnumKeyExW), kClassEntryScanLimit);
  EXPECT_EQ(port, u"untouched");
  EXPECT_TRUE(machine().AllReleased());

  // One that fails once is skipped, and the scan goes on.
  sim::ResetMachine();
  AddEntry({kOurs, DwordValue(1), DwordValue(1)});
  AddEntry({kOurs2, DwordValue(1), DwordValue(2)});
  machine().Fail(Call::RegEnumKeyExW, ERROR_KEY_DELETED);
  EXPECT_EQ(Resolve(), 1);
  EXPECT_EQ(port, u"USB002");
}

TEST_F(GetPortNameTest, NoEntryAtOrPastTheBoundIsExamined) {
  for (DWORD stale : {kClassEntryScanLimit - 1, kClassEntryScanLimit}) {
    SCOPED_TRACE(stale);
    sim::ResetMachine();
    for (DWORD i = 0; i < stale; ++i) machine().devices.classKey.Subkey(u"stale" + Decimal(i));
    AddEntry({kOurs, DwordValue(1), DwordValue(7)});
    EXPECT_EQ(Resolve(), stale < kClassEntryScanLimit ? 1 : 0);
  }
}

TEST_F(GetPortNameTest, RunsTheRealDetectorFirst) {
  machine().devices.interfaces.push_back({PathOf(u"vid_d7a5&pid_10a1")});
  AddEntry({kOurs, DwordValue(1), DwordValue(3)});
  CUSBPort detector;
  PortNameText found;
  EXPECT_EQ(detector.GetPortName(found), 1);
  EXPECT_EQ(found, u"USB003");
  EXPECT_EQ(machine().openHandles.size(), 1u);
  EXPECT_TRUE(machine().devices.AllReleased());
}

}  // namespace
