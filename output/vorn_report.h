// The server report: asks the server to run one of its print templates over a file ("VRNX
// REPORT") and keeps what it answers, the handle of the stored document above all, which the
// print component then pages in. For a printer of the server, the server prints the report
// itself.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "broker/rpc_broker.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornReport : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileNumber MEMBER FileNumber)
    Q_PROPERTY(QStringList FieldNumbers MEMBER FieldNumbers)
    Q_PROPERTY(QString From MEMBER From)
    Q_PROPERTY(QString WhereTo MEMBER WhereTo)
    Q_PROPERTY(QString By MEMBER By)
    Q_PROPERTY(QString DHD MEMBER DHD)
    Q_PROPERTY(QString IOP MEMBER IOP)
    Q_PROPERTY(QString Dis0 MEMBER Dis0)
    Q_PROPERTY(QString Dis1 MEMBER Dis1)
    Q_PROPERTY(QString Routine MEMBER Routine)
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)

  public:
    explicit TvornReport(QObject* owner = nullptr);

    QString FileNumber;
    QStringList FieldNumbers = {QStringLiteral(".01")};
    QString From;
    QString WhereTo;
    QString By;
    QString DHD;
    QString IOP;
    QString Dis0;
    QString Dis1;
    QString Routine;

    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }

    // Sends the request. Without a broker ENoBrokerLink (nothing sent); without a file number
    // the warning "File Number is not initialized!" and the earlier results stay.
    void Run();

    // The results of the last run: the handle of the stored document (empty when the server
    // stored none), the reply's data lines and its error lines.
    const QString& DocumentHandle() const { return handle_; }
    const QStringList& DataLines() const { return data_; }
    const QStringList& ErrorLines() const { return errors_; }

  private:
    QPointer<TRPCBroker> broker_;
    QString handle_;
    QStringList data_;
    QStringList errors_;
};

// The text of the report's ENoBrokerLink: the name in double quotes, " is not associated with
// a Broker link.", then "Please contact developer for assistance." and "Thank you.", each on a
// line of its own.
QString ReportWithoutBrokerText(const QString& componentName);

}  // namespace vorn

#pragma GCC visibility pop
