// The bound grid against the development server: batches, lazy fetching, sorting, header
// clicks and the errors it catches; and masters with their details listed in grids.
#include <gtest/gtest.h>

#include <QDate>
#include <QHeaderView>
#include <QLocale>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "lookup/bound_grid.h"
#include "tests/source/lab_test_source.h"
#include "tests/support/another_user.h"
#include "tests/support/departmental_detail.h"
#include "toolkit/component_loading.h"

namespace vorn {
namespace {

using test::FakeBoundControl;
using test::FakeOperationButton;

// Data sources and bound grids owned by one widget, loaded the way a form loads its components,
// against the development server of the fixture.
class Grid : public test::SourceServer {
  protected:
    Grid() { form.resize(720, 560); }
    TvornSource* NewSource(const QString& name, const QString& file, bool withBroker = true) {
        auto* source = new TvornSource(&form);
        source->setObjectName(name);
        source->FileName = name;
        source->FileNumber = file;
        if (withBroker) source->SetRPCBroker(&Broker());
        return source;
    }
    TvornGrid* NewGrid(const QString& name, TvornSource* source, const QStringList& fields) {
        auto* grid = new TvornGrid(&form);
        grid->setObjectName(name);
        grid->SetvornSource(source);
        grid->SetFields(fields);
        grid->setGeometry(0, 280 * grids_++, 700, 260);
        return grid;
    }
    // A bound control on the form; it goes before its source does.
    FakeBoundControl* NewControl(TvornSource& source, const QString& field) {
        controls_.push_back(std::make_unique<FakeBoundControl>(source, field, &form));
        controls_.back()->move(0, 540);
        return controls_.back().get();
    }
    // The lab tests (80001) in a grid of four columns.
    void LabTests(bool withBroker = true) {
        source = NewSource("vornLabTest", "80001", withBroker);
        grid =
            NewGrid("grdLabTest", source,
                    {".01,Abbreviation,90", "4,Introduced,120", "6,Length,60", "2,Full name,200"});
    }
    // Loads the components as a form does and shows the form.
    void Load() {
        ui::LoadComponents(form);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void LoadAndOpen() {
        Load();
        source->Open();
    }
    void ExpectError(const QString& text) { Expect(ui::MessageKind::Error, text); }
    // How many "DDR LISTER" calls `step` makes.
    template <typename F>
    std::size_t ListerCalls(F&& step) {
        const std::size_t mark = CallMark();
        step();
        return CallCount(mark, "DDR LISTER");
    }
    static void ClickRow(TvornGrid& grid, int row) {
        const QRect cell = grid.visualRect(grid.model()->index(row - 1, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }
    static void PressHeader(TvornGrid& grid, int column, Qt::MouseButton button) {
        QHeaderView* header = grid.horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mousePress(header->viewport(), button, {}, at);
        QTest::mouseRelease(header->viewport(), button, {}, at);
    }
    // The texts of one column's data rows, top to bottom.
    static QStringList ColumnTexts(const TvornGrid& grid, int column) {
        QStringList texts;
        for (int row = 1; row < grid.RowCount(); ++row)
            texts.append(grid.Cell(column, row));
        return texts;
    }
    QWidget form;
    TvornSource* source = nullptr;
    TvornGrid* grid = nullptr;

  private:
    int grids_ = 0;
    std::vector<std::unique_ptr<FakeBoundControl>> controls_;
};

TEST_F(Grid, DownArrowOntoTheLastRowOfABatchFetchesTheNextBatchAndAClearFetchesNone) {
    source = NewSource("vornLabResult", "80005");
    grid = NewGrid("grdLabResult", source,
                   {".01,Patient or specimen,200", "3,Date,120", "4,Result,150"});
    Load();
    EXPECT_EQ(ListerCalls([&] { source->Open(); }), 1u);
    ASSERT_EQ(grid->RowCount(), 51);
    EXPECT_EQ(grid->Cell(0, 0), "Patient or specimen");
    ASSERT_TRUE(source->GetAndFill(grid->RecordNumberAt(48)));
    EXPECT_EQ(grid->Row(), 48);
    const auto down = [&] { QTest::keyClick(grid, Qt::Key_Down); };
    EXPECT_EQ(ListerCalls(down), 0u) << "row 49 is not the last row";
    EXPECT_EQ(grid->Row(), 49);
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(49)) << "the source follows the row";
    EXPECT_EQ(ListerCalls(down), 1u);
    EXPECT_EQ(grid->Row(), 50);
    ASSERT_EQ(grid->RowCount(), 101);
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(50));
    QSet<QString> records;
    for (int row = 1; row < grid->RowCount(); ++row)
        records.insert(grid->RecordNumberAt(row));
    EXPECT_EQ(records.size(), 100) << "the second batch goes on where the first ended";
    // Cleared, the grid fetches no batch when the source reads a record.
    const QString second = grid->RecordNumberAt(2);
    source->Clear();
    EXPECT_EQ(ColumnTexts(*grid, 0), QStringList{""}) << "one empty row";
    EXPECT_EQ(ListerCalls([&] { EXPECT_TRUE(source->GetAndFill(second)); }), 0u)
        << "the old continuation is gone with the rows";
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->RecordNumber(), "");
}

TEST_F(Grid, WithoutReadAccessListsNothing) {
    LabTests();
    source->SetUserAccess(uaBrowse | uaWrite);
    Load();
    const std::size_t mark = CallMark();
    source->Open();
    EXPECT_FALSE(grid->Fill());
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), 0u);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->RecordNumber(), "");
}

