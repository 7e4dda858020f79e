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
        const bool list = p.kind == TParamType::list;
        out += (list ? "|list " : p.kind == TParamType::literal ? "|L:" : "|R:") + p.value;
        for (const auto& [sub, value] : p.entries)
            out += u' ' + sub + u'=' + value;
    }
    return out.toStdString();
}

RpcReply Reply(const QStringList& lines) {
    return RpcReply(lines.join("\r\n") + QStringLiteral("\r\n"));
}

// In a read's answer a word-processing field of three lines is five lines, and a missing record
// is marked (the request itself: the reading test's exact entries).
TEST(RecordRequests, AReadsAnswerHasWordProcessingLinesOrIsMarkedMissing) {
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
    // A missing record is marked and its errors kept.
    const records::RecordAnswer gone = records::ReadRecordAnswer(
        Reply({"[ERROR]", "[BEGIN_diERRORS]", "The entry does not exist."}));
    EXPECT_TRUE(gone.missing);
    EXPECT_TRUE(gone.lines.isEmpty());
    EXPECT_EQ(gone.errors, QStringList{"The entry does not exist."});
}

TEST(RecordRequests, ListerStepsSendTheEntriesOfTheirKindOfSource) {
    using D = records::Direction;
    const struct {
        D direction;
        bool logical;
        const char* version;
        std::string expected;  // after "DDR LISTER|list .DDR "
    } steps[] = {
        {D::First, false, "0", "\"FILE\"=80001 \"FIELDS\"=.001 \"MAX\"=1 \"XREF\"=B"},
        {D::Prior, false, "1",
         "\"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=BP \"MAX\"=1 "
         "\"XREF\"=B \"FROM\"=HB \"FROM\",\"IEN\"=7"},
        {D::Next, false, "1",
         "\"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=P \"MAX\"=1 "
         "\"XREF\"=B \"FROM\"=HB \"FROM\",\"IEN\"=7"},
        {D::Last, false, "0", "\"FILE\"=80001 \"FIELDS\"=.001 \"FLAGS\"=B \"MAX\"=1 \"XREF\"=B"},
        // A logical detail's first step: the logical detail's test.
        {D::Prior, true, "1",
         "\"FILE\"=80006 \"FIELDS\"=2 \"FLAGS\"=IBP \"MAX\"=1 \"PART\"=12 "
         "\"SCREEN\"=I 12=$P($G(^(0)),U,2) \"XREF\"=C \"FROM\"=12 \"FROM\",\"IEN\"=7"}};
    for (const auto& c : steps) {
        SCOPED_TRACE(c.expected);
        const bool backwards = c.direction == D::Prior || c.direction == D::Last;
        const records::ListerStep step{
            .file = c.logical ? "80006" : "80001",
            .fields = c.logical ? "2" : ".001",
            .flags = records::ListerFlags(backwards, c.logical, c.version),
            .iens = {},
            .part = c.logical ? "12" : "",
            .screen = c.logical ? "I 12=$P($G(^(0)),U,2)" : "",
            .xref = c.logical ? "C" : "B",
            .continues = c.direction == D::Prior || c.direction == D::Next,
            .from = c.logical ? "12" : "HB",
            .fromIen = "7"};
        EXPECT_EQ(Describe(records::ListerRequest(step)), "DDR LISTER|list .DDR " + c.expected);
    }
}

TEST(RecordRequests, TheListerGivesTheLastRecordFoundAndMoreAndTheValidatorIsValidWithoutCaret) {
    const records::ListerAnswer a = records::ReadListerAnswer(
        Reply({"[Misc]", "MORE^HB^7", "[Data]", "7^HB", "9^HC", "[Errors]", "bad screen"}));
    EXPECT_EQ(a.found, "9");
    EXPECT_TRUE(a.more);
    EXPECT_EQ(a.errors, QStringList{"bad screen"});
    EXPECT_EQ(records::ReadListerAnswer(Reply({"[Data]"})).found, "");
    // The validator is valid unless its first data line is a caret (a valid answer's values: the
    // validation test's).
    const ValidatedValue bad =
        records::ReadValidatorAnswer(Reply({"[Errors]", "Not a valid date.", "[Data]", "^"}));
    EXPECT_FALSE(bad.valid);
    EXPECT_EQ(bad.errors, QStringList{"Not a valid date."});
}

