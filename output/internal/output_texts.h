// The texts of the output forms: the toolset's messages by number, those above 1095 from the
// server's message file, and the window their F1 help is shown in (the help window).
#pragma once

#include <QString>

namespace vorn {

class TRPCBroker;

namespace texts {
inline constexpr int kDocumentPrintedToFile = 28;
inline constexpr int kPrintButton = 29;
inline constexpr int kSendToFile = 30;
inline constexpr int kCloseButton = 31;
inline constexpr int kSentToPrinter = 59;
inline constexpr int kPrintPreview = 72;
inline constexpr int kSaveItem = 73;
inline constexpr int kPrintItem = 74;
inline constexpr int kToExcelItem = 75;
inline constexpr int kCopyItem = 76;
inline constexpr int kCopyButton = 77;
inline constexpr int kHelpClose = 79;
inline constexpr int kHelpCaption = 80;
inline constexpr int kMaximize = 83;
inline constexpr int kNormalize = 84;
inline constexpr int kPrintForm = 85;
inline constexpr int kPreviewHelp = 86;
inline constexpr int kRedirectHelp = 87;
inline constexpr int kCopyHelp = 88;
inline constexpr int kPartCopyHelp = 89;
inline constexpr int kFindItem = 90;
inline constexpr int kSearchNotFound = 91;
inline constexpr int kHelpPrint = 94;
inline constexpr int kToWorkstationPrinter = 129;
inline constexpr int kToWorkstationFile = 130;
inline constexpr int kToSpreadsheet = 131;
inline constexpr int kWordButton = 140;
inline constexpr int kToWordProcessor = 141;
}  // namespace texts

// Message `id`: the toolset's own (up to 95) through `broker`, or the string table without
// one; a higher one from the server's message file.
QString OutputText(int id, TRPCBroker* broker);

// Shows `text` under `title` in the help window; each "\r" starts a new line.
void ShowOutputHelp(const QString& title, const QString& text);

// What marks a document whose download was cancelled: the end of the preview's title, and
// the line put before its text wherever it goes out of the preview.
QString IncompleteTitleSuffix();
QString IncompleteDocumentNote(qsizetype arrived);

}  // namespace vorn
