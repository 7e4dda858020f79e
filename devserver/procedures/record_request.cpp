#include "devserver/procedures/record_request.h"

#include <cctype>

#include "devserver/files/file_records.h"
#include "devserver/m/text.h"

namespace vorn::devserver {

std::string FileTitle(const FileDef& file) {
    return file.number + " (" + file.name + ")";
}

std::string FieldTitle(const FieldDef& field) {
    return field.label + " (" + field.number + ")";
}

const FileDef& RequireFile(const Dictionary& dict, std::string_view number) {
    if (number.empty()) throw RequestError("No file number was given.");
    const FileDef* file = dict.File(number);
    if (!file) throw RequestError("File " + std::string(number) + " does not exist.");
    return *file;
}

const FieldDef& RequireField(const FileDef& file, std::string_view number) {
    if (number.empty()) throw RequestError("No field number was given.");
    const FieldDef* field = file.Field(number);
    if (!field)
        throw RequestError("Field " + std::string(number) + " does not exist in file " +
                           FileTitle(file) + ".");
    return *field;
}

std::vector<std::string> RequireIens(const Dictionary& dict, const FileDef& file,
                                     std::string_view address, bool placeholders) {
    std::string text(address);
    if (text.empty() || text.back() != ',') text += ',';
    const auto iens = ParseIens(text, placeholders);
    if (!iens || text == ",")
        throw RequestError("\"" + std::string(address) + "\" is not a record address.");
    const std::size_t wanted = static_cast<std::size_t>(dict.Depth(file)) + 1;
    if (iens->size() != wanted)
        throw RequestError("The record address \"" + std::string(address) + "\" does not fit " +
                           (file.IsSubfile() ? "sub-file " : "file ") + FileTitle(file) +
                           ": it takes " + std::to_string(wanted) +
                           (wanted == 1 ? " number." : " numbers."));
    return *iens;
}

namespace {

RequestError NoRecord(const FileDef& file, const std::vector<std::string>& iens) {
    return RequestError("There is no " + RecordTitle(iens) + " in file " + FileTitle(file) + ".");
}

}  // namespace

GlobalRef RequireRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                        const std::vector<std::string>& iens) {
    const auto record = RecordRef(dict, file, iens);
    if (!record || !RecordExists(store, *record)) throw NoRecord(file, iens);
    return *record;
}

RecordReader RequireRecordReader(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                                 const std::vector<std::string>& iens, CivilDate today) {
    const auto record = RecordRef(dict, file, iens);
    if (!record) throw NoRecord(file, iens);
    RecordReader reader(store, dict, file, *record, iens.front(), today);
    if (!reader.Exists()) throw NoRecord(file, iens);
    return reader;
}

void RequireRight(const FileAccess& access, Right right, const FileDef& file) {
    switch (right) {
        case Right::Read:
            if (!access.read)
                throw RequestError("You may not read records of file " + FileTitle(file) + ".");
            return;
        case Right::Write:
            if (!access.write)
                throw RequestError("You may not change records of file " + FileTitle(file) + ".");
            return;
        case Right::Delete:
            if (!access.del)
                throw RequestError("You may not delete records of file " + FileTitle(file) + ".");
            return;
        case Right::Add:
            if (!access.laygo)
                throw RequestError("You may not add records to file " + FileTitle(file) + ".");
            return;
    }
}

std::string RecordTitle(const std::vector<std::string>& iens) {
    return "record " + RecordAddress(iens);
}

bool HoldsCaret(std::string_view value) {
    return value.find('^') != std::string_view::npos;
}

bool HoldsControlCharacter(std::string_view value) {
    for (unsigned char c : value)
        if (c < 32 || c == 127) return true;
    return false;
}

std::string Argument(const Call& call, std::string_view subscript) {
    const Param* p = call.At(0);
    return p && p->type == ParamType::List ? p->Get(subscript) : std::string();
}

}  // namespace vorn::devserver
