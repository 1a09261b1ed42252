#include "install/printui_runner.h"

#include <optional>

#include "sim_test.h"

namespace {

using sim::Call;

class FormatCommandTest : public SimTest {};

TEST_F(FormatCommandTest, ReplacesEachPlaceholderInOrderVerbatim) {
  WCHAR buffer[kCommandWidth] = {};
  EXPECT_EQ(FormatCommand(buffer, u"a \"%s\" b \"%s\" %%x", u"one", u"t\"wo"), 1);
  EXPECT_EQ(std::u16string(buffer), u"a \"one\" b \"t\"wo\" %%x");
  EXPECT_EQ(FormatCommand(buffer, u"/r \"%s\" ", u""), 1);
  EXPECT_EQ(std::u16string(buffer), u"/r \"\" ");
}

TEST_F(FormatCommandTest, RefusesWhatDoesNotFitInsteadOfCuttingItShort) {
  WCHAR buffer[kCommandWidth] = {};
  const std::u16string longest(kCommandWidth - 3, u'x');
  EXPECT_EQ(FormatCommand(buffer, u"<%s>", longest.c_str()), 1);
  EXPECT_EQ(std::u16string(buffer).size(), kCommandWidth - 1);

  const std::u16string tooLong(kCommandWidth - 2, u'x');
  EXPECT_EQ(FormatCommand(buffer, u"<%s>", tooLong.c_str()), 0);
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(FormatCommandTest, RefusesArgumentsThatDoNotMatchThePlaceholders) {
  WCHAR buffer[kCommandWidth] = {};
  EXPECT_EQ(FormatCommand(buffer, u"%s %s", u"one"), 0);
  EXPECT_EQ(FormatCommand(buffer, u"%s", u"one", u"two"), 0);
  EXPECT_EQ(buffer[0], 0);
}

class RunPrintUiCommandTest : public SimTest {};

TEST_F(RunPrintUiCommandTest, LaunchesRundll32AndWaitsTwoMinutesAtMost) {
  machine().processDurations = {10, 500000};
  EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /y /q /n \"P\""), 1);
  EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 1);

  const auto launches = machine().EventsOf(Call::ShellExecuteExW);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].text, u"PRINTUI.DLL,PrintUIEntry /y /q /n \"P\"");
  EXPECT_EQ(launches[0].aux, u"open");
  EXPECT_EQ(launches[0].value, static_cast<std::uint64_t>(SW_SHOWNORMAL));
  EXPECT_EQ(launches[0].flags, SEE_MASK_NOCLOSEPROCESS);
  EXPECT_EQ(launches[0].owner, nullptr);
  for (const auto& wait : machine().EventsOf(Call::WaitForSingleObject)) {
    EXPECT_EQ(wait.value, kCommandTimeoutMs);
  }
  EXPECT_EQ(machine().EventsOf(Call::WaitForSingleObject).size(), 2u);
  EXPECT_TRUE(machine().EventsOf(Call::MessageBoxW).empty());
  EXPECT_TRUE(machine().AllReleased()) << "the process handle is closed after the wait";
}

TEST_F(RunPrintUiCommandTest, StartsTheMachinesOwnRundll32ByFullPathInTheSystemFolder) {
  const struct {
    bool wow64;
    std::u16string windows, system, program;
  } cases[] = {
      {false, u"C:\\Windows", u"C:\\Windows\\system32", u"C:\\Windows\\system32\\rundll32.exe"},
      // A 32-bit program on 64-bit Windows reaches the 64-bit one through the alias only.
      {true, u"C:\\Windows", u"C:\\Windows\\system32", u"C:\\Windows\\Sysnative\\rundll32.exe"},
      {true, u"D:\\", u"D:\\system32", u"D:\\Sysnative\\rundll32.exe"},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().wow64 = c.wow64;
    machine().windowsDirectory = c.windows;
    machine().systemDirectory = c.system;
    EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 1);
    const auto launches = machine().EventsOf(Call::ShellExecuteExW);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].detail, c.program);
    EXPECT_EQ(launches[0].directory, c.system);
    EXPECT_EQ(launches[0].text, u"PRINTUI.DLL,PrintUIEntry /il");
  }
}

