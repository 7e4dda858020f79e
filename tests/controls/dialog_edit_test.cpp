// The dialog edit, its exec button and its find dialog against the development server: a lab
// test form with a find edit on ".01" and a pointer edit on field 7 (the person in charge).
#include "controls/dialog_edit.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <algorithm>

#include "controls/exec_button.h"
#include "lookup/find_dialog.h"
#include "lookup/internal/xde_string_grid.h"
#include "tests/controls/control_form.h"
#include "tests/support/shown_find.h"

namespace vorn {
namespace {

class DialogEdit : public test::ControlForm {
  protected:
    DialogEdit() {
        form.setObjectName("frmLabTest");
        form.resize(600, 300);
        testFinder = test::NewFinder(form, "80001");
        testFinder->BeforeGetList = [this](QObject*, QString&, QString&, QString&, QString&,
                                           QStringList& partList) { sent = partList; };
        abbreviation = Add<TvornDialogEdit>(".01", "Abbreviation");
        abbreviation->setObjectName("xdeAbbreviation");
        abbreviation->FMIsPointerField = false;
        abbreviation->FMIsFindField = true;
        abbreviation->SetvornFinderForFind(testFinder);
        abbreviation->setGeometry(10, 10, 120, 22);
        personFinder = test::NewFinder(form, "80000");
        person = Add<TvornDialogEdit>("7", "Person in charge");
        person->setObjectName("xdePerson");
        person->SetvornFinderForPointer(personFinder);
        person->setGeometry(10, 50, 200, 22);
        pointerButton = TvornExecBtn::CreateFor(*person, true);
        for (TvornDialogEdit* edit : {abbreviation, person}) {
            edit->AfterExecute = [this, edit](QObject* sender) {
                EXPECT_EQ(sender, edit);
                executed.append(sender);
            };
            edit->AfterCancel = [this, edit](QObject* sender) {
                EXPECT_EQ(sender, edit);
                cancelled.append(sender);
            };
        }
        elsewhere = new QLineEdit(&form);
        elsewhere->setGeometry(10, 100, 100, 22);
    }
    ~DialogEdit() override { test::HideFindDialogs(); }

    // The find dialog on the screen, if one is, kept as `dialog`.
    TfrmFind* Listed() { return dialog = test::ShownFind(); }
    static void Type(TvornDialogEdit* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    static void Enter(QWidget* widget) { QTest::keyClick(widget, Qt::Key_Return); }
    // Opens the form (reading `record`, if given), types `text` into `edit` and presses Enter:
    // the list that opened, if any.
    TfrmFind* Search(TvornDialogEdit* edit, const QString& text, const char* record = nullptr) {
        Open(record);
        Type(edit, text);
        Enter(edit);
        return Listed();
    }
    // Opens the form and drops `edit`'s whole list down with Alt+Down: the list, if one opened.
    TfrmFind* DropDown(TvornDialogEdit* edit) {
        Open();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        return Listed();
    }
    // Runs the releases the closed dialogs asked for: no list is left on the screen.
    static void Released() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(test::ShownFind(), nullptr);
    }
    static QStringList Column(TXDEStringGrid& grid, int column) {
        QStringList cells;
        for (int row = 1; row < grid.RowCount(); ++row)
            cells.append(grid.Cell(column, row));
        return cells;
    }

