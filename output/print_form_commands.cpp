// The preview's commands: printing, saving, copying, searching, the hand-offs and the help.
#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>

#include "output/internal/document_output.h"
#include "output/internal/line_printing.h"
#include "output/internal/output_texts.h"
#include "output/internal/print_form.h"
#include "source/internal/source_messages.h"
#include "toolkit/document_handoff.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

int gSearchStart = 0;

ui::PrinterChoices SelectionAllowed() {
    ui::PrinterChoices choices;
    choices.selection = true;
    return choices;
}

}  // namespace

int TfrmPrint::SearchStart() {
    return gSearchStart;
}

void TfrmPrint::ResetSearchStart() {
    gSearchStart = 0;
}

QStringList TfrmPrint::Outgoing(const QStringList& lines) const {
    if (!Incomplete()) return lines;
    return QStringList{incompleteNote_} + lines;
}

void TfrmPrint::PrintOut(const QStringList& lines) {
    PrintOnWorkstation(Outgoing(lines), broker_.data());
}

void TfrmPrint::PrintWithRange() {
    QPrinter& printer = WorkstationPrinter();
    if (!ui::Modal().ChoosePrinter(this, printer, SelectionAllowed())) return;
    const QTextCursor cursor = RichEdit1->textCursor();
    if (printer.printRange() == QPrinter::Selection && cursor.hasSelection())
        PrintOut(printing::SelectionLines(cursor.selectedText()));
    else
        PrintOut(Lines());
}

void TfrmPrint::PrintAll() {
    if (!ui::Modal().ChoosePrinter(this, WorkstationPrinter(), SelectionAllowed())) return;
    PrintOut(Lines());
}

void TfrmPrint::SaveText() {
    const QString filter =
        extension_.isEmpty() ? QString() : QStringLiteral("*.%1 (*.%1);;* (*)").arg(extension_);
    QString path = ui::Modal().SaveFileName(this, QString(), QString(), filter);
    if (path.isEmpty()) return;
    if (!extension_.isEmpty() && !path.section(u'/', -1).contains(u'.')) path += u'.' + extension_;
    QString error;
    if (!SaveLines(path, Outgoing(Lines()), &error)) say::Error(SaveFailedText(path, error));
}

void TfrmPrint::ToSpreadsheet() {
    OpenInSpreadsheet(Outgoing(Lines()));
}

void TfrmPrint::ToWordProcessor() {
    OpenInWordProcessor(Outgoing(Lines()));
}

void TfrmPrint::CopyText() {
    if (!RichEdit1->textCursor().hasSelection()) RichEdit1->selectAll();
    RichEdit1->copy();
}

void TfrmPrint::ToggleMaximized() {
    if (isMaximized()) {
        showNormal();
        const QString caption = OutputText(texts::kMaximize, broker_.data());
        if (!caption.isEmpty()) pumMaximize->setText(caption);
    } else {
        showMaximized();
        const QString caption = OutputText(texts::kNormalize, broker_.data());
        if (!caption.isEmpty()) pumMaximize->setText(caption);
    }
}

void TfrmPrint::OpenFind() {
    ui::Modal().FindText(this, QString(), [this](const QString& text) { FindNext(text); });
}

void TfrmPrint::FindNext(const QString& text) {
    // The whole rest of the text is searched, its last characters included.
    const QString document = RichEdit1->toPlainText();
    qsizetype at = document.indexOf(text, gSearchStart, Qt::CaseInsensitive);
    if (at < 0) {
        gSearchStart = 0;
        at = document.indexOf(text, 0, Qt::CaseInsensitive);
    }
    if (at < 0) {
        say::Information(OutputText(texts::kSearchNotFound, broker_.data()));
        return;
    }
    QTextCursor cursor(RichEdit1->document());
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + text.size()), QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(cursor);
    gSearchStart = static_cast<int>(at) + 1;
}

QString TfrmPrint::HelpText() const {
    TRPCBroker* broker = broker_.data();
    const std::pair<const QWidget*, int> commands[] = {{btnPrint, texts::kToWorkstationPrinter},
                                                       {btnSaveAs, texts::kToWorkstationFile},
                                                       {btnWord, texts::kToWordProcessor}};
    QStringList offered;
    for (const auto& [button, id] : commands)
        if (!button->isHidden()) offered.append(OutputText(id, broker));
    if (pumExcel->isVisible()) offered.append(OutputText(texts::kToSpreadsheet, broker));
    QString text = OutputText(texts::kPreviewHelp, broker) + QStringLiteral("\r\r");
    if (!offered.isEmpty()) text += offered.join(u'\r') + QStringLiteral("\r\r");
    text += QStringLiteral("...") + OutputText(texts::kRedirectHelp, broker) +
            OutputText(texts::kCopyHelp, broker) + QStringLiteral("\r\r") +
            OutputText(texts::kPartCopyHelp, broker);
    return text;
}

}  // namespace vorn
