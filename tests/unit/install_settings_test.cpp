#include "install/install_settings.h"

#include "sim_test.h"

namespace {

class InstallSettingsTest : public SimTest {
 protected:
  InstallSettingsRecord Located(const std::u16string& programPath) {
    machine().modulePath = programPath;
    InstallSettingsRecord settings;
    return settings;
  }
};

TEST_F(InstallSettingsTest, DerivesDirectoryAndInfPathFromTheProgram) {
  struct Case {
    std::u16string program, directory, inf;
  } cases[] = {
      {u"C:\\Drivers\\Setup\\install.exe", u"C:\\Drivers\\Setup\\",
       u"C:\\Drivers\\Setup\\PrinterDriver\\series2\\OEMPRINT.INF"},
      {u"D:\\install.exe", u"D:\\", u"D:\\PrinterDriver\\series2\\OEMPRINT.INF"},
      {u"C:\\My Setup v1.2\\drv. files\\setup.v2.exe", u"C:\\My Setup v1.2\\drv. files\\",
       u"C:\\My Setup v1.2\\drv. files\\PrinterDriver\\series2\\OEMPRINT.INF"},
  };
  for (const Case& c : cases) {
    const InstallSettingsRecord settings = Located(c.program);
    EXPECT_EQ(settings.ProgramDirectory, c.directory);
    EXPECT_EQ(settings.InfPath, c.inf);
    EXPECT_EQ(settings.ProgramLocationUsable, 1);
  }
}

TEST_F(InstallSettingsTest, StartsWithNoPrinterNoPortAndNoDefault) {
  const InstallSettingsRecord settings = Located(u"C:\\Setup\\install.exe");
  EXPECT_EQ(settings.PrinterName[0], 0);
  EXPECT_EQ(settings.PortName[0], 0);
  EXPECT_EQ(settings.SetAsDefault, 0);
}

TEST_F(InstallSettingsTest, DirectoryOf225CharactersIsTheLongestThatFits) {
  const std::u16string directory = u"C:\\" + std::u16string(221, u'd') + u"\\";
  ASSERT_EQ(directory.size(), 225u);
  const InstallSettingsRecord fits = Located(directory + u"install.exe");
  EXPECT_EQ(fits.ProgramLocationUsable, 1);
  EXPECT_EQ(std::u16string(fits.InfPath).size(), 259u);

  const InstallSettingsRecord tooDeep = Located(u"C:\\d" + directory.substr(3) + u"i.exe");
  EXPECT_EQ(tooDeep.ProgramLocationUsable, 0);
  EXPECT_EQ(tooDeep.ProgramDirectory[0], 0);
  EXPECT_EQ(tooDeep.InfPath[0], 0);
}

TEST_F(InstallSettingsTest, TruncatedOrUnreadableProgramPathIsUnusable) {
  // 260 characters: the platform truncates it to 259 and the directory would be wrong.
  const std::u16string longPath =
      u"C:\\" + std::u16string(10, u'a') + u"\\" + std::u16string(246, u'b');
  ASSERT_EQ(longPath.size(), 260u);
  EXPECT_EQ(Located(longPath).ProgramLocationUsable, 0);

  machine().Fail(sim::Call::GetModuleFileNameW, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Located(u"C:\\Setup\\install.exe").ProgramLocationUsable, 0);
  EXPECT_EQ(Located(u"install.exe").ProgramLocationUsable, 0);
}

}  // namespace