    TvornFinder *testFinder, *personFinder;
    TvornDialogEdit *abbreviation, *person;
    TvornExecBtn* pointerButton;
    QLineEdit* elsewhere;
    TfrmFind* dialog = nullptr;
    // The part list of the find's last lookup.
    QStringList sent;
    // The edits that raised AfterExecute and AfterCancel, once per time.
    QObjectList executed, cancelled;
};

// F1 in the list's box shows the field's help and description (F1 in the edit itself is the
// bound controls' contract test); Enter there searches again.
TEST_F(DialogEdit, EnterOnAPointerOpensTheListEvenForOneMatchAndItsBoxHelpsAndSearchesAgain) {
    test::HelpCapture window;
    ASSERT_TRUE(Search(person, "VIRT"));
    EXPECT_TRUE(person->PointerMode());
    EXPECT_TRUE(person->DialogActive());
    EXPECT_EQ(dialog->edtFind->text(), "VIRT");
    EXPECT_EQ(dialog->grdPick->Cell(0, 0), "Name");
    EXPECT_EQ(Column(*dialog->grdPick, 0), QStringList{"VIRTANEN,AINO"});
    EXPECT_EQ(dialog->btnSelect->text(), "&Select");
    EXPECT_TRUE(dialog->btnSelect->isEnabled());
    EXPECT_FALSE(dialog->btnZoom->isVisible());
    EXPECT_FALSE(dialog->btnInsert->isVisible());
    EXPECT_EQ(personFinder->DDFile, "80001");
    EXPECT_EQ(personFinder->DDField, "7");
    QTest::keyClick(dialog->edtFind, Qt::Key_F1);
    EXPECT_EQ(window.shown, test::kPersonInChargeHelp);
    person->SetFMHelpUsed(false);
    QTest::keyClick(dialog->edtFind, Qt::Key_F1);
    EXPECT_EQ(window.shown.size(), 2);
    dialog->edtFind->setText("kor");
    QTest::keyClick(dialog->edtFind, Qt::Key_Return);
    EXPECT_EQ(personFinder->PartList(), QStringList{"kor"});
    EXPECT_EQ(Column(*dialog->grdPick, 0), (QStringList{"KORHONEN,EINO"}));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DialogEdit, WithoutExecIfOneMatchASingleMatchIsTakenAtOnce) {
    person->ExecIfOneMatch = false;
    EXPECT_EQ(Search(person, "VIRT"), nullptr);
    EXPECT_EQ(person->text(), "VIRTANEN,AINO");
    EXPECT_EQ(person->InternalValue(), "1");
    EXPECT_EQ(person->ChosenIen(), "1");
    EXPECT_TRUE(person->Chosen());
    EXPECT_EQ(executed, QObjectList{person});
    EXPECT_EQ(source->State(), ssNew);
    EXPECT_TRUE(IsChanged(person));
}

// The cells of each column and the name taken come from their own pieces of the row (the
// pick list's own tests have the other orders of the columns).
TEST_F(DialogEdit, CellsAndTheTakenNameComeFromTheirOwnPieces) {
    person->FieldsForPointer = {".001,No,40", ".01,Name,200", "2,Born,100"};
    ASSERT_TRUE(Search(person, "VIRT"));
    QStringList cells;
    for (int c = 0; c < dialog->grdPick->ColCount(); ++c)
        cells.append(dialog->grdPick->Cell(c, 1));
    EXPECT_EQ(cells, (QStringList{"1", "VIRTANEN,AINO", "FEB 10, 1953"}));
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    EXPECT_EQ(person->text(), "VIRTANEN,AINO");
    EXPECT_EQ(person->InternalValue(), "1");
    EXPECT_TRUE(IsChanged(person));
}

// A way to take the second row of the list: `row` made current first (unless 0), then `take`.
struct SelectCase {
    const char* name;
    int row;
    void (*take)(TfrmFind& list);
};
class DialogEditSelect : public DialogEdit, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(DialogEditSelect, TakesTheCurrentRowIntoThePointer) {
    ASSERT_TRUE(Search(person, "LA"));
    ASSERT_EQ(Column(*dialog->grdPick, 0),
              (QStringList{"LAHTINEN,TARJA", "LAINE,LIISA", "LAITINEN,JUKKA"}));
    if (GetParam().row) dialog->grdPick->SetRow(GetParam().row);
    GetParam().take(*dialog);
    Released();
    EXPECT_EQ(person->text(), "LAINE,LIISA");
    EXPECT_EQ(person->InternalValue(), "7");
    EXPECT_EQ(person->ChosenLine(), "7^LAINE,LIISA");
    EXPECT_FALSE(person->TextModified());
    EXPECT_TRUE(IsChanged(person));
    EXPECT_EQ(executed, QObjectList{person});
    EXPECT_EQ(cancelled, QObjectList{});
}

const SelectCase kSelectCases[] = {
    {"SelectButton", 2, [](TfrmFind& d) { QTest::mouseClick(d.btnSelect, Qt::LeftButton); }},
    {"EnterInGrid", 2, [](TfrmFind& d) { QTest::keyClick(d.grdPick, Qt::Key_Return); }},
    {"DoubleClickRow", 0,
     [](TfrmFind& d) {
         QTest::mouseDClick(d.grdPick->viewport(), Qt::LeftButton, {},
                            d.grdPick->visualItemRect(d.grdPick->item(1, 0)).center());
     }},
};
INSTANTIATE_TEST_SUITE_P(DialogEdit, DialogEditSelect, ::testing::ValuesIn(kSelectCases),
                         test::ByName());

TEST_F(DialogEdit, ZoomTellsTheRowsRecordAndKeepsTheListOpenForSelect) {
    person->VisibleButtons |= TvornDlgButton::DoZoom;
    QList<std::pair<QObject*, QString>> zooms;  // the sender and the record of each zoom
    person->OnZoom = [&](QObject* sender) { zooms.append({sender, person->SelectedIen()}); };
    ASSERT_TRUE(Search(person, "MAK"));
    ASSERT_TRUE(dialog->btnZoom->isVisible());
    QTest::keyClick(dialog->grdPick, Qt::Key_Down);
    QTest::mouseClick(dialog->btnZoom, Qt::LeftButton);
    EXPECT_EQ(zooms, (QList<std::pair<QObject*, QString>>{{dialog, "3"}}))
        << "MAKINEN,HELMI, the second of the list";
    EXPECT_EQ(person->DialogResult(), 4);
    EXPECT_EQ(test::ShownFind(), dialog);
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    EXPECT_EQ(person->InternalValue(), "3");
    EXPECT_EQ(person->text(), "MAKINEN,HELMI");
}

struct ExitCase {
    const char* name;
    bool execIfOneMatch;
    QString screen;      // of the pointer lookup's finder
    const char* listed;  // the first row of the list that opens, or none
};
class DialogEditExit : public DialogEdit, public ::testing::WithParamInterface<ExitCase> {};

// Leaving validates the typed text. With ExecIfOneMatch the list opens for the server's answer;
// without it, the pointer lookup's own finder decides whether the answer is taken: its screen
// limits what may be chosen, so the list opens instead.
TEST_P(DialogEditExit, APointerAcceptedOnLeavingIsTakenOrListed) {
    person->ExecIfOneMatch = GetParam().execIfOneMatch;
    personFinder->Screen = GetParam().screen;
    Open();
    Type(person, "VIRT");
    const std::size_t mark = CallMark();
    elsewhere->setFocus();
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 1u);
    if (GetParam().listed) {
        ASSERT_NE(test::ShownFind(), nullptr);
        EXPECT_EQ(test::ShownFind()->grdPick->Cell(0, 1), GetParam().listed);
        EXPECT_TRUE(person->PointerMode());
        EXPECT_TRUE(person->InternalValue().isEmpty());
        return;
    }
    EXPECT_EQ(test::ShownFind(), nullptr);
    EXPECT_EQ(person->text(), "VIRTANEN,AINO");
    EXPECT_EQ(person->InternalValue(), "1");
    EXPECT_TRUE(IsChanged(person));
}

INSTANTIATE_TEST_SUITE_P(DialogEdit, DialogEditExit,
                         ::testing::Values(ExitCase{"ExecIfOneMatch", true, {}, "VIRTANEN,AINO"},
                                           ExitCase{"NoScreen", false, {}, nullptr},
                                           ExitCase{"ScreenedOut", false, "I Y'=1", ""}),
                         test::ByName());

TEST_F(DialogEdit, ARejectedNameShowsTheFieldsHelpAndKeepsTheFocus) {
    Open("1");
    Retype(abbreviation, "MUCHTOOLONGNAME");
    Expect(ui::MessageKind::Warning,
           "Answer with 1 to 10 characters: the short name of the test.\r"
           "The abbreviation that orders and results show for the test.");
    elsewhere->setFocus();
    EXPECT_EQ(test::ShownFind(), nullptr);
    // The form's focus is back in the edit (the window itself comes back when the message goes).
    EXPECT_EQ(form.focusWidget(), abbreviation);
    EXPECT_TRUE(abbreviation->TextModified());
    EXPECT_EQ(abbreviation->InternalValue(), "HB");
}

TEST_F(DialogEdit, ALongTextSearchesWithItsFirstThirtyCharacters) {
    const QString typed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    ASSERT_TRUE(Search(abbreviation, typed));
    EXPECT_EQ(sent, QStringList{typed.left(30)});
    EXPECT_TRUE(testFinder->LookupRequested());
    EXPECT_EQ(dialog->edtFind->text(), typed);
    EXPECT_EQ(Column(*dialog->grdPick, 0), QStringList{""}) << "one empty row";
    EXPECT_FALSE(dialog->btnSelect->isEnabled());
}

// In a new record the find field's text is the record's value: Save new pressed with the focus
// still in it (Alt+A) files what it shows, also when it was taken once and typed over since.
TEST_F(DialogEdit, ANewRecordsFindFieldTextIsFiledWhenSaveNewIsPressedInIt) {
    Open();
    source->Insert();
    ASSERT_TRUE(source->SetFieldValue("2", "Seventh test"));
    Type(abbreviation, "ZZ");
    Focus(elsewhere);
    Type(abbreviation, "7");
    ASSERT_TRUE(abbreviation->hasFocus());
    Expect(ui::MessageKind::Information, "Saved new: Demo Lab Test: ZZ7 Seventh test\r\n");
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source->SaveAs());
    EXPECT_EQ(abbreviation->text(), "ZZ7");
    EXPECT_TRUE(std::ranges::any_of(First(mark, "DDR FILER").params,
                                    [](const auto& e) { return e.value == "80001^.01^+1^ZZ7"; }));
}

