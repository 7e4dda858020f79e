#include "toolkit/document_handoff.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QUrl>

#include "toolkit/internal/file_associations.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

class DesktopStarter final : public ProgramStarter {
  public:
    bool StartProgram(const QString& program, const QString& file) override {
        // A cleaned registered command may be a bare path with blanks in it, or a program
        // followed by switches of its own.
        const QFileInfo info(program);
        if (info.isFile() && info.isExecutable()) return QProcess::startDetached(program, {file});
        QStringList arguments = QProcess::splitCommand(program);
        if (arguments.isEmpty()) return false;
        const QString executable = arguments.takeFirst();
        arguments << file;
        return QProcess::startDetached(executable, arguments);
    }
    bool OpenWithDesktop(const QString& file) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    }
};

DesktopStarter gDesktop;
ProgramStarter* gStarter = nullptr;

}  // namespace

ProgramStarter& Starter() {
    return gStarter ? *gStarter : gDesktop;
}

void SetProgramStarter(ProgramStarter* starter) {
    gStarter = starter;
}

QString WriteHandoffFile(const QStringList& lines, const QString& extension, QString* error,
                         const QString& folder) {
    const QString where = folder.isEmpty() ? QDir::tempPath() : folder;
    if (where.isEmpty()) {
        if (error) *error = QStringLiteral("there is no temporary folder");
        return {};
    }
    QTemporaryFile file(where + u'/' + kHandoffPrefix + QStringLiteral("XXXXXX.") + extension);
    file.setAutoRemove(false);
    if (!file.open()) {
        if (error) *error = file.errorString();
        return {};
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString path = file.fileName();
    if (!written) {
        if (error) *error = file.errorString();
        file.remove();
        return {};
    }
    file.close();
    return path;
}

bool OpenWithAssociatedProgram(const QStringList& lines, const QString& extension) {
    QString error;
    const QString file = WriteHandoffFile(lines, extension, &error);
    if (file.isEmpty()) {
        ui::ShowPlainMessage(QStringLiteral("Could not write the temporary file: ") + error);
        return false;
    }
    const QString program = GetAssociatedProgram(extension).section(QStringLiteral(" /"), 0, 0);
    if (!program.isEmpty() && Starter().StartProgram(program, file)) return true;
    if (Starter().OpenWithDesktop(file)) return true;
    ui::ShowPlainMessage(QStringLiteral("Failed to execute program."));
    return false;
}

bool OpenInSpreadsheet(const QStringList& lines) {
    return OpenWithAssociatedProgram(lines, QStringLiteral("xls"));
}

bool OpenInWordProcessor(const QStringList& lines) {
    return OpenWithAssociatedProgram(lines, QStringLiteral("rtf"));
}

}  // namespace vorn
