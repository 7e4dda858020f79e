#include "source/message_table.h"

#include <array>

namespace vorn {
namespace {

constexpr int kFirst = 1001;

// The English texts of the toolset's messages, ids 1001 to 1095.
constexpr std::array<const char16_t*, 95> kEnglish = {
    u"Warning",                                                                        // 1001
    u"Error",                                                                          // 1002
    u"Information",                                                                    // 1003
    u"Confirmation",                                                                   // 1004
    u"&Ignore",                                                                        // 1005
    u"&Yes",                                                                           // 1006
    u"&No",                                                                            // 1007
    u"&Ok",                                                                            // 1008
    u"&Abort",                                                                         // 1009
    u"&Retry",                                                                         // 1010
    u"A&ll",                                                                           // 1011
    u"&Help",                                                                          // 1012
    u"&Save",                                                                          // 1013
    u"S&ave new",                                                                      // 1014
    u"Cl&ear",                                                                         // 1015
    u"&New",                                                                           // 1016
    u"&Cancel",                                                                        // 1017
    u"&Delete",                                                                        // 1018
    u"&Select",                                                                        // 1019
    u"&Find",                                                                          // 1020
    u"Too many records found. ",                                                       // 1021
    u"Make more specific search.",                                                     // 1022
    u"There were more than ",                                                          // 1023
    u" records found. ",                                                               // 1024
    u"&Find again",                                                                    // 1025
    u"&Insert",                                                                        // 1026
    u"&Zoom",                                                                          // 1027
    u"Document was printed to file ",                                                  // 1028
    u"&Print",                                                                         // 1029
    u"&Send to file",                                                                  // 1030
    u"&Close",                                                                         // 1031
    u"Value ",                                                                         // 1032
    u"  is not valid for field ",                                                      // 1033
    u"Do you want to change the value for ",                                           // 1034
    u" into ",                                                                         // 1035
    u" and save the changes?",                                                         // 1036
    u"Save ",                                                                          // 1037
    u"From fields: ",                                                                  // 1038
    u"Saved: ",                                                                        // 1039
    u"Error in saving!",                                                               // 1040
    u"Save new ",                                                                      // 1041
    u"Saved new: ",                                                                    // 1042
    u"Error in saving new record!",                                                    // 1043
    u"Record has not been saved. You cannot delete record.",                           // 1044
    u"Delete ",                                                                        // 1045
    u"Deleted: ",                                                                      // 1046
    u"Error in deleting record!",                                                      // 1047
    u"Error in deleting! The following files have pointers to the current record: ",   // 1048
    u"Delete record anyway?",                                                          // 1049
    u"The record has changed! Retrieving record again.",                               // 1050
    u"Required field (",                                                               // 1051
    u") is missing!",                                                                  // 1052
    u"The record has been locked for ",                                                // 1053
    u" minutes. Save changes or ignore and continue modifying record?",                // 1054
    u"Changes cancelled due to database lock timeout.",                                // 1055
    u"The record is being modified by someone else! Try again later.",                 // 1056
    u"Error in removing the lock from database! Contact system maintainer.",           // 1057
    u"Save ",                                                                          // 1058
    u"The record was sent to printer.",                                                // 1059
    u"&Cancel",                                                                        // 1060
    u" <<< More >>>",                                                                  // 1061
    u"Save changes",                                                                   // 1062
    u"Save new record",                                                                // 1063
    u"Delete record",                                                                  // 1064
    u"Cancel changes",                                                                 // 1065
    u"Clear record",                                                                   // 1066
    u"First record",                                                                   // 1067
    u"Insert new record",                                                              // 1068
    u"Last record",                                                                    // 1069
    u"Next record",                                                                    // 1070
    u"Prior record",                                                                   // 1071
    u"Print preview",                                                                  // 1072
    u"Save",                                                                           // 1073
    u"Print",                                                                          // 1074
    u"to Excel",                                                                       // 1075
    u"Copy to Clipboard",                                                              // 1076
    u"&Copy",                                                                          // 1077
    u"More",                                                                           // 1078
    u"&Close",                                                                         // 1079
    u"Help",                                                                           // 1080
    u"Select",                                                                         // 1081
    u"You can retrieve another record by pressing 'Clear' first.",                     // 1082
    u"Maximize window",                                                                // 1083
    u"Normalize window",                                                               // 1084
    u"Print form",                                                                     // 1085
    u"You can preview the document in the print form",                                 // 1086
    u" and redirect the document to Windows printer or a file.",                       // 1087
    u" You can also copy document into another application by pressing Copy button.",  // 1088
    u"If you want to copy only a part of the text, select the text you want to copy before "
    u"pressing Copy button.",           // 1089
    u"&Find text              Ctrl+F",  // 1090
    u"Search string not found!",        // 1091
    u"&File",                           // 1092
    u"E&xit",                           // 1093
    u"&Print",                          // 1094
    u"&Help",                           // 1095
};

}  // namespace

QString LoadStringResource(int id) {
    if (id < kFirst || id >= kFirst + static_cast<int>(kEnglish.size())) return {};
    return QString::fromUtf16(kEnglish[id - kFirst]);
}

}  // namespace vorn