// Closing the dialog after an insert is no cancel.
TEST_F(DialogEdit, ANewRecordsFindFieldOffersInsertAndInsertStartsTheRecordWithTheText) {
    abbreviation->InsertKeyLength = 3;
    Open();
    Type(abbreviation, "HBZZ");
    EXPECT_EQ(source->State(), ssNew);
    Enter(abbreviation);
    EXPECT_EQ(sent, QStringList{"HBZ"});
    ASSERT_TRUE(Listed());
    EXPECT_TRUE(dialog->btnInsert->isVisible());
    EXPECT_EQ(dialog->btnInsert->text(), "&Insert");
    EXPECT_TRUE(abbreviation->VisibleButtons.testFlag(TvornDlgButton::DoInsert));
    QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
    Released();
    EXPECT_EQ(source->State(), ssNew);
    EXPECT_EQ(abbreviation->text(), "HBZZ");
    EXPECT_EQ(abbreviation->InternalValue(), "HBZZ");
    EXPECT_EQ(abbreviation->InsertText(), "HBZZ");
    EXPECT_EQ(abbreviation->DialogResult(), 101);
    EXPECT_TRUE(abbreviation->Chosen());
    EXPECT_TRUE(abbreviation->TextModified());
    EXPECT_EQ(test::Owners(*source).saver.Changed(), QList<TvornBoundControl*>{abbreviation});
    EXPECT_EQ(executed, QObjectList{abbreviation});
    EXPECT_EQ(cancelled, QObjectList{});
}

