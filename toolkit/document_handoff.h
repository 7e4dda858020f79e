// Hands a document to the workstation's spreadsheet or word-processor program: the lines go
// into a temporary file of their own, which the associated program is started with.
#pragma once

#include <QString>
#include <QStringList>

#pragma GCC visibility push(default)
namespace vorn {

// How programs are started; tests install a starter that records instead of starting.
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // Starts `program` (a path, or a command with its own arguments) with `file` as its last
    // argument, without waiting for it; false when it could not be started.
    virtual bool StartProgram(const QString& program, const QString& file) = 0;
    // Opens `file` the way the desktop opens files of its type; false when that failed.
    virtual bool OpenWithDesktop(const QString& file) = 0;
};

ProgramStarter& Starter();
// Installs `starter` (not owned); nullptr restores the real one.
void SetProgramStarter(ProgramStarter* starter);

// The prefix of the temporary files handed to other programs.
inline const QString kHandoffPrefix = QStringLiteral("vrn");

// Writes `lines` (each followed by a line break) into a new file with a unique name "vrn" +
// letters + "." + extension in `folder` (the temporary folder when empty), and keeps it for the
// program that reads it. The file's path, or empty when it could not be written (`error` says
// why; nothing is left behind).
QString WriteHandoffFile(const QStringList& lines, const QString& extension,
                         QString* error = nullptr, const QString& folder = QString());

// Opens `lines` with the program associated with `extension`, cut at its first " /" (the
// start of a switch); when that program cannot be started, with the desktop's own
// association. Shows "Failed to execute program." when neither works. True when handed off.
bool OpenWithAssociatedProgram(const QStringList& lines, const QString& extension);

// OpenWithAssociatedProgram(lines, "xls").
bool OpenInSpreadsheet(const QStringList& lines);
// OpenWithAssociatedProgram(lines, "rtf").
bool OpenInWordProcessor(const QStringList& lines);

}  // namespace vorn

#pragma GCC visibility pop
