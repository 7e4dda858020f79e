// The demo's main form: lab tests on its first tab, with the File menu and the Exit button.
#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QPushButton;
class QTabWidget;
class QWidget;

namespace vorn {

class TRPCBroker;

// Where the form's broker connects; the form definition's values unless the program was
// started with others.
struct LabTestConnection {
    QString server = QStringLiteral("localhost");
    int port = 9200;
};

class TfrmLabTest : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmLabTest(const LabTestConnection& connection = {}, QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    QTabWidget* xPageCtrl1;
    QWidget* TabSheetMaster;
    QPushButton* BtnExit;
    QAction* Exit;
    QAction* Hist[4];

    // True once the application context was created.
    bool ContextCreated() const { return contextCreated_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void BtnExitClick();

    bool contextCreated_ = false;
    bool shown_ = false;
};

inline const QString kDemoContext = QStringLiteral("ZAZIRERO");

}  // namespace vorn
