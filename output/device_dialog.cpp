#include "output/device_dialog.h"

#include <QWidget>
#include <memory>

#include "output/internal/sel_dev_form.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

// The window of the form that owns the component, for the dialogs to open over.
QWidget* OwnerWindow(const QObject& component) {
    auto* owner = qobject_cast<QWidget*>(component.parent());
    return owner ? owner->window() : nullptr;
}

}  // namespace

TvornDeviceDialog::TvornDeviceDialog(QObject* owner) : QObject(owner) {
    SetPrintDefault(pdScreen);
}

void TvornDeviceDialog::SetPrintDefault(TvornPrintDevice device) {
    printDefault_ = device;
    const DeviceDefaults defaults = DefaultsFor(device);
    Device = defaults.device;
    IOP = defaults.iop;
    SaveDial = defaults.saveDial;
    PrintDial = defaults.printDial;
}

bool TvornDeviceDialog::Execute() {
    if (CountDevices(PrintDevices) < 2) return ExecuteSingle();
    const auto form = std::make_unique<TfrmSelDev>(OwnerWindow(*this));
    if (broker_) form->SetBroker(broker_);
    form->Setup(PrintDevices);
    form->SetDefaultDevice(printDefault_);
    form->SaveFile = SaveFile;
    form->SetFileExtension(FileExtension);
    form->ServerPrinterOnly = false;
    ui::Modal().ExecModal(*form);
    Device = form->Device;
    IOP = form->IOP;
    SaveFile = form->SaveFile;
    SaveDial = form->SaveDial;
    PrintDial = form->PrintDial;
    return !IOP.isEmpty();
}

bool TvornDeviceDialog::ExecuteSingle() {
    SetPrintDefault(printDefault_);
    switch (printDefault_) {
        case pdFile: {
            TfrmSelDev form(OwnerWindow(*this));
            form.SaveFile = SaveFile;
            form.SetFileExtension(FileExtension);
            if (!form.RunSaveDialog()) return false;
            SaveFile = form.SaveFile;
            return !SaveFile.isEmpty();
        }
        case pdPrinter: {
            TfrmSelDev form(OwnerWindow(*this));
            return form.RunPrintDialog();
        }
        case pdServerPrinter: {
            TfrmSelDev form(OwnerWindow(*this));
            if (broker_) form.SetBroker(broker_);
            IOP = form.GetSPr();
            return !IOP.isEmpty();
        }
        default:
            return true;
    }
}

}  // namespace vorn
