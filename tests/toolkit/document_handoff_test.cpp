// Handing documents to the desktop's programs: finding the program for a file type, the
// temporary file and the start.
#include "toolkit/document_handoff.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include "tests/support/scripted_modal_host.h"
#include "toolkit/internal/file_associations.h"
#include "toolkit/internal/xdg_associations.h"

namespace vorn {
namespace {

class FakeAssociations final : public FileAssociations {
  public:
    QString OpenCommand(const QString& type) const override { return commands.value(type); }
    QMap<QString, QString> commands;
};

class RecordingStarter final : public ProgramStarter {
  public:
    bool StartProgram(const QString& program, const QString& file) override {
        started << program + " " + file;
        files << file;
        return programStarts;
    }
    bool OpenWithDesktop(const QString& file) override {
        opened << file;
        files << file;
        return desktopOpens;
    }
    QStringList started;
    QStringList opened;
    QStringList files;
    bool programStarts = true;
    bool desktopOpens = true;
};

class Handoff : public ::testing::Test {
  protected:
    void SetUp() override {
        SetAssociations(&associations);
        SetProgramStarter(&starter);
    }
    void TearDown() override {
        SetAssociations(nullptr);
        SetProgramStarter(nullptr);
        for (const QString& f : starter.files)
            QFile::remove(f);
    }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    FakeAssociations associations;
    RecordingStarter starter;
};

// The word processor's program is cut at its first switch; its file: the print test's.
TEST_F(Handoff, TheSpreadsheetAndTheWordProcessorGetATemporaryFileOfTheirOwnThatIsKept) {
    associations.commands["xls"] = "\"/opt/Calc Suite/calc\" /e \"%1\"";
    associations.commands["rtf"] = "/usr/bin/writer /n /q %1";
    EXPECT_TRUE(OpenInSpreadsheet({"NAME\tCODE", "HB\t12", ""}));
    EXPECT_TRUE(OpenInSpreadsheet({"second"}));
    EXPECT_TRUE(OpenInWordProcessor({"{\\rtf1 Hemoglobin}"}));
    ASSERT_EQ(starter.files.size(), 3);
    const QString file = starter.files[0];
    EXPECT_NE(file, starter.files[1]);
    EXPECT_EQ(starter.started, (QStringList{"/opt/Calc Suite/calc " + file,
                                            "/opt/Calc Suite/calc " + starter.files[1],
                                            "/usr/bin/writer " + starter.files[2]}));
    EXPECT_TRUE(starter.opened.isEmpty());
    const QFileInfo info(file);
    EXPECT_EQ(QDir(info.absolutePath()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    EXPECT_TRUE(info.fileName().startsWith("vrn"));
    EXPECT_EQ(info.suffix(), "xls");
    EXPECT_EQ(Contents(file), QByteArray("NAME\tCODE\nHB\t12\n\n"));
    EXPECT_EQ(Contents(starter.files[1]), "second\n");
}

TEST_F(Handoff, WhenTheProgramCannotStartOrThereIsNoneTheDesktopOpensTheFileOrTheUserIsTold) {
    associations.commands["xls"] = "/no/such/calc %1";
    starter.programStarts = false;
    EXPECT_TRUE(OpenInSpreadsheet({"x"}));
    EXPECT_EQ(starter.started.size(), 1);
    ASSERT_EQ(starter.opened.size(), 1);
    EXPECT_EQ(starter.opened[0], starter.files[0]);
    // Without an association the desktop is asked straight away.
    EXPECT_TRUE(OpenInWordProcessor({"y"}));
    EXPECT_EQ(starter.started.size(), 1);
    EXPECT_EQ(starter.opened.size(), 2);
    // When nothing can open it, the plain message says so; the file stays for the user.
    test::ScriptedModalHost host;
    host.ExpectMessage("Failed to execute program.");
    starter.desktopOpens = false;
    EXPECT_FALSE(OpenInSpreadsheet({"z"}));
    ASSERT_EQ(host.Log().size(), 1u);
    EXPECT_EQ(host.Log()[0].messageKind, ui::MessageKind::None);
    EXPECT_EQ(host.Log()[0].buttons, ui::mbOK);
    EXPECT_TRUE(QFileInfo::exists(starter.files.last()));
}

TEST_F(Handoff, AHandoffFileGoesIntoTheGivenFolderOrGivesAClearError) {
    QTemporaryDir dir;
    const QString path = WriteHandoffFile({"a", "b"}, "rtf", nullptr, dir.path());
    EXPECT_EQ(QFileInfo(path).absolutePath(), dir.path());
    EXPECT_EQ(Contents(path), "a\nb\n");
    QTemporaryFile notAFolder;
    ASSERT_TRUE(notAFolder.open());
    QString error;
    EXPECT_TRUE(WriteHandoffFile({"x"}, "xls", &error, notAFolder.fileName()).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(RegisteredCommands, AreCutToTheProgram) {
    // A quoted path with a switch and a quoted placeholder gives the bare path.
    EXPECT_EQ(CleanRegisteredCommand("\"C:\\Program Files\\Office\\EXCEL.EXE\" /e \"%1\""),
              "C:\\Program Files\\Office\\EXCEL.EXE");
    EXPECT_EQ(CleanRegisteredCommand("\"/opt/Calc Suite/calc\" --view \"%1\""),
              "/opt/Calc Suite/calc");
    // An unquoted path keeps its switch.
    EXPECT_EQ(CleanRegisteredCommand("C:\\WORD\\WINWORD.EXE /n %1"), "C:\\WORD\\WINWORD.EXE /n");
    EXPECT_EQ(CleanRegisteredCommand("libreoffice --writer %U"), "libreoffice --writer");
    EXPECT_EQ(CleanRegisteredCommand(""), "");
    EXPECT_EQ(CleanRegisteredCommand("calc"), "calc");
    EXPECT_EQ(CleanRegisteredCommand("calc   \t"), "calc");
    EXPECT_EQ(CleanRegisteredCommand("%1"), "");
    EXPECT_EQ(CleanRegisteredCommand("\"unclosed path %1"), "unclosed path");
    EXPECT_EQ(CleanRegisteredCommand("prog --x \"%1\""), "prog --x");
    EXPECT_EQ(CleanRegisteredCommand("env A=\"1\" prog %f"), "env A=");
}

// A desktop of its own: config and data folders in a temporary directory.
class XdgDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* folder : {"config", "home/applications", "system/applications/office"})
            QDir(dir.path()).mkpath(folder);
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
    EXPECT_EQ(XdgAssociations(places).OpenCommand("xls"), "") << "nothing registered yet";
    EXPECT_EQ(XdgAssociations(places).OpenCommand(""), "");
    Write("config/mimeapps.list",
          "[Added Associations]\napplication/vnd.ms-excel=other.desktop;\n\n"
          "[Default Applications]\napplication/vnd.ms-excel=calc.desktop;other.desktop;\n");
    Write("system/applications/calc.desktop",
          "[Desktop Entry]\nName=Calc\nExec=\"/opt/Calc Suite/calc\" --sheet %U\n"
          "[Desktop Action New]\nExec=/opt/calc --new\n");
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("application/vnd.ms-excel"), "calc.desktop");
    EXPECT_EQ(desktop.ExecLine("calc.desktop"), "\"/opt/Calc Suite/calc\" --sheet %U");
    EXPECT_EQ(desktop.OpenCommand("xls"), "\"/opt/Calc Suite/calc\" --sheet %U");
    SetAssociations(&desktop);
    EXPECT_EQ(GetAssociatedProgram("xls"), "/opt/Calc Suite/calc");
    SetAssociations(nullptr);
    // The word processor's type is known too; the spreadsheet's and no extension are above.
    const QStringList rtf = XdgAssociations::MimeTypesOf("rtf");
    EXPECT_TRUE(rtf.contains("application/rtf") || rtf.contains("text/rtf"));
}

// The user's list comes first, uninstalled and hidden applications are skipped, and the data
// folders' lists count too.
TEST_F(XdgDesktop, TheUsersListComesFirstAndUninstalledApplicationsAreSkipped) {
    Write("config/testdesk-mimeapps.list",
          "[Default Applications]\ntext/rtf=missing.desktop;office-writer.desktop\n");
    Write("config/mimeapps.list", "[Default Applications]\ntext/rtf=plain.desktop\n");
    Write("system/applications/office/writer.desktop",
          "[Desktop Entry]\nExec=/usr/bin/writer\\s--rtf %f\n");
    Write("home/applications/plain.desktop", "[Desktop Entry]\nExec=/usr/bin/plain %f\n");
    Write("system/applications/defaults.list",
          "[Default Applications]\napplication/rtf=gone.desktop;kept.desktop;\n");
    Write("home/applications/gone.desktop", "[Desktop Entry]\nHidden=true\nExec=/bin/gone\n");
    Write("system/applications/kept.desktop", "[Desktop Entry]\nExec=/bin/kept %u\n");
    const XdgAssociations desktop(places);
    EXPECT_EQ(desktop.DefaultApplication("text/rtf"), "office-writer.desktop");
    EXPECT_EQ(desktop.ExecLine("office-writer.desktop"), "/usr/bin/writer --rtf %f");
    EXPECT_EQ(desktop.DefaultApplication("application/rtf"), "kept.desktop");
    EXPECT_EQ(desktop.DesktopEntryPath("gone.desktop"), "");
    EXPECT_EQ(desktop.DesktopEntryPath("../kept.desktop"), "");
    EXPECT_EQ(desktop.DesktopEntryPath("kept"), "");
}

}  // namespace
}  // namespace vorn