TEST_F(Grid, ARowClickIsFollowedUnlessTheSourceTurnedFollowingOff) {
    LabTests();
    QObjectList clicks;  // the sender of each OnClick
    grid->OnClick = [&](QObject* sender) { clicks.append(sender); };
    LoadAndOpen();
    ASSERT_TRUE(source->GetAndFill(grid->RecordNumberAt(1)));
    grid->FollowClicks(false);
    ClickRow(*grid, 2);
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(1));
    EXPECT_TRUE(grid->FollowsClicks()) << "following comes back after one click";
    ClickRow(*grid, 3);
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(3));
    EXPECT_EQ(clicks, (QObjectList{grid, grid}));
}

TEST_F(Grid, TheSourceBrowsesInTheGridsOrder) {
    LabTests();
    auto* first = new FakeOperationButton(*source, DoFirst, &form);
    auto* next = new FakeOperationButton(*source, DoNext, &form);
    grid->SetSorted(true);
    grid->SetSortField("6");
    grid->SortOrder = soDescending;
    LoadAndOpen();
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source->First());
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(1));
    EXPECT_EQ(grid->Cell(2, 1), "250");
    EXPECT_FALSE(first->isEnabled()) << "the first row is the first record";
    ASSERT_TRUE(source->Next());
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(2));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(first->isEnabled());
    ASSERT_TRUE(source->Prior());
    EXPECT_EQ(grid->Row(), 1);
    ASSERT_TRUE(source->Last());
    EXPECT_EQ(grid->Row(), 40);
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(40));
    EXPECT_FALSE(next->isEnabled()) << "the last row is the last record";
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), 0u) << "the grid moves instead of the lister";
}

// The order of each type is the pick list's (its sort tests); here the grid's own part: the whole
// file fetched (40 records in batches of 15), the type asked once, the column's piece, the
// direction and the dates.
TEST_F(Grid, SortsTheWholeFileOnItsColumnInTheDirectionAsked) {
    LabTests();
    grid->Number = "15";
    grid->SetSorted(true);
    grid->SetSortField("4");
    grid->SortOrder = soDescending;
    QList<std::pair<QObject*, qsizetype>> sorts;  // the sender and the lines of each OnSort
    grid->OnSort = [&](QObject* sender, QStringList& lines) {
        sorts.append({sender, lines.size()});
    };
    Load();
    const std::size_t mark = CallMark();
    source->Open();
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), 3u);
    EXPECT_EQ(CallCount(mark, "VRNX DDU FIELDS"), 1u);
    EXPECT_EQ(sorts, (QList<std::pair<QObject*, qsizetype>>{{grid, 40}}));
    // "JUL 16, 1998" as a date.
    const auto date = [](const QString& text) {
        return QLocale::c().toDate(text.left(1).toUpper() + text.mid(1).toLower(), "MMM d, yyyy");
    };
    const QStringList values = ColumnTexts(*grid, 1);
    ASSERT_EQ(values.size(), 40);
    for (int i = 1; i < values.size(); ++i)
        EXPECT_GE(date(values[i - 1]), date(values[i])) << "row " << i;
    // The server reads each date once, however many rows share it.
    const QSet<QString> dates(values.begin(), values.end());
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), static_cast<std::size_t>(dates.size()));
}

