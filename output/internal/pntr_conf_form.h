// The confirmation form of the related-records operation: the question what to do with the
// records of a detail that belong to the master's record, the actions offered (move them to
// another master record, clear their link, delete them), OK and Cancel, and a hidden dialog
// edit through which the new master record of a move is picked. In direct-move mode the form
// only picks that record: it shrinks to a pixel and opens the pick list at once.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QRadioButton;

namespace vorn {

class TvornDialogEdit;
class TvornFinder;
class TvornSource;

class TPntrConfFrm : public QDialog {
    Q_OBJECT

  public:
    enum class Action { None = 0, Delete = 1, Move = 2, Clear = 3 };

    explicit TPntrConfFrm(QWidget* parent = nullptr);
    ~TPntrConfFrm() override;

    // The layout, in pixels.
    static constexpr int kQuestionWidth = 254;
    static constexpr int kOptionTextWidth = 257;
    static constexpr int kOptionsBelowQuestion = 15;
    static constexpr int kButtonAboveText = 2;
    static constexpr int kOptionPitch = 5;
    static constexpr int kBottomMargin = 10;
    static constexpr int kButtonsAboveBottom = 29;

    QLabel* ConfImage;
    QLabel* Label3;              // the question
    QRadioButton* RadioButton2;  // move
    QLabel* Label2;
    QRadioButton* RadioButton3;  // clear
    QLabel* Label4;
    QRadioButton* RadioButton1;  // delete
    QLabel* Label1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    TvornDialogEdit* xdeMove;
    TvornFinder* vornFinder1;

    // The choice, made anew each time the form is shown.
    Action ChosenAction = Action::None;
    QString MoveTarget;
    // The form only picks the target of a move.
    bool DirectMove = false;
    // The master record's identifier text, as Setup fetched it for the texts.
    QString MasterName;

    // Prepares the form for the records of `detail` related to `master`'s record, offering the
    // actions asked for (in the order move, clear, delete; the first offered is checked). The
    // pick list of a move offers the master's file without the master's record, with the
    // columns and caption of `chooser` when one is given (and its finder's screen as well).
    void Setup(TvornSource& master, TvornSource& detail, bool clear, bool move, bool del,
               TvornDialogEdit* chooser);
    // Restricts the pick list to the records other than `masterRecord`, and then to `screen`.
    void ScreenOutMaster(const QString& masterRecord, const QString& screen = QString());

    // Cancel, Escape and the close box: no action.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OkClicked();
    void OpenPickList();
    void Picked();
    void PickCancelled();
    // Shows the offered options one under another below the question and fits the form to them.
    void Arrange(bool move, bool clear, bool del);
};

}  // namespace vorn
