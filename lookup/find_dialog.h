// The find dialog: the pick list a dialog edit opens for a find or a pointer lookup. A search
// box with a Find again button, the grid of the entries the edit's finder returned, and the
// buttons Select, Insert, Zoom, Cancel and More. It does not block the rest of the program and
// stays on top of its windows; the buttons that end it close it, and it goes away once the
// events waiting for it are handled.
#pragma once

#include <QDialog>
#include <QPointer>

#include "lookup/find_dialog_client.h"
#include "lookup/find_dialog_layout.h"
#include "source/vorn_types.h"

#pragma GCC visibility push(default)
class QLineEdit;
class QPushButton;

namespace vorn {

class TXDEStringGrid;

// How the dialog edit wants its dialog: caption, grid rows, and the buttons shown.
struct FindDialogSetup {
    QString caption;
    int rowHeight = 20;
    int dropDownCount = 8;
    bool showSelect = true;
    bool showInsert = false;
    bool showZoom = false;
    bool showCancel = true;
};

class TfrmFind : public QDialog {
    Q_OBJECT

  public:
    // Owned by `owner` (the edit's form); a top-level window of its own.
    explicit TfrmFind(QWidget* owner);
    ~TfrmFind() override;

    QLineEdit* edtFind;
    TXDEStringGrid* grdPick;
    QPushButton* btnSelect;
    QPushButton* btnInsert;
    QPushButton* btnCancel;
    QPushButton* btnMore;
    QPushButton* btnFind;
    QPushButton* btnZoom;

    // Lays the dialog out for a lookup of the edit `edit` (its text, font and height) with the
    // columns, sorting and finder of `client`: sizes, captions, buttons.
    void Prepare(const FindDialogSetup& setup, const FindDialogClient& client, QWidget& edit);
    // Shows the finder's lines in the grid (sorted first when the lookup sorts); after a More
    // request the grid shows its last row.
    void FillGrid(bool afterMore = false);
    const FindDialogLayout& Layout() const { return layout_; }
    // The edit took the outcome: the dialog closes and goes away.
    void Finish();
    // The dialog no longer stays on top (a form opened for Insert or Zoom goes in front).
    void DropStayOnTop();

    // What the buttons do.
    void Select();
    void Insert();
    void CancelDialog();
    void Zoom();
    void More();
    void FindAgain();

  signals:
    // The user's outcome, for the edit to apply. Select, Insert and Cancel end the dialog once
    // the edit has applied them (Finish); Zoom leaves it open.
    void Result(const vorn::FindResult& result);
    // A heading click sorted the list by another field.
    void SortFieldChanged(const QString& field);
    // F1 in the search box.
    void HelpRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Connect();
    // The line of the grid's current row; false on the heading row or an empty list.
    bool CurrentLine(QString& line) const;
    void SortByHeading(int column);
    void SetMoreColour(bool more);
    // Fetches the finder's first batch (or the next one), telling the user of too many matches.
    void FetchPage(bool more);

    FindDialogClient client_;
    FindDialogLayout layout_;
    QPoint mousePosition_;
    int dropDownCount_ = 8;
    int lastColumnWidth_ = 0;
    int scrollBarWidth_ = 0;
    bool finished_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
