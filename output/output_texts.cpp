#include "output/internal/output_texts.h"

#include "output/help_window.h"
#include "source/message_text.h"

namespace vorn {

QString OutputText(int id, TRPCBroker* broker) {
    constexpr int kLastToolsetMessage = 95;
    return id <= kLastToolsetMessage ? GetMessageText(id, broker)
                                     : GetDialogText(id, QString(), broker);
}

void ShowOutputHelp(const QString& title, const QString& text) {
    ShowTitledText(title, text);
}

QString IncompleteTitleSuffix() {
    return QStringLiteral(" (incomplete: the download was cancelled)");
}

QString IncompleteDocumentNote(qsizetype arrived) {
    return QStringLiteral(
               "INCOMPLETE DOCUMENT: the download was cancelled after %1 lines; the rest is "
               "missing.")
        .arg(arrived);
}

}  // namespace vorn