// A new record skips the number of an empty field and files text lines under its entry; an
// edit files an emptied field as empty.
TEST(FilerRequest, ANewRecordSkipsAnEmptyFieldsNumberAndAnEditFilesItAsEmpty) {
    const filer::Filing f{.add = true,
                          .file = "80001",
                          .record = "+1",
                          .fields = {{".01", "ZZ", false, {}},
                                     {"4", "", false, {}},
                                     {"100", "", true, {"first", "", "third"}},
                                     {"2", "Name", false, {}}},
                          .extra = {{"80001", "7", "+1", "3"}},
                          .wishedNumbers = {"1^57"}};
    EXPECT_EQ(Describe(filer::FilerRequest(f)),
              "DDR FILER|L:ADD|list .DDR 1=80001^.01^+1^ZZ 3=80001^100^+1^DDRROOT(3) "
              "3,1=first 3,2=  3,3=third 4=80001^2^+1^Name 5=80001^7^+1^3|L:|list .DDRIEN "
              "1=57");
    filer::Filing edit;
    edit.file = "80001";
    edit.record = "12";
    edit.fields = {{"4", "", false, {}}};
    EXPECT_EQ(Describe(filer::FilerRequest(edit)), "DDR FILER|L:EDIT|list .DDR 1=80001^4^12^|L:");
}

// Each right and the user data an answer gives: the activation test's reader.
TEST(SourceRequests, FileAccessAsksForTheFileAndAnAnswerWithoutItsLineIsNone) {
    EXPECT_EQ(Describe(requests::FileAccess("80001")), "VRNX DDU FILE ACCESS|list .DDIN 1=80001");
    EXPECT_FALSE(requests::ReadFileAccess(Reply({"[Data]"})).answered);
}

TEST(SourceRequests, HelpIsTheLinesBetweenItsMarkersAndTheLinkScreenReadsTheLinkField) {
    EXPECT_EQ(
        requests::ReadFieldHelp(Reply({"[BEGIN_diHELP]", "Enter ", "a date.", "[END_diHELP]"})),
        "Enter a date.");
    EXPECT_EQ(requests::ReadFieldHelp(Reply({"[BEGIN_diHELP]", "[END_diHELP]"})), "");
    // The link screen reads the link field where it is stored, a string node quoted (a numeric
    // one, and the location read: the logical detail's test).
    EXPECT_EQ(requests::LinkScreen("12", "\"TYPE\";1"), "I 12=$P($G(^(\"TYPE\")),U,1)");
    EXPECT_FALSE(requests::ReadLocation(Reply({"[BEGIN_diERRORS]", "no field"})));
}

// The pointer check's answers: the deletion tests' reports.
TEST(SourceRequests, ADeletionIsDoneOnlyWhenTheRecordIsNamed) {
    EXPECT_EQ(requests::ReadDeletedText(Reply({"[BEGIN_diDATA]", "HB", "[END_diDATA]"})), "HB");
    EXPECT_EQ(requests::ReadDeletedText(
                  Reply({"[BEGIN_diERRORS]", "The record is locked by another user."})),
              "");
    EXPECT_EQ(requests::ReadDeletedText(Reply({"[BEGIN_diDATA]", "[END_diDATA]"})), "");
}

// The two tables every refresh applies: which operation buttons and controls a source enables
// in each state for each right.
constexpr TvornUserAccess kNone;
constexpr TvornUserAccess kAll = kAllAccess;
constexpr TvornUserAccess kReadOnly = TvornUserAccess(uaRead);
constexpr TvornUserAccess kNoDelete = TvornUserAccess(31 & ~uaDelete);
constexpr TvornUserAccess kReader = TvornUserAccess(uaRead | uaBrowse);
constexpr TvornUserAccess kInsertOnly = TvornUserAccess(uaRead | uaBrowse | uaInsert);

