// Putting a document out on the workstation: printing it on the workstation's printer and
// saving it to a file, each with its report to the user.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

class TRPCBroker;

// Prints `lines` on the workstation's printer and tells the user "The record was sent to
// printer."; when the printer cannot be used, says so as an error instead. True when printed.
bool PrintOnWorkstation(const QStringList& lines, TRPCBroker* broker);

// Writes `lines` to `path`, each followed by a line break. The file is replaced only when the
// whole document was written: a failure leaves an earlier file as it was. False, with the
// reason in `error`, when it could not be written.
bool SaveLines(const QString& path, const QStringList& lines, QString* error);

// The error shown when a document could not be saved to `path`.
QString SaveFailedText(const QString& path, const QString& reason);

}  // namespace vorn
