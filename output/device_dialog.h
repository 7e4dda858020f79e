// The device dialog: asks the user where a document goes (the screen, the workstation's
// printer or a file there, a spreadsheet, a word processor, or a printer of the server) and
// gives the destination word (Device) and the server's name of the output device (IOP) that
// the report and the print component go by. When only one destination is offered, no form is
// shown, or only the dialog that destination needs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "broker/rpc_broker.h"
#include "output/print_devices.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornDeviceDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString IOP MEMBER IOP)
    Q_PROPERTY(QString Device MEMBER Device)
    Q_PROPERTY(QString SaveFile MEMBER SaveFile)
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)
    Q_PROPERTY(vorn::TvornPrintDevices PrintDevices MEMBER PrintDevices)
    Q_PROPERTY(vorn::TvornPrintDevice PrintDefault READ PrintDefault WRITE SetPrintDefault)
    Q_PROPERTY(QString FileExtension MEMBER FileExtension)
    Q_PROPERTY(bool SaveDial MEMBER SaveDial)
    Q_PROPERTY(bool PrintDial MEMBER PrintDial)

  public:
    explicit TvornDeviceDialog(QObject* owner = nullptr);

    // Results: the device as the server's output calls name it, and the destination word.
    QString IOP;
    QString Device;
    // The workstation file, offered again the next time.
    QString SaveFile;
    TvornPrintDevices PrintDevices = kDefaultPrintDevices;
    QString FileExtension = QStringLiteral("txt");
    // Results: a file was chosen in the save dialog; the printer dialog was confirmed.
    bool SaveDial = false;
    bool PrintDial = false;

    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }
    TvornPrintDevice PrintDefault() const { return printDefault_; }
    // Also sets Device, IOP, SaveDial and PrintDial to what that destination stands for.
    void SetPrintDefault(TvornPrintDevice device);

    // Asks for the destination: true when one was chosen.
    bool Execute();

  private:
    bool ExecuteSingle();

    QPointer<TRPCBroker> broker_;
    TvornPrintDevice printDefault_ = pdScreen;
};

}  // namespace vorn

#pragma GCC visibility pop
