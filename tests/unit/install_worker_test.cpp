#include "install/install_worker.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "install/install_settings.h"
#include "sim_test.h"

namespace {

using sim::Call;

const std::u16string kPrinter = u"Velmora针式打印机 系列2";

class InstallWorkerTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Locate(u"C:\\Drivers\\Setup\\install.exe");
    Prepare(kPrinter, u"USB001");
  }

  // The program at that path, with the driver package as this build wrote it beside it.
  void Locate(const std::u16string& modulePath) {
    machine().modulePath = modulePath;
    InitInstallSettings(InstallSettings);
    package.clear();
    const std::filesystem::path root = VELMORA_PACKAGE_ROOT;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::u16string path = InstallSettings.ProgramDirectory;
      for (char c : entry.path().lexically_relative(root).string()) path += c == '/' ? u'\\' : c;
      std::ifstream file(entry.path(), std::ios::binary);
      machine().files[path].assign(std::istreambuf_iterator<char>(file), {});
      package.push_back(path);
    }
  }
  std::vector<std::u16string> package;

  static void Prepare(const std::u16string& printer, const std::u16string& port) {
    printer.copy(InstallSettings.PrinterName, printer.size());
    InstallSettings.PrinterName[printer.size()] = 0;
    port.copy(InstallSettings.PortName, port.size());
    InstallSettings.PortName[port.size()] = 0;
    InstallSettings.SetAsDefault = 1;
  }

  // The install command adds the printer, as the platform's entry point would.
  void InstallCommandAddsPrinter() {
    machine().onLaunch = [this](const SHELLEXECUTEINFOW& info) {
      if (std::u16string(info.lpParameters).find(u"/if") != std::u16string::npos) {
        machine().printers.push_back(InstallSettings.PrinterName);
      }
    };
  }

  LONG RunWorker() {
    InstallOutcome outcome;
    InstallWorker(&outcome);
    return outcome.InstallResult;
  }

  // The worker's visible steps in order: launches, pauses and spooler queries.
  std::vector<std::string> Steps() {
    std::vector<std::string> steps;
    for (const sim::Event& e : machine().events) {
      if (e.call == Call::ShellExecuteExW) {
        steps.push_back(e.text.find(u"/if") != std::u16string::npos ? "install" : "default");
      } else if (e.call == Call::Sleep) {
        steps.push_back("sleep " + std::to_string(e.value));
      } else if (e.call == Call::EnumPrintersW) {
        steps.push_back("enum");
      }
    }
    return steps;
  }
};

TEST_F(InstallWorkerTest, FormatsTheExactCommandLines) {
  InstallCommandAddsPrinter();
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  const auto launches = machine().EventsOf(Call::ShellExecuteExW);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].text, u"PRINTUI.DLL,PrintUIEntry /if /n \"" + kPrinter +
                                  u"\" /f \"C:\\Drivers\\Setup\\PrinterDriver\\series2\\"
                                  u"OEMPRINT.INF\" /r \"USB001\" /m \"" +
                                  kPrinter + u"\" ");
  EXPECT_EQ(launches[1].text, u"PRINTUI.DLL,PrintUIEntry /y /q /n \"" + kPrinter + u"\"");
}

TEST_F(InstallWorkerTest, EmptyPortIsPassedAsEmptyQuotes) {
  Prepare(kPrinter, u"");
  RunWorker();
  const auto launches = machine().EventsOf(Call::ShellExecuteExW);
  ASSERT_FALSE(launches.empty());
  EXPECT_NE(launches[0].text.find(u"/r \"\" /m"), std::u16string::npos);
}

TEST_F(InstallWorkerTest, LongestPossibleCommandOf909CharactersFits) {
  Locate(u"C:\\" + std::u16string(221, u'd') + u"\\i.exe");
  Prepare(std::u16string(199, u'p'), std::u16string(199, u'r'));
  RunWorker();
  const auto launches = machine().EventsOf(Call::ShellExecuteExW);
  ASSERT_FALSE(launches.empty());
  EXPECT_EQ(launches[0].text.size(), 909u);
}

TEST_F(InstallWorkerTest, SuccessRunsInstallThenDefaultThenPublishesAfterThePause) {
  InstallCommandAddsPrinter();
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  const std::vector<std::string> expected = {"install", "sleep 500", "enum",
                                             "enum",    "default",   "sleep 100"};
  EXPECT_EQ(Steps(), expected);
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(InstallWorkerTest, WithoutSetAsDefaultOnlyTheInstallCommandRuns) {
  InstallCommandAddsPrinter();
  InstallSettings.SetAsDefault = 0;
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  const std::vector<std::string> expected = {"install", "sleep 500", "enum", "enum", "sleep 100"};
  EXPECT_EQ(Steps(), expected);
}

TEST_F(InstallWorkerTest, FailedInstallPublishesAtOnceWithoutSecondCommand) {
  // Launched, but nothing was added.
  EXPECT_EQ(RunWorker(), kInstallFailed);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"install", "sleep 500", "enum", "enum"}));

  // Not even launched: the user saw why, and no pause follows.
  sim::ResetMachine();
  Locate(machine().modulePath);
  machine().Fail(Call::ShellExecuteExW, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RunWorker(), kInstallFailed);
  EXPECT_EQ(Steps(), (std::vector<std::string>{"install"}));
  EXPECT_EQ(machine().EventsOf(Call::MessageBoxW).size(), 1u);
}