TEST_F(DialogEdit, MorePagesThroughTheWholeFile) {
    personFinder->Number = "5";
    ASSERT_TRUE(DropDown(person));
    EXPECT_TRUE(person->PointerMode());
    EXPECT_TRUE(personFinder->PartList().isEmpty());
    EXPECT_EQ(dialog->grdPick->RowCount(), 6);
    EXPECT_TRUE(dialog->btnMore->isEnabled());
    EXPECT_EQ(dialog->btnMore->palette().color(QPalette::ButtonText), QColor(0x00, 0x80, 0x00));
    for (int clicks = 0; dialog->btnMore->isEnabled() && clicks < 10; ++clicks) {
        QTest::mouseClick(dialog->btnMore, Qt::LeftButton);
        EXPECT_EQ(dialog->grdPick->Row(), dialog->grdPick->RowCount() - 1);
    }
    EXPECT_EQ(dialog->grdPick->RowCount(), 31);
    QStringList names = Column(*dialog->grdPick, 0);
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 30);
    EXPECT_EQ(dialog->btnMore->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

// A way to end the list without a choice.
struct CancelCase {
    const char* name;
    void (*end)(TfrmFind& list, TvornSource& source);
    const char* chosenIen;
};
class DialogEditCancel : public DialogEdit, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(DialogEditCancel, RaisesAfterCancelOnce) {
    ASSERT_TRUE(Search(person, "VIRT"));
    GetParam().end(*dialog, *source);
    Released();
    EXPECT_FALSE(person->DialogActive());
    EXPECT_EQ(person->ChosenIen(), GetParam().chosenIen);
    EXPECT_EQ(cancelled, QObjectList{person});
    EXPECT_EQ(person->text(), "VIRT");
}

const CancelCase kCancelCases[] = {
    {"CancelButton",
     [](TfrmFind& d, TvornSource&) { QTest::mouseClick(d.btnCancel, Qt::LeftButton); }, "-1"},
    {"Escape", [](TfrmFind& d, TvornSource&) { QTest::keyClick(d.grdPick, Qt::Key_Escape); }, "-1"},
    {"CloseBox", [](TfrmFind& d, TvornSource&) { d.close(); }, ""},
    {"SourceClosed", [](TfrmFind&, TvornSource& s) { s.Close(); }, "-1"},
};
INSTANTIATE_TEST_SUITE_P(DialogEdit, DialogEditCancel, ::testing::ValuesIn(kCancelCases),
                         test::ByName());

TEST_F(DialogEdit, SelectInAFindShowsTheRecordAtTheHeadOfTheHistoryAndReleasesAnEditsLock) {
    source->HistorySize = 3;
    ASSERT_TRUE(Search(abbreviation, "hb"));
    EXPECT_EQ(Column(*dialog->grdPick, 0), (QStringList{"HB", "HBA1C"}));
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    Released();
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(source->Address().Iens(), "1,");
    EXPECT_EQ(abbreviation->text(), "HB");
    EXPECT_EQ(abbreviation->ChosenIen(), "1");
    EXPECT_EQ(test::Owners(*source).history.Entries().value(0).Iens, "1,");
    EXPECT_TRUE(source->HistoryText(0).startsWith("HB"));
    EXPECT_EQ(executed, QObjectList{abbreviation});
    // A find from the record, once edited, releases its lock first.
    const std::size_t mark = CallMark();
    Retype(abbreviation, "CR");
    EXPECT_EQ(source->State(), ssEdit);
    EXPECT_TRUE(test::Owners(*source).locker.Locked());
    Enter(abbreviation);
    ASSERT_TRUE(Listed());
    EXPECT_EQ(Column(*dialog->grdPick, 0), (QStringList{"CREA", "CRP"}));
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    EXPECT_EQ(source->Address().Iens(), "6,");
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_FALSE(test::Owners(*source).locker.Locked());
    EXPECT_EQ(CallCount(mark, "VRNX LOCKS"), 2u);
    EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty());
}

