#include "install/install_worker.h"

#include <functional>
#include <optional>
#include <vector>

#include "install/install_settings.h"
#include "install/package_integrity.h"
#include "sim_test.h"

namespace {

const std::u16string kPrinter = u"Velmora针式打印机 系列2";
const std::u16string kDirectory = u"C:\\Drivers\\Setup\\";

class InstallWorkerTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Locate(kDirectory + u"install.exe");
  }

  // The program at that path, with the driver package it was built with beside it: files of
  // more than one read each, and the digests the build took of them.
  static void Locate(const std::u16string& program) {
    machine().modulePath = program;
    InitInstallSettings(InstallSettings);
    for (std::size_t i = 0; i < kDriverPackageFileCount; ++i) {
      const std::string bytes(5000, static_cast<char>('a' + i));
      machine().files[std::u16string(InstallSettings.ProgramDirectory) +
                      kDriverPackageFiles[i].RelativePath] = bytes;
      machine().digests[bytes].assign(std::begin(kDriverPackageFiles[i].Sha256),
                                      std::end(kDriverPackageFiles[i].Sha256));
    }
    Prepare(kPrinter, u"USB001");
  }

  static void Prepare(const std::u16string& printer, const std::u16string& port) {
    InstallSettings.PrinterName[printer.copy(InstallSettings.PrinterName, kNameWidth - 1)] = 0;
    InstallSettings.PortName[port.copy(InstallSettings.PortName, kNameWidth - 1)] = 0;
    InstallSettings.SetAsDefault = 1;
  }

  static LONG RunWorker() {
    InstallOutcome outcome;
    InstallWorker(&outcome);
    return outcome.InstallResult;
  }
};

TEST_F(InstallWorkerTest, InstallsFromTheHeldPackageThenSetsTheDefaultWithTheExactCommands) {
  std::size_t heldAtLaunch = 0;
  machine().onLaunch = [&heldAtLaunch] {
    if (heldAtLaunch == 0) heldAtLaunch = machine().held.size();
    machine().printers = {kPrinter};
  };
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  ASSERT_EQ(machine().launches.size(), 2u);
  EXPECT_EQ(machine().launches[0].parameters,
            u"PRINTUI.DLL,PrintUIEntry /if /n \"" + kPrinter +
                u"\" /f \"C:\\Drivers\\Setup\\PrinterDriver\\series2\\OEMPRINT.INF\" /r \"USB001\" "
                u"/m \"" +
                kPrinter + u"\" ");
  EXPECT_EQ(machine().launches[1].parameters,
            u"PRINTUI.DLL,PrintUIEntry /y /q /n \"" + kPrinter + u"\"");
  // The pause before the printer is looked for, and the one before success is published.
  EXPECT_EQ(machine().sleeps, (std::vector<DWORD>{500, 100}));
  // Every package file, read with read sharing only, is held while the command runs.
  for (const sim::FileOpen& open : machine().opens) {
    EXPECT_EQ(open.access, GENERIC_READ);
    EXPECT_EQ(open.shareMode, FILE_SHARE_READ);
  }
  EXPECT_EQ(heldAtLaunch, kDriverPackageFileCount + 1) << "and the command's process";
  EXPECT_TRUE(machine().AllReleased());
}

TEST_F(InstallWorkerTest, FailureIsPublishedAtOnceWithoutTheSecondCommand) {
  EXPECT_EQ(RunWorker(), kInstallFailed);  // launched, but nothing was added
  EXPECT_EQ(machine().launches.size(), 1u);
  EXPECT_EQ(machine().sleeps, std::vector<DWORD>{500});
  // Not even launched: the user saw why, and no pause follows.
  machine().Fail(&ShellExecuteExW, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RunWorker(), kInstallFailed);
  EXPECT_EQ(machine().launches.size(), 2u);
  EXPECT_EQ(machine().sleeps.size(), 1u);
  EXPECT_EQ(machine().boxes.size(), 1u);
}

