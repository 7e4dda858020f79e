#include "output/internal/document_output.h"

#include <QSaveFile>

#include "output/internal/line_printing.h"
#include "source/internal/source_messages.h"
#include "source/message_text.h"

namespace vorn {
namespace {

constexpr int kMsgSentToPrinter = 59;

}  // namespace

bool PrintOnWorkstation(const QStringList& lines, TRPCBroker* broker) {
    QString error;
    if (!printing::PrintLines(WorkstationPrinter(), lines, &error)) {
        say::Error(QStringLiteral("The document was not printed, as ") + error + u'.');
        return false;
    }
    say::Information(GetMessageText(kMsgSentToPrinter, broker));
    return true;
}

bool SaveLines(const QString& path, const QStringList& lines, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

QString SaveFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("The document was not saved in %1 (%2).").arg(path, reason);
}

}  // namespace vorn
