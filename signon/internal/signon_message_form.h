// "Signon Message": the messages the server has for the user after a sign-on.
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace vorn {

class TfrmSignonMsg : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmSignonMsg(const QStringList& lines = {}, QWidget* parent = nullptr);

    QPlainTextEdit* mmoMsg;
    QWidget* pnlBottom;
    QPushButton* BitBtn1;

    // The button's left edge in a panel: (panel width - button width) / 2, toward zero.
    static int CentredLeft(int panelWidth, int buttonWidth) {
        return (panelWidth - buttonWidth) / 2;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vorn
