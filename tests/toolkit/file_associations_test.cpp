#include "toolkit/file_associations.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "toolkit/xdg_associations.h"

namespace vorn {
namespace {

TEST(RegisteredCommands, AQuotedPathWithASwitchAndAQuotedPlaceholderGivesTheBarePath) {
    EXPECT_EQ(CleanRegisteredCommand("\"C:\\Program Files\\Office\\EXCEL.EXE\" /e \"%1\""),
              "C:\\Program Files\\Office\\EXCEL.EXE");
    EXPECT_EQ(CleanRegisteredCommand("\"/opt/Calc Suite/calc\" --view \"%1\""),
              "/opt/Calc Suite/calc");
}

TEST(RegisteredCommands, AnUnquotedPathKeepsItsSwitch) {
    EXPECT_EQ(CleanRegisteredCommand("C:\\WORD\\WINWORD.EXE /n %1"), "C:\\WORD\\WINWORD.EXE /n");
    EXPECT_EQ(CleanRegisteredCommand("libreoffice --writer %U"), "libreoffice --writer");
}

TEST(RegisteredCommands, OtherShapes) {
    EXPECT_EQ(CleanRegisteredCommand(""), "");
    EXPECT_EQ(CleanRegisteredCommand("calc"), "calc");
    EXPECT_EQ(CleanRegisteredCommand("calc   \t"), "calc");
    EXPECT_EQ(CleanRegisteredCommand("%1"), "");
    EXPECT_EQ(CleanRegisteredCommand("\"unclosed path %1"), "unclosed path");
    EXPECT_EQ(CleanRegisteredCommand("prog --x \"%1\""), "prog --x");
    EXPECT_EQ(CleanRegisteredCommand("env A=\"1\" prog %f"), "env A=");
}

class FakeAssociations final : public FileAssociations {
  public:
    QString OpenCommand(const QString& extension) const override {
        asked << extension;
        return commands.value(extension);
    }
    QMap<QString, QString> commands;
    mutable QStringList asked;
};

TEST(AssociatedProgram, IsTheCleanedCommandOfTheInstalledSource) {
    FakeAssociations fake;
    fake.commands["xls"] = "\"/opt/Calc Suite/calc\" /e \"%1\"";
    fake.commands["rtf"] = "/usr/bin/writer /n %1";
    SetAssociations(&fake);
    EXPECT_EQ(GetAssociatedProgram("xls"), "/opt/Calc Suite/calc");
    EXPECT_EQ(GetAssociatedProgram("rtf"), "/usr/bin/writer /n");
    EXPECT_EQ(GetAssociatedProgram("zzz"), "");
    EXPECT_EQ(fake.asked, (QStringList{"xls", "rtf", "zzz"}));
    SetAssociations(nullptr);
    EXPECT_NE(&Associations(), &fake);
}

// A desktop of its own: config and data folders in a temporary directory.
class XdgDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("config");
        QDir(dir.path()).mkpath("home/applications");
        QDir(dir.path()).mkpath("system/applications/office");
        places.configDirs = {dir.path() + "/config"};
        places.dataDirs = {dir.path() + "/home", dir.path() + "/system"};
        places.desktops = {"testdesk"};
        places.askXdgMime = false;
    }
    void Write(const QString& relative, const QByteArray& text) {
        QFile f(dir.path() + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    QTemporaryDir dir;
    XdgAssociations::Places places;
};

TEST_F(XdgDesktop, TheDefaultApplicationsExecLineOpensTheFiles) {
    Write("config/mimeapps.list",
          "[Added Associations]\n"
          "application/vnd.ms-excel=other.desktop;\n"
          "\n"
          "[Default Applications]\n"
          "application/vnd.ms-excel=calc.desktop;other.desktop;\n");
    Write("system/applications/calc.desktop",
          "[Desktop Entry]\n"
          "Name=Calc\n"
          "Exec=\"/opt/Calc Suite/calc\" --sheet %U\n"
          "[Desktop Action New]\n"
          "Exec=/opt/calc --new\n");
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("application/vnd.ms-excel"), "calc.desktop");
    EXPECT_EQ(desktop.ExecLine("calc.desktop"), "\"/opt/Calc Suite/calc\" --sheet %U");
    EXPECT_EQ(desktop.OpenCommand("xls"), "\"/opt/Calc Suite/calc\" --sheet %U");
    SetAssociations(&desktop);
    EXPECT_EQ(GetAssociatedProgram("xls"), "/opt/Calc Suite/calc");
    SetAssociations(nullptr);
}

TEST_F(XdgDesktop, TheUsersListComesFirstAndUninstalledApplicationsAreSkipped) {
    Write("config/testdesk-mimeapps.list",
          "[Default Applications]\ntext/rtf=missing.desktop;office-writer.desktop\n");
    Write("config/mimeapps.list", "[Default Applications]\ntext/rtf=plain.desktop\n");
    Write("system/applications/office/writer.desktop",
          "[Desktop Entry]\nExec=/usr/bin/writer\\s--rtf %f\n");
    Write("home/applications/plain.desktop", "[Desktop Entry]\nExec=/usr/bin/plain %f\n");
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("text/rtf"), "office-writer.desktop");
    EXPECT_EQ(desktop.ExecLine("office-writer.desktop"), "/usr/bin/writer --rtf %f");
}

TEST_F(XdgDesktop, ADataFoldersListAndAHiddenEntry) {
    Write("system/applications/defaults.list",
          "[Default Applications]\napplication/rtf=gone.desktop;kept.desktop;\n");
    Write("home/applications/gone.desktop", "[Desktop Entry]\nHidden=true\nExec=/bin/gone\n");
    Write("system/applications/kept.desktop", "[Desktop Entry]\nExec=/bin/kept %u\n");
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("application/rtf"), "kept.desktop");
    EXPECT_EQ(desktop.DesktopEntryPath("gone.desktop"), "");
    EXPECT_EQ(desktop.DesktopEntryPath("../kept.desktop"), "");
    EXPECT_EQ(desktop.DesktopEntryPath("kept"), "");
}

TEST_F(XdgDesktop, NothingRegisteredGivesNoCommand) {
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("application/vnd.ms-excel"), "");
    EXPECT_EQ(desktop.OpenCommand("xls"), "");
    EXPECT_EQ(desktop.OpenCommand(""), "");
    EXPECT_EQ(desktop.OpenCommand("no-such-extension-here"), "");
}

TEST(XdgMimeTypes, TheExtensionsOfTheHandOffAreKnown) {
    EXPECT_TRUE(XdgAssociations::MimeTypesOf("xls").contains("application/vnd.ms-excel"));
    const QStringList rtf = XdgAssociations::MimeTypesOf("rtf");
    EXPECT_TRUE(rtf.contains("application/rtf") || rtf.contains("text/rtf"));
    EXPECT_TRUE(XdgAssociations::MimeTypesOf("").isEmpty());
}

}  // namespace
}  // namespace vorn
