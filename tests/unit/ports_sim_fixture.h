// Shared fixture for the port discovery tests: present USB printer interfaces and
// device-class entries on the simulated machine, named as Windows names them.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "fixed_text_support.h"
#include "ports/port_text.h"
#include "sim_test.h"

// A device-class entry: its device instance, its "Linked" and "Port Number" values (absent
// when empty) and, when given, a name of its own instead of the one made from the instance.
struct ClassEntry {
  ClassEntry(std::u16string instanceId, std::optional<sim::RegistryValue> linkedValue,
             std::optional<sim::RegistryValue> portNumberValue, std::u16string entryName = {})
      : instance(std::move(instanceId)),
        linked(std::move(linkedValue)),
        portNumber(std::move(portNumberValue)),
        name(std::move(entryName)) {}
  std::u16string instance;
  std::optional<sim::RegistryValue> linked;
  std::optional<sim::RegistryValue> portNumber;
  std::u16string name;
};

class PortsTest : public SimTest {
 protected:
  static constexpr const char16_t* kClassSuffix = u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

  // The device path of an interface, e.g. PathOf(u"vid_d7a5&pid_10a1").
  static std::u16string PathOf(const std::u16string& ids, const std::u16string& serial = u"1") {
    return u"\\\\?\\usb#" + ids + u"#" + serial + kClassSuffix;
  }

  sim::UsbInterface& AddInterface(const std::u16string& ids, DWORD openError = 0) {
    auto& interfaces = machine().devices.interfaces;
    interfaces.push_back({PathOf(ids, Decimal(interfaces.size())), openError});
    return interfaces.back();
  }

  // Adds a device-class entry as the platform registers one: its name is the device instance
  // with "#" for "\\", behind "##?#" and before the class suffix.
  sim::RegistryKey& AddEntry(const ClassEntry& entry) {
    std::u16string name = entry.name;
    if (name.empty()) {
      name = u"##?#" + entry.instance + kClassSuffix;
      for (char16_t& c : name) c = c == u'\\' ? u'#' : c;
    }
    sim::RegistryKey& key = machine().devices.classKey.Subkey(name);
    key.Set(u"DeviceInstance", sim::StringValue(entry.instance));
    sim::RegistryKey& link = key.Subkey(u"#");
    link.Set(u"SymbolicLink", sim::StringValue(u"\\\\?\\" + name.substr(4)));
    if (entry.linked) link.Subkey(u"Control").Set(u"Linked", *entry.linked);
    sim::RegistryKey& parameters = link.Subkey(u"Device Parameters");
    if (entry.portNumber) parameters.Set(u"Port Number", *entry.portNumber);
    return key;
  }

  std::size_t CountOf(sim::Call call) const { return sim::TheMachine().EventsOf(call).size(); }

  static std::u16string Decimal(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
  }
};
