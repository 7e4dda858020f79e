#include "source/internal/source_messages.h"

#include "source/internal/no_broker_link.h"
#include "source/source_presenter.h"

namespace vorn {

QString SourceWithoutBrokerText(const QString& componentName) {
    return u'"' + componentName + QStringLiteral("\" is not associated with a Broker link.\r\n");
}

namespace say {

void Error(const QString& text) {
    DefaultSourcePresenter().Error(text);
}

void Warning(const QString& text) {
    DefaultSourcePresenter().Warning(text);
}

void Information(const QString& text, int timeOut) {
    DefaultSourcePresenter().Information(text, timeOut);
}

bool YesOrCancel(const QString& text, int timeOut) {
    return DefaultSourcePresenter().YesOrCancel(text, timeOut);
}

}  // namespace say
}  // namespace vorn
