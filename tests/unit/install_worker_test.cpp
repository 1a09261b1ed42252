#include "install/install_worker.h"

#include <optional>
#include <vector>

#include "install/install_settings.h"
#include "install/package_integrity.h"
#include "sim_test.h"

namespace {

const std::u16string kPrinter = u"Velmora针式打印机 系列2";

class InstallWorkerTest : public SimTest {
 protected:
  void SetUp() override { Fresh(); }

  // A fresh machine, and the driver package the program was built with beside the program:
  // files of more than one read each, with the digests the build took of them.
  static void Fresh() {
    sim::ResetMachine();
    InitInstallSettings(InstallSettings);
    for (std::size_t i = 0; i < kDriverPackageFileCount; ++i) {
      const PackageFileDigest& file = kDriverPackageFiles[i];
      const std::string bytes(5000, static_cast<char>('a' + i));
      machine().files[std::u16string(InstallSettings.ProgramDirectory) + file.RelativePath] = bytes;
      machine().digests[bytes].assign(std::begin(file.Sha256), std::end(file.Sha256));
    }
    Set(InstallSettings.PrinterName, kPrinter);
    Set(InstallSettings.PortName, u"USB001");
    InstallSettings.SetAsDefault = 1;
  }
  static void Set(WCHAR (&field)[kNameWidth], const std::u16string& text) {
    field[text.copy(field, kNameWidth - 1)] = 0;
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

// Installed means a local printer's name begins with the printer's, letter case counting; a
// spooler that cannot be asked, or memory that runs out, means not installed. The default
// command follows only an installed printer, only when asked for, and may fail.
TEST_F(InstallWorkerTest, TheOutcomeIsThePrintersPresence) {
  const struct {
    std::vector<std::u16string> printers;
    std::optional<sim::Call> failing;
    int nth;
    LONG setAsDefault, result;
    std::size_t launches;
  } cases[] = {
      {{u"Other", kPrinter + u" (副本 1)"}, {}, 0, 1, kInstallSucceeded, 2},
      {{u"velmora针式打印机 系列2", u"Velmora针式打印机"}, {}, 0, 1, kInstallFailed, 1},
      {{kPrinter}, {}, 0, 0, kInstallSucceeded, 1},
      {{kPrinter}, &ShellExecuteExW, 2, 1, kInstallSucceeded, 2},
      {{kPrinter}, &ShellExecuteExW, 1, 1, kInstallFailed, 1},
      {{kPrinter}, &EnumPrintersW, 1, 1, kInstallFailed, 1},
      {{kPrinter}, &LocalAlloc, 1, 1, kInstallFailed, 1},
      {{kPrinter}, &CryptCreateHash, 1, 1, kInstallFailed, 0},  // the package cannot be checked
  };
  for (const auto& c : cases) {
    Fresh();
    machine().printers = c.printers;
    InstallSettings.SetAsDefault = c.setAsDefault;
    if (c.failing) machine().Fail(*c.failing, ERROR_ACCESS_DENIED, c.nth);
    EXPECT_EQ(RunWorker(), c.result);
    EXPECT_EQ(machine().launches.size(), c.launches);
    EXPECT_EQ(machine().boxes.size(), c.failing == &ShellExecuteExW ? 1u : 0u);
    EXPECT_TRUE(machine().AllReleased());
  }
}

}  // namespace