TEST_F(InstallWorkerTest, SetDefaultLaunchFailureStillSucceeds) {
  InstallCommandAddsPrinter();
  machine().Fail(Call::ShellExecuteExW, ERROR_ACCESS_DENIED, 2);
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  EXPECT_EQ(machine().EventsOf(Call::MessageBoxW).size(), 1u);
  EXPECT_EQ(Steps().back(), "sleep 100");
}

TEST_F(InstallWorkerTest, UnusableProgramLocationFailsWithoutLaunching) {
  InstallSettings.ProgramLocationUsable = 0;
  EXPECT_EQ(RunWorker(), kInstallFailed);
  EXPECT_TRUE(machine().EventsOf(Call::ShellExecuteExW).empty());
}

TEST_F(InstallWorkerTest, ChecksEveryPackageFileAndHoldsItUntilTheCommandHasEnded) {
  std::size_t heldAtLaunch = 0;
  machine().onLaunch = [&](const SHELLEXECUTEINFOW&) {
    if (heldAtLaunch == 0) heldAtLaunch = machine().openHandles.size();
    machine().printers.push_back(kPrinter);
  };
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  std::vector<std::u16string> opened;
  for (const sim::FileOpen& open : machine().devices.fileOpens) {
    opened.push_back(open.path);
    EXPECT_EQ(open.access, GENERIC_READ);
    EXPECT_EQ(open.shareMode, FILE_SHARE_READ);
    EXPECT_EQ(open.disposition, OPEN_EXISTING);
  }
  std::sort(opened.begin(), opened.end());
  std::sort(package.begin(), package.end());
  EXPECT_EQ(opened, package);
  EXPECT_EQ(heldAtLaunch, package.size() + 1);  // and the install command's process
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(InstallWorkerTest, PackageThatDiffersOrCannotBeCheckedIsNotInstalled) {
  const std::u16string gpd = u"C:\\Drivers\\Setup\\PrinterDriver\\series2\\VELS2.GPD";
  const std::pair<const char*, std::function<void()>> faults[] = {
      {"one byte changed", [&] { machine().files[gpd][100] ^= 1; }},
      {"one byte added", [&] { machine().files[gpd] += ' '; }},
      {"file missing", [&] { machine().files.erase(gpd); }},
      {"second file held by another",
       [&] { machine().Fail(Call::CreateFileW, ERROR_SHARING_VIOLATION, 2); }},
      {"read", [&] { machine().Fail(Call::ReadFile, ERROR_ACCESS_DENIED); }},
      {"provider", [&] { machine().Fail(Call::CryptAcquireContextW, ERROR_NOT_ENOUGH_MEMORY); }},
      {"second hash", [&] { machine().Fail(Call::CryptCreateHash, ERROR_NOT_ENOUGH_MEMORY, 2); }},
      {"hashing", [&] { machine().Fail(Call::CryptHashData, ERROR_NOT_ENOUGH_MEMORY); }},
      {"digest", [&] { machine().Fail(Call::CryptGetHashParam, ERROR_NOT_ENOUGH_MEMORY); }},
  };
  for (const auto& [name, apply] : faults) {
    SCOPED_TRACE(name);
    sim::ResetMachine();
    Locate(machine().modulePath);
    InstallCommandAddsPrinter();
    apply();
    EXPECT_EQ(RunWorker(), kInstallFailed);
    EXPECT_TRUE(machine().EventsOf(Call::ShellExecuteExW).empty());
    EXPECT_TRUE(machine().EventsOf(Call::MessageBoxW).empty());
    EXPECT_TRUE(machine().AllReleased());
  }
}

class PrinterExistsTest : public SimTest {};

TEST_F(PrinterExistsTest, MatchesCaseSensitivePrefixOfAnyLocalPrinter) {
  machine().printers = {u"Other", kPrinter + u" (副本 1)"};
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 1);
  machine().printers = {u"velmora针式打印机 系列2", u"Velmora针式打印机"};
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  machine().printers = {};
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(PrinterExistsTest, AnySpoolerFailureCountsAsAbsent) {
  machine().printers = {kPrinter};
  machine().Fail(Call::EnumPrintersW, RPC_S_SERVER_UNAVAILABLE);
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  machine().Fail(Call::EnumPrintersW, ERROR_INVALID_PARAMETER, 2);
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  machine().Fail(Call::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  // The list grew between the size query and the fetch.
  machine().afterPrinterSizeQuery = [this] { machine().printers.push_back(u"Late"); };
  EXPECT_EQ(PrinterExists(kPrinter.c_str()), 0);
  EXPECT_TRUE(machine().AllReleased());
}

// The spooler library cannot be had: the printer counts as absent and the install fails.
TEST_F(InstallWorkerTest, SpoolerThatCannotBeLoadedFailsTheInstall) {
  const struct {
    Call failing;
    int nth;
  } cases[] = {
      {Call::GetSystemDirectoryW, 3},  // the first two are the runner's
      {Call::LoadLibraryExW, 1},
      {Call::GetProcAddress, 2},  // EnumPrintersW
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    Locate(u"C:\\Drivers\\Setup\\install.exe");
    InstallCommandAddsPrinter();
    machine().Fail(c.failing, ERROR_NOT_ENOUGH_MEMORY, c.nth);
    EXPECT_EQ(RunWorker(), kInstallFailed);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"install", "sleep 500"}));
    EXPECT_TRUE(machine().AllReleased());
  }
}

TEST_F(InstallWorkerTest, MemoryExhaustionPublishesFailure) {
  InstallCommandAddsPrinter();
  machine().Fail(Call::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(RunWorker(), kInstallFailed);
}

TEST_F(InstallWorkerTest, PrinterThatAlreadyExistedMakesTheInstallSucceed) {
  machine().printers = {kPrinter};
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
}

}  // namespace
