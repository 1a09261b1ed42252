// The names of the ports that the local print spooler knows, in the spooler's own order, for
// the manual port choice.
#pragma once

#include "ports/wide_string.h"

// Appends one name per spooler port to ports, in the spooler's order, and returns 1; nothing
// is appended when the spooler reports no ports. Returns 0 with ports unchanged when the
// spooler cannot be asked, the list grew between the size query and the fetch (no retry), or
// the record buffer cannot be had.
int EnumSpoolerPorts(WideStringList& ports);
