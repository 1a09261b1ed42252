// Checks that the install command fuzzer splits command lines as the platform does: for each
// seed of its corpus (a port's UTF-16 text), the seed taken as a whole command line and the
// install command formatted with it as the port must split the same way by the fuzzer's
// rules and by the real CommandLineToArgvW.
//   command_split_wine_test CORPUS_FOLDER
#include <windows.h>
// After windows.h, which declares the types it uses.
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/port_choice.h"
#include "fuzz/command_line_split.h"
#include "install/install_worker.h"
#include "install/printui_runner.h"
#include "tests/wine/wine_check.h"

namespace {

std::vector<ArgumentText> PlatformSplit(const WCHAR* line) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line, &count);
  CHECK(arguments != nullptr);
  if (arguments == nullptr) return {};
  std::vector<ArgumentText> split(arguments, arguments + count);
  LocalFree(arguments);
  return split;
}

void CheckSameSplit(const std::filesystem::path& seed, const WCHAR* line) {
  if (SplitCommandLine(line) == PlatformSplit(line)) return;
  std::fwprintf(stderr, L"%ls: split differs for [%ls]\n", seed.filename().c_str(), line);
  CHECK(false);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CHECK(argc == 2);
  if (argc != 2) return CheckResult();
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::ifstream file(entry.path().c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    ArgumentText port;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      port += static_cast<WCHAR>(static_cast<unsigned char>(bytes[i]) |
                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    WCHAR command[kCommandWidth] = {};
    CHECK(FormatCommand(command, kInstallTemplate, kPrinterModelName, L"C:\\Setup\\OEMPRINT.INF",
                        port.c_str(), kPrinterModelName) == 1);
    if (!port.empty()) CheckSameSplit(entry.path(), port.c_str());
    CheckSameSplit(entry.path(), command);
    ++seeds;
  }
  std::printf("%d seeds\n", seeds);
  CHECK(seeds >= 10);
  return CheckResult();
}
