// The device dialog's form: a group of destinations (screen, workstation printer, workstation
// file, word processor, spreadsheet, server printer), OK and Cancel, the save and printer
// dialogs of the workstation destinations, and a hidden dialog edit on the server's device
// file through which a server printer is picked.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include "broker/rpc_broker.h"
#include "output/print_devices.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace vorn {

class TvornDialogEdit;
class TvornFinder;
class TvornSource;

class TfrmSelDev : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmSelDev(QWidget* parent = nullptr);
    ~TfrmSelDev() override;

    QRadioButton* rbScreen;
    QRadioButton* rbPrinter;
    QRadioButton* rbFile;
    QRadioButton* rbExcel;
    QRadioButton* rbServer;
    QRadioButton* rbWord;
    QPushButton* btnSulje;
    QPushButton* btnPeruuta;
    QGroupBox* Grb1;
    TvornDialogEdit* xDlgEditKernelDevice;
    TvornSource* vornSource1;
    TvornFinder* vornFinder1;

    // The choice: the destination word, the device as the server's output calls name it, the
    // workstation file, and whether the save or the printer dialog was confirmed.
    QString Device;
    QString IOP;
    QString SaveFile;
    bool SaveDial = false;
    bool PrintDial = false;
    // True while the form only picks a server printer.
    bool ServerPrinterOnly = false;

    // The broker of the server-printer pick (the finder's and the data source's).
    void SetBroker(TRPCBroker* broker);
    // Offers the destinations of `devices` in their order, checks the first, and lays the form
    // out; captions from the toolset's messages.
    void Setup(TvornPrintDevices devices);
    // Checks the button of `device`; a destination that is not offered leaves the first offered
    // one checked.
    void SetDefaultDevice(TvornPrintDevice device);
    // The default extension of the save dialog.
    void SetFileExtension(const QString& extension);
    // Picks a server printer without the rest of the form: the picked device's name, or empty.
    QString GetSPr();
    // The IOP of destination word `device` (KernelDevice: the picked device).
    QString KernelDev(const QString& device) const;
    // Ends the form with OK: the IOP of the chosen word.
    void CloseForm();

    // The save dialog alone: true when a file was chosen (SaveFile is then its name).
    bool RunSaveDialog();
    // The printer dialog alone (page numbers allowed, the selection preset): true when
    // confirmed.
    bool RunPrintDialog();

    // The help text of F1 for the destinations offered.
    QString HelpText() const;

    // Cancel, Escape or the close box: no destination.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OkClicked();
    void OpenPickList();
    void PickListDone(bool picked);
    // Offers the destinations of `devices` and lays the form out for them.
    void Arrange(TvornPrintDevices devices);
    void SetCaptions();

    QPointer<TRPCBroker> broker_;
    TvornPrintDevices offered_ = kDefaultPrintDevices;
    QString extension_ = QStringLiteral("txt");
};

}  // namespace vorn
