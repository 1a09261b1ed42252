// Reads the driver package beside this program, as the build writes it, with the platform's own
// INF functions, and checks what the installer and Windows rely on: a printer-class INF of this
// release whose [Manufacturer] leads, for x86, x64 and Arm64, to the model named exactly like
// the printer the installer creates, built on the core Unidrv driver; the package holding just
// the files the INF copies (and its catalog); the GPD naming the same model; and the INF
// listing the USB devices of the installer's supported-device table, row for row.
#include <windows.h>
// After windows.h, which declares the types it uses.
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/port_choice.h"
#include "ports/supported_devices.h"
#include "tests/wine/wine_check.h"
#include "version.h"

namespace {

const std::wstring kModel = kPrinterModelName;
const wchar_t kUnidrvCore[] = L"{D20EA372-DD35-4950-9ED8-A6335AFE79F0}";

// The fields of each line of a section, the key first (empty when the line has none).
std::vector<std::vector<std::wstring>> Lines(HINF inf, const wchar_t* section) {
  std::vector<std::vector<std::wstring>> lines;
  INFCONTEXT line;
  for (BOOL more = SetupFindFirstLineW(inf, section, nullptr, &line); more;
       more = SetupFindNextLine(&line, &line)) {
    std::vector<std::wstring> fields;
    for (DWORD i = 0; i <= SetupGetFieldCount(&line); ++i) {
      wchar_t text[512] = {};
      SetupGetStringFieldW(&line, i, text, 512, nullptr);
      fields.emplace_back(text);
    }
    // A line without a key gives its first field as its key.
    if (fields.size() == 2 && fields[0] == fields[1]) fields[0].clear();
    lines.push_back(fields);
  }
  return lines;
}

// The value of a key in a section, all its fields joined by commas.
std::wstring Value(HINF inf, const wchar_t* section, const wchar_t* key) {
  for (const auto& line : Lines(inf, section)) {
    if (_wcsicmp(line[0].c_str(), key) != 0) continue;
    std::wstring value;
    for (size_t i = 1; i < line.size(); ++i) value += (i > 1 ? L"," : L"") + line[i];
    return value;
  }
  return L"";
}

UINT CALLBACK CollectSource(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
  if (notification == SPFILENOTIFY_QUEUESCAN_EX) {
    static_cast<std::set<std::wstring>*>(context)->insert(
        CharUpperW(const_cast<wchar_t*>(reinterpret_cast<const FILEPATHS_W*>(param1)->Source)));
  }
  return NO_ERROR;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH] = {};
  const std::wstring program(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  const std::wstring series =
      program.substr(0, program.rfind(L'\\')) + L"\\PrinterDriver\\series2\\";
  const std::wstring infPath = series + L"OEMPRINT.INF";
  const HINF inf = SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  CHECK(inf != INVALID_HANDLE_VALUE);
  if (inf == INVALID_HANDLE_VALUE) return CheckResult();

  GUID classGuid{};
  wchar_t className[64] = {};
  CHECK(SetupDiGetINFClassW(infPath.c_str(), &classGuid, className, 64, nullptr));
  CHECK(std::wstring(className) == L"Printer");
  CHECK(ReadBytes(infPath).rfind("\xFF\xFE", 0) == 0);
  const std::wstring driverVer = VELMORA_DRIVER_VER_WTEXT;
  for (const auto& [section, key, value] : {
           std::tuple{L"Version", L"Signature", L"$Windows NT$"},
           std::tuple{L"Version", L"Provider", L"Velmora"},
           std::tuple{L"Version", L"CatalogFile", L"VELS2.CAT"},
           std::tuple{L"Version", L"PnpLockdown", L"1"},
           std::tuple{L"Version", L"DriverVer", driverVer.c_str()},
           std::tuple{L"PrinterPackageInstallation.x86", L"PackageAware", L"TRUE"},
           std::tuple{L"PrinterPackageInstallation.amd64", L"PackageAware", L"TRUE"},
           std::tuple{L"PrinterPackageInstallation.arm64", L"PackageAware", L"TRUE"},
       }) {
    CHECK(Value(inf, section, key) == value);
  }

  // Windows finds the model through the models section [Manufacturer] names for its processor.
  const auto manufacturers = Lines(inf, L"Manufacturer");
  CHECK(manufacturers.size() == 1 && manufacturers[0].size() >= 2);
  if (manufacturers.size() != 1 || manufacturers[0].size() < 2) return CheckResult();
  std::wstring install;
  for (const wchar_t* decoration : {L"NTx86", L"NTamd64", L"NTarm64"}) {
    const auto& fields = manufacturers[0];
    CHECK(std::find(fields.begin() + 2, fields.end(), decoration) != fields.end());
    const auto models = Lines(inf, (fields[1] + L"." + decoration).c_str());
    CHECK(models.size() == 1 && models[0].size() >= 2 && models[0][0] == kModel);
    if (models.size() != 1 || models[0].size() < 2) continue;
    CHECK(install.empty() || install == models[0][1]);
    install = models[0][1];
  }
  CHECK(Value(inf, install.c_str(), L"DataFile") == L"VELS2.GPD");
  CHECK(Value(inf, install.c_str(), L"CoreDriverSections") ==
        std::wstring(kUnidrvCore) + L",UNIDRV.OEM,UNIDRV_DATA");

  // The platform would copy every file of the package but the INF and the catalog, and
  // nothing else, all from the package's folder.
  std::set<std::wstring> copied;
  const HSPFILEQ queue = SetupOpenFileQueue();
  CHECK(SetupInstallFilesFromInfSectionW(inf, nullptr, queue, install.c_str(), series.c_str(), 0));
  DWORD result = 0;
  CHECK(SetupScanFileQueueW(queue, SPQ_SCAN_USE_CALLBACKEX, nullptr, CollectSource, &copied,
                            &result));
  SetupCloseFileQueue(queue);
  std::set<std::wstring> present;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((series + L"*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    const std::wstring name = CharUpperW(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name != L"OEMPRINT.INF" &&
        name != L"VELS2.CAT") {
      present.insert(CharUpperW(const_cast<wchar_t*>((series + name).c_str())));
    }
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  CHECK(!copied.empty());
  CHECK(copied == present);

  const std::string gpd = ReadBytes(series + L"VELS2.GPD");
  CHECK(gpd.find("\n*CodePage: 936\r") != std::string::npos);
  const size_t name = gpd.find("\n*ModelName: \"") + 14;
  wchar_t model[128] = {};
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gpd.data() + name,
                      static_cast<int>(gpd.find('"', name) - name), model, 127);
  CHECK(model == kModel);

  std::vector<std::wstring> table;
  for (const SupportedDevice& device : SupportedDeviceTable) {
    table.push_back(std::wstring(L"USB\\VID_") + device.Vid + L"&PID_" + device.Pid);
  }
  std::vector<std::wstring> listed;
  for (const auto& line : Lines(inf, L"SupportedUsbDevices")) listed.push_back(line.back());
  CHECK(listed == table);
  SetupCloseInfFile(inf);
  return CheckResult();
}