struct SortClickCase {
    const char* name;
    TvornSortClick click;
    Qt::MouseButton button;
    bool doubleClick;
    bool sortsByName;
    int x = 20;  // where on the heading: the first column is 90 wide
};
class DialogEditSortClick : public DialogEdit,
                            public ::testing::WithParamInterface<SortClickCase> {};

// All forty lab tests, though the finder fetches twenty at a time, by length as numbers; a
// sorting click sorts them by name.
TEST_P(DialogEditSortClick, SortsTheWholeListByTheColumnClicked) {
    abbreviation->FieldsForFind = {".01,Abbreviation,90", "6,Length,60"};
    abbreviation->SortField = "6";
    abbreviation->SortClick = GetParam().click;
    ASSERT_TRUE(DropDown(abbreviation));
    const auto byLength = [&] {
        return std::ranges::is_sorted(Column(*dialog->grdPick, 1), {},
                                      [](const QString& cell) { return cell.toInt(); });
    };
    ASSERT_EQ(dialog->grdPick->RowCount(), 41);
    EXPECT_TRUE(byLength());
    EXPECT_EQ(dialog->grdPick->BoldCol(), 1);
    QWidget* heading = dialog->grdPick->horizontalHeader()->viewport();
    const QPoint first(GetParam().x, 5);
    if (GetParam().doubleClick)
        QTest::mouseDClick(heading, GetParam().button, {}, first);
    else
        QTest::mousePress(heading, GetParam().button, {}, first);
    const bool byName = GetParam().sortsByName;
    EXPECT_EQ(byLength(), !byName);
    EXPECT_EQ(abbreviation->SortField, byName ? ".01" : "6");
    EXPECT_EQ(dialog->grdPick->BoldCol(), byName ? 0 : 1);
    if (byName) {
        EXPECT_EQ(dialog->grdPick->Cell(0, 1), "ALB");
    }
    EXPECT_TRUE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    DialogEdit, DialogEditSortClick,
    ::testing::Values(
        SortClickCase{"LeftPress", scLeft, Qt::LeftButton, false, true},
        SortClickCase{"RightPress", scRight, Qt::RightButton, false, true},
        SortClickCase{"DoubleClick", scDouble, Qt::LeftButton, true, true},
        SortClickCase{"RightPressWhenLeftSorts", scLeft, Qt::RightButton, false, false},
        SortClickCase{"NeverOnNone", scNone, Qt::LeftButton, false, false},
        // A press on a column border starts a resize.
        SortClickCase{"NotOnAColumnBorder", scLeft, Qt::LeftButton, false, false, 89}),
    test::ByName());

