// The texts in which port discovery hands back what it found: fixed-capacity UTF-16 texts
// (platform/fixed_text.h), the same on Windows and in the native build. The wizard copies
// them into its own string class where it shows them.
#pragma once

#include <cstddef>

#include "platform/fixed_text.h"

// A USB vendor or product ID: at most four characters.
constexpr std::size_t kIdLength = 4;
using IdText = FixedText<kIdLength + 1>;

// A spooler port name; as wide as the installation settings' port field, so that a port
// discovery hands back always fits there.
constexpr std::size_t kPortNameWidth = 200;
using PortNameText = FixedText<kPortNameWidth>;
