// The demo's main form: lab tests (file 80001) found, browsed and edited on its first tab; their
// wards, result codes, test results and subresults on the four detail tabs; the File menu with
// the recently visited lab tests; printing, the persons and units forms, help, and the Exit
// button. The form's look is its form definition (lab_test_form.ui); its non-visual components
// and their wiring are here, and the wiring is the whole of its behaviour:
// - lab_test_form.cpp: the components, the first tab, starting, showing and closing;
// - lab_test_details.cpp: the detail tabs and the rules for changing tabs;
// - lab_test_commands.cpp: the menus, the zooms and inserts into the other forms, printing,
//   and deleting or moving all wards.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui_lab_test_form.h"

namespace vorn {

class TRPCBroker;
class TvornDeviceDialog;
class TvornExecBtn;
class TvornFinder;
class TvornPrint;
class TvornReport;
class TvornSource;
class PageRules;
class TfrmLabResult;
class TfrmPerson;
class TfrmSubresult;
class TfrmUnit;

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
    ~TfrmLabTest() override;

    TRPCBroker* RPCBroker1;
    TvornSource* vornSource1;
    TvornSource* vornSource2;
    TvornSource* vornSource3;
    TvornSource* vornSource4;
    TvornSource* vornSource5;
    TvornFinder* vornFinder1;
    TvornFinder* vornFinder2;
    TvornFinder* vornFinder3;
    TvornReport* vornReport1;
    TvornPrint* vornPrint1;
    TvornDeviceDialog* vornDeviceDialog1;
    TvornExecBtn* vornFindBtn1;
    TvornExecBtn* vornPointerBtn2;
    TvornExecBtn* vornPointerBtn3;
    QAction* Hist[4];

    // The secondary forms the commands open (the program makes and owns them).
    void SetSecondaryForms(TfrmLabResult* labResult, TfrmSubresult* subresult, TfrmUnit* unit,
                           TfrmPerson* person);

    // True once the application context was created.
    bool ContextCreated() const { return contextCreated_; }
    // The history item of slot `index` (0 to 3) chosen from the File menu.
    void HistoryClick(int index);

    // --- the commands (lab_test_commands.cpp) ---
    void PrintChosenLabTest();
    void PrintLabTestsOfWards();
    void OpenPersons();
    void OpenUnits();
    // Field help of a source of the form; the About text.
    void ShowHelp(TvornSource* source);
    void ShowAbout();
    void ZoomTestResult();
    void ZoomSubresult();
    void InsertSubresult();
    void DeleteAllWards();
    void MoveAllWards();

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

    // lab_test_details.cpp
    void MakeDetailComponents();
    void BindDetails();
    // May page `page` be left? (the rules for each tab)
    bool PageMayBeLeft(int page);
    // What a page does when it has become the current one.
    void PageShown(int page);
    // Zoom is offered on tabs 4 and 5 only when their grid lists a record.
    void UpdateZoom(QPushButton* zoom, const class TvornGrid* grid);

    // lab_test_commands.cpp
    void BindCommands();
    // The device dialog, then the report of `file` by `fields`, then the print component.
    void RunPrint(const QString& by, const QString& file, const QString& fields);
    void ChargeZoom();
    void ChargeInsert();
    // The subresult form's sources closed and made the details of this form's lab tests.
    void PrepareSubresultForm();
    // Back from a zoom or an insert: the tab's grid read again, its Zoom offered or not.
    void AfterSecondaryForm(TvornSource* source, QPushButton* zoom, class TvornGrid* grid);

    QPointer<TfrmLabResult> labResultForm_;
    QPointer<TfrmSubresult> subresultForm_;
    QPointer<TfrmUnit> unitForm_;
    QPointer<TfrmPerson> personForm_;
    bool contextCreated_ = false;
    bool shown_ = false;
    PageRules* pageRules_ = nullptr;
    // Zoom following the grids' rows; cut before the form's members go.
    QList<QMetaObject::Connection> zoomFollows_;
};

inline const QString kDemoContext = QStringLiteral("ZAZIRERO");

}  // namespace vorn
