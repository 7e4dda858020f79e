#include "toolkit/document_handoff.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include "toolkit/file_associations.h"
#include "tests/support/scripted_modal_host.h"

namespace vorn {
namespace {

class FakeAssociations final : public FileAssociations {
  public:
    QString OpenCommand(const QString& extension) const override {
        return commands.value(extension);
    }
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

TEST_F(Handoff, TheSpreadsheetGetsATemporaryXlsFileThatIsKept) {
    associations.commands["xls"] = "\"/opt/Calc Suite/calc\" /e \"%1\"";
    EXPECT_TRUE(OpenInSpreadsheet({"NAME\tCODE", "HB\t12", ""}));
    ASSERT_EQ(starter.files.size(), 1);
    const QString file = starter.files[0];
    EXPECT_EQ(starter.started, (QStringList{"/opt/Calc Suite/calc " + file}));
    EXPECT_TRUE(starter.opened.isEmpty());
    const QFileInfo info(file);
    EXPECT_EQ(QDir(info.absolutePath()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    EXPECT_TRUE(info.fileName().startsWith("vrn"));
    EXPECT_EQ(info.suffix(), "xls");
    EXPECT_EQ(Contents(file), QByteArray("NAME\tCODE\nHB\t12\n\n"));
}

TEST_F(Handoff, TheWordProcessorsProgramIsCutAtItsFirstSwitch) {
    associations.commands["rtf"] = "/usr/bin/writer /n /q %1";
    EXPECT_TRUE(OpenInWordProcessor({"{\\rtf1 Hemoglobin}"}));
    ASSERT_EQ(starter.files.size(), 1);
    EXPECT_EQ(starter.started, (QStringList{"/usr/bin/writer " + starter.files[0]}));
    EXPECT_EQ(QFileInfo(starter.files[0]).suffix(), "rtf");
    EXPECT_EQ(Contents(starter.files[0]), QByteArray("{\\rtf1 Hemoglobin}\n"));
}

TEST_F(Handoff, EveryHandOffHasAFileOfItsOwn) {
    associations.commands["xls"] = "calc %1";
    OpenInSpreadsheet({"first"});
    OpenInSpreadsheet({"second"});
    ASSERT_EQ(starter.files.size(), 2);
    EXPECT_NE(starter.files[0], starter.files[1]);
    EXPECT_EQ(Contents(starter.files[0]), "first\n");
    EXPECT_EQ(Contents(starter.files[1]), "second\n");
}

TEST_F(Handoff, WhenTheProgramCannotStartTheDesktopOpensTheFile) {
    associations.commands["xls"] = "/no/such/calc %1";
    starter.programStarts = false;
    EXPECT_TRUE(OpenInSpreadsheet({"x"}));
    EXPECT_EQ(starter.started.size(), 1);
    ASSERT_EQ(starter.opened.size(), 1);
    EXPECT_EQ(starter.opened[0], starter.files[0]);
}

TEST_F(Handoff, WithoutAnAssociationTheDesktopIsAskedStraightAway) {
    EXPECT_TRUE(OpenInWordProcessor({"x"}));
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_EQ(starter.opened.size(), 1);
}

TEST_F(Handoff, WhenNothingCanOpenItThePlainMessageSaysSo) {
    test::ScriptedModalHost host;
    host.ExpectMessage("Failed to execute program.");
    associations.commands["xls"] = "calc %1";
    starter.programStarts = false;
    starter.desktopOpens = false;
    EXPECT_FALSE(OpenInSpreadsheet({"x"}));
    ASSERT_EQ(host.Log().size(), 1u);
    EXPECT_EQ(host.Log()[0].messageKind, ui::MessageKind::None);
    EXPECT_EQ(host.Log()[0].buttons, ui::mbOK);
    // The file stays for the user.
    EXPECT_TRUE(QFileInfo::exists(starter.files[0]));
}

TEST(HandoffFile, AFolderThatCannotHoldFilesIsAClearError) {
    QTemporaryFile notAFolder;
    ASSERT_TRUE(notAFolder.open());
    QString error;
    const QString path = WriteHandoffFile({"x"}, "xls", &error, notAFolder.fileName());
    EXPECT_TRUE(path.isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(HandoffFile, GoesIntoTheGivenFolder) {
    QTemporaryDir dir;
    const QString path = WriteHandoffFile({"a", "b"}, "rtf", nullptr, dir.path());
    EXPECT_EQ(QFileInfo(path).absolutePath(), dir.path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "a\nb\n");
}

}  // namespace
}  // namespace vorn
