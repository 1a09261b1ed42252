#include "install/printui_runner.h"

#include <optional>
#include <vector>

#include "sim_test.h"

namespace {

TEST(FormatCommandTest, ReplacesEachPlaceholderVerbatimOrRefusesTheWholeCommand) {
  WCHAR buffer[kCommandWidth] = {};
  EXPECT_EQ(FormatCommand(buffer, u"a \"%s\" b \"%s\" %%x", u"one", u"t\"wo"), 1);
  EXPECT_EQ(std::u16string(buffer), u"a \"one\" b \"t\"wo\" %%x");
  const std::u16string longest(kCommandWidth - 3, u'x');
  EXPECT_EQ(FormatCommand(buffer, u"<%s>", longest.c_str()), 1);
  EXPECT_EQ(std::u16string(buffer), u"<" + longest + u">");
  EXPECT_EQ(FormatCommand(buffer, u"<%s>!", longest.c_str()), 0) << "one character too many";
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(FormatCommand(buffer, u"%s %s", u"one"), 0);
  EXPECT_EQ(FormatCommand(buffer, u"%s", u"one", u"two"), 0);
}

TEST(LaunchErrorTextTest, NamesEachReasonAsTheShellDoes) {
  const std::pair<DWORD, std::u16string> cases[] = {
      {2, u"The specified file was not found."},
      {3, u"The specified path was not found."},
      {5, u"Access to the specified file is denied."},
      {8, u"There is not enough memory to perform the specified action."},
      {32, u"A sharing violation occurred."},
      {1155, u"There is no application associated with the given file name extension."},
      {1156, u"The Dynamic Data Exchange (DDE) transaction failed."},
      {1157, u"One of the library files necessary to run the application can't be found."},
      {1223,
       u"The function prompted the user for additional information, but the user canceled the "
       u"request."},
      {6, u"Other error occurred."},
      {206, u"Other error occurred."},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(LaunchErrorText(code), text) << code;
}

class RunPrintUiCommandTest : public SimTest {};

// The system's own rundll32, by full path, started in the system folder and waited for two
// minutes at most. Not knowing where it is counts as a failed launch, never a bare name.
TEST_F(RunPrintUiCommandTest, StartsTheSystemsOwnRundll32OrTellsWhyNot) {
  const std::u16string windows = u"C:\\Windows";
  const std::u16string system = u"C:\\Windows\\system32";
  const std::u16string deep = u"C:\\" + std::u16string(246, u'w');  // no room for the name
  const std::u16string overlong = u"C:\\" + std::u16string(300, u'w');
  const struct {
    std::u16string windows, system;
    std::optional<sim::Call> failing;
    std::u16string program;  // none: the launch fails
    DWORD code;
    bool wow64;
  } cases[] = {
      {windows, system, {}, system + u"\\rundll32.exe", 0, false},
      // A 32-bit program on 64-bit Windows reaches the 64-bit one through the alias only.
      {windows, system, {}, windows + u"\\Sysnative\\rundll32.exe", 0, true},
      {u"D:\\", system, {}, u"D:\\Sysnative\\rundll32.exe", 0, true},
      {windows, system, &WaitForSingleObject, system + u"\\rundll32.exe", ERROR_INVALID_HANDLE,
       false},
      {windows, system, &IsWow64Process, {}, ERROR_ACCESS_DENIED, false},
      {windows, system, &GetSystemWindowsDirectoryW, {}, ERROR_ACCESS_DENIED, true},
      {windows, system, &GetSystemDirectoryW, {}, ERROR_ACCESS_DENIED, true},
      {windows, deep, {}, {}, ERROR_FILENAME_EXCED_RANGE, false},
      {windows, overlong, {}, {}, ERROR_FILENAME_EXCED_RANGE, false},
      {deep, system, {}, {}, ERROR_FILENAME_EXCED_RANGE, true},
      {windows, system, &ShellExecuteExW, {}, ERROR_FILE_NOT_FOUND, false},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().wow64 = c.wow64;
    machine().windowsDirectory = c.windows;
    machine().systemDirectory = c.system;
    if (c.failing) machine().Fail(*c.failing, c.code);
    const bool launched = !c.program.empty();
    EXPECT_EQ(RunPrintUiCommand(u"PRINTUI.DLL,PrintUIEntry /il"), launched ? 1 : 0);
    if (launched) {
      ASSERT_EQ(machine().launches.size(), 1u);
      EXPECT_EQ(machine().launches[0].file, c.program);
      EXPECT_EQ(machine().launches[0].directory, system);
      EXPECT_EQ(machine().launches[0].parameters, u"PRINTUI.DLL,PrintUIEntry /il");
      EXPECT_EQ(machine().waits, std::vector<DWORD>{120000});
      EXPECT_TRUE(machine().boxes.empty());
    } else {
      EXPECT_EQ(machine().launches.size(), c.failing == &ShellExecuteExW ? 1u : 0u);
      EXPECT_TRUE(machine().waits.empty());
      ASSERT_EQ(machine().boxes.size(), 1u);
      EXPECT_EQ(machine().boxes[0].text, LaunchErrorText(c.code));
      EXPECT_EQ(machine().boxes[0].caption, u"ERROR");
      EXPECT_EQ(machine().boxes[0].style, MB_OK | MB_ICONERROR);
    }
    EXPECT_TRUE(machine().AllReleased()) << "the process handle is closed after the wait";
  }
}

}  // namespace
