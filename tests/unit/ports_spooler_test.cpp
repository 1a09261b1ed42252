#include <optional>
#include <string>
#include <vector>

#include "ports/spooler_ports.h"
#include "ports_sim_fixture.h"

namespace {

using sim::Call;
using Names = std::vector<std::u16string>;

// Keeps every name handed over, in order.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through a base.
class NameList final : public PortNameSink {
 public:
  void Add(const WCHAR* name) override { names.emplace_back(name); }
  Names names;
};

class EnumSpoolerPortsTest : public PortsTest {
 protected:
  NameList ports;
};

TEST_F(EnumSpoolerPortsTest, AppendsThePortsInTheSpoolersOrder) {
  machine().devices.spoolerPorts = {u"LPT1:", u"COM1:", u"USB001"};
  EXPECT_EQ(EnumSpoolerPorts(ports), 1);
  EXPECT_EQ(ports.names, (Names{u"LPT1:", u"COM1:", u"USB001"}));
  const auto calls = machine().EventsOf(Call::EnumPortsW);
  ASSERT_EQ(calls.size(), 2u);
  for (const auto& call : calls) {
    EXPECT_EQ(call.text, u"");
    EXPECT_EQ(call.flags, 2u);
  }
  EXPECT_EQ(calls[0].value, 0u);
  EXPECT_EQ(calls[1].value, machine().EventsOf(Call::LocalAlloc).at(0).value);
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(EnumSpoolerPortsTest, NoPortsIsSuccessWithoutBuffer) {
  EXPECT_EQ(EnumSpoolerPorts(ports), 1);
  EXPECT_EQ(ports.names, Names{});
  EXPECT_EQ(CountOf(Call::LocalAlloc), 0u);
  EXPECT_EQ(machine().EventsOf(Call::EnumPortsW).at(1).value, 0u);
}

TEST_F(EnumSpoolerPortsTest, FailuresHandOverNothing) {
  machine().devices.spoolerPorts = {u"LPT1:"};
  machine().Fail(Call::EnumPortsW, RPC_S_SERVER_UNAVAILABLE);
  EXPECT_EQ(EnumSpoolerPorts(ports), 0);
  machine().Fail(Call::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(EnumSpoolerPorts(ports), 0);
  // The fetch fails: the list grew since the size query (no retry), or the spooler failed.
  machine().devices.afterPortSizeQuery = [this] {
    machine().devices.spoolerPorts.push_back(u"USB002");
  };
  EXPECT_EQ(EnumSpoolerPorts(ports), 0);
  machine().devices.afterPortSizeQuery = nullptr;
  for (DWORD code : {RPC_S_SERVER_UNAVAILABLE, ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY}) {
    machine().Fail(Call::EnumPortsW, code, 2);
    EXPECT_EQ(EnumSpoolerPorts(ports), 0) << code;
  }
  EXPECT_EQ(CountOf(Call::EnumPortsW), 1u + 1u + 2u + 3u * 2u);
  EXPECT_EQ(ports.names, Names{}) << "nothing handed over before a fetch succeeds";
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(EnumSpoolerPortsTest, LoadsTheSpoolerOnceByFullPathFromTheSystemFolder) {
  machine().systemDirectory = u"D:\\WINNT\\system32";
  machine().devices.spoolerPorts = {u"LPT1:"};
  EXPECT_EQ(EnumSpoolerPorts(ports), 1);
  EXPECT_EQ(EnumSpoolerPorts(ports), 1);
  EXPECT_EQ(ports.names, (Names{u"LPT1:", u"LPT1:"}));
  const auto loads = machine().EventsOf(Call::LoadLibraryExW);
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0].text, u"D:\\WINNT\\system32\\winspool.drv");
  EXPECT_EQ(loads[0].value, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_EQ(machine().loadedModules.size(), 1u) << "kept for the rest of the process";
}

// A spooler that cannot be had counts as one that cannot be asked: the page falls back to its
// own list. The load is not retried, and a library that offers neither function is freed.
TEST_F(EnumSpoolerPortsTest, SpoolerThatCannotBeLoadedGivesNoPorts) {
  const std::u16string system = u"C:\\Windows\\system32";
  const std::u16string deep = u"C:\\" + std::u16string(250, u's');  // "\winspool.drv" won't fit
  const struct {
    std::optional<Call> failing;  // with ERROR_ACCESS_DENIED, at each of the calls in nth
    std::vector<int> nth;
    std::u16string systemDirectory;
    int result;
    std::size_t modulesKept;
  } cases[] = {
      {Call::GetSystemDirectoryW, {1}, system, 0, 0},
      {{}, {}, deep, 0, 0},
      {Call::LoadLibraryExW, {1}, system, 0, 0},
      {Call::GetProcAddress, {1}, system, 0, 1},  // EnumPortsW missing, EnumPrintersW there
      {Call::GetProcAddress, {2}, system, 1, 1},  // the other way round: ports still listed
      {Call::GetProcAddress, {1, 2}, system, 0, 0},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().devices.spoolerPorts = {u"LPT1:"};
    machine().systemDirectory = c.systemDirectory;
    for (int nth : c.nth) machine().Fail(*c.failing, ERROR_ACCESS_DENIED, nth);
    NameList list;
    EXPECT_EQ(EnumSpoolerPorts(list), c.result);
    EXPECT_EQ(EnumSpoolerPorts(list), c.result);
    EXPECT_EQ(list.names.size(), c.result == 1 ? 2u : 0u);
    EXPECT_LE(CountOf(Call::LoadLibraryExW), 1u);
    EXPECT_EQ(machine().loadedModules.size(), c.modulesKept);
    EXPECT_TRUE(machine().AllReleased());
  }
}

}  // namespace
