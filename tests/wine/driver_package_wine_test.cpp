// Reads the driver package beside this program, as the build writes it, with the platform's own
// INF functions, and checks what the installer and Windows rely on:
// - the INF is Unicode and parses; its [Version] is a printer-class package of this release;
// - for x86, x64 and Arm64, [Manufacturer] leads to the model named exactly like the printer the
//   installer creates, and that model's install section builds on the core Unidrv driver;
// - every file the install section copies is in the package, and the package holds nothing
//   that the INF does not name;
// - the GPD names the same model, in the code page it declares;
// - the INF lists the USB devices of the installer's supported-device table, row for row.
#include <windows.h>
// After windows.h, which declares the types it uses.
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/port_choice.h"
#include "ports/supported_devices.h"
#include "tests/wine/wine_check.h"
#include "version.h"

namespace {

// The printer the installer creates, whose name is also the driver model it asks for.
const std::wstring kModel = kPrinterModelName;
const wchar_t kUnidrvCore[] = L"{D20EA372-DD35-4950-9ED8-A6335AFE79F0}";
const GUID kPrinterClass = {
    0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::wstring Upper(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), towupper);
  return text;
}

std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  CHECK(length > 0 && length < MAX_PATH);
  std::wstring directory(path, length);
  return directory.substr(0, directory.rfind(L'\\') + 1);
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// An open INF file, closed when it goes out of scope.
class Inf {
 public:
  explicit Inf(const std::wstring& path)
      : handle_(SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine_)) {
    if (handle_ == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "SetupOpenInfFileW failed (%lu) at line %u\n",
                   static_cast<unsigned long>(GetLastError()), errorLine_);
    }
  }
  Inf(const Inf&) = delete;
  Inf& operator=(const Inf&) = delete;
  ~Inf() {
    if (IsOpen()) SetupCloseInfFile(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HINF Get() const { return handle_; }

 private:
  UINT errorLine_ = 0;
  HINF handle_;
};

std::wstring Field(INFCONTEXT& line, DWORD index) {
  wchar_t text[512] = {};
  if (!SetupGetStringFieldW(&line, index, text, 512, nullptr)) return L"";
  return text;
}

std::vector<std::wstring> Fields(INFCONTEXT& line) {
  std::vector<std::wstring> fields;
  for (DWORD index = 1; index <= SetupGetFieldCount(&line); ++index) {
    fields.push_back(Field(line, index));
  }
  return fields;
}

// Every line of a section: its key (empty when it has none) and its fields.
struct Line {
  std::wstring key;
  std::vector<std::wstring> fields;
};

std::vector<Line> Lines(const Inf& inf, const std::wstring& section) {
  std::vector<Line> lines;
  INFCONTEXT line;
  for (BOOL more = SetupFindFirstLineW(inf.Get(), section.c_str(), nullptr, &line); more;
       more = SetupFindNextLine(&line, &line)) {
    wchar_t key[512] = {};
    const bool hasKey = SetupGetStringFieldW(&line, 0, key, 512, nullptr) &&
                        !(SetupGetFieldCount(&line) == 1 && Field(line, 1) == key);
    lines.push_back({hasKey ? key : L"", Fields(line)});
  }
  return lines;
}

bool HasSection(const Inf& inf, const std::wstring& section) {
  return SetupGetLineCountW(inf.Get(), section.c_str()) >= 0;
}

// The fields of the line with this key in section; empty when there is no such line.
std::vector<std::wstring> Values(const Inf& inf, const std::wstring& section,
                                 const std::wstring& key) {
  INFCONTEXT line;
  if (!SetupFindFirstLineW(inf.Get(), section.c_str(), key.c_str(), &line)) return {};
  return Fields(line);
}

std::wstring Value(const Inf& inf, const std::wstring& section, const std::wstring& key) {
  const std::vector<std::wstring> values = Values(inf, section, key);
  return values.size() == 1 ? values.front() : L"";
}

void CheckUnicodeWithByteOrderMark(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  CHECK(bytes.size() > 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE');
  CHECK(bytes.size() % 2 == 0);
}

void CheckVersionSection(const Inf& inf, const std::wstring& path) {
  GUID classGuid{};
  wchar_t className[64] = {};
  CHECK(SetupDiGetINFClassW(path.c_str(), &classGuid, className, 64, nullptr));
  CHECK(std::wstring(className) == L"Printer");
  CHECK(IsEqualGUID(classGuid, kPrinterClass));

  CHECK(Value(inf, L"Version", L"Signature") == L"$Windows NT$");
  CHECK(Value(inf, L"Version", L"Provider") == L"Velmora");
  CHECK(Value(inf, L"Version", L"CatalogFile") == L"VELS2.CAT");
  CHECK(Value(inf, L"Version", L"PnpLockdown") == L"1");
  const std::vector<std::wstring> driverVer = Values(inf, L"Version", L"DriverVer");
  CHECK(driverVer.size() == 2);
  if (driverVer.size() == 2) {
    CHECK(driverVer[0] + L"," + driverVer[1] == VELMORA_DRIVER_VER_WTEXT);
    CHECK(driverVer[1] == VELMORA_VERSION_WTEXT);
  }
}

// The install section of the model for this decoration, found as Windows finds it: through the
// models section that [Manufacturer] names for the decoration.
std::wstring InstallSectionFor(const Inf& inf, const std::wstring& decoration) {
  std::wstring install;
  int manufacturers = 0;
  for (const Line& manufacturer : Lines(inf, L"Manufacturer")) {
    ++manufacturers;
    CHECK(manufacturer.key == L"Velmora");
    const std::vector<std::wstring>& fields = manufacturer.fields;
    CHECK(!fields.empty());
    if (fields.empty()) continue;
    CHECK(std::find(fields.begin() + 1, fields.end(), decoration) != fields.end());
    const std::wstring models = fields.front() + L"." + decoration;
    CHECK(HasSection(inf, models));
    const std::vector<Line> lines = Lines(inf, models);
    CHECK(lines.size() == 1);
    for (const Line& line : lines) {
      CHECK(line.key == kModel);
      if (line.key != kModel) {
        std::fwprintf(stderr, L"%ls offers [%ls], not the installer's model\n", models.c_str(),
                      line.key.c_str());
        continue;
      }
      CHECK(!line.fields.empty());
      if (!line.fields.empty()) install = line.fields.front();
    }
  }
  CHECK(manufacturers == 1);
  CHECK(!install.empty());
  return install;
}

// The files the install section copies: "@file" entries, and the lines of named sections.
std::vector<std::wstring> CopiedFiles(const Inf& inf, const std::wstring& install) {
  std::vector<std::wstring> files;
  for (const std::wstring& entry : Values(inf, install, L"CopyFiles")) {
    if (!entry.empty() && entry[0] == L'@') {
      files.push_back(entry.substr(1));
      continue;
    }
    CHECK(HasSection(inf, entry));
    for (const Line& line : Lines(inf, entry)) {
      if (!line.fields.empty()) files.push_back(line.fields.front());
    }
  }
  return files;
}

void CheckInstallSection(const Inf& inf, const std::wstring& install,
                         const std::vector<std::wstring>& copied) {
  const std::wstring dataFile = Value(inf, install, L"DataFile");
  CHECK(dataFile == L"VELS2.GPD");
  CHECK(std::find(copied.begin(), copied.end(), dataFile) != copied.end());

  // The driver, its user interface and resources come from the core Unidrv package.
  const std::wstring core = Value(inf, install, L"CoreDriverSections");
  CHECK(core == std::wstring(kUnidrvCore) + L",UNIDRV.OEM,UNIDRV_DATA");
  CHECK(Value(inf, install, L"DriverFile").empty());
  for (const wchar_t* architecture : {L"x86", L"amd64", L"arm64"}) {
    const std::wstring section = std::wstring(L"PrinterPackageInstallation.") + architecture;
    CHECK(Upper(Value(inf, section, L"PackageAware")) == L"TRUE");
    CHECK(Value(inf, section, L"CoreDriverDependencies") == kUnidrvCore);
  }

  // Windows finds each copied file through [SourceDisksFiles] and [SourceDisksNames].
  for (const std::wstring& file : copied) {
    UINT sourceId = 0;
    DWORD size = 0;
    const BOOL listed =
        SetupGetSourceFileLocationW(inf.Get(), nullptr, file.c_str(), &sourceId, nullptr, 0, &size);
    CHECK(listed);
    if (!listed) std::fwprintf(stderr, L"%ls is not in [SourceDisksFiles]\n", file.c_str());
    wchar_t path[MAX_PATH] = {};
    CHECK(SetupGetSourceInfoW(inf.Get(), sourceId, SRCINFO_PATH, path, MAX_PATH, nullptr));
    CHECK(std::wstring(path).empty());
  }
}

UINT CALLBACK CollectSource(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
  if (notification == SPFILENOTIFY_QUEUESCAN_EX) {
    const auto* paths = reinterpret_cast<const FILEPATHS_W*>(param1);
    static_cast<std::vector<std::wstring>*>(context)->push_back(paths->Source);
  }
  return NO_ERROR;
}

// What the platform would copy for the install section, from the package folder: every source
// file must be there.
void CheckQueuedCopies(const Inf& inf, const std::wstring& install, const std::wstring& series,
                       const std::vector<std::wstring>& copied) {
  HSPFILEQ queue = SetupOpenFileQueue();
  CHECK(queue != INVALID_HANDLE_VALUE);
  if (queue == INVALID_HANDLE_VALUE) return;
  CHECK(SetupInstallFilesFromInfSectionW(inf.Get(), nullptr, queue, install.c_str(), series.c_str(),
                                         0));
  std::vector<std::wstring> sources;
  DWORD result = 0;
  CHECK(SetupScanFileQueueW(queue, SPQ_SCAN_USE_CALLBACKEX, nullptr, CollectSource, &sources,
                            &result));
  SetupCloseFileQueue(queue);
  CHECK(sources.size() == copied.size());
  for (const std::wstring& source : sources) {
    const bool present = GetFileAttributesW(source.c_str()) != INVALID_FILE_ATTRIBUTES;
    CHECK(present);
    if (!present) std::fwprintf(stderr, L"missing from the package: %ls\n", source.c_str());
    CHECK(Upper(source.substr(0, series.size())) == Upper(series));
  }
}

void ListFiles(const std::wstring& root, const std::wstring& relative,
               std::set<std::wstring>& files) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(root, relative + name + L"\\", files);
    } else {
      files.insert(Upper(relative + name));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// The package holds the INF, every file the INF names, and, once the package is signed, its
// catalog: nothing else.
void CheckPackageContents(const Inf& inf, const std::wstring& packageRoot,
                          const std::vector<std::wstring>& copied) {
  std::set<std::wstring> named = {L"SERIES2\\OEMPRINT.INF"};
  for (const std::wstring& file : copied) named.insert(Upper(L"series2\\" + file));
  for (const wchar_t* section : {L"SourceDisksFiles", L"SourceDisksFiles.x86",
                                 L"SourceDisksFiles.amd64", L"SourceDisksFiles.arm64"}) {
    for (const Line& line : Lines(inf, section)) named.insert(Upper(L"series2\\" + line.key));
  }
  std::set<std::wstring> present;
  ListFiles(packageRoot, L"", present);
  present.erase(Upper(L"series2\\" + Value(inf, L"Version", L"CatalogFile")));
  for (const std::wstring& file : named) {
    CHECK(present.count(file) == 1);
    if (present.count(file) == 0) std::fwprintf(stderr, L"missing: %ls\n", file.c_str());
  }
  for (const std::wstring& file : present) {
    if (named.count(file) == 0) std::fwprintf(stderr, L"not named by the INF: %ls\n", file.c_str());
    CHECK(named.count(file) == 1);
  }
}

// The text of a GPD entry's quoted value, decoded from the file's code page.
std::wstring GpdString(const std::string& gpd, const std::string& keyword, UINT codePage) {
  const std::string entry = "\n*" + keyword + ": \"";
  const size_t start = gpd.find(entry);
  if (start == std::string::npos) return L"";
  const size_t begin = start + entry.size();
  const std::string value = gpd.substr(begin, gpd.find('"', begin) - begin);
  wchar_t text[256] = {};
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, value.data(),
                                         static_cast<int>(value.size()), text, 255);
  return std::wstring(text, length > 0 ? length : 0);
}

void CheckGpdAgreesWithInf(const std::wstring& gpdPath) {
  const std::string gpd = ReadBytes(gpdPath);
  CHECK(gpd.find("\n*CodePage: 936\r") != std::string::npos);
  CHECK(GpdString(gpd, "ModelName", 936) == kModel);
  CHECK(GpdString(gpd, "GPDFileName", 936) == L"VELS2.GPD");
  const std::wstring majorMinor =
      std::to_wstring(VELMORA_VERSION_MAJOR) + L"." + std::to_wstring(VELMORA_VERSION_MINOR);
  CHECK(GpdString(gpd, "GPDFileVersion", 936) == majorMinor);
}

// The USB functions the INF lists are those the installer detects, in the table's order.
void CheckSupportedDevices(const Inf& inf) {
  std::vector<std::wstring> table;
  for (const SupportedDevice& device : SupportedDeviceTable) {
    table.push_back(std::wstring(L"USB\\VID_") + device.Vid + L"&PID_" + device.Pid);
  }
  std::vector<std::wstring> listed;
  for (const Line& line : Lines(inf, L"SupportedUsbDevices")) {
    CHECK(line.fields.size() == 1);
    if (!line.fields.empty()) listed.push_back(line.fields.front());
  }
  CHECK(listed == table);
  if (listed != table) {
    for (size_t row = 0; row < std::max(listed.size(), table.size()); ++row) {
      std::fwprintf(stderr, L"row %u: table %ls, INF %ls\n", static_cast<unsigned>(row + 1),
                    row < table.size() ? table[row].c_str() : L"-",
                    row < listed.size() ? listed[row].c_str() : L"-");
    }
  }
}

}  // namespace

int wmain() {
  const std::wstring packageRoot = ProgramDirectory() + L"PrinterDriver\\";
  const std::wstring series = packageRoot + L"series2\\";
  const std::wstring infPath = series + L"OEMPRINT.INF";

  CheckUnicodeWithByteOrderMark(infPath);
  const Inf inf(infPath);
  CHECK(inf.IsOpen());
  if (!inf.IsOpen()) return CheckResult();
  CheckVersionSection(inf, infPath);

  const std::wstring install = InstallSectionFor(inf, L"NTx86");
  CHECK(InstallSectionFor(inf, L"NTamd64") == install);
  CHECK(InstallSectionFor(inf, L"NTarm64") == install);
  const std::vector<std::wstring> copied = CopiedFiles(inf, install);
  CHECK(!copied.empty());
  CheckInstallSection(inf, install, copied);
  CheckQueuedCopies(inf, install, series, copied);
  CheckPackageContents(inf, packageRoot, copied);
  CheckGpdAgreesWithInf(series + L"VELS2.GPD");
  CheckSupportedDevices(inf);
  return CheckResult();
}
