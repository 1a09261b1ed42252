#include "platform/sim/sim_machine.h"

#include <memory>

namespace sim {

namespace {
std::unique_ptr<Machine>& Instance() {
  static std::unique_ptr<Machine> machine = std::make_unique<Machine>();
  return machine;
}
}  // namespace

Machine& TheMachine() { return *Instance(); }

void ResetMachine() {
  Machine& old = TheMachine();
  for (HLOCAL buffer : old.liveBuffers) std::free(buffer);
  Instance() = std::make_unique<Machine>();
  SetLastError(0);
}

void Machine::Fail(Call call, DWORD code, int nth) {
  scheduled_[call][callsMade_[call] + nth] = code;
}

bool Machine::TakeFailure(Call call) {
  const int number = ++callsMade_[call];
  auto& schedule = scheduled_[call];
  auto found = schedule.find(number);
  if (found == schedule.end()) return false;
  SetLastError(found->second);
  schedule.erase(found);
  return true;
}

std::vector<Event> Machine::EventsOf(Call call) const {
  std::vector<Event> result;
  for (const Event& event : events) {
    if (event.call == call) result.push_back(event);
  }
  return result;
}

HANDLE Machine::NewHandle() {
  HANDLE handle = reinterpret_cast<HANDLE>(nextHandle_);
  nextHandle_ += 4;
  openHandles.insert(handle);
  return handle;
}

HMODULE Machine::NewModule() {
  HMODULE module = reinterpret_cast<HMODULE>(nextHandle_);
  nextHandle_ += 4;
  loadedModules.insert(module);
  return module;
}

}  // namespace sim
