// The device dialog on a form made in Qt Designer. Designer places only widgets, and the
// device dialog is a component without a window of its own; this widget holds one, takes its
// design-time properties from the form and stays hidden when the program runs. The program
// gives the held dialog its broker and runs it:
//
//     ui.deviceDialog->Dialog()->SetRPCBroker(broker);
//     if (ui.deviceDialog->Execute()) ... ui.deviceDialog->Dialog()->Device ...
#pragma once

#include <QString>
#include <QWidget>

#include "output/device_dialog.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornDeviceDialogHolder : public QWidget {
    Q_OBJECT
    Q_PROPERTY(vorn::TvornPrintDevices PrintDevices READ PrintDevices WRITE SetPrintDevices)
    Q_PROPERTY(vorn::TvornPrintDevice PrintDefault READ PrintDefault WRITE SetPrintDefault)
    Q_PROPERTY(QString FileExtension READ FileExtension WRITE SetFileExtension)
    Q_PROPERTY(QString SaveFile READ SaveFile WRITE SetSaveFile)

  public:
    explicit TvornDeviceDialogHolder(QWidget* parent = nullptr);

    TvornDeviceDialog* Dialog() { return &dialog_; }
    bool Execute() { return dialog_.Execute(); }

    TvornPrintDevices PrintDevices() const { return dialog_.PrintDevices; }
    void SetPrintDevices(TvornPrintDevices devices) { dialog_.PrintDevices = devices; }
    TvornPrintDevice PrintDefault() const { return dialog_.PrintDefault(); }
    void SetPrintDefault(TvornPrintDevice device) { dialog_.SetPrintDefault(device); }
    QString FileExtension() const { return dialog_.FileExtension; }
    void SetFileExtension(const QString& extension) { dialog_.FileExtension = extension; }
    QString SaveFile() const { return dialog_.SaveFile; }
    void SetSaveFile(const QString& file) { dialog_.SaveFile = file; }

    // In Designer the holder is shown as a small labelled box, so it can be picked and moved.
    void ShowForDesign();

    QSize sizeHint() const override { return {120, 24}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TvornDeviceDialog dialog_;
};

}  // namespace vorn

#pragma GCC visibility pop
