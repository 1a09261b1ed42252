#include <climits>
#include <cstring>
#include <iterator>
#include <tuple>
#include <vector>

#include "ports/device_class_registry.h"
#include "ports/value_text.h"
#include "ports_sim_fixture.h"

namespace {

using sim::Call;
using std::make_tuple;
using std::tie;

std::vector<BYTE> Bytes(const std::u16string& text) {
  std::vector<BYTE> bytes(text.size() * sizeof(char16_t));
  std::memcpy(bytes.data(), text.data(), bytes.size());
  return bytes;
}

std::vector<BYTE> Dword(LONG value) {
  std::vector<BYTE> bytes(sizeof(value));
  std::memcpy(bytes.data(), &value, sizeof(value));
  return bytes;
}

struct Rendering {
  std::vector<BYTE> data;
  std::u16string text;
  DWORD type;
  int result;
};

TEST(RenderValueTextTest, RendersDwordsAsSignedDecimalAndTerminatesCopiedText) {
  const std::u16string longest(128, u'w');
  std::vector<BYTE> odd = Bytes(u"12");
  odd.push_back('3');
  const std::u16string terminated = std::u16string(u"12") + u'\0';
  const std::u16string multi = std::u16string(u"a") + u'\0' + u"b" + u'\0' + u'\0';
  const Rendering cases[] = {
      {Dword(1), u"1", REG_DWORD, 1},
      {Dword(-7), u"-7", REG_DWORD, 1},
      {Dword(INT_MIN), u"-2147483648", REG_DWORD, 1},
      {{1, 0}, u"stale", REG_DWORD, 0},
      {{1, 0, 0, 0, 0}, u"stale", REG_DWORD, 0},
      {Bytes(terminated), u"12", REG_SZ, 1},
      {Bytes(u"12"), u"12", REG_SZ, 1},
      {odd, u"12", REG_SZ, 1},
      {{}, u"", REG_SZ, 1},
      {Bytes(multi), u"a", REG_MULTI_SZ, 1},
      {Bytes(longest), longest, REG_SZ, 1},
      {Bytes(longest + u"x"), u"stale", REG_SZ, 0},
  };
  for (const Rendering& c : cases) {
    SCOPED_TRACE(c.data.size());
    WCHAR text[kValueTextWidth];
    for (WCHAR& unit : text) unit = u'z';
    std::memcpy(text, u"stale", sizeof(u"stale"));
    EXPECT_EQ(RenderValueText(c.type, c.data.data(), static_cast<DWORD>(c.data.size()), text),
              c.result);
    EXPECT_EQ(std::u16string(text), c.text);
  }
}

class DeviceClassRegistryTest : public PortsTest {
 protected:
  WCHAR text[kValueTextWidth] = {};
  int end = -1;
};

TEST_F(DeviceClassRegistryTest, ReadsEachKindFromItsPathBelowTheEntry) {
  sim::RegistryKey& entry = machine().devices.classKey.Subkey(u"entry");
  sim::RegistryKey& link = entry.Subkey(u"#");
  entry.Set(u"DeviceInstance", sim::StringValue(u"USB\\VID_D7A5&PID_10A1\\1"));
  link.Set(u"SymbolicLink", sim::StringValue(u"link"));
  link.Subkey(u"Control").Set(u"Linked", sim::DwordValue(1));
  link.Subkey(u"Device Parameters").Set(u"Port Description", sim::StringValue(u"P"));
  link.Subkey(u"Device Parameters").Set(u"Port Number", sim::DwordValue(12));
  const std::u16string parameters = u"Device Parameters";
  const struct {
    ValueKind kind;
    std::vector<std::u16string> path;
    std::u16string value;
    std::u16string text;
  } cases[] = {
      {ValueKind::DeviceInstance, {u"entry"}, u"DeviceInstance", u"USB\\VID_D7A5&PID_10A1\\1"},
      {ValueKind::SymbolicLink, {u"entry", u"#"}, u"SymbolicLink", u"link"},
      {ValueKind::Linked, {u"entry", u"#", u"Control"}, u"Linked", u"1"},
      {ValueKind::PortDescription, {u"entry", u"#", parameters}, u"Port Description", u"P"},
      {ValueKind::PortNumber, {u"entry", u"#", parameters}, u"Port Number", u"12"},
  };
  for (const auto& c : cases) {
    machine().events.clear();
    EXPECT_EQ(ReadDeviceClassValue(c.kind, 0, text, end), 1);
    EXPECT_EQ(tie(end, c.text), make_tuple(0, std::u16string(text)));
    std::vector<std::u16string> opened;
    for (const auto& open : machine().EventsOf(Call::RegOpenKeyExW)) {
      EXPECT_EQ(tie(open.value, open.flags), make_tuple(KEY_READ, 0u));
      opened.push_back(open.text);
    }
    EXPECT_EQ(opened, c.path);
    const sim::Event query = machine().EventsOf(Call::RegQueryValueExW).at(0);
    EXPECT_EQ(tie(query.text, query.value), make_tuple(c.value, 520u));
    EXPECT_TRUE(machine().AllReleased());
  }
  const sim::Event classKey = machine().EventsOf(Call::SetupDiOpenClassRegKeyExW).at(0);
  EXPECT_EQ(tie(classKey.detail, classKey.text, classKey.value, classKey.flags),
            make_tuple(u"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}", u"", 0x20019u, 2u));
  EXPECT_EQ(machine().EventsOf(Call::RegEnumKeyExW).at(0).flags, 256u);
}

TEST_F(DeviceClassRegistryTest, EndFlagIsSetOnlyPastTheLastEntryOrWithoutClassKey) {
  machine().devices.classKey.Subkey(u"entry");
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::Linked, 0, text, end), 0);  // no "#\Control"
  EXPECT_EQ(end, 0);
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::Linked, 1, text, end), 0);
  EXPECT_EQ(end, 1);
  machine().Fail(Call::RegEnumKeyExW, ERROR_KEY_DELETED);
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::DeviceInstance, 0, text, end), 0);
  EXPECT_EQ(end, 0);
  machine().Fail(Call::SetupDiOpenClassRegKeyExW, ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::DeviceInstance, 0, text, end), 0);
  EXPECT_EQ(end, 1);
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(DeviceClassRegistryTest, ValuesThatCannotBeReadWholeAreRefused) {
  sim::RegistryKey& entry = machine().devices.classKey.Subkey(u"entry");
  entry.Set(u"DeviceInstance", sim::StringValue(std::u16string(300, u'v')));
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::DeviceInstance, 0, text, end), 0);  // > 520 bytes
  entry.Set(u"DeviceInstance", sim::StringValue(std::u16string(200, u'v')));
  EXPECT_EQ(ReadDeviceClassValue(ValueKind::DeviceInstance, 0, text, end), 0);  // > 256 bytes
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(DeviceClassRegistryTest, OpenKeyPathClosesEachParentAndNeverTheRoot) {
  machine().devices.classKey.Subkey(u"a").Subkey(u"b").Subkey(u"c");
  HKEY root =
      SetupDiOpenClassRegKeyExW(&sim::kUsbPrintClass, KEY_READ, DIOCR_INTERFACE, nullptr, nullptr);
  const WCHAR segments[] = u"a\0b\0c\0";
  {
    machine().events.clear();
    UniqueRegistryKey key = OpenKeyPath(root, segments, std::size(segments));
    EXPECT_TRUE(key.IsValid());
    std::vector<Call> calls;
    for (const auto& e : machine().events) calls.push_back(e.call);
    const std::vector<Call> expected = {Call::RegOpenKeyExW, Call::RegOpenKeyExW, Call::RegCloseKey,
                                        Call::RegOpenKeyExW, Call::RegCloseKey};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(machine().devices.openKeys.size(), 2u);
  }
  const WCHAR missing[] = u"a\0x\0c\0";
  EXPECT_FALSE(OpenKeyPath(root, missing, std::size(missing)).IsValid());
  const WCHAR unterminated[] = {u'a', 0, u'b'};
  EXPECT_FALSE(OpenKeyPath(root, unterminated, std::size(unterminated)).IsValid());
  machine().events.clear();
  EXPECT_FALSE(OpenKeyPath(root, u"\0a", 3).IsValid());
  EXPECT_TRUE(machine().events.empty());
  EXPECT_EQ(machine().devices.openKeys.size(), 1u);  // only the root
  RegCloseKey(root);
}

}  // namespace
