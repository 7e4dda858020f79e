#include "output/vorn_print.h"

#include <QApplication>
#include <QWidget>
#include <memory>

#include "output/device_dialog.h"
#include "output/internal/document_output.h"
#include "output/internal/output_texts.h"
#include "output/internal/print_form.h"
#include "output/internal/print_requests.h"
#include "output/vorn_report.h"
#include "source/dialog_text.h"
#include "source/internal/no_broker_link.h"
#include "source/internal/source_messages.h"
#include "toolkit/document_handoff.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

constexpr int kDialogCancel = 60;

QString ArrivedText(qsizetype lines) {
    return QStringLiteral("Receiving the document from the server: %1 lines so far.").arg(lines);
}

}  // namespace

QString PrintWithoutBrokerText(const QString& componentName) {
    return u'"' + componentName +
           QStringLiteral(
               "\" is not assoicated with a Broker link.\r\n"
               "Please contact developer for assistance.\r\nThank you.");
}

TvornPrint::TvornPrint(QObject* owner) : QObject(owner) {}

TRPCBroker& TvornPrint::RequireBroker() const {
    if (!broker_) {
        QApplication::beep();
        throw ENoBrokerLink(PrintWithoutBrokerText(objectName()));
    }
    return *broker_;
}

QWidget* TvornPrint::OwnerWindow() const {
    auto* owner = qobject_cast<QWidget*>(parent());
    return owner ? owner->window() : nullptr;
}

void TvornPrint::Print(const QString& handle, TvornDeviceDialog* dialog) {
    if (!dialog) return;
    PrintDevices = dialog->PrintDevices;
    FileExtension = dialog->FileExtension;
    if (!IsWorkstationIop(dialog->IOP)) {
        // The server printed the document when it stored it: only a stored one was printed.
        if (dialog->Device == words::kServer && !dialog->IOP.isEmpty() && !handle.isEmpty())
            say::Information(OutputText(texts::kSentToPrinter, broker_.data()));
        return;
    }
    if (handle.isEmpty()) return;
    handle_ = handle;
    device_ = dialog->Device;
    lines_.clear();
    errors_.clear();
    more_ = false;
    switch (FetchDocument()) {
        case Arrival::Failed:
            return;
        case Arrival::Cancelled:
            // What arrived is the user's to look at; it is not put out as the whole document.
            ShowPreview(true);
            return;
        case Arrival::Whole:
            Output(*dialog);
            return;
    }
}

void TvornPrint::PrintReport(const TvornReport& report, TvornDeviceDialog* dialog) {
    if (!dialog) return;
    if (!report.ErrorLines().isEmpty()) {
        // The server's own lines say why there is nothing to put out.
        errors_ = report.ErrorLines();
        say::Error(errors_.join(say::kLineBreak));
        return;
    }
    if (report.DocumentHandle().isEmpty()) {
        say::Error(QStringLiteral("The server sent no document for the report, and no reason."));
        return;
    }
    Print(report.DocumentHandle(), dialog);
}

TvornPrint::Arrival TvornPrint::FetchDocument() {
    output::DocumentPaging paging;
    std::unique_ptr<ui::ProgressView> progress;
    bool again = true;
    while (again) {
        const output::PageAnswer answer =
            output::ReadPageAnswer(RequireBroker().Call(output::PageRequest(handle_)));
        more_ = answer.more;
        again = paging.Take(answer);
        lines_ = paging.Lines();
        errors_ = paging.Errors();
        if (!again) break;
        if (!progress && paging.Replies() >= kQuietPages)
            progress = ui::Modal().ShowProgress(
                OwnerWindow(), {OutputText(texts::kPrintPreview, broker_.data()),
                                ArrivedText(lines_.size()), DialogText(kDialogCancel)});
        if (progress) {
            progress->Update(ArrivedText(lines_.size()));
            if (progress->Cancelled()) return Arrival::Cancelled;
        }
    }
    progress.reset();
    if (!errors_.isEmpty()) {
        say::Error(errors_.join(say::kLineBreak));
        return Arrival::Failed;
    }
    if (paging.Stalled()) {
        say::Error(QStringLiteral(
                       "The server stopped sending the document before its end; %1 lines arrived.")
                       .arg(lines_.size()));
        return Arrival::Failed;
    }
    return Arrival::Whole;
}

void TvornPrint::Output(const TvornDeviceDialog& dialog) {
    if (IsScreenWord(device_)) {
        ShowPreview();
    } else if (IsFileWord(device_)) {
        if (!dialog.SaveDial) return;
        QString error;
        if (dialog.SaveFile.isEmpty())
            say::Error(QStringLiteral("The document was not saved, as no file name was given."));
        else if (!SaveLines(dialog.SaveFile, lines_, &error))
            say::Error(SaveFailedText(dialog.SaveFile, error));
        else
            say::Information(OutputText(texts::kDocumentPrintedToFile, broker_.data()) +
                             dialog.SaveFile);
    } else if (IsPrinterWord(device_)) {
        if (dialog.PrintDial) PrintOnWorkstation(lines_, broker_.data());
    } else if (IsExcelWord(device_)) {
        OpenInSpreadsheet(lines_);
    } else if (device_ == words::kWord) {
        OpenInWordProcessor(lines_);
    }
}

void TvornPrint::ShowPreview(bool incomplete) {
    TfrmPrint preview(broker_.data(), OwnerWindow());
    preview.SetupForm(PrintDevices, FileExtension);
    preview.SetLines(lines_);
    if (incomplete) preview.MarkIncomplete(lines_.size());
    ui::Modal().ExecModal(preview);
}

void TvornPrint::PrintLines(const QStringList& lines) {
    PrintOnWorkstation(lines, broker_.data());
}

}  // namespace vorn