TEST_F(Grid, ASortFieldThatIsNoColumnKeepsTheServersOrder) {
    LabTests();
    grid->SetSorted(true);
    grid->SetSortField("5");
    LoadAndOpen();
    const QStringList names = ColumnTexts(*grid, 0);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()))
        << "the B index order of the abbreviations: " << names.join(' ').toStdString();
}

class HeaderClick : public Grid {
  protected:
    void SetUp() override {
        LabTests();
        abbreviation = NewControl(*source, ".01");
        grid->SetSorted(true);
        grid->SortClick = scLeft;
    }
    FakeBoundControl* abbreviation = nullptr;
};

TEST_F(HeaderClick, ResortsAndKeepsTheRecordShown) {
    LoadAndOpen();
    ASSERT_EQ(grid->Cell(0, 1), "ALB");
    ASSERT_TRUE(source->GetAndFill(grid->RecordNumberAt(3)));
    const QString shown = source->Address().Number();
    const QString name = abbreviation->text();
    PressHeader(*grid, 2, Qt::LeftButton);
    EXPECT_EQ(grid->SortField(), "6");
    EXPECT_TRUE(grid->horizontalHeaderItem(2)->font().bold());
    EXPECT_FALSE(grid->horizontalHeaderItem(0)->font().bold());
    EXPECT_EQ(grid->Cell(2, 1), "1");
    EXPECT_EQ(grid->Cell(2, 40), "250");
    EXPECT_EQ(source->Address().Number(), shown);
    EXPECT_EQ(abbreviation->text(), name);
    EXPECT_EQ(grid->RecordNumber(), shown) << "the row of the record shown is current";
}

TEST_F(HeaderClick, MovesToTheFirstRecordWhenTheShownOneIsNoLongerListed) {
    // A lab test filed by another user, and deleted by that user while the grid shows it.
    const QString gone = test::AddLabTest(SecondBroker(), "ZZGONE", "Test filed elsewhere");
    LoadAndOpen();
    ASSERT_TRUE(source->GetAndFill(gone));
    ASSERT_EQ(abbreviation->text(), "ZZGONE");
    const RpcReply deleted = SecondBroker().Call(requests::RecordDelete("80001", gone));
    ASSERT_TRUE(deleted.IsDataMarkerAt(0)) << deleted.Text().toStdString();
    PressHeader(*grid, 2, Qt::LeftButton);
    ASSERT_EQ(grid->RowCount(), 41);
    EXPECT_EQ(grid->Cell(2, 1), "1");
    EXPECT_EQ(source->Address().Number(), grid->RecordNumberAt(1));
    EXPECT_EQ(abbreviation->text(), grid->Cell(0, 1));
    EXPECT_EQ(grid->Row(), 1);
}

enum class Action { LeftPress, RightPress, DoubleClick };

struct HeaderActionCase {
    const char* name;
    bool sorted;
    TvornSortClick sortClick;
    Action action;
    bool sorts;
};

class HeaderAction : public Grid, public ::testing::WithParamInterface<HeaderActionCase> {};

