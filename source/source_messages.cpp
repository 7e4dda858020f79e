#include "source/internal/source_messages.h"

#include "source/internal/no_broker_link.h"
#include "source/timed_message.h"

namespace vorn {

QString SourceWithoutBrokerText(const QString& componentName) {
    return u'"' + componentName + QStringLiteral("\" is not associated with a Broker link.\r\n");
}

namespace say {

void Error(const QString& text) {
    TimedMessageDlg(text, ui::MessageKind::Error, ui::mbOK);
}

void Warning(const QString& text) {
    TimedMessageDlg(text, ui::MessageKind::Warning, ui::mbOK);
}

void Information(const QString& text, int timeOut) {
    TimedMessageDlg(text, ui::MessageKind::Information, ui::mbOK, timeOut);
}

bool YesOrCancel(const QString& text, int timeOut) {
    return TimedMessageDlg(text, ui::MessageKind::Confirmation, ui::mbYes | ui::mbCancel,
                           timeOut) == ui::mrYes;
}

}  // namespace say
}  // namespace vorn
