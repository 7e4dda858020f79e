// The program's options answer on a console: no display is needed to learn how to start it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace vorn {
namespace {

// A console with no display of any kind and no platform chosen for the program.
QProcessEnvironment ConsoleWithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

struct Finished {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out;
    QString err;
};

Finished RunLabTest(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(ConsoleWithoutDisplay());
    process.start(QStringLiteral(VORN_LABTEST_PROGRAM), arguments);
    Finished run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.status = process.exitStatus();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

TEST(CommandLine, HelpAnswersWithoutADisplay) {
    const Finished run = RunLabTest({QStringLiteral("--help")});
    ASSERT_EQ(run.status, QProcess::NormalExit) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: "))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Demo lab test: edits lab tests on an M server.")))
        << run.out.toStdString();
    for (const char* option : {"--server <HOST>", "--port <N>", "--screenshot <FILE>",
                               "--select <ABBREVIATION>", "--tab <N>", "--help"})
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << option;
    EXPECT_FALSE(run.err.contains(QStringLiteral("display"))) << run.err.toStdString();
}

TEST(CommandLine, AnUnknownOptionIsRefusedWithoutADisplay) {
    const Finished run = RunLabTest({QStringLiteral("--no-such-option")});
    ASSERT_EQ(run.status, QProcess::NormalExit) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Unknown option 'no-such-option'.")))
        << run.err.toStdString();
}

}  // namespace
}  // namespace vorn