// Not knowing where the system's rundll32 is counts as a failed launch: never a bare name.
TEST_F(RunPrintUiCommandTest, SystemFolderThatCannotBeToldIsAFailedLaunch) {
  const std::u16string windows = u"C:\\Windows";
  const std::u16string system = u"C:\\Windows\\system32";
  const std::u16string deep = u"C:\\" + std::u16string(246, u'w');  // 249 characters
  const std::u16string overlong = u"C:\\" + std::u16string(300, u'w');
  const std::u16string denied = u"Access to the specified file is denied.";
  // Paths that would not fit: ERROR_FILENAME_EXCED_RANGE, which has no text of its own.
  const std::u16string tooLong = u"Other error occurred.";
  const struct {
    bool wow64;
    std::optional<Call> failing;  // with ERROR_ACCESS_DENIED
    std::u16string windows, system, text;
  } cases[] = {
      {false, Call::IsWow64Process, windows, system, denied},
      {false, Call::GetSystemDirectoryW, windows, system, denied},
      {true, Call::GetSystemWindowsDirectoryW, windows, system, denied},
      {true, Call::GetSystemDirectoryW, windows, system, denied},
      {false, {}, windows, deep, tooLong},
      {false, {}, windows, overlong, tooLong},
      {true, {}, deep, system, tooLong},
      {true, {}, overlong, system, tooLong},
      {true, {}, windows, overlong, tooLong},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().wow64 = c.wow64;
    machine().windowsDirectory = c.windows;
    machine().systemDirectory = c.system;
    if (c.failing) machine().Fail(*c.failing, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 0);
    EXPECT_TRUE(machine().EventsOf(Call::ShellExecuteExW).empty());
    const auto boxes = machine().EventsOf(Call::MessageBoxW);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(boxes[0].detail, u"ERROR");
    EXPECT_TRUE(machine().AllReleased());
  }
}

TEST_F(RunPrintUiCommandTest, FailedWaitStillCountsAsLaunched) {
  machine().Fail(Call::WaitForSingleObject, ERROR_INVALID_HANDLE);
  EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 1);
  EXPECT_TRUE(machine().EventsOf(Call::MessageBoxW).empty());
  EXPECT_TRUE(machine().AllReleased()) << "the process handle is closed all the same";
}

TEST_F(RunPrintUiCommandTest, LaunchWithoutProcessHandleCountsAsLaunched) {
  machine().launchWithoutProcess = true;
  EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 1);
  EXPECT_TRUE(machine().EventsOf(Call::WaitForSingleObject).empty());
  EXPECT_TRUE(machine().EventsOf(Call::CloseHandle).empty());
}

TEST_F(RunPrintUiCommandTest, LaunchFailureShowsItsReasonAndYieldsZero) {
  const struct {
    DWORD code;
    std::u16string text;
  } cases[] = {
      {2, u"The specified file was not found."},
      {3, u"The specified path was not found."},
      {5, u"Access to the specified file is denied."},
      {8, u"There is not enough memory to perform the specified action."},
      {32, u"A sharing violation occurred."},
      {1155, u"There is no application associated with the given file name extension."},
      {1156, u"The Dynamic Data Exchange (DDE) transaction failed."},
      {1157, u"One of the library files necessary to run the application can't be found."},
      {1223,
       u"The function prompted the user for additional information, but the user "
       u"canceled the request."},
      {4, u"Other error occurred."},
      {6, u"Other error occurred."},
      {1158, u"Other error occurred."},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().Fail(Call::ShellExecuteExW, c.code);
    EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), 0);
    const auto boxes = machine().EventsOf(Call::MessageBoxW);
    ASSERT_EQ(boxes.size(), 1u) << c.code;
    EXPECT_EQ(boxes[0].text, c.text) << c.code;
    EXPECT_EQ(boxes[0].detail, u"ERROR");
    EXPECT_EQ(boxes[0].value, MB_OK | MB_ICONERROR);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(machine().EventsOf(Call::WaitForSingleObject).empty());
  }
}

}  // namespace
