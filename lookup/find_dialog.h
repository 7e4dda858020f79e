// The find dialog: the pick list a dialog edit opens for a find or a pointer lookup. A search
// box with a Find again button, the grid of the entries the edit's finder returned, and the
// buttons Select, Insert, Zoom, Cancel and More. It does not block the rest of the program and
// stays on top of its windows; the buttons that end it close it, and it goes away once the
// events waiting for it are handled.
#pragma once

#include <QDialog>
#include <QPointer>

#include "lookup/find_dialog_layout.h"
#include "source/vorn_types.h"

class QLineEdit;
class QPushButton;

namespace vorn {

class FindDialogClient;
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

    // The dialog edit that opened the dialog; the dialog writes its outcome there.
    void SetEdit(FindDialogClient* edit);
    FindDialogClient* Edit() const;
    // The edit goes away before the dialog: nothing is written back any more.
    void DetachEdit();

    // Lays the dialog out for the edit's current lookup: columns, sizes, captions, buttons.
    void Prepare(const FindDialogSetup& setup);
    // Shows the finder's lines in the grid (sorted first when the edit sorts); after a More
    // request the grid shows its last row.
    void FillGrid(bool afterMore = false);
    const FindDialogLayout& Layout() const { return layout_; }

    // What the buttons do.
    void Select();
    void Insert();
    void CancelDialog();
    void Zoom();
    void More();
    void FindAgain();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Connect();
    // The line of the grid's current row; false on the heading row or an empty list.
    bool CurrentLine(QString& line) const;
    void ShowFieldHelp();
    void SortByHeading(int column);
    void DropStayOnTop();
    void SetMoreColour(bool more);
    void RaiseEvent(const TNotifyEvent& event, QObject* sender);

    FindDialogClient* client_ = nullptr;
    QPointer<QWidget> editWidget_;
    FindDialogLayout layout_;
    int dropDownCount_ = 8;
    int lastColumnWidth_ = 0;
    int scrollBarWidth_ = 0;
};

}  // namespace vorn
