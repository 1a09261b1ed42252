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
  // A port added between the size query and the fetch: no retry.
  machine().devices.afterPortSizeQuery = [this] {
    machine().devices.spoolerPorts.push_back(u"USB002");
  };
  EXPECT_EQ(EnumSpoolerPorts(ports), 0);
  EXPECT_EQ(CountOf(Call::EnumPortsW), 1u + 1u + 2u);
  EXPECT_EQ(ports.names, Names{}) << "nothing handed over before a fetch succeeds";
  EXPECT_TRUE(machine().AllReleased());
}

}  // namespace
