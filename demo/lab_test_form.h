// The demo's main form: lab tests (file 80001) found, browsed and edited on its first tab, the
// File menu with the recently visited lab tests, and the Exit button. The form's look is its
// form definition (lab_test_form.ui); its non-visual components and their wiring are here, and
// the wiring is the whole of its behaviour.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui_lab_test_form.h"

namespace vorn {

class TRPCBroker;
class TvornFinder;
class TvornSource;
class TvornExecBtn;

// Where the form's broker connects, and the codes it signs on with when they are given (the
// form definition's values and the sign-on form otherwise).
struct LabTestConnection {
    QString server = QStringLiteral("localhost");
    int port = 9200;
    QString presetCodes;
};

class TfrmLabTest : public QMainWindow, public Ui::TfrmLabTest {
    Q_OBJECT

  public:
    explicit TfrmLabTest(const LabTestConnection& connection = {}, QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    TvornSource* vornSource1;
    TvornFinder* vornFinder1;
    TvornFinder* vornFinder2;
    TvornExecBtn* vornFindBtn1;
    TvornExecBtn* vornPointerBtn2;
    QAction* Hist[4];

    // True once the application context was created.
    bool ContextCreated() const { return contextCreated_; }
    // The history item of slot `index` (0 to 3) chosen from the File menu.
    void HistoryClick(int index);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void MakeComponents(const LabTestConnection& connection);
    void Bind();
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void BtnExitClick();
    // The date of birth of the person in charge, as the data source reports it.
    void ShowDateOfBirth();
    void FillHistoryMenu();
    void FocusAbbreviation();

    bool contextCreated_ = false;
    bool shown_ = false;
};

inline const QString kDemoContext = QStringLiteral("ZAZIRERO");

}  // namespace vorn