TEST_F(DialogEdit, FindOnlyNeedsATypedText) {
    abbreviation->FindOnly = true;
    Open();
    abbreviation->setFocus();
    const std::size_t mark = CallMark();
    QTest::keyClick(abbreviation, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(test::ShownFind(), nullptr);
    EXPECT_TRUE(CallNamesSince(mark).empty());
    Expect(ui::MessageKind::Information,
           QStringLiteral("Type at least one character to search with."));
    Enter(abbreviation);
    EXPECT_EQ(test::ShownFind(), nullptr);
    EXPECT_EQ(CallCount(mark, "VRNX FINDER") + CallCount(mark, "DDR LISTER"), 0u);
}

// Moving to its own exec button checks nothing; a lookup started while the list is open uses it.
// The exec buttons follow their edit, one kept apart from the edit's window (no parent widget)
// beside it on the screen.
TEST_F(DialogEdit, MovingToItsOwnExecButtonDoesNotValidateAndExecButtonsFollowTheirEdit) {
    TvornExecBtn* findButton = TvornExecBtn::CreateFor(*abbreviation, false);
    Open();
    Type(person, "VIRT");
    ASSERT_TRUE(person->hasFocus());
    const std::size_t mark = CallMark();
    QTest::mouseClick(pointerButton, Qt::LeftButton);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 0u);
    ASSERT_TRUE(Listed());
    EXPECT_EQ(dialog->grdPick->Cell(0, 1), "VIRTANEN,AINO");
    person->setText("KORH");
    pointerButton->click();
    EXPECT_EQ(std::ranges::count_if(
                  QApplication::topLevelWidgets(),
                  [](QWidget* w) { return qobject_cast<TfrmFind*>(w) && w->isVisible(); }),
              1);
    EXPECT_EQ(test::ShownFind(), dialog);
    EXPECT_EQ(Column(*dialog->grdPick, 0), (QStringList{"KORHONEN,EINO"}));
    QTest::keyClick(dialog->grdPick, Qt::Key_Escape);
    EXPECT_FALSE(person->DialogActive());
    EXPECT_EQ(test::ShownFind(), nullptr);
    EXPECT_TRUE(pointerButton->IsPointerButton());
    EXPECT_FALSE(findButton->IsPointerButton());
    EXPECT_EQ(findButton->text(), "&Find");
    EXPECT_EQ(SourceCore::Of(*source).Registry().ExecButtons().size(), 2);
    person->move(40, 120);
    EXPECT_EQ(pointerButton->geometry(), QRect(241, 120, 20, 20));
    pointerButton->move(0, 0);
    EXPECT_EQ(pointerButton->pos(), QPoint(241, 120));
    abbreviation->setGeometry(10, 150, 120, 30);
    EXPECT_EQ(findButton->geometry(), QRect(152, 150, 62, 28));
    TvornExecBtn apart;
    apart.SetStayNearEdit(true);
    person->SetvornExecPntrBtn(&apart);
    person->move(50, 130);
    EXPECT_EQ(apart.pos(), form.mapToGlobal(QPoint(50 + person->width() + 1, 130)));
    person->SetvornExecPntrBtn(pointerButton);
}

TEST_F(DialogEdit, AtSignIsDroppedFromTheNameWithoutDeleteAccess) {
    source->SetUserAccess(kAllAccess & ~TvornUserAccess(uaDelete));
    Open();
    Type(abbreviation, "A@B");
    EXPECT_EQ(abbreviation->text(), "AB");
    Type(person, "@");
    EXPECT_EQ(person->text(), "@");
}

// Insert in a find that the program vetoes leaves the record shown as it was: the inserted
// text is no new name for it, and its lock is not taken.
TEST_F(DialogEdit, AVetoedInsertInAFindLeavesTheShownRecordUnlockedAndUnchanged) {
    abbreviation->VisibleButtons |= TvornDlgButton::DoInsert;
    source->BeforeInsert = [](QObject*, bool& allow) { allow = false; };
    ASSERT_TRUE(Search(abbreviation, "ZZ", "1"));
    ASSERT_TRUE(dialog->btnInsert->isVisible());
    QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
    Released();
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_FALSE(test::Owners(*source).locker.Locked());
    EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty());
    EXPECT_EQ(abbreviation->InternalValue(), "HB");
}

}  // namespace
}  // namespace vorn
