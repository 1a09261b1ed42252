#include "install/program_location.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The program's path as GetModuleFileNameW reports it into 260 characters: the folder and the
// INF below it, or nothing when the path has no folder, was cut short, or leaves the INF no
// room.
TEST(LocateProgramTest, TakesTheFolderOfAWholePathWhoseInfPathFits) {
  const std::u16string deepest = u"C:\\" + std::u16string(221, u'd') + u"\\";  // 225 characters
  const std::u16string truncated = u"C:\\" + std::u16string(10, u'a') + u"\\" +
                                   std::u16string(245, u'b');  // 259 of a 260-character path
  // The path's own length.
  constexpr DWORD kWhole = 0xFFFFFFFF;
  const struct {
    std::u16string path;
    DWORD length;
    std::u16string directory;  // empty: the location is unusable
  } cases[] = {
      {u"C:\\My Setup v1.2\\drv. files\\setup.v2.exe", kWhole, u"C:\\My Setup v1.2\\drv. files\\"},
      {u"D:\\install.exe", kWhole, u"D:\\"},
      {deepest + u"i.exe", kWhole, deepest},
      {u"C:\\d" + deepest.substr(3) + u"i.exe", kWhole, u""},
      {truncated, 260, u""},
      {u"install.exe", kWhole, u""},
  };
  for (const auto& c : cases) {
    WCHAR directory[kPathWidth];
    WCHAR infPath[kPathWidth];
    const DWORD length = c.length == kWhole ? static_cast<DWORD>(c.path.size()) : c.length;
    EXPECT_EQ(LocateProgram(c.path.c_str(), length, directory, infPath),
              c.directory.empty() ? 0 : 1);
    EXPECT_EQ(directory, c.directory);
    EXPECT_EQ(infPath,
              c.directory.empty() ? u"" : c.directory + u"PrinterDriver\\series2\\OEMPRINT.INF");
  }
}

}  // namespace
