// What the data source sends and what it takes from the answers, and which buttons and controls
// it enables, without a form.
#include <gtest/gtest.h>

#include <QMetaEnum>

#include "source/filer_request.h"
#include "source/internal/enabling_rules.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"

namespace vorn {
namespace {

// "NAME" then, per parameter, "|L:value" / "|R:value" / "|list value" and its "sub=value"
// entries: one line that shows every byte the request will carry.
std::string Describe(const RpcRequest& request) {
    QString out = request.Procedure();
    for (const RpcRequest::Parameter& p : request.Parameters()) {
        if (p.kind == TParamType::list) {
            out += QStringLiteral("|list ") + p.value;
            for (const auto& [sub, value] : p.entries)
                out += u' ' + sub + u'=' + value;
        } else {
            out += (p.kind == TParamType::literal ? QStringLiteral("|L:") : QStringLiteral("|R:")) +
                   p.value;
        }
    }
    return out.toStdString();
}

RpcReply Reply(const QStringList& lines) {
    return RpcReply(lines.join("\r\n") + QStringLiteral("\r\n"));
}

TEST(RecordRequests, AReadAsksForEveryFieldOfTheFormEachFollowedByASemicolon) {
    EXPECT_EQ(Describe(records::ReadRequest("80001", {".01", "2", "4"}, "12,")),
              "DDR GETS ENTRY DATA|list .DDR \"FILE\"=80001 \"FIELDS\"=.01;2;4; "
              "\"IENS\"=12, \"FLAGS\"=IE");
}

TEST(RecordRequests, AWordProcessingFieldOfThreeLinesIsFiveLinesUnderItsField) {
    const records::RecordAnswer a = records::ReadRecordAnswer(
        Reply({"[BEGIN_diDATA]", "80001^12^.01^HB^HB", "80001^12^100^[WORD PROCESSING]", "one",
               "[Data]", "", "$$END$$", "80001^12^2^Hemoglobin^Hemoglobin", "[END_diDATA]"}));
    EXPECT_EQ(a.lines, (QStringList{"80001^12^.01^HB^HB", "80001^12^100^[WORD PROCESSING]", "one",
                                    "[Data]", "", "$$END$$", "80001^12^2^Hemoglobin^Hemoglobin"}));
    EXPECT_EQ(a.keys, (QStringList{".01", "100", "100^3", "100^4", "100^5", "100^6", "2"}));
    EXPECT_EQ(a.WordProcessingLines("100"), (QStringList{"one", "[Data]", ""}));
    EXPECT_EQ(a.LineOf("2"), "80001^12^2^Hemoglobin^Hemoglobin");
    EXPECT_EQ(a.LineOf("7"), "");
    EXPECT_FALSE(a.missing);
}

TEST(RecordRequests, AMissingRecordIsMarkedAndItsErrorsKept) {
    const records::RecordAnswer a = records::ReadRecordAnswer(
        Reply({"[ERROR]", "[BEGIN_diERRORS]", "The entry does not exist."}));
    EXPECT_TRUE(a.missing);
    EXPECT_TRUE(a.lines.isEmpty());
    EXPECT_EQ(a.errors, QStringList{"The entry does not exist."});
}

struct StepCase {
    const char* name;
    records::Direction direction;
    bool logical;
    const char* version;
    const char* expected;
};

class ListerSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(ListerSteps, SendTheEntriesOfTheirKindOfSource) {
    const StepCase& c = GetParam();
    const bool backwards =
        c.direction == records::Direction::Prior || c.direction == records::Direction::Last;
    const bool continues =
        c.direction == records::Direction::Prior || c.direction == records::Direction::Next;
    records::ListerStep step;
    step.file = c.logical ? "80006" : "80001";
    step.fields = c.logical ? "2" : ".001";
    step.flags = records::ListerFlags(backwards, c.logical, c.version);
    step.part = c.logical ? "12" : "";
    step.screen = c.logical ? "I 12=$P($G(^(0)),U,2)" : "";
    step.xref = c.logical ? "C" : "B";
    step.continues = continues;
    step.from = c.logical ? "12" : "HB";
    step.fromIen = "7";
    EXPECT_EQ(Describe(records::ListerRequest(step)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ListerSteps,
    ::testing::Values(
        StepCase{"PlainFirst", records::Direction::First, false, "0",
                 "DDR LISTER|list .DDR \"FILE\"=80001 \"FIELDS\"=.001 \"MAX\"=1 \"XREF\"=B"},
        StepCase{"PlainPriorPacked", records::Direction::Prior, false, "1",
                 "DDR LISTER|list .DDR \"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=BP \"MAX\"=1 "
                 "\"XREF\"=B \"FROM\"=HB \"FROM\",\"IEN\"=7"},
        StepCase{"PlainNextPacked", records::Direction::Next, false, "1",
                 "DDR LISTER|list .DDR \"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=P \"MAX\"=1 "
                 "\"XREF\"=B \"FROM\"=HB \"FROM\",\"IEN\"=7"},
        StepCase{"PlainLast", records::Direction::Last, false, "0",
                 "DDR LISTER|list .DDR \"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=B \"MAX\"=1 "
                 "\"XREF\"=B"},
        StepCase{"LogicalFirst", records::Direction::First, true, "0",
                 "DDR LISTER|list .DDR \"FILE\"=80006 \"FIELDS\"=2 \"FLAGS\"=I \"MAX\"=1 "
                 "\"PART\"=12 \"SCREEN\"=I 12=$P($G(^(0)),U,2) \"XREF\"=C"},
        StepCase{"LogicalPriorPacked", records::Direction::Prior, true, "1",
                 "DDR LISTER|list .DDR \"FILE\"=80006 \"FIELDS\"=2 \"FLAGS\"=IBP \"MAX\"=1 "
                 "\"PART\"=12 \"SCREEN\"=I 12=$P($G(^(0)),U,2) \"XREF\"=C \"FROM\"=12 "
                 "\"FROM\",\"IEN\"=7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordRequests, TheListerAnswerGivesTheLastRecordFoundAndWhetherMoreFollow) {
    const records::ListerAnswer a = records::ReadListerAnswer(
        Reply({"[Misc]", "MORE^HB^7", "[Data]", "7^HB", "9^HC", "[Errors]", "bad screen"}));
    EXPECT_EQ(a.found, "9");
    EXPECT_TRUE(a.more);
    EXPECT_EQ(a.errors, QStringList{"bad screen"});
    EXPECT_EQ(records::ReadListerAnswer(Reply({"[Data]"})).found, "");
}

TEST(RecordRequests, TheValidatorIsValidUnlessItsFirstDataLineIsACaret) {
    const ValidatedValue ok =
        records::ReadValidatorAnswer(Reply({"[Errors]", "[Data]", "3261206", "DEC 6, 2026"}));
    EXPECT_TRUE(ok.valid);
    EXPECT_EQ(ok.internal, "3261206");
    EXPECT_EQ(ok.external, "DEC 6, 2026");
    const ValidatedValue bad =
        records::ReadValidatorAnswer(Reply({"[Errors]", "Not a valid date.", "[Data]", "^"}));
    EXPECT_FALSE(bad.valid);
    EXPECT_EQ(bad.errors, QStringList{"Not a valid date."});
}

TEST(FilerRequest, ANewRecordSkipsTheNumberOfAnEmptyFieldAndFilesTextLinesUnderItsEntry) {
    filer::Filing f;
    f.add = true;
    f.file = "80001";
    f.record = "+1";
    f.fields = {{".01", "ZZ", false, {}},
                {"4", "", false, {}},
                {"100", "", true, {"first", "", "third"}},
                {"2", "Name", false, {}}};
    f.extra = {{"80001", "7", "+1", "3"}};
    f.wishedNumbers = {"1^57"};
    EXPECT_EQ(Describe(filer::FilerRequest(f)),
              "DDR FILER|L:ADD|list .DDR 1=80001^.01^+1^ZZ 3=80001^100^+1^DDRROOT(3) "
              "3,1=first 3,2=  3,3=third 4=80001^2^+1^Name 5=80001^7^+1^3|L:|list .DDRIEN "
              "1=57");
}

TEST(FilerRequest, AnEditFilesAnEmptiedFieldAsEmpty) {
    filer::Filing f;
    f.file = "80001";
    f.record = "12";
    f.fields = {{"4", "", false, {}}};
    EXPECT_EQ(Describe(filer::FilerRequest(f)), "DDR FILER|L:EDIT|list .DDR 1=80001^4^12^|L:");
}

TEST(SourceRequests, FileAccessGivesEachRightAndTheUserData) {
    EXPECT_EQ(Describe(requests::FileAccess("80001")), "VRNX DDU FILE ACCESS|list .DDIN 1=80001");
    const auto reader = requests::ReadFileAccess(Reply({"[Data]", "80001^READER,USER^READ^^^"}));
    EXPECT_TRUE(reader.answered && reader.read);
    EXPECT_FALSE(reader.write || reader.del || reader.laygo);
    EXPECT_EQ(reader.userData, "READER,USER");
    EXPECT_FALSE(requests::ReadFileAccess(Reply({"[Data]"})).answered);
}

TEST(SourceRequests, HelpIsTheLinesBetweenItsMarkers) {
    EXPECT_EQ(
        requests::ReadFieldHelp(Reply({"[BEGIN_diHELP]", "Enter ", "a date.", "[END_diHELP]"})),
        "Enter a date.");
    EXPECT_EQ(requests::ReadFieldHelp(Reply({"[BEGIN_diHELP]", "[END_diHELP]"})), "");
}

TEST(SourceRequests, ADeletionIsDoneOnlyWhenTheDataSectionNamesTheRecord) {
    EXPECT_EQ(requests::ReadDeletedText(Reply({"[BEGIN_diDATA]", "HB", "[END_diDATA]"})), "HB");
    EXPECT_EQ(requests::ReadDeletedText(
                  Reply({"[BEGIN_diERRORS]", "The record is locked by another user."})),
              "");
    EXPECT_EQ(requests::ReadDeletedText(Reply({"[BEGIN_diDATA]", "[END_diDATA]"})), "");
}

TEST(SourceRequests, ThePointerReportLeavesOutTheEndMarker) {
    const RpcReply reply =
        Reply({"[BEGIN_diDATA]", "2", " ", "DEMO LAB RESULT", "  12", "[END_diDATA]"});
    EXPECT_FALSE(requests::ReadNoPointers(reply));
    EXPECT_TRUE(requests::ReadDeletionAllowed(reply));
    EXPECT_EQ(requests::PointerReport(reply, 3), (QStringList{"DEMO LAB RESULT", "  12"}));
    EXPECT_TRUE(requests::ReadNoPointers(Reply({"[BEGIN_diDATA]", "0", " ", "[END_diDATA]"})));
}

TEST(SourceRequests, TheLinkScreenReadsTheLinkFieldWhereItIsStored) {
    EXPECT_EQ(requests::LinkScreen("12", "0;2"), "I 12=$P($G(^(0)),U,2)");
    EXPECT_EQ(requests::LinkScreen("12", "\"TYPE\";1"), "I 12=$P($G(^(\"TYPE\")),U,1)");
    EXPECT_EQ(requests::ReadLocation(Reply({"[BEGIN_diDATA]", "0;2", "[END_diDATA]"})), "0;2");
    EXPECT_FALSE(requests::ReadLocation(Reply({"[BEGIN_diERRORS]", "no field"})));
}

// The two tables every refresh applies: which operation buttons and controls a source enables
// in each state for each right.
constexpr TvornUserAccess kNone;
constexpr TvornUserAccess kReader = TvornUserAccess(uaRead | uaBrowse);
constexpr TvornUserAccess kInsertOnly = TvornUserAccess(uaRead | uaBrowse | uaInsert);

// Enabled states, one letter per state in the order New, Edit, Browse, Empty, Inactive,
// NoMaster ('x' enabled, '.' disabled).
struct ButtonRow {
    TvornBtnOperation operation;
    TvornUserAccess access;
    bool atFirst;
    bool atLast;
    const char* states;
};

void PrintTo(const ButtonRow& r, std::ostream* os) {
    *os << QMetaEnum::fromType<TvornBtnOperation>().valueToKey(r.operation) << " access "
        << int(r.access) << (r.atFirst ? " atFirst" : "") << (r.atLast ? " atLast" : "");
}

class ButtonTable : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(ButtonTable, EnablesExactlyInTheseStates) {
    const ButtonRow& r = GetParam();
    const TvornSourceState states[] = {ssNew, ssEdit, ssBrowse, ssEmpty, ssInactive, ssNoMaster};
    std::string got;
    for (TvornSourceState s : states)
        got += OperationEnabled(r.operation, s, r.access, r.atFirst, r.atLast) ? 'x' : '.';
    EXPECT_EQ(got, r.states);
}

INSTANTIATE_TEST_SUITE_P(Rows, ButtonTable,
                         ::testing::Values(ButtonRow{DoFirst, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoFirst, kAllAccess, true, false, "......"},
                                           ButtonRow{DoFirst, TvornUserAccess(uaRead), false, false,
                                                     "......"},
                                           ButtonRow{DoPrior, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoPrior, kAllAccess, true, false, "......"},
                                           ButtonRow{DoNext, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoNext, kAllAccess, false, true, "......"},
                                           ButtonRow{DoLast, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoLast, kReader, true, true, "......"},
                                           ButtonRow{DoSave, kAllAccess, false, false, ".x...."},
                                           ButtonRow{DoSave, kInsertOnly, false, false, "......"},
                                           ButtonRow{DoSaveAs, kAllAccess, false, false, "xxx..."},
                                           ButtonRow{DoSaveAs, kReader, false, false, "......"},
                                           ButtonRow{DoClear, kNone, false, false, "xxxx.."},
                                           ButtonRow{DoInsert, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoInsert, kReader, false, false, "......"},
                                           ButtonRow{DoCancel, kAllAccess, false, false, "xx...."},
                                           ButtonRow{DoCancel, kInsertOnly, false, false, "xx...."},
                                           ButtonRow{DoCancel, kReader, false, false, "......"},
                                           ButtonRow{DoDelete, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoDelete, TvornUserAccess(31 & ~uaDelete),
                                                     false, false, "......"}));

TEST(ExecButtons, APointerButtonNeedsWriteAFindButtonBrowseAndNeitherWorksWithoutARecordContext) {
    for (TvornSourceState s : {ssNew, ssEdit, ssBrowse, ssEmpty}) {
        EXPECT_TRUE(ExecButtonEnabled(true, s, TvornUserAccess(uaWrite)));
        EXPECT_FALSE(ExecButtonEnabled(true, s, kReader));
        EXPECT_TRUE(ExecButtonEnabled(false, s, kReader));
        EXPECT_FALSE(ExecButtonEnabled(false, s, TvornUserAccess(uaWrite)));
    }
    for (TvornSourceState s : {ssInactive, ssNoMaster}) {
        EXPECT_FALSE(ExecButtonEnabled(true, s, kAllAccess));
        EXPECT_FALSE(ExecButtonEnabled(false, s, kAllAccess));
    }
}

struct ControlRow {
    TvornSourceState state;
    TvornUserAccess access;
    TvornBoundControl::Lookup lookup;
    int expected;  // 1 enabled, 0 disabled, -1 left as it is
};

class ControlTable : public ::testing::TestWithParam<ControlRow> {};

TEST_P(ControlTable, EnablesDisablesOrLeavesAlone) {
    const ControlRow& r = GetParam();
    const std::optional<bool> got = ControlEnabled(r.state, r.access, r.lookup);
    EXPECT_EQ(got ? int(*got) : -1, r.expected);
}

using L = TvornBoundControl::Lookup;
INSTANTIATE_TEST_SUITE_P(
    Rows, ControlTable,
    ::testing::Values(
        ControlRow{ssNew, kAllAccess, L::Pointer, 1}, ControlRow{ssNew, kReader, L::Pointer, 0},
        ControlRow{ssNew, kReader, L::None, -1}, ControlRow{ssNew, kReader, L::Find, -1},
        ControlRow{ssBrowse, kAllAccess, L::None, 1}, ControlRow{ssBrowse, kReader, L::None, 0},
        ControlRow{ssBrowse, kReader, L::Pointer, 0}, ControlRow{ssBrowse, kReader, L::Find, 1},
        ControlRow{ssEmpty, kReader, L::None, 0}, ControlRow{ssEmpty, kInsertOnly, L::Find, 1},
        ControlRow{ssEdit, kReader, L::None, -1}, ControlRow{ssInactive, kAllAccess, L::None, -1},
        ControlRow{ssNoMaster, kAllAccess, L::None, 0},
        ControlRow{ssNoMaster, kAllAccess, L::Find, 0}));

}  // namespace
}  // namespace vorn
