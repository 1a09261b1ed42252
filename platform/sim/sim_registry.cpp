// The simulated registry: a tree of keys below the USB printer interface class key, opened,
// enumerated and read as on Windows, with every open key counted until it is closed.
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace sim {

const GUID kUsbPrintClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

std::u16string GuidText(const GUID& guid) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::u16string text = u"{";
  const auto put = [&](std::uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
      text += static_cast<char16_t>(kDigits[(value >> shift) & 0xF]);
    }
  };
  put(guid.Data1, 8);
  text += u'-';
  put(guid.Data2, 4);
  text += u'-';
  put(guid.Data3, 4);
  text += u'-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text += u'-';
    put(guid.Data4[i], 2);
  }
  return text + u"}";
}

RegistryValue DwordValue(DWORD value) {
  RegistryValue stored{REG_DWORD, std::vector<BYTE>(sizeof(value))};
  std::memcpy(stored.data.data(), &value, sizeof(value));
  return stored;
}

RegistryValue StringValue(const std::u16string& text, bool terminated) {
  const std::size_t units = text.size() + (terminated ? 1 : 0);
  RegistryValue stored{REG_SZ, std::vector<BYTE>(units * sizeof(WCHAR))};
  std::memcpy(stored.data.data(), text.c_str(), stored.data.size());
  return stored;
}

RegistryValue BytesValue(DWORD type, std::vector<BYTE> data) { return {type, std::move(data)}; }

namespace {
std::u16string Folded(const std::u16string& name) {
  std::u16string folded = name;
  for (char16_t& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return folded;
}
}  // namespace

RegistryKey& RegistryKey::Subkey(const std::u16string& name) {
  if (RegistryKey* existing = Find(name)) return *existing;
  childIndex_[Folded(name)] = children_.size();
  children_.push_back({name, std::make_unique<RegistryKey>()});
  return *children_.back().key;
}

RegistryKey* RegistryKey::Find(const std::u16string& name) {
  auto found = childIndex_.find(Folded(name));
  return found == childIndex_.end() ? nullptr : children_[found->second].key.get();
}

void RegistryKey::Set(const std::u16string& name, RegistryValue value) {
  values_[Folded(name)] = std::move(value);
}

const RegistryValue* RegistryKey::Get(const std::u16string& name) const {
  auto found = values_.find(Folded(name));
  return found == values_.end() ? nullptr : &found->second;
}

}  // namespace sim

namespace {

sim::RegistryKey* Target(HKEY key) {
  auto& targets = TheMachine().devices.keyTargets;
  auto found = targets.find(key);
  return found == targets.end() ? nullptr : found->second;
}

HKEY NewKey(sim::RegistryKey* target) {
  sim::DeviceWorld& world = TheMachine().devices;
  HKEY key = reinterpret_cast<HKEY>(world.nextId);
  world.nextId += 4;
  world.openKeys.insert(key);
  world.keyTargets[key] = target;
  return key;
}

LSTATUS Failed() { return static_cast<LSTATUS>(GetLastError()); }

}  // namespace

HKEY SetupDiOpenClassRegKeyExW(const GUID* classGuid, REGSAM access, DWORD flags,
                               LPCWSTR machineName, PVOID) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::SetupDiOpenClassRegKeyExW, machineName ? machineName : u"",
                   classGuid ? sim::GuidText(*classGuid) : u"", access};
  event.flags = flags;
  machine.Record(event);
  HKEY failed = reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  if (machine.TakeFailure(Call::SetupDiOpenClassRegKeyExW)) return failed;
  if (classGuid == nullptr || flags != DIOCR_INTERFACE ||
      std::memcmp(classGuid, &sim::kUsbPrintClass, sizeof(GUID)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return failed;
  }
  return NewKey(&machine.devices.classKey);
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR,
                      LPDWORD, PFILETIME) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::RegEnumKeyExW, {}, {}, index};
  event.flags = *nameLength;
  machine.Record(event);
  if (machine.TakeFailure(Call::RegEnumKeyExW)) return Failed();
  sim::RegistryKey* target = Target(key);
  if (target == nullptr) return ERROR_INVALID_HANDLE;
  if (target->enumError != 0) return static_cast<LSTATUS>(target->enumError);
  if (index >= target->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
  const std::u16string& subkey = target->SubkeyName(index);
  if (subkey.size() >= *nameLength) return ERROR_MORE_DATA;
  subkey.copy(name, subkey.size());
  name[subkey.size()] = 0;
  *nameLength = static_cast<DWORD>(subkey.size());
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExW(HKEY parent, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result) {
  sim::Machine& machine = TheMachine();
  const std::u16string path = subKey ? subKey : u"";
  sim::Event event{Call::RegOpenKeyExW, path, {}, access};
  event.flags = options;
  machine.Record(event);
  if (machine.TakeFailure(Call::RegOpenKeyExW)) return Failed();
  sim::RegistryKey* target = Target(parent);
  if (target == nullptr) return ERROR_INVALID_HANDLE;
  // A path of several segments separated by backslashes is walked as Windows does.
  for (std::size_t start = 0; target != nullptr && start < path.size();) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    target = target->Find(path.substr(start, end - start));
    start = end + 1;
  }
  if (target == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = NewKey(target);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
  sim::Machine& machine = TheMachine();
  sim::Event event{
      Call::RegQueryValueExW, valueName ? valueName : u"", {}, dataSize ? *dataSize : 0};
  event.flags = data != nullptr;
  machine.Record(event);
  if (machine.TakeFailure(Call::RegQueryValueExW)) return Failed();
  sim::RegistryKey* target = Target(key);
  if (target == nullptr) return ERROR_INVALID_HANDLE;
  const sim::RegistryValue* value = target->Get(valueName ? valueName : u"");
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  const DWORD stored = static_cast<DWORD>(value->data.size());
  if (data != nullptr && *dataSize < stored) {
    *dataSize = stored;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr) std::memcpy(data, value->data.data(), stored);
  if (dataSize != nullptr) *dataSize = stored;
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::RegCloseKey, {}, {}, reinterpret_cast<std::uintptr_t>(key)});
  if (machine.devices.openKeys.erase(key) == 0) return ERROR_INVALID_HANDLE;
  machine.devices.keyTargets.erase(key);
  return ERROR_SUCCESS;
}
