#include "demo/lab_test_form.h"

#include "demo/secondary_forms.h"

#include <QCloseEvent>
#include <QShortcut>

#include "broker/broker_error.h"
#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "controls/exec_button.h"
#include "controls/vorn_btn.h"
#include "demo/page_rules.h"
#include "lookup/vorn_finder.h"
#include "source/record_requests.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

TvornFinder* MakeFinder(QObject* owner, const char* name, TRPCBroker* broker, const char* file) {
    auto* finder = new TvornFinder(owner);
    finder->setObjectName(QString::fromLatin1(name));
    finder->SetRPCBroker(broker);
    finder->FileNumber = QString::fromLatin1(file);
    finder->FMIndex = QStringLiteral("B");
    finder->FinderFlags = QStringLiteral("M");
    finder->Number = QStringLiteral("5");
    return finder;
}

}  // namespace

TfrmLabTest::TfrmLabTest(const LabTestConnection& connection, QWidget* parent)
    : QMainWindow(parent) {
    setupUi(this);
    Hist[0] = Hist1;
    Hist[1] = Hist2;
    Hist[2] = Hist3;
    Hist[3] = Hist4;
    MakeComponents(connection);
    MakeDetailComponents();
    Bind();
    BindDetails();
    BindCommands();
    ui::LoadComponents(*this);
    FormCreate();
}

// The sources and grids the form owns go after this body, and they still signal as they go:
// nothing of the form may answer them then.
TfrmLabTest::~TfrmLabTest() {
    for (const QMetaObject::Connection& c : zoomFollows_)
        disconnect(c);
    delete pageRules_;
}

void TfrmLabTest::SetSecondaryForms(TfrmLabResult* labResult, TfrmSubresult* subresult,
                                    TfrmUnit* unit, TfrmPerson* person) {
    labResultForm_ = labResult;
    subresultForm_ = subresult;
    unitForm_ = unit;
    personForm_ = person;
}

void TfrmLabTest::MakeComponents(const LabTestConnection& connection) {
    RPCBroker1 = new TRPCBroker(this);
    RPCBroker1->setObjectName(QStringLiteral("RPCBroker1"));
    RPCBroker1->SetServer(connection.server);
    RPCBroker1->SetListenerPort(connection.port);
    RPCBroker1->SetClearParameters(true);
    RPCBroker1->SetClearResults(true);
    RPCBroker1->PresetCodes = connection.presetCodes;

    vornSource1 = new TvornSource(this);
    vornSource1->setObjectName(QStringLiteral("vornSource1"));
    vornSource1->FileName = QStringLiteral("Demo Lab Test");
    vornSource1->FileNumber = QStringLiteral("80001");
    vornSource1->FMIndex = QStringLiteral("B");
    vornSource1->FMIndexField = QStringLiteral(".01");
    vornSource1->HistorySize = 4;
    vornSource1->LockTimeOut = 1;
    vornSource1->TypeIfSubFile = TvornSubFileType::None;
    vornSource1->SetUserAccess(kAllAccess);
    vornSource1->FMAccessUsed = false;
    vornSource1->ConfirmMessages = ConfirmDelete | ConfirmInsert;
    vornSource1->InformMessages = InformChange | InformDelete | InformInsert;
    vornSource1->DelPointerDisplay()->DispFiles = 6;
    vornSource1->DelPointerDisplay()->DispRecords = 2;
    vornSource1->DelPointerDisplay()->DispNoXRefs = 6;
    vornSource1->SetRPCBroker(RPCBroker1);

    vornFinder1 = MakeFinder(this, "vornFinder1", RPCBroker1, "80001");
    vornFinder2 = MakeFinder(this, "vornFinder2", RPCBroker1, "80000");
}

