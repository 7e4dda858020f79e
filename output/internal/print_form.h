// The print preview: the document read-only in a fixed-pitch font, with commands to print it
// (or its selection) on the workstation's printer, save it, copy it, search it, and hand it to
// a spreadsheet or a word processor. Which output commands it offers follows the destinations
// the device dialog offered.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "broker/rpc_broker.h"
#include "output/print_devices.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class TfrmPrint : public QDialog {
    Q_OBJECT

  public:
    // Captions from the toolset's messages through `broker` (the string table without one).
    explicit TfrmPrint(TRPCBroker* broker, QWidget* parent = nullptr);
    ~TfrmPrint() override;

    QPlainTextEdit* RichEdit1;
    QPushButton* btnPrint;
    QPushButton* btnSaveAs;
    QPushButton* btnWord;
    QPushButton* btnCopy;
    QPushButton* btnExit;
    QMenu* PopupMenu1;
    QAction* pumSave;
    QAction* pumPrint;
    QAction* pumWord;
    QAction* pumExcel;
    QAction* pumCopy;
    QAction* pumMaximize;
    QAction* pumSearch;

    // Hides the output commands of the destinations not in `devices` and lays the buttons out
    // again. `extension` becomes the default extension of the save dialog.
    void SetupForm(TvornPrintDevices devices, const QString& extension);
    void SetLines(const QStringList& lines);
    // Marks the text as the first `arrived` lines of a document whose download was cancelled:
    // the title says so, and what is printed, saved or handed on begins with IncompleteNote.
    void MarkIncomplete(qsizetype arrived);
    bool Incomplete() const { return !incompleteNote_.isEmpty(); }
    // The first line put out for an incomplete document; empty for a whole one.
    const QString& IncompleteNote() const { return incompleteNote_; }
    // The lines of the text.
    QStringList Lines() const;

    // --- the commands ---
    // The printer dialog; then the selection (when that range was chosen) or the whole text.
    void PrintWithRange();
    // The printer dialog; then the whole text.
    void PrintAll();
    void SaveText();
    void ToSpreadsheet();
    void ToWordProcessor();
    // Copies the selection, or everything when nothing is selected.
    void CopyText();
    void ToggleMaximized();
    // The find-text dialog.
    void OpenFind();
    // One Find Next: from where the last match began, once round to the start.
    void FindNext(const QString& text);
    // The F1 help text for the commands offered.
    QString HelpText() const;
    // Lays the text and the buttons out for the window's size.
    void Relayout();

    // Where the next search starts: shared by all previews, and reset when one is shown.
    static int SearchStart();
    static void ResetSearchStart();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void Connect();
    void SetCaptions();
    // Handles the form's own keys wherever the focus is; true when the key was one of them.
    bool FormKey(QKeyEvent& event);
    void PrintOut(const QStringList& lines);
    // `lines` as they go out of the preview: after the incomplete note when there is one.
    QStringList Outgoing(const QStringList& lines) const;

    QPointer<TRPCBroker> broker_;
    QString extension_;
    QString incompleteNote_;
};

}  // namespace vorn
