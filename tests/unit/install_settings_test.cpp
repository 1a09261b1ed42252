#include "install/install_settings.h"

#include "sim_test.h"

namespace {

class InstallSettingsTest : public SimTest {};

TEST_F(InstallSettingsTest, DerivesTheFoldersFromTheProgramOrRefusesAPathThatDoesNotFit) {
  const std::u16string deepest = u"C:\\" + std::u16string(221, u'd') + u"\\";  // 225 characters
  const struct {
    std::u16string program, directory;  // no directory: the location is unusable
  } cases[] = {
      {u"C:\\My Setup v1.2\\drv. files\\setup.v2.exe", u"C:\\My Setup v1.2\\drv. files\\"},
      {u"D:\\install.exe", u"D:\\"},
      {deepest + u"i.exe", deepest},
      {u"C:\\d" + deepest.substr(3) + u"i.exe", u""},
      // 260 characters: the platform truncates it to 259, which would name another folder.
      {u"C:\\" + std::u16string(10, u'a') + u"\\" + std::u16string(246, u'b'), u""},
      {u"install.exe", u""},
  };
  for (const auto& c : cases) {
    machine().modulePath = c.program;
    const InstallSettingsRecord settings;
    EXPECT_EQ(settings.ProgramDirectory, c.directory);
    EXPECT_EQ(settings.InfPath,
              c.directory.empty() ? u"" : c.directory + u"PrinterDriver\\series2\\OEMPRINT.INF");
    EXPECT_EQ(settings.ProgramLocationUsable, c.directory.empty() ? 0 : 1);
  }
  machine().Fail(&GetModuleFileNameW, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(InstallSettingsRecord().ProgramLocationUsable, 0);
}

}  // namespace
