// Reading records and the dictionary through the real broker: "DDR GETS ENTRY DATA", the DDU
// questions, field help, identifiers and the message file.
#include <gtest/gtest.h>

#include "source/server_queries.h"
#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver::test {
namespace {

class Gets : public DemoServerTest {
  protected:
    Lines Read(const std::string& file, const std::string& fields, const std::string& iens) {
        return BrokerTest::Gets(Demo(), file, fields, iens);
    }
    // "[ERROR]", "[BEGIN_diERRORS]" and the text.
    static Lines Error(const std::string& text) { return {"[ERROR]", "[BEGIN_diERRORS]", text}; }
};

TEST_F(Gets, GivesEachFieldOfRecordsSubfileRecordsTheDictionaryAndPointedRecordsOnly) {
    EXPECT_EQ(Read("80001", ".01;2;3;4;5;6;7;8;", "1,"),
              DiData("80001^1^.01^HB^HB", "80001^1^2^Hemoglobin^Hemoglobin", "80001^1^3^1^YES",
                     "80001^1^4^3100101^JAN 1, 2010", "80001^1^5^1^LABORATORY", "80001^1^6^6^6",
                     "80001^1^7^1^VIRTANEN,AINO", "80001^1^8^2^NUMERICAL"));
    // Pointers and variable pointers by the pointed name: lab result 1 belongs to patient 16,
    // who is person 16; its lab test is 25.
    EXPECT_EQ(Read("80005", ".01;2;3;", "1,"),
              DiData("80005^1^.01^16;ZDEMO(80003,^NIEMI,VEIKKO", "80005^1^2^25^B12",
                     "80005^1^3^3230704^JUL 4, 2023"));
    // "*" gives every field but the multiples, and word processing between its markers.
    Lines fields;
    for (const std::string& line : Read("80001", "*", "1,"))
        fields.push_back(Pieces(line).size() > 2 ? Pieces(line)[2] : line);
    EXPECT_EQ(fields, DiData(".01", "2", "3", "4", "5", "6", "7", "8", "100",
                             "Hemoglobin (HB) is measured from a blood specimen.",
                             "Results are reported the same day.", "$$END$$", "901"));
    EXPECT_EQ(Read("80001", ".01;100;", "1,")[2], "80001^1^100^[WORD PROCESSING]");
    // Sub-file records by their full address, the dictionary as file 1; nothing else.
    EXPECT_EQ(Read("80001.03", ".01;2;", "1,33,"),
              DiData("80001.03^1,33^.01^NEG^NEG",
                     "80001.03^1,33^2^No antibodies found^No antibodies found"));
    EXPECT_EQ(Read("80001.03", ".01", ",33,")[0], "[ERROR]")
        << "a sub-file record needs its number";
    EXPECT_EQ(Read("1", ".01;4", "80001,"),
              DiData("1^80001^.01^DEMO LAB TEST^DEMO LAB TEST", "1^80001^4^[WORD PROCESSING]",
                     "The laboratory tests that can be ordered, with their subresults,",
                     "result codes and a description of each.", "$$END$$"));
    EXPECT_EQ(Read("80001", ".01", "999,"),
              Error("There is no record 999 in file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(Read("99999", ".01", "1,"), Error("File 99999 does not exist."));
    EXPECT_EQ(Read("80001", ".01;77;", "1,"),
              Error("Field 77 does not exist in file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(Read("80001", ".01", "x,"), Error("\"x,\" is not a record address."));
    EXPECT_EQ(Read("80001", "10", "1,"),
              Error("SUBRESULT (10) of file 80001 (DEMO LAB TEST) is a multiple; its entries are "
                    "read as records of sub-file 80001.02."));
    // The computed field is evaluated with the session's today.
    EXPECT_EQ(Read("80001", "4;901;", "1,"),
              DiData("80001^1^4^3100101^JAN 1, 2010", "80001^1^901^16^16"));
    clock.Advance(std::chrono::hours(24 * 30));  // 5 January 2027: 17 whole years
    EXPECT_EQ(Read("80001", "901", "1,")[1], "80001^1^901^17^17");
    // Pointers are followed to the pointed records' fields: departmental lab test 1, its lab test
    // 11, whose person in charge is 15.
    EXPECT_EQ(Read("80006", "2:7:.01;2:7:.001;", "1,"),
              DiData("80006^1^2:7:.01^HEINONEN,SANNA^HEINONEN,SANNA", "80006^1^2:7:.001^15^15"));
    ASSERT_EQ(File(Demo(), "EDIT", {"80001^7^1^@"}), Lines({"[Data]"}));
    EXPECT_EQ(Read("80001", "7:2", "1,"), DiData("80001^1^7:2^^"));
    EXPECT_EQ(Read("80001", "2:1", "1,"),
              Error("FULL NAME (2) of file 80001 (DEMO LAB TEST) is not a pointer; \"2:1\" cannot "
                    "go through it."));
    EXPECT_EQ(Read("80001", "7:77", "1,"),
              Error("Field 77 does not exist in file 80000 (DEMO PERSON)."));
}

class DictionaryCalls : public DemoServerTest {
  protected:
    Lines Ask(const std::string& name, const std::string& file, const std::string& field) {
        return Call(name, {{"1", file}, {"2", field}});
    }
};

TEST_F(DictionaryCalls, FieldsLocationsAndRightsAsTheDictionaryAndTheUserHaveThem) {
    EXPECT_EQ(Ask("VRNX DDU FIELDS", "80001", ".001"),
              Lines({"[Data]", ".01^ABBREVIATION^F^^1^^0;1", "2^FULL NAME^F^^1^^0;2",
                     "3^CURRENTLY IN USE^S^^0^^0;3", "4^DATE OF INTRODUCTION^D^^0^^0;4",
                     "5^WHO TAKES THE SPECIMEN^S^^0^^0;5", "6^LENGTH OF RESULT FIELD^N^^0^^0;6",
                     "7^PERSON IN CHARGE^P^^0^80000^0;7", "8^RESULT FORMAT^S^^0^^0;8",
                     "10^SUBRESULT^M^80001.02^0^^2;0", "11^RESULT CODE^M^80001.03^0^^3;0",
                     "100^DESCRIPTION^W^^0^^100;0", "901^YEARS OF USAGE^C^^0^^"}));
    EXPECT_EQ(Ask("VRNX DDU FIELDS", "80005", ".001")[1],
              ".01^PATIENT/SPECIMEN^V^^1^80003,80004^0;1");
    // The client's reader of it.
    TRPCBroker& b = Demo();
    EXPECT_EQ(GetFieldAttribute("80001", "7", &b), "P");
    EXPECT_EQ(GetFieldAttribute("80001.02", "3", &b), "M");
    EXPECT_EQ(GetFieldAttribute("80001", "55", &b), "");
    // Location gives node and piece, a string node quoted.
    const Lines type = Ask("VRNX DDU LOCATION", "3.5", "2");
    EXPECT_EQ(type, DiData("\"TYPE\";1"));
    // The link screen a client builds from it reads node "TYPE", not a variable TYPE.
    const auto at = SplitText(type.at(1), ';');
    const std::string screen = "I \"TRM\"=$P($G(^(" + at[0] + ")),U," + at[1] + ")";
    EXPECT_EQ(Call("DDR LISTER", {{"FILE", "3.5"}, {"FIELDS", ".001"}, {"SCREEN", screen}}),
              Lines({"[Data]", "2^2", "4^4", "5^5"}));
    EXPECT_EQ(Ask("VRNX DDU LOCATION", "80001", "901"),
              DiErrors("YEARS OF USAGE (901) is computed; it has no place in the record."));
    // File access leaves the denied rights empty.
    EXPECT_EQ(Call("VRNX DDU FILE ACCESS", {{"1", "80001"}}),
              Lines({"[Data]", "80001^DEMO,USER^READ^WRITE^DEL^LAYGO"}));
    EXPECT_EQ(Call("VRNX DDU FILE ACCESS", {{"1", "1"}}), Lines({"[Data]", "1^DEMO,USER^READ^^^"}))
        << "the file of files is read-only";
    TRPCBroker& reader = Broker(kReaderCodes, kSecondHost);
    EXPECT_EQ(CallList(reader, "VRNX DDU FILE ACCESS", {{"1", "80001.03"}}),
              Lines({"[Data]", "80001.03^READER,USER^READ^^^"}));
    EXPECT_EQ(CallList(reader, "VRNX DDU FILE ACCESS", {{"1", "4711"}}),
              Errors("File 4711 does not exist."));
    // Pointer LAYGO is a single value, and needs the right to add.
    auto laygo = [](TRPCBroker& broker, const std::string& file, const std::string& field) {
        return CallList(broker, "VRNX DDU POINTER LAYGO", {{"1", file}, {"2", field}});
    };
    EXPECT_EQ(laygo(Demo(), "80001", "7"), Lines{"1"});
    EXPECT_EQ(laygo(Demo(), "80003", ".01"), Lines{"0"}) << "the pointer allows no additions";
    EXPECT_EQ(laygo(Demo(), "80001", "2"), Lines{"0"}) << "no pointer";
    EXPECT_EQ(laygo(Demo(), "80001", "99"), Lines{"0"});
    EXPECT_EQ(laygo(reader, "80001", "7"), Lines{"0"});
}

TEST_F(DictionaryCalls, HelpIdentifiersAndMessagesGiveTheirTexts) {
    auto help = [&](const std::string& file, const std::string& field, const std::string& flags) {
        return Call("VRNX HELP", {{"FILE", file}, {"FIELD", field}, {"FLAGS", flags}});
    };
    const std::string prompt = "Answer with a whole number from 1 to 250.";
    const std::string description = "How many characters a result of this test may have.";
    EXPECT_EQ(help("80001", "6", "HD"),
              Lines({"[BEGIN_diHELP]", prompt + " ", description, "[END_diHELP]"}))
        << "the client joins the lines without a separator";
    EXPECT_EQ(help("80006", "3", "D"), Lines({"[BEGIN_diHELP]", "[END_diHELP]"}))
        << "a field without a description";
    EXPECT_EQ(help("80001", "66", "H"),
              DiErrors("Field 66 does not exist in file 80001 (DEMO LAB TEST)."));
    auto ids = [&](const std::string& file, const std::string& ien) {
        return Call("VRNX IDENTIFIERS", {{"FILE", file}, {"IEN", ien}});
    };
    EXPECT_EQ(ids("80001.03", "1,33"), DiData("NEG"));
    EXPECT_EQ(ids("80001.03", "1"), DiData()) << "a sub-file record given by its number alone";
    EXPECT_EQ(ids("3.5", "2"), DiData("LASER PRINTER 1 LABORATORY, ROOM 12"));
    EXPECT_EQ(ids("80001", "999"),
              DiErrors("There is no record 999 in file 80001 (DEMO LAB TEST)."));
    // Messages: client texts, server texts with their parameters, and unknown ids.
    auto dialog = [&](const std::string& id, Entries parameters = {}) {
        parameters.insert(parameters.begin(), {"VORNNUM", id});
        return Call("VRNX DIALOG", parameters);
    };
    EXPECT_EQ(dialog("1007"), Lines({"[Data]", "&No"}));
    EXPECT_EQ(dialog("1125", {{"1", "3"}, {"2", "DEMO LAB RESULT"}, {"3", "HB"}}),
              Lines({"[Data]", "3 records of DEMO LAB RESULT moved to HB."}));
    EXPECT_EQ(dialog("1119", {{"1", "HB"}}), Lines({"[Data]", "HB has related records in ."}))
        << "a parameter not given leaves nothing";
    EXPECT_EQ(dialog("1146", {{"1", "|2|"}, {"2", "X"}}),
              Lines({"[Data]", "|2| references in X cleared."}))
        << "values are placed as they are";
    for (const char* unknown : {"1096", "1142", "5001", "abc", ""})
        EXPECT_EQ(dialog(unknown), Lines({"[Data]"})) << unknown;
    EXPECT_EQ(Call("VRNX DIALOG", {}), Lines({"[Data]"}));
}

}  // namespace
}  // namespace vorn::devserver::test
