// The help window: one shared, non-modal window that shows the help of a data source's file
// (its name as the title, its description as the text) or any titled text (F1 in a bound
// control, the output forms' F1, a program's About text). The user can copy its text to the
// clipboard or print it. A second showing reuses the window while it is open; closing it frees
// it.
//
// A program installs the window as the display of F1 field help once at start-up:
//
//     vorn::InstallHelpWindow();
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "broker/rpc_broker.h"

#pragma GCC visibility push(default)
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class TvornSource;

class TvornHelpFrm : public QDialog {
    Q_OBJECT

  public:
    // Captions from the toolset's messages through `broker` (the string table without one).
    explicit TvornHelpFrm(TRPCBroker* broker = nullptr);
    ~TvornHelpFrm() override;

    static constexpr int kMinimumWidth = 250;
    static constexpr int kMinimumHeight = 140;

    QLabel* Label1;         // the title
    QPlainTextEdit* Memo1;  // the text, read-only
    QPushButton* Button1;   // Close (also Escape)
    QPushButton* BitBtn1;   // Copy
    QPushButton* BitBtn2;   // Print

    QString Title() const;
    void SetTitle(const QString& title);
    QStringList Lines() const;
    void SetLines(const QStringList& lines);

    // The selection; with nothing selected the title, a line holding one space and the whole
    // text. The window's text stays as it is.
    void CopyText();
    // The printer dialog; when confirmed, the title, a line holding one space and the text (the
    // selected lines when the selection was chosen there) on the workstation's printer.
    void PrintText();
    // The close button 1 pixel from the right edge; the text below the title down to the bottom.
    void Relayout();

    // Escape and the Close button close the window, which frees it.
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetCaptions();

    QPointer<TRPCBroker> broker_;
};

// The open help window, or nullptr when there is none.
TvornHelpFrm* HelpWindow();

// Shows the help of `source`'s file: the file's name as the server knows it as the title and
// its description as the text (for a sub-file kept in its master's records, the description of
// the master's field that holds it).
void ShowFieldHelp(TvornSource& source);

// Shows `text` under `title`; the text is split into lines at each line break ("\r", "\r\n" or
// "\n").
void ShowTitledText(const QString& title, const QString& text);

// The lines ShowTitledText makes of `text`.
QStringList HelpTextLines(const QString& text);

// Makes the help window the display of F1 field help (source/field_help_display.h). Call once
// at start-up; without it F1 in a bound control shows nothing.
void InstallHelpWindow();

}  // namespace vorn

#pragma GCC visibility pop
