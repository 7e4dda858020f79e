// "DDR FILER" through the real broker: adding with placeholders and wished numbers, sub-file
// entries, editing, "@", rights and locks checked on the server, and all or nothing.
#include <gtest/gtest.h>

#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver::test {
namespace {

class Filer : public OnBothEngines<DemoServerTest> {
  protected:
    // The lab test's header: "DEMO LAB TEST^80001^last^count".
    std::string LabTestHeader() { return Node("ZDEMO", {"80001", "0"}).value_or(""); }
    bool Indexed(const Subscripts& s) { return Node("ZDEMO", s).has_value(); }
    // A complete new lab test's lines, and `more` after them.
    static Lines NewLabTest(const std::string& abbreviation, const std::string& name,
                            const Lines& more = {}, const std::string& placeholder = "+1") {
        Lines lines{"80001^.01^" + placeholder + "^" + abbreviation,
                    "80001^2^" + placeholder + "^" + name};
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    }
};

TEST_P(Filer, AddMapsPlaceholdersToNewNumbersAndKeepsTheIndexesOfRecordsAndSubfileEntries) {
    const Lines lines = NewLabTest(
        "NEWT", "New test",
        {"80001^3^+1^1", "80001^4^+1^3261206", "80001^7^+1^3", "80001^100^+1^DDRROOT(6)"});
    EXPECT_EQ(File("ADD", lines, {{"6,1", "First line"}, {"6,2", " "}, {"6,3", "Third ^ line"}}),
              Lines({"[Data]", "+1,^41"}));
    EXPECT_EQ(
        Gets("80001", ".01;2;3;4;7;100;", "41,"),
        DiData("80001^41^.01^NEWT^NEWT", "80001^41^2^New test^New test", "80001^41^3^1^YES",
               "80001^41^4^3261206^DEC 6, 2026", "80001^41^7^3^MAKINEN,HELMI",
               "80001^41^100^[WORD PROCESSING]", "First line", "", "Third ^ line", "$$END$$"));
    EXPECT_TRUE(Indexed({"80001", "B", "NEWT", "41"}));
    EXPECT_EQ(LabTestHeader(), "DEMO LAB TEST^80001^41^41");
    // A sub-file entry goes under its parent, and "@" on its number deletes it.
    EXPECT_EQ(File("ADD", {"80001.03^.01^+1,33^MAYBE", "80001.03^2^+1,33^Possibly"}),
              Lines({"[Data]", "+1,^4"}));
    EXPECT_EQ(Gets("80001.03", ".01;2;", "4,33,"),
              DiData("80001.03^4,33^.01^MAYBE^MAYBE", "80001.03^4,33^2^Possibly^Possibly"));
    EXPECT_EQ(Node("ZDEMO", {"80001", "33", "3", "0"}), "^80001.03^4^4");
    EXPECT_TRUE(Indexed({"80001", "33", "3", "B", "MAYBE", "4"}));
    EXPECT_EQ(File("DELETE", {"80001.03^.01^4,33^@"}), Lines({"[Data]"}));
    EXPECT_EQ(Gets("80001.03", ".01", "4,33,")[0], "[ERROR]");
    EXPECT_FALSE(Indexed({"80001", "33", "3", "B", "MAYBE"}));
    EXPECT_EQ(Node("ZDEMO", {"80001", "33", "3", "0"}), "^80001.03^4^3");
    EXPECT_EQ(Gets("80001.03", ".01", "3,33,")[1], "80001.03^3,33^.01^UNCLEAR^UNCLEAR");
}

TEST_P(Filer, AWishedNumberIsHonouredUnlessItIsOnFileOrNoNumber) {
    EXPECT_EQ(File("ADD", NewLabTest("TAKEN", "Taken number"), {}, {{"1", "7"}}),
              Errors("File 80001 (DEMO LAB TEST), new record +1: the wished record 7 "
                     "is already on file."));
    EXPECT_EQ(LabTestHeader(), "DEMO LAB TEST^80001^40^40");
    EXPECT_FALSE(Indexed({"80001", "B", "TAKEN"}));
    EXPECT_EQ(File("ADD", NewLabTest("HUGE", "Huge number"), {}, {{"1", "99999999999999999999"}}),
              Errors("The wished record number (1) = \"99999999999999999999\" is not a "
                     "placeholder and a whole record number."));
    EXPECT_EQ(File("ADD", NewLabTest("HALF", "Half number"), {}, {{"1", "7.5"}})[0], "[Errors]");
    EXPECT_EQ(File("ADD", NewLabTest("WISH", "Wished number"), {}, {{"1", "500"}}),
              Lines({"[Data]", "+1,^500"}));
    EXPECT_EQ(Gets("80001", ".01", "500,")[1], "80001^500^.01^WISH^WISH");
    EXPECT_EQ(LabTestHeader(), "DEMO LAB TEST^80001^500^41");
    // Placeholders may be written with their "+"; the next free number follows the last.
    EXPECT_EQ(File("ADD", NewLabTest("NEXT", "Next number", NewLabTest("TWO", "Two", {}, "+2")), {},
                   {{"\"+2\"", "450"}}),
              Lines({"[Data]", "+1,^501", "+2,^450"}));
}

TEST_P(Filer, AddsARecordWithEntriesOfItsOwnSubfilesInOneCall) {
    const Lines lines = NewLabTest(
        "URINE", "Urine strip",
        {"80001.02^.01^+2,+1^GLUCOSE", "80001.02^2^+2,+1^2", "80001.021^.01^+3,+2,+1^NEG"});
    EXPECT_EQ(File("ADD", lines), Lines({"[Data]", "+1,^41", "+2,^1", "+3,^1"}));
    EXPECT_EQ(Gets("80001.021", ".01", "1,1,41,")[1], "80001.021^1,1,41^.01^NEG^NEG");
    EXPECT_TRUE(Indexed({"80001", "41", "2", "1", "1", "B", "NEG", "1"}));
}

TEST_P(Filer, APointerMayNameARecordAddedByTheSameCall) {
    const Lines lines =
        NewLabTest("NEWP", "New person's test", {"80001^7^+1^+2", "80000^.01^+2^UUSI,HENKILO"});
    EXPECT_EQ(File("ADD", lines), Lines({"[Data]", "+1,^41", "+2,^31"}));
    EXPECT_EQ(Gets("80001", "7", "41,")[1], "80001^41^7^31^UUSI,HENKILO");
}

TEST_P(Filer, EditChangesValuesMovesTheIndexEntryDeletesWithAtAndWaitsForTheLock) {
    EXPECT_EQ(File("EDIT", {"80001^.01^1^HGB", "80001^6^1^8", "80001^3^1^"}), Lines({"[Data]"}));
    EXPECT_EQ(Gets("80001", ".01;3;6;", "1,"),
              DiData("80001^1^.01^HGB^HGB", "80001^1^3^^", "80001^1^6^8^8"));
    EXPECT_FALSE(Indexed({"80001", "B", "HB", "1"}));
    EXPECT_TRUE(Indexed({"80001", "B", "HGB", "1"}));
    EXPECT_EQ(Node("ZDEMO", {"80001", "1", "0"}), "HGB^Hemoglobin^^3100101^1^8^1^2");
    // "@" deletes a value, and a text left empty leaves no node.
    EXPECT_EQ(File("EDIT", {"80001^7^1^@", "80001^100^1^@"}), Lines({"[Data]"}));
    EXPECT_EQ(Gets("80001", "7;100;", "1,"),
              DiData("80001^1^7^^", "80001^1^100^[WORD PROCESSING]", "$$END$$"));
    EXPECT_FALSE(Node("ZDEMO", {"80001", "1", "100", "0"}).has_value());
    // An edit is refused while another session holds the lock.
    TRPCBroker& mine = Demo();
    TRPCBroker& theirs = Broker(kDemoCodes, kSecondHost);
    ASSERT_EQ(Lock(theirs, "80001", "1"), "1");
    EXPECT_EQ(File(mine, "EDIT", {"80001^2^1^Changed"}),
              Errors("File 80001 (DEMO LAB TEST), record 1 is being edited by another user."));
    EXPECT_EQ(File(mine, "ADD", {"80001.03^.01^+1,1^X"}),
              Errors("File 80001.03 (RESULT CODE), new record +1,1: record 1 of file "
                     "80001 (DEMO LAB TEST) is being edited by another user."))
        << "a new entry changes its locked top record";
    EXPECT_EQ(Gets(mine, "80001", "2", "1,")[1], "80001^1^2^Hemoglobin^Hemoglobin");
    // The holder itself may file, and so may everyone once the lock is gone.
    EXPECT_EQ(File(theirs, "EDIT", {"80001^2^1^Hemoglobin A"}), Lines({"[Data]"}));
    ASSERT_EQ(Lock(theirs, "80001", "1", "UNLOCK"), "1");
    EXPECT_EQ(File(mine, "EDIT", {"80001^2^1^Hemoglobin B"}), Lines({"[Data]"}));
    // "@" on the number of a record deletes it in an edit.
    ASSERT_EQ(File("ADD", NewLabTest("GONE", "To be deleted")), Lines({"[Data]", "+1,^41"}));
    EXPECT_EQ(File("EDIT", {"80001^.01^41^@"}), Lines({"[Data]"}));
    EXPECT_EQ(Gets("80001", ".01", "41,")[0], "[ERROR]");
    EXPECT_FALSE(Indexed({"80001", "B", "GONE"}));
    EXPECT_EQ(File("EDIT", {"80001^.01^1^@"}),
              Errors("The record 1 of file 80001 (DEMO LAB TEST) cannot be deleted: 6 records of "
                     "file 80005 (DEMO LAB RESULT) point to it through the required field LAB "
                     "TEST (2)."))
        << "a deletion through the filer keeps every pointer sound";
}

TEST_P(Filer, RightsAreCheckedWhateverTheClientSends) {
    TRPCBroker& reader = Broker(kReaderCodes);
    EXPECT_EQ(File(reader, "EDIT", {"80001^2^1^Changed by a reader"}),
              Errors("You may not change records of file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(File(reader, "ADD", NewLabTest("READ", "Added by a reader")),
              Errors("You may not add records to file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(File(reader, "DELETE", {"80001.03^.01^1,33^@"}),
              Errors("You may not delete records of file 80001.03 (RESULT CODE)."));
    EXPECT_EQ(Gets(reader, "80001", "2", "1,")[1], "80001^1^2^Hemoglobin^Hemoglobin");
    EXPECT_EQ(File(Broker(kDemoCodes, kSecondHost), "EDIT", {"1^.01^80001^MY LAB TESTS"}),
              Errors("You may not change records of file 1 (FILE)."))
        << "the file of files is read-only for everyone";
}

TEST_P(Filer, RefusedLinesGetClearErrorsAndNothingIsHalfFiled) {
    const Lines lines =
        NewLabTest("GOOD", "A good one", {"80001^.01^+2^BAD", "80001.03^.01^+3,1^X"});
    EXPECT_EQ(File("ADD", lines),
              Errors("File 80001 (DEMO LAB TEST), new record +2: the required field "
                     "FULL NAME (2) is missing."));
    EXPECT_EQ(LabTestHeader(), "DEMO LAB TEST^80001^40^40");
    EXPECT_FALSE(Indexed({"80001", "B", "GOOD"}));
    EXPECT_FALSE(Indexed({"80001", "1", "3"})) << "nor the sub-file entry of another record";
    EXPECT_EQ(File("ADD", {"80001^.01^+1^EMPTY", "80001^2^+1^"}),
              Errors("File 80001 (DEMO LAB TEST), new record +1: the required field "
                     "FULL NAME (2) is missing."))
        << "an empty value is no value";
    EXPECT_EQ(File("EDIT", {"80001^2^1^", "80001^.01^2^@", "80001^2^3^@"}),
              Errors("File 80001 (DEMO LAB TEST), record 1: FULL NAME is required and cannot be "
                     "emptied.",
                     "File 80001 (DEMO LAB TEST), record 3: FULL NAME is required and cannot be "
                     "deleted."));
    EXPECT_EQ(Gets("80001", ".01", "2,")[1], "80001^2^.01^WBC^WBC") << "nothing was filed";
    const std::string longLine(246, 'y');
    EXPECT_EQ(File("EDIT",
                   {"80001^2^1^Changed", "80001^2^2^Half^filed", "4711^.01^1^X", "80001^77^1^X",
                    "80001^2^999^Xyz", "80001^6^1^abc", "80001^4^2^DEC 6, 2026", "80001^901^1^3",
                    "80001^100^1^DDRROOT(9)", "80001^100^2^Plain text", "just text"},
                   {{"9,1", "fine"}, {"9,2", longLine}, {"9,3", "$$END$$"}}),
              Errors("File 80001 (DEMO LAB TEST), record 2: the value for FULL NAME (2) holds "
                     "\"^\", which no value may hold.",
                     "File 4711 does not exist.",
                     "Field 77 does not exist in file 80001 (DEMO LAB TEST).",
                     "File 80001 (DEMO LAB TEST), record 1: \"abc\" is not a number. LENGTH OF "
                     "RESULT FIELD takes a whole number from 1 to 250.",
                     "File 80001 (DEMO LAB TEST), record 2: \"DEC 6, 2026\" is not a date in "
                     "internal form (DATE OF INTRODUCTION is stored as YYYMMDD).",
                     "File 80001 (DEMO LAB TEST), record 1: YEARS OF USAGE is computed and "
                     "cannot be changed.",
                     "File 80001 (DEMO LAB TEST), record 1: line 2 of DESCRIPTION (100) has 246 "
                     "characters; a line may hold at most 245.",
                     "File 80001 (DEMO LAB TEST), record 2: DESCRIPTION (100) is word-processing "
                     "text; its lines are sent as DDRROOT(n) with the entries n,1, n,2, ...",
                     "Line 11 (\"just text\") is not \"file^field^record^value\"."));
    EXPECT_EQ(Gets("80001", "2", "1,")[1], "80001^1^2^Hemoglobin^Hemoglobin");
    EXPECT_EQ(File("EDIT", {"80001^2^999^Xyz"}),
              Errors("There is no record 999 in file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(File("EDIT", {"80001^100^1^DDRROOT(1)"}, {{"1,1", "$$END$$"}}),
              Errors("File 80001 (DEMO LAB TEST), record 1: line 1 of DESCRIPTION (100) is "
                     "\"$$END$$\", which ends word-processing text when it is read."));
    // Each mode keeps to its kind of record.
    EXPECT_EQ(File("ADD", {"80001^2^1^Xyz"}),
              Errors("File 80001 (DEMO LAB TEST), record 1 is on file: ADD files new "
                     "records only (change it with EDIT)."));
    EXPECT_EQ(File("EDIT", NewLabTest("X", "Xxx")),
              Errors("File 80001 (DEMO LAB TEST), new record +1 is to be added: EDIT "
                     "changes records on file only (add it with ADD)."));
    EXPECT_EQ(File("DELETE", {"80001.03^2^1,33^@"}),
              Errors("File 80001.03 (RESULT CODE), record 1,33: DELETE takes .01 "
                     "lines with \"@\" only."));
    EXPECT_EQ(File("CHANGE", {"80001^2^1^X"}),
              Errors("The filer's first parameter is ADD, EDIT or DELETE, not \"CHANGE\"."));
    EXPECT_EQ(File("ADD", {"80001.03^.01^+1,+5^X"}),
              Errors("File 80001.03 (RESULT CODE), new record +1,+5: its parent +5 is "
                     "no record that the call adds to file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(File("ADD", NewLabTest("W", "Wished"), {}, {{"7", "900"}}),
              Errors("A record number is wished for +7, which the call does not add."));
    EXPECT_EQ(LabTestHeader(), "DEMO LAB TEST^80001^40^40");
}

INSTANTIATE_TEST_SUITE_P(Engines, Filer, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver::test
