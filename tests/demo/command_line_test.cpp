// The program's options answer on a console: no display is needed to learn how to start it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace vorn {
namespace {

struct Finished {
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QString out, err;
};

// The program run with `option` on a console: no display of any kind, no platform chosen for it.
Finished RunLabTest(const char* option) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VORN_LABTEST_PROGRAM), {QString::fromLatin1(option)});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus(), process.exitCode(),
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(CommandLine, HelpAnswersAndAnUnknownOptionIsRefusedWithoutADisplay) {
    const Finished run = RunLabTest("--help");
    ASSERT_EQ(run.status, QProcess::NormalExit) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: "))) << run.out.toStdString();
    for (const char* text :
         {"Demo lab test: edits lab tests on an M server.", "--server <HOST>", "--port <N>",
          "--screenshot <FILE>", "--select <ABBREVIATION>", "--tab <N>", "--help"})
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(run.err.contains(QStringLiteral("display"))) << run.err.toStdString();
    const Finished unknown = RunLabTest("--no-such-option");
    ASSERT_EQ(unknown.status, QProcess::NormalExit) << unknown.err.toStdString();
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Unknown option 'no-such-option'.")))
        << unknown.err.toStdString();
}

}  // namespace
}  // namespace vorn
