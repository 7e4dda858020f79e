#include "output/vorn_report.h"

#include <QApplication>

#include "output/internal/print_requests.h"
#include "source/internal/no_broker_link.h"
#include "source/internal/source_messages.h"

namespace vorn {

QString ReportWithoutBrokerText(const QString& componentName) {
    return u'"' + componentName +
           QStringLiteral(
               "\" is not associated with a Broker link.\r\n"
               "Please contact developer for assistance.\r\nThank you.");
}

TvornReport::TvornReport(QObject* owner) : QObject(owner) {}

void TvornReport::Run() {
    errors_.clear();
    if (!broker_) {
        QApplication::beep();
        throw ENoBrokerLink(ReportWithoutBrokerText(objectName()));
    }
    if (FileNumber.isEmpty()) {
        say::Warning(QStringLiteral("File Number is not initialized!"));
        return;
    }
    const output::ReportAnswer answer =
        output::ReadReportAnswer(broker_->Call(output::ReportRequest(
            {FileNumber, FieldNumbers, From, WhereTo, By, DHD, IOP, Dis0, Dis1, Routine})));
    data_ = answer.data;
    errors_ = answer.errors;
    handle_ = answer.handle;
}

}  // namespace vorn
