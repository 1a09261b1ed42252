// The names of the ports that the local print spooler knows, in the spooler's own order, for
// the manual port choice.
#pragma once

#include "platform/win32.h"

// Receives the spooler's port names. Callers implement it; nobody deletes one through this
// class.
class PortNameSink {
 public:
  // Called once per port, in the spooler's order. name lives only during the call.
  virtual void Add(const WCHAR* name) = 0;

 protected:
  ~PortNameSink() = default;
};

// Hands one name per spooler port to sink, in the spooler's order, and returns 1; nothing is
// handed over when the spooler reports no ports. Returns 0, nothing handed over, when the
// spooler cannot be asked, the list grew between the size query and the fetch (no retry), or
// the record buffer cannot be had: names are handed over only once the fetch has succeeded.
int EnumSpoolerPorts(PortNameSink& sink);
