// The English texts of the toolset's messages 1001 to 1095, as plain data without any library
// type, so that the program's string table (source/message_table.cpp) and the development
// server's message file (devserver/procedures/message_file.cpp) hold the same texts from one
// place.
#pragma once

#include <array>

#pragma GCC visibility push(default)
namespace vorn {

// The id of the first text; text i of the table has the id kFirstToolsetMessage + i.
inline constexpr int kFirstToolsetMessage = 1001;

inline constexpr std::array<const char*, 95> kToolsetMessageTexts = {
    "Warning",                                                                        // 1001
    "Error",                                                                          // 1002
    "Information",                                                                    // 1003
    "Confirmation",                                                                   // 1004
    "&Ignore",                                                                        // 1005
    "&Yes",                                                                           // 1006
    "&No",                                                                            // 1007
    "&Ok",                                                                            // 1008
    "&Abort",                                                                         // 1009
    "&Retry",                                                                         // 1010
    "A&ll",                                                                           // 1011
    "&Help",                                                                          // 1012
    "&Save",                                                                          // 1013
    "S&ave new",                                                                      // 1014
    "Cl&ear",                                                                         // 1015
    "&New",                                                                           // 1016
    "&Cancel",                                                                        // 1017
    "&Delete",                                                                        // 1018
    "&Select",                                                                        // 1019
    "&Find",                                                                          // 1020
    "Too many records found. ",                                                       // 1021
    "Make more specific search.",                                                     // 1022
    "There were more than ",                                                          // 1023
    " records found. ",                                                               // 1024
    "&Find again",                                                                    // 1025
    "&Insert",                                                                        // 1026
    "&Zoom",                                                                          // 1027
    "Document was printed to file ",                                                  // 1028
    "&Print",                                                                         // 1029
    "&Send to file",                                                                  // 1030
    "&Close",                                                                         // 1031
    "Value ",                                                                         // 1032
    "  is not valid for field ",                                                      // 1033
    "Do you want to change the value for ",                                           // 1034
    " into ",                                                                         // 1035
    " and save the changes?",                                                         // 1036
    "Save ",                                                                          // 1037
    "From fields: ",                                                                  // 1038
    "Saved: ",                                                                        // 1039
    "Error in saving!",                                                               // 1040
    "Save new ",                                                                      // 1041
    "Saved new: ",                                                                    // 1042
    "Error in saving new record!",                                                    // 1043
    "Record has not been saved. You cannot delete record.",                           // 1044
    "Delete ",                                                                        // 1045
    "Deleted: ",                                                                      // 1046
    "Error in deleting record!",                                                      // 1047
    "Error in deleting! The following files have pointers to the current record: ",   // 1048
    "Delete record anyway?",                                                          // 1049
    "The record has changed! Retrieving record again.",                               // 1050
    "Required field (",                                                               // 1051
    ") is missing!",                                                                  // 1052
    "The record has been locked for ",                                                // 1053
    " minutes. Save changes or ignore and continue modifying record?",                // 1054
    "Changes cancelled due to database lock timeout.",                                // 1055
    "The record is being modified by someone else! Try again later.",                 // 1056
    "Error in removing the lock from database! Contact system maintainer.",           // 1057
    "Save ",                                                                          // 1058
    "The record was sent to printer.",                                                // 1059
    "&Cancel",                                                                        // 1060
    " <<< More >>>",                                                                  // 1061
    "Save changes",                                                                   // 1062
    "Save new record",                                                                // 1063
    "Delete record",                                                                  // 1064
    "Cancel changes",                                                                 // 1065
    "Clear record",                                                                   // 1066
    "First record",                                                                   // 1067
    "Insert new record",                                                              // 1068
    "Last record",                                                                    // 1069
    "Next record",                                                                    // 1070
    "Prior record",                                                                   // 1071
    "Print preview",                                                                  // 1072
    "Save",                                                                           // 1073
    "Print",                                                                          // 1074
    "to Excel",                                                                       // 1075
    "Copy to Clipboard",                                                              // 1076
    "&Copy",                                                                          // 1077
    "More",                                                                           // 1078
    "&Close",                                                                         // 1079
    "Help",                                                                           // 1080
    "Select",                                                                         // 1081
    "You can retrieve another record by pressing 'Clear' first.",                     // 1082
    "Maximize window",                                                                // 1083
    "Normalize window",                                                               // 1084
    "Print form",                                                                     // 1085
    "You can preview the document in the print form",                                 // 1086
    " and redirect the document to Windows printer or a file.",                       // 1087
    " You can also copy document into another application by pressing Copy button.",  // 1088
    "If you want to copy only a part of the text, select the text you want to copy before "
    "pressing Copy button.",           // 1089
    "&Find text              Ctrl+F",  // 1090
    "Search string not found!",        // 1091
    "&File",                           // 1092
    "E&xit",                           // 1093
    "&Print",                          // 1094
    "&Help",                           // 1095
};

}  // namespace vorn

#pragma GCC visibility pop