void TfrmLabTest::Bind() {
    for (BoundControlBase* control :
         std::initializer_list<BoundControlBase*>{xedtName, xedtIntrDate, xlblYears, xchbInUse,
                                                  xedtLength, xcbFormat, xrgSpecTaker, xmmoDesc})
        control->SetvornSource(vornSource1);
    xDlgAbbreviation->SetvornSource(vornSource1);
    xDlgCharge->SetvornSource(vornSource1);
    for (TvornBtn* button :
         {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast})
        button->SetvornSource(vornSource1);

    xDlgAbbreviation->VisibleButtons =
        TvornDlgButton::DoSelect | TvornDlgButton::DoInsert | TvornDlgButton::DoCancel;
    xDlgAbbreviation->SetvornFinderForFind(vornFinder1);
    vornFindBtn1 = TvornExecBtn::CreateFor(*xDlgAbbreviation, false);
    // Alt+F opens the File menu: the find button answers to Alt+N.
    vornFindBtn1->setText(QStringLiteral("Fi&nd"));
    xDlgCharge->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoInsert |
                                 TvornDlgButton::DoCancel | TvornDlgButton::DoZoom;
    xDlgCharge->SetvornFinderForPointer(vornFinder2);
    vornPointerBtn2 = TvornExecBtn::CreateFor(*xDlgCharge, true);

    vornSource1->AfterClear = [this](QObject*) { ShowDateOfBirth(); };
    vornSource1->AfterGetAndFill = [this](QObject*) { ShowDateOfBirth(); };
    vornSource1->AfterUpdateHistory = [this](QObject*) { FillHistoryMenu(); };
    xDlgCharge->AfterExecute = [this](QObject*) { ShowDateOfBirth(); };
    // Emptied, the field runs no AfterExecute: leaving it shows what it now holds.
    xDlgCharge->OnExit = [this](QObject*) { ShowDateOfBirth(); };
    for (TvornBtn* button : {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete})
        button->AfterClick = [this](QObject*) { FocusAbbreviation(); };

    for (int i = 0; i < 4; ++i)
        connect(Hist[i], &QAction::triggered, this,
                ui::GuardedSlot(this, [this, i] { HistoryClick(i); }));
    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnExitClick(); });
    // The Exit button is the form's cancel button.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, BtnExit,
            &QPushButton::click);
    // The menu's Exit does what the Exit button does.
    connect(Exit, &QAction::triggered, this, [this] { BtnExitClick(); });
}

void TfrmLabTest::FormCreate() {
    contextCreated_ = false;
    AdjustFormToDisplay(*this);
    try {
        if (RPCBroker1->OpenAppContext(kDemoContext)) contextCreated_ = true;
    } catch (const EBrokerError&) {
        ui::Modal().ShowMessage(this, {QStringLiteral("Connection failed!"),
                                       QStringLiteral("Error"), ui::MessageKind::Error, ui::mbOK});
    }
}

void TfrmLabTest::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        ui::Guarded([this] { FormShow(); }, this);
    }
}

void TfrmLabTest::FormShow() {
    if (!contextCreated_) {
        // Closing from inside the show would leave the window half shown; close right after.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    if (vornSource1->TypeIfSubFile == TvornSubFileType::None) {
        vornSource1->Open();
        vornSource1->Clear();
    }
    pageRules_->ShowPage(0);
    FocusAbbreviation();
}

bool TfrmLabTest::FormCloseQuery() {
    // From the last detail to the main source; the first that may not be left stops it.
    for (TvornSource* source : {vornSource5, vornSource4, vornSource3, vornSource2, vornSource1})
        if (!source->CheckSaveChanges()) return false;
    return true;
}

void TfrmLabTest::closeEvent(QCloseEvent* event) {
    bool mayClose = true;
    if (contextCreated_ && !ui::Guarded([&] { mayClose = FormCloseQuery(); }, this))
        mayClose = false;
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void TfrmLabTest::BtnExitClick() {
    close();
}

void TfrmLabTest::HistoryClick(int index) {
    vornSource1->GoToHistory(index);
}

void TfrmLabTest::FocusAbbreviation() {
    if (xDlgAbbreviation->isVisible()) xDlgAbbreviation->setFocus();
}

void TfrmLabTest::ShowDateOfBirth() {
    // A person just chosen is not on the stored record yet: its line in the pick list has the
    // date (the list's second column).
    const QString person = xDlgCharge->InternalValue();
    const QString caret = QStringLiteral("^");
    if (!person.isEmpty() && person == xDlgCharge->ChosenIen() &&
        Piece(xDlgCharge->ChosenLine(), caret, 1) == person) {
        LabelDOB->setText(Piece(xDlgCharge->ChosenLine(), caret, 3));
        return;
    }
    if (person.isEmpty()) {
        LabelDOB->setText({});
    } else if (person == vornSource1->GetFieldValue(QStringLiteral("7"))) {
        LabelDOB->setText(vornSource1->GetFieldText(QStringLiteral("7:2")));
    } else if (TRPCBroker* broker = vornSource1->RPCBroker()) {
        // A person set by the program (one just added from the list) is not the stored
        // record's: the date is the person's own, read from the persons.
        const records::RecordAnswer answer = records::ReadRecordAnswer(
            broker->Call(records::ReadRequest(QStringLiteral("80000"), {QStringLiteral("2")},
                                           person + u',')));
        LabelDOB->setText(records::FieldPiece(answer.lines, QStringLiteral("2"), person, 5));
    }
}

void TfrmLabTest::FillHistoryMenu() {
    // Every item is set: a record taken off the history shortens the list. A slot without a
    // record has no text.
    for (int n = 0; n < 4; ++n) {
        const QString text = vornSource1->HistoryText(n);
        if (!text.isEmpty()) Hist[n]->setText(QStringLiteral("&%1 ").arg(n + 1) + text);
        Hist[n]->setVisible(!text.isEmpty());
    }
}

}  // namespace vorn