TEST_P(HeaderAction, SortsOnlyOnTheMouseActionOfSortClick) {
    LabTests();
    grid->SetSorted(GetParam().sorted);
    grid->SortClick = GetParam().sortClick;
    LoadAndOpen();
    const std::size_t mark = CallMark();
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(2) + 30, header->height() / 2);
    if (GetParam().action == Action::DoubleClick) {
        // As the window system delivers it: a click, then the double click.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at);
    } else {
        PressHeader(*grid, 2,
                    GetParam().action == Action::LeftPress ? Qt::LeftButton : Qt::RightButton);
    }
    EXPECT_EQ(grid->SortField(), GetParam().sorts ? "6" : ".01");
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), GetParam().sorts ? 1u : 0u);
    EXPECT_EQ(grid->Cell(2, 1), GetParam().sorts ? "1" : "6") << "ALB's length";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderAction,
    ::testing::Values(
        HeaderActionCase{"LeftPressWithScLeft", true, scLeft, Action::LeftPress, true},
        HeaderActionCase{"RightPressWithScLeft", true, scLeft, Action::RightPress, false},
        HeaderActionCase{"RightPressWithScRight", true, scRight, Action::RightPress, true},
        HeaderActionCase{"LeftPressWithScRight", true, scRight, Action::LeftPress, false},
        HeaderActionCase{"DoubleClickWithScDouble", true, scDouble, Action::DoubleClick, true},
        HeaderActionCase{"LeftPressWithScDouble", true, scDouble, Action::LeftPress, false},
        HeaderActionCase{"DoubleClickWithScNone", true, scNone, Action::DoubleClick, false},
        HeaderActionCase{"UnsortedGridIgnoresClicks", false, scLeft, Action::LeftPress, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Grid, AResizedColumnIsWrittenBackAndTheLastColumnFillsTheGrid) {
    LabTests();
    Load();
    QHeaderView* header = grid->horizontalHeader();
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
    header->resizeSection(1, 160);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
    // A caption wider than its column widened it when the form loaded.
    const int first = std::max(90, header->sectionSizeHint(0));
    ASSERT_EQ(grid->columnWidth(0), first);
    const int last = grid->viewport()->width() - (first + 1 + 161 + 61) - 5;
    EXPECT_EQ(grid->Fields(),
              (QStringList{".01,Abbreviation," + QString::number(first), "4,Introduced,160",
                           "6,Length,60", "2,Full name," + QString::number(last)}));
    EXPECT_EQ(grid->columnWidth(3), last);
}

// Errors the grid catches, each shown with the operation's name.
class CaughtError : public Grid {
  protected:
    void SetUp() override {
        LabTests(/*withBroker=*/false);
        Load();
    }
};

const QString kFinderWithoutBroker = QStringLiteral(
    "\"grdLabTestFinder\" is not assoicated with a Broker link.\r\n"
    "Please contact developer for assistance.\r\rThank you.");

TEST_F(CaughtError, Fill) {
    ExpectError(kFinderWithoutBroker + " occured in procedure grdLabTest.Fill");
    EXPECT_FALSE(grid->Fill());
    EXPECT_EQ(grid->RowCount(), 2);
}

TEST_F(CaughtError, FillMore) {
    ExpectError(kFinderWithoutBroker + " occured in procedure grdLabTest.FillMore");
    source->SetRPCBroker(&Broker());
    grid->Number = "10";
    source->Open();
    ASSERT_TRUE(source->GetAndFill(grid->RecordNumberAt(9)));
    grid->vornFinder()->SetRPCBroker(nullptr);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->RowCount(), 11) << "the rows listed stay";
}

TEST_F(CaughtError, Click) {
    ExpectError(
        "\"vornLabTest\" is not associated with a Broker link.\r\n"
        " occured in procedure grdLabTest.Click");
    source->SetRPCBroker(&Broker());
    source->Open();
    source->SetRPCBroker(nullptr);
    ClickRow(*grid, 2);
}

// A master and its details end to end: the lab tests (80001) with their subresults (the
// hierarchical sub-file 80001.02) and their departmental lab tests (80006, a logical detail
// whose field 2 points to the lab test), each detail listed in a bound grid.
class MasterDetail : public Grid {
  protected:
    void SetUp() override {
        master = NewSource("vornLabTest", "80001");
        masterName = NewControl(*master, ".01");
        subresult = NewSource("vornSubresult", "80001.02");
        subresult->TypeIfSubFile = TvornSubFileType::Hierarchical;
        subresult->SetMasterSource(master);
        explanation = NewControl(*subresult, ".01");
        subresultGrid = NewGrid("grdSubresult", subresult, {".01,Explanation,200", "2,Type,200"});
        departmental = NewSource("vornDepartmental", "80006");
        test::MakeDepartmentalDetail(*departmental, *master);
        departmental->InformMessages = {};
        ward = NewControl(*departmental, ".01");
        ordering = NewControl(*departmental, "3");
        departmentalGrid = NewGrid("grdDepartmental", departmental,
                                   {".01,Ward or clinic,250", "3,Ordering allowed,200"});
    }
    // Opens every source, then reads master record `record`, if given.
    void OpenAll(const char* record = nullptr) {
        Load();
        master->Open();
        subresult->Open();
        departmental->Open();
        ASSERT_TRUE(!record || master->GetAndFill(record));
    }
    TvornSource *master = nullptr, *subresult = nullptr, *departmental = nullptr;
    FakeBoundControl *masterName = nullptr, *explanation = nullptr, *ward = nullptr,
                     *ordering = nullptr;
    TvornGrid *subresultGrid = nullptr, *departmentalGrid = nullptr;
};

