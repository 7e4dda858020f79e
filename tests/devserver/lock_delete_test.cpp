// Record locks, the pointer check before a deletion and the deletion itself, through the real
// broker and between two sessions.
#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver::test {
namespace {

class Locks : public OnBothEngines<DemoServerTest> {};

TEST_P(Locks, AreCountedRefusedToAnotherSessionAndASubfileEntryLocksItsTopRecord) {
    TRPCBroker& first = Demo();
    TRPCBroker& second = Broker(kDemoCodes, kSecondHost);
    EXPECT_EQ(Lock(first, "80001.03", "1,33"), "1");
    EXPECT_EQ(Lock(second, "80001", "33"), "0");
    EXPECT_EQ(Lock(second, "80001.03", "2,33"), "0");
    EXPECT_EQ(Lock(first, "80001", "33"), "1") << "the same lock, counted";
    EXPECT_EQ(server->context().locks.HolderOf("80001", "33")->count, 2);
    EXPECT_EQ(Lock(first, "80001", "33", "UNLOCK"), "1");
    EXPECT_EQ(Lock(second, "80001", "33"), "0") << "still held once";
    EXPECT_EQ(Lock(first, "80001.03", "1,33", "UNLOCK"), "1");
    EXPECT_EQ(Lock(first, "80001", "33", "UNLOCK"), "0") << "no longer held";
    EXPECT_EQ(Lock(second, "80001", "33"), "1");
    EXPECT_EQ(Lock(first, "80001", "34"), "1") << "another record";
}

TEST_P(Locks, NeedTheRightToChangeAndARecordOnFile) {
    TRPCBroker& reader = Broker(kReaderCodes);
    EXPECT_EQ(CallList(reader, "VRNX LOCKS", {{"FILE", "80001"}, {"IEN", "1"}, {"ACT", "LOCK"}}),
              DiErrors("You may not change records of file 80001 (DEMO LAB TEST)."));
    TRPCBroker& demo = Broker(kDemoCodes, kSecondHost);
    EXPECT_EQ(CallList(demo, "VRNX LOCKS", {{"FILE", "80001"}, {"IEN", "999"}, {"ACT", "LOCK"}}),
              DiErrors("There is no record 999 in file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(CallList(demo, "VRNX LOCKS", {{"FILE", "80001"}, {"IEN", "1"}, {"ACT", "GRAB"}}),
              DiErrors("\"ACT\" is LOCK or UNLOCK, not \"GRAB\"."));
    EXPECT_EQ(server->context().locks.Size(), 0u);
}

class Deletion : public OnBothEngines<DemoServerTest> {
  protected:
    Lines Check(const std::string& file, const std::string& ien, const std::string& records = "2") {
        return Call(
            "VRNX RECORD POINTER CHECK",
            {{"FILE", file}, {"IEN", ien}, {"FCNT", "6"}, {"ECNT", records}, {"FXCNT", "6"}});
    }
    // On the first DEMO broker unless another is given.
    Lines Delete(const std::string& file, const std::string& ien, TRPCBroker* b = nullptr) {
        return CallList(b ? *b : Demo(), "VRNX RECORD DELETE", {{"FILE", file}, {"IEN", ien}});
    }
};

TEST_P(Deletion, IsRefusedForARequiredPointerWhatDoesNotExistOrWithoutTheRight) {
    // Person 1 is in charge of three lab tests (optional) and is patients 1 and 31 (required).
    EXPECT_EQ(Check("80000", "1"),
              DiData("5", "DEMO LAB TEST (file 80001), field PERSON IN CHARGE: 3 records",
                     "   HB Hemoglobin", "   CREA Creatinine", "   ... and 1 more",
                     "DEMO PATIENT (file 80003), field PERSON (required): 2 records",
                     "   VIRTANEN,AINO CHILDREN'S WARD", "   VIRTANEN,AINO MEDICAL WARD 1"));
    EXPECT_EQ(Delete("80000", "1"),
              DiErrors("The record 1 of file 80000 (DEMO PERSON) cannot be deleted: 2 records of "
                       "file 80003 (DEMO PATIENT) point to it through the required field PERSON "
                       "(.01)."));
    EXPECT_EQ(Gets("80001", "7", "1,")[1], "80001^1^7^1^VIRTANEN,AINO") << "nothing cleared";
    EXPECT_EQ(Gets("80000", ".01", "1,")[1], "80000^1^.01^VIRTANEN,AINO^VIRTANEN,AINO");
    EXPECT_EQ(Delete("80001", "999"),
              DiErrors("There is no record 999 in file 80001 (DEMO LAB TEST)."));
    EXPECT_EQ(Check("4711", "1"), DiErrors("File 4711 does not exist."));
    EXPECT_EQ(Check("80001", ""), DiErrors("\"\" is not a record address."));
    TRPCBroker& reader = Broker(kReaderCodes, kSecondHost);
    EXPECT_EQ(Delete("3.2", "3", &reader),
              DiErrors("You may not delete records of file 3.2 (TERMINAL TYPE)."));
    EXPECT_EQ(Gets(reader, "3.2", ".01", "3,")[1], "3.2^3^.01^C-VT100^C-VT100");
}

TEST_P(Deletion, ClearsOptionalPointersAfterReportingThemAndTakesSubfilesAndIndexesAlong) {
    // Terminal type C-VT100 is the subtype of devices 1 and 5, an optional field.
    EXPECT_EQ(Check("3.2", "3"), DiData("2", " ", "DEVICE (file 3.5), field SUBTYPE: 2 records",
                                        "   CLIENT WORKSTATION THE USER'S OWN WORKSTATION",
                                        "   WARD TERMINAL MEDICAL WARD 1"));
    EXPECT_EQ(Check("3.2", "3", "1"),
              DiData("2", " ", "DEVICE (file 3.5), field SUBTYPE: 2 records",
                     "   CLIENT WORKSTATION THE USER'S OWN WORKSTATION", "   ... and 1 more"));
    EXPECT_EQ(Delete("3.2", "3"), DiData("C-VT100"));
    EXPECT_EQ(Gets("3.5", "3", "1,")[1], "3.5^1^3^^");
    EXPECT_EQ(Gets("3.5", "3", "5,")[1], "3.5^5^3^^");
    EXPECT_EQ(Gets("3.5", "3", "2,")[1], "3.5^2^3^1^P-LASER") << "others keep theirs";
    EXPECT_FALSE(Node("%ZIS", {"2", "3"}).has_value());
    EXPECT_FALSE(Node("%ZIS", {"2", "B", "C-VT100"}).has_value());
    EXPECT_EQ(Node("%ZIS", {"2", "0"}), "TERMINAL TYPE^3.2^3^2");
    EXPECT_EQ(Check("3.5", "1"), DiData("0", " "));
    // A new record goes with its subfiles and index entries.
    ASSERT_EQ(File("ADD", {"80001^.01^+1^TEMP", "80001^2^+1^Temporary", "80001.03^.01^+2,+1^POS",
                           "80001.02^.01^+3,+1^PART"}),
              Lines({"[Data]", "+1,^41", "+2,^1", "+3,^1"}));
    EXPECT_EQ(Check("80001", "41"), DiData("0", " "));
    EXPECT_EQ(Delete("80001", "41"), DiData("TEMP"));
    EXPECT_FALSE(Node("ZDEMO", {"80001", "41", "3", "1", "0"}).has_value());
    EXPECT_FALSE(Node("ZDEMO", {"80001", "B", "TEMP", "41"}).has_value());
    EXPECT_EQ(Node("ZDEMO", {"80001", "0"}), "DEMO LAB TEST^80001^41^40");
    EXPECT_EQ(Gets("80001", ".01", "41,")[0], "[ERROR]");
}

TEST_P(Deletion, IsRefusedWhileARecordItWouldChangeIsLockedByAnotherSession) {
    TRPCBroker& mine = Demo();
    TRPCBroker& theirs = Broker(kDemoCodes, kSecondHost);
    ASSERT_EQ(Lock(theirs, "3.5", "5"), "1");
    EXPECT_EQ(Delete("3.2", "3", &mine),
              DiErrors("The record 3 of file 3.2 (TERMINAL TYPE) cannot be deleted now: record 5 "
                       "of file 3.5 (DEVICE), which points to it, is being edited by another "
                       "user."));
    EXPECT_EQ(Gets(mine, "3.5", "3", "1,")[1], "3.5^1^3^3^C-VT100") << "nothing was cleared";
    ASSERT_EQ(Lock(theirs, "3.5", "5", "UNLOCK"), "1");
    ASSERT_EQ(Lock(theirs, "3.2", "3"), "1");
    EXPECT_EQ(Delete("3.2", "3", &mine),
              DiErrors("The record 3 of file 3.2 (TERMINAL TYPE) is being edited by another "
                       "user."));
    EXPECT_EQ(Gets(mine, "3.2", ".01", "3,")[1], "3.2^3^.01^C-VT100^C-VT100");
}

INSTANTIATE_TEST_SUITE_P(Engines, Locks, test::kBothEngines, test::EngineName);
INSTANTIATE_TEST_SUITE_P(Engines, Deletion, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver::test