TEST_F(InstallWorkerTest, TheDefaultCommandIsOptionalAndItsFailureHarmless) {
  machine().printers = {kPrinter};
  InstallSettings.SetAsDefault = 0;
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  EXPECT_EQ(machine().launches.size(), 1u);
  InstallSettings.SetAsDefault = 1;
  machine().Fail(&ShellExecuteExW, ERROR_ACCESS_DENIED, 2);
  EXPECT_EQ(RunWorker(), kInstallSucceeded);
  EXPECT_EQ(machine().launches.size(), 3u);
  EXPECT_EQ(machine().boxes.size(), 1u);
}

TEST_F(InstallWorkerTest, LongestPossibleCommandOf909CharactersFits) {
  Locate(u"C:\\" + std::u16string(221, u'd') + u"\\i.exe");
  Prepare(std::u16string(199, u'p'), std::u16string(199, u'r'));
  RunWorker();
  ASSERT_EQ(machine().launches.size(), 1u);
  EXPECT_EQ(machine().launches[0].parameters.size(), 909u);
}

TEST_F(InstallWorkerTest, PackageThatDiffersOrCannotBeCheckedIsNotInstalled) {
  const std::u16string file = kDirectory + kDriverPackageFiles[1].RelativePath;
  const std::pair<const char*, std::function<void()>> faults[] = {
      {"one byte changed", [&] { machine().files[file][4500] ^= 1; }},
      {"one byte added", [&] { machine().files[file] += ' '; }},
      {"file missing", [&] { machine().files.erase(file); }},
      {"second file held by another",
       [] { machine().Fail(&CreateFileW, ERROR_SHARING_VIOLATION, 2); }},
      {"read", [] { machine().Fail(&ReadFile, ERROR_ACCESS_DENIED); }},
      {"provider", [] { machine().Fail(&CryptAcquireContextW, ERROR_NOT_ENOUGH_MEMORY); }},
      {"second hash", [] { machine().Fail(&CryptCreateHash, ERROR_NOT_ENOUGH_MEMORY, 2); }},
      {"hashing", [] { machine().Fail(&CryptHashData, ERROR_NOT_ENOUGH_MEMORY); }},
      {"digest", [] { machine().Fail(&CryptGetHashParam, ERROR_NOT_ENOUGH_MEMORY); }},
      {"program location unusable", [] { InstallSettings.ProgramLocationUsable = 0; }},
  };
  for (const auto& [name, apply] : faults) {
    SCOPED_TRACE(name);
    sim::ResetMachine();
    Locate(kDirectory + u"install.exe");
    machine().printers = {kPrinter};
    apply();
    EXPECT_EQ(RunWorker(), kInstallFailed);
    EXPECT_TRUE(machine().launches.empty());
    EXPECT_TRUE(machine().boxes.empty());
    EXPECT_TRUE(machine().AllReleased());
  }
}

// Installed means a local printer's name begins with the printer's, letter case counting; a
// spooler that cannot be asked, or memory that runs out, means not installed.
TEST_F(InstallWorkerTest, ThePrintersPresenceDecides) {
  const struct {
    std::vector<std::u16string> printers;
    std::optional<sim::Call> failing;
    int nth;
    LONG result;
  } cases[] = {
      {{u"Other", kPrinter + u" (副本 1)"}, {}, 0, kInstallSucceeded},
      {{u"velmora针式打印机 系列2", u"Velmora针式打印机"}, {}, 0, kInstallFailed},
      {{kPrinter}, &EnumPrintersW, 1, kInstallFailed},
      {{kPrinter}, &EnumPrintersW, 2, kInstallFailed},
      {{kPrinter}, &LocalAlloc, 1, kInstallFailed},
      {{kPrinter}, &GetSystemDirectoryW, 3, kInstallFailed},  // the first two: rundll32's
      {{kPrinter}, &LoadLibraryExW, 1, kInstallFailed},
      {{kPrinter}, &GetProcAddress, 2, kInstallFailed},  // EnumPrintersW
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    Locate(kDirectory + u"install.exe");
    machine().printers = c.printers;
    if (c.failing) machine().Fail(*c.failing, ERROR_NOT_ENOUGH_MEMORY, c.nth);
    EXPECT_EQ(RunWorker(), c.result);
    EXPECT_TRUE(machine().AllReleased());
  }
}

}  // namespace