// Each operation button's enabled states, one letter per state in the order New, Edit, Browse,
// Empty, Inactive, NoMaster ('x' enabled, '.' disabled).
TEST(ButtonTable, EnablesExactlyInTheseStates) {
    const struct {
        TvornBtnOperation operation;
        TvornUserAccess access;
        bool atFirst, atLast;  // the record shown is the first, the last
        const char* states;
    } rows[] = {{DoFirst, kAll, 0, 0, "xxxx.."},       {DoFirst, kAll, 1, 0, "......"},
                {DoFirst, kReadOnly, 0, 0, "......"},  {DoPrior, kAll, 0, 0, ".xx..."},
                {DoPrior, kAll, 1, 0, "......"},       {DoNext, kAll, 0, 0, ".xx..."},
                {DoNext, kAll, 0, 1, "......"},        {DoLast, kAll, 0, 0, "xxxx.."},
                {DoLast, kReader, 1, 1, "......"},     {DoSave, kAll, 0, 0, ".x...."},
                {DoSave, kInsertOnly, 0, 0, "......"}, {DoSaveAs, kAll, 0, 0, "xxx..."},
                {DoSaveAs, kReader, 0, 0, "......"},   {DoClear, kNone, 0, 0, "xxxx.."},
                {DoInsert, kAll, 0, 0, "xxxx.."},      {DoInsert, kReader, 0, 0, "......"},
                {DoCancel, kAll, 0, 0, "xx...."},      {DoCancel, kInsertOnly, 0, 0, "xx...."},
                {DoCancel, kReader, 0, 0, "......"},   {DoDelete, kAll, 0, 0, ".xx..."},
                {DoDelete, kNoDelete, 0, 0, "......"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message()
                     << QMetaEnum::fromType<TvornBtnOperation>().valueToKey(r.operation)
                     << " access " << int(r.access) << (r.atFirst ? " atFirst" : "")
                     << (r.atLast ? " atLast" : ""));
        std::string got;
        for (TvornSourceState s : {ssNew, ssEdit, ssBrowse, ssEmpty, ssInactive, ssNoMaster})
            got += OperationEnabled(r.operation, s, r.access, r.atFirst, r.atLast) ? 'x' : '.';
        EXPECT_EQ(got, r.states);
    }
}

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

TEST(ControlTable, EnablesDisablesOrLeavesAlone) {
    using L = TvornBoundControl::Lookup;
    const struct {
        TvornSourceState state;
        TvornUserAccess access;
        L lookup;
        int expected;  // 1 enabled, 0 disabled, -1 left as it is
    } rows[] = {{ssNew, kAll, L::Pointer, 1},       {ssNew, kReader, L::Pointer, 0},
                {ssNew, kReader, L::None, -1},      {ssNew, kReader, L::Find, -1},
                {ssBrowse, kAll, L::None, 1},       {ssBrowse, kReader, L::None, 0},
                {ssBrowse, kReader, L::Pointer, 0}, {ssBrowse, kReader, L::Find, 1},
                {ssEmpty, kReader, L::None, 0},     {ssEmpty, kInsertOnly, L::Find, 1},
                {ssEdit, kReader, L::None, -1},     {ssInactive, kAll, L::None, -1},
                {ssNoMaster, kAll, L::None, 0},     {ssNoMaster, kAll, L::Find, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << "state " << int(r.state) << " access " << int(r.access)
                                          << " lookup " << int(r.lookup));
        const std::optional<bool> got = ControlEnabled(r.state, r.access, r.lookup);
        EXPECT_EQ(got ? int(*got) : -1, r.expected);
    }
}

}  // namespace
}  // namespace vorn
