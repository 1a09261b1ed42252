// The one include for the platform API. Windows builds get the real headers; native builds
// get the simulated subset, which declares the same names with the same layouts and codes.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <setupapi.h>
#include <wincrypt.h>
#include <winspool.h>
#else
#include "platform/sim/simwin32.h"
#endif