// A hierarchical detail lists and reads the subresults of the master record; a logical detail
// shows the records that point to it.
TEST_F(MasterDetail, EachDetailListsAndReadsTheRecordsOfTheMasterRecord) {
    ASSERT_NO_FATAL_FAILURE(OpenAll("35"));
    EXPECT_EQ(masterName->text(), "U-STIX");
    EXPECT_EQ(ColumnTexts(*subresultGrid, 0),
              (QStringList{"GLUCOSE", "LEUKOCYTES", "PH", "PROTEIN"}));
    EXPECT_EQ(subresult->Address().FullIens(), "1,35,") << "the detail shows its first record";
    EXPECT_EQ(explanation->text(), "GLUCOSE");
    ClickRow(*subresultGrid, 3);
    EXPECT_EQ(subresult->State(), ssBrowse);
    EXPECT_EQ(subresult->Address().FullIens(), "3,35,");
    EXPECT_EQ(subresult->Address().Number(), "3");
    EXPECT_EQ(explanation->text(), "PH");
    ASSERT_FALSE(SourceCore::Of(*subresult).Owners().navigator.RecordLines().isEmpty());
    EXPECT_EQ(
        SourceCore::Of(*subresult).Owners().navigator.RecordLines().first().section(u'^', 0, 1),
        "80001.02^3,35");
    EXPECT_EQ(subresultGrid->Row(), 3);
    const std::size_t mark = CallMark();
    ASSERT_TRUE(master->GetAndFill("12"));
    EXPECT_EQ(SourceCore::Of(*departmental).Link().LinkScreen(), "I 12=$P($G(^(0)),U,2)");
    EXPECT_EQ(CallCount(mark, "VRNX LOGICAL POINTER"), 1u);
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), 1u) << "only the subresults are walked";
    ASSERT_EQ(departmentalGrid->RowCount(), 2);
    EXPECT_EQ(departmentalGrid->RecordNumberAt(1), "52");
    EXPECT_EQ(departmental->Address().Number(), "52");
    EXPECT_EQ(departmental->GetFieldValue("2"), "12");
    ASSERT_TRUE(master->GetAndFill("22"));
    EXPECT_EQ(SourceCore::Of(*departmental).Link().LinkScreen(), "I 22=$P($G(^(0)),U,2)");
    ASSERT_EQ(departmentalGrid->RowCount(), 7);
    const QStringList wards = ColumnTexts(*departmentalGrid, 0);
    EXPECT_TRUE(std::is_sorted(wards.begin(), wards.end()))
        << "the server sorts on .01 when the grid is not sorted: " << wards.join(' ').toStdString();
    for (int row = 1; row < departmentalGrid->RowCount(); ++row) {
        ClickRow(*departmentalGrid, row);
        EXPECT_EQ(departmental->Address().Number(), departmentalGrid->RecordNumberAt(row));
        EXPECT_EQ(departmental->GetFieldValue("2"), "22");
        EXPECT_EQ(ward->text(), wards[row - 1]);
    }
}

TEST_F(MasterDetail, ANewLogicalDetailRecordIsFiledPointingToItsMaster) {
    ASSERT_NO_FATAL_FAILURE(OpenAll("12"));
    departmental->Insert();
    ASSERT_EQ(departmental->State(), ssNew);
    EXPECT_TRUE(SourceCore::Of(*departmental).Link().LinkPending())
        << "no control shows the link field";
    EXPECT_EQ(departmentalGrid->RowCount(), 2);
    EXPECT_EQ(departmentalGrid->RecordNumber(), "");
    ward->Change("3", "SURGICAL WARD 1");
    ordering->Change("2", "OFFICE HOURS ONLY");
    ASSERT_TRUE(departmental->SaveAs());
    const QString added = departmental->Address().Number();
    ASSERT_FALSE(added.isEmpty());
    EXPECT_NE(added, "52");
    // The internal value of the link field, read by another user.
    EXPECT_EQ(test::Stored(SecondBroker(), "80006", added, "2"), "12");
    EXPECT_EQ(departmental->GetFieldValue("2"), "12");
    ASSERT_EQ(departmentalGrid->RowCount(), 3) << "the grid lists the new record beside 52";
    EXPECT_EQ(departmentalGrid->RecordNumber(), added);
}

