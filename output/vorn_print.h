// The print component: takes a document that a server procedure stored (a report, or a demo
// print procedure), pages it in with "VRNX OUTCR", and puts it where the device dialog said: the
// preview, the workstation's printer or a file there, a spreadsheet or a word processor. For a
// printer of the server the server has printed it already, and the user is told so. It also
// prints plain lines on the workstation's printer (the help window's Print).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "broker/rpc_broker.h"
#include "output/print_devices.h"

#pragma GCC visibility push(default)
class QWidget;

namespace vorn {

class TvornDeviceDialog;
class TvornReport;

class TvornPrint : public QObject {
    Q_OBJECT
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)
    Q_PROPERTY(QString FileExtension MEMBER FileExtension)
    Q_PROPERTY(vorn::TvornPrintDevices PrintDevices MEMBER PrintDevices)

  public:
    // A document of more pages than this shows its progress while the rest arrives.
    static constexpr int kQuietPages = 5;

    explicit TvornPrint(QObject* owner = nullptr);

    QString FileExtension = QStringLiteral("txt");
    TvornPrintDevices PrintDevices = kDefaultPrintDevices;

    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }

    // Puts stored document `handle` out where `dialog` says; nothing without a dialog.
    void Print(const QString& handle, TvornDeviceDialog* dialog);
    // Puts out the document that `report` stored, as Print does. When the server stored none,
    // the user is shown the server's error lines (or, without any, that no document came).
    void PrintReport(const TvornReport& report, TvornDeviceDialog* dialog);
    // Prints `lines` on the workstation's printer at once, without a printer dialog.
    void PrintLines(const QStringList& lines);

    // The state of the last Print: the handle, the device word, whether the last reply said
    // more would follow, the document's lines and the error lines of the last reply.
    const QString& DocumentHandle() const { return handle_; }
    const QString& DeviceWord() const { return device_; }
    bool MorePages() const { return more_; }
    const QStringList& Lines() const { return lines_; }
    const QStringList& ErrorLines() const { return errors_; }

  private:
    enum class Arrival { Whole, Cancelled, Failed };
    Arrival FetchDocument();
    TRPCBroker& RequireBroker() const;
    void Output(const TvornDeviceDialog& dialog);
    // `incomplete`: what arrived before the user cancelled the download.
    void ShowPreview(bool incomplete = false);
    QWidget* OwnerWindow() const;

    QPointer<TRPCBroker> broker_;
    QString handle_;
    QString device_;
    bool more_ = false;
    QStringList lines_;
    QStringList errors_;
};

// The text of the print component's ENoBrokerLink ("assoicated" is the toolset's spelling).
QString PrintWithoutBrokerText(const QString& componentName);

}  // namespace vorn

#pragma GCC visibility pop
