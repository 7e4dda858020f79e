#include "devserver/procedures/message_file.h"

#include <cctype>
#include <map>

#include "common/message_texts.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

// The server's own texts: those with parameters replace the client's bare texts of the same id.
const std::map<std::string, std::string>& ServerTexts() {
    static const std::map<std::string, std::string> texts = {
        {"1023", "There were more than |1| records found. "},
        {"1032", "Value \"|1|\" is not valid for field |2|."},
        {"1034", "Do you want to change the value for |1| into \"|2|\" and save the changes"},
        {"1037", "Save changes to |1|"},
        {"1039", "Saved: |1|"},
        {"1041", "Save new |1|"},
        {"1042", "Saved new: |1|"},
        {"1045", "Delete |1|?"},
        {"1046", "Deleted: |1|"},
        {"1051", "Required field (|1|) is missing!"},
        {"1053",
         "The record has been locked for |1| minutes. Save changes or ignore and continue "
         "modifying record?"},
        {"1119", "|1| has related records in |2|."},
        {"1120", "What do you want to do with them?"},
        {"1121", "Delete all records of |1| related to |2|"},
        {"1122", "Move the records related to |1| to another |2|"},
        {"1123", "Delete all related records of |1|?"},
        {"1124", "Move all related records of |1| to another |2|?"},
        {"1125", "|1| records of |2| moved to |3|."},
        {"1126", "|1| records of |2| deleted."},
        {"1127", "Select output device"},
        {"1128", "To screen"},
        {"1129", "To workstation printer"},
        {"1130", "To workstation file"},
        {"1131", "To spreadsheet"},
        {"1132", "To server printer"},
        {"1133", "Choose where the document goes:"},
        {"1134", "The document is shown on the screen, where you can read, search and copy it."},
        {"1135", "The document is printed on the printer of your workstation."},
        {"1136", "The document is saved in a file on your workstation."},
        {"1137", "The document is opened in the spreadsheet program of your workstation."},
        {"1138", "The document is printed on a printer of the server."},
        {"1139", "The document is opened in the word processor of your workstation."},
        {"1140", "&Word processor"},
        {"1141", "To word processor"},
        {"1144", "Clear all references to |1|"},
        {"1145", "Clear all references to this record?"},
        {"1146", "|1| references in |2| cleared."},
        {"1147", "Type at least one character to search with."},
    };
    return texts;
}

}  // namespace

std::optional<std::string> MessageTemplate(const std::string& id) {
    if (const auto it = ServerTexts().find(id); it != ServerTexts().end()) return it->second;
    if (id.size() != 4 || !AllDigits(id)) return std::nullopt;
    const int index = std::stoi(id) - kFirstToolsetMessage;
    if (index < 0 || index >= static_cast<int>(kToolsetMessageTexts.size())) return std::nullopt;
    return std::string(kToolsetMessageTexts[static_cast<std::size_t>(index)]);
}

std::string PlaceParameters(const std::string& text, const std::vector<std::string>& parameters) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '|') {
            std::size_t j = i + 1;
            while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                ++j;
            if (j > i + 1 && j < text.size() && text[j] == '|' && j - i - 1 <= 3) {
                const std::size_t n = std::stoul(text.substr(i + 1, j - i - 1));
                if (n >= 1 && n <= parameters.size()) out += parameters[n - 1];
                i = j + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

}  // namespace vorn::devserver