TEST_F(MasterDetail, ClearingTheMasterLeavesEveryDetailWithoutMasterUntilItReadsARecord) {
    QList<FakeOperationButton*> buttons;
    for (TvornSource* detail : {subresult, departmental})
        for (TvornBtnOperation op : {DoFirst, DoNext, DoLast, DoInsert, DoClear})
            buttons.append(new FakeOperationButton(*detail, op, &form));
    ASSERT_NO_FATAL_FAILURE(OpenAll("36"));
    EXPECT_EQ(subresult->Address().FullIens(), "4,36,") << "HEMATOCRIT heads the B index";
    EXPECT_EQ(departmental->Address().Number(), departmentalGrid->RecordNumberAt(1));
    EXPECT_EQ(departmentalGrid->RowCount(), 3);
    master->Clear();
    for (TvornSource* detail : {subresult, departmental}) {
        SCOPED_TRACE(detail->objectName().toStdString());
        EXPECT_EQ(detail->State(), ssNoMaster);
        EXPECT_EQ(detail->Address().Number(), "");
    }
    for (FakeOperationButton* button : buttons)
        EXPECT_FALSE(button->isEnabled()) << button->Operation();
    for (TvornGrid* grid : {subresultGrid, departmentalGrid}) {
        EXPECT_EQ(ColumnTexts(*grid, 0), QStringList{""}) << "one empty row";
        EXPECT_EQ(grid->RecordNumber(), "");
    }
    EXPECT_EQ(explanation->text(), "");
    EXPECT_EQ(ward->text(), "");
    ASSERT_TRUE(master->GetAndFill("36"));
    EXPECT_EQ(subresult->State(), ssBrowse);
    EXPECT_EQ(subresult->Address().FullIens(), "4,36,");
    EXPECT_EQ(explanation->text(), "HEMATOCRIT");
    EXPECT_EQ(departmental->State(), ssBrowse);
    EXPECT_EQ(departmental->Address().Number(), departmentalGrid->RecordNumberAt(1));
    EXPECT_EQ(departmental->GetFieldValue("2"), "36");
    for (FakeOperationButton* button : buttons)  // at the first row, all but First
        EXPECT_EQ(button->isEnabled(), button->Operation() != DoFirst) << button->Operation();
}

TEST_F(MasterDetail, ASortedLogicalGridHasTheServerSortDescending) {
    departmentalGrid->SetSorted(true);
    departmentalGrid->SetSortField("3");
    departmentalGrid->SortOrder = soDescending;
    QStringList sortedLines;
    departmentalGrid->OnSort = [&](QObject*, QStringList& lines) { sortedLines = lines; };
    OpenAll();
    const std::size_t mark = CallMark();
    ASSERT_TRUE(master->GetAndFill("22"));
    EXPECT_EQ(CallCount(mark, "VRNX DDU FIELDS"), 0u) << "nothing is sorted here";
    const QStringList ordering = ColumnTexts(*departmentalGrid, 1);
    ASSERT_EQ(ordering.size(), 6);
    EXPECT_TRUE(std::is_sorted(ordering.begin(), ordering.end(), std::greater<QString>()))
        << ordering.join(' ').toStdString();
    EXPECT_EQ(sortedLines, departmentalGrid->RowLines());
}

TEST_F(MasterDetail, ALogicalDetailWithoutBrokerSaysSoAndKeepsItsRows) {
    departmental->SetRPCBroker(nullptr);
    Load();
    master->Open();
    ASSERT_TRUE(master->GetAndFill("22"));
    ExpectError("vornDepartmental is not associated with a RPC Broker component!");
    EXPECT_FALSE(departmentalGrid->Fill());
    EXPECT_EQ(departmentalGrid->RowCount(), 2);
}

}  // namespace
}  // namespace vorn
