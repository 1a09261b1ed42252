// Fuzzes the port in the install command: the input is the port's UTF-16 text. For every port
// that the port page installs on (IsInstallablePort), the install command formatted from the
// real template, split by the platform's argument rules, must give exactly the template's
// switches in order, with the printer name, the INF path and the port each one whole
// argument, unchanged.
#include <vector>

#include "app/port_choice.h"
#include "fuzz/command_line_split.h"
#include "fuzz/fuzz_input.h"
#include "install/printui_command.h"

// The INF of the package's copy, in a Windows folder with a blank and non-ASCII letters.
const WCHAR kInfPath[] =
    u"C:\\Windows 视窗\\Temp\\VelmoraSetup-0123456789abcdef0123456789abcdef\\OEMPRINT.INF";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ArgumentText port = Utf16Text(data, size);
  if (!IsInstallablePort(port.c_str())) return 0;

  WCHAR command[kCommandWidth] = {};
  Require(FormatCommand(command, kInstallTemplate, kPrinterModelName, kInfPath, port.c_str(),
                        kPrinterModelName) == 1);
  Require(SplitCommandLine(command) ==
          std::vector<ArgumentText>{u"PRINTUI.DLL,PrintUIEntry", u"/if", u"/n", kPrinterModelName,
                                    u"/f", kInfPath, u"/r", port, u"/m", kPrinterModelName});
  return 0;
}
