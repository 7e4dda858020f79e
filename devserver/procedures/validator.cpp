#include "devserver/procedures/validator.h"

#include <cctype>
#include <cstdlib>

#include "devserver/files/file_records.h"
#include "devserver/m/text.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

constexpr std::size_t kShownMatches = 5;

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// [+-] digits [. digits] or [+-] . digits
bool IsNumberText(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digits = false, point = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

int DecimalsOf(const std::string& canonic) {
    const auto point = canonic.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(canonic.size() - point - 1);
}

std::string RangeText(const FieldDef& field) {
    if (field.minValue.empty() && field.maxValue.empty()) return {};
    if (field.maxValue.empty()) return " from " + field.minValue;
    if (field.minValue.empty()) return " up to " + field.maxValue;
    return " from " + field.minValue + " to " + field.maxValue;
}

std::string CodeList(const FieldDef& field) {
    std::string out;
    for (const SetCode& c : field.codes) {
        if (!out.empty()) out += ", ";
        out += c.code + " " + c.text;
    }
    return out;
}

std::string MatchList(const std::vector<LookupMatch>& matches) {
    std::string out;
    for (std::size_t i = 0; i < matches.size() && i < kShownMatches; ++i) {
        if (i) out += "; ";
        out += "`" + matches[i].ien + " " + matches[i].text;
    }
    if (matches.size() > kShownMatches) out += "; ...";
    return out;
}

}  // namespace

ValueCheck ValueCheck::Valid(std::string internal, std::string external) {
    return {true, std::move(internal), std::move(external), {}};
}

ValueCheck ValueCheck::Invalid(std::string reason) {
    return {false, {}, {}, std::move(reason)};
}

Validator::Validator(GlobalStore& store, const Dictionary& dict, CivilDate today)
    : store_(store), dict_(dict), today_(today) {}

ValueCheck Validator::Typed(const FileDef& file, const FieldDef& field, std::string_view text,
                            bool storedRecord) {
    if (text.empty()) return ValueCheck::Valid("", "");
    if (text == "@") {
        if (field.type == FieldType::Computed || field.type == FieldType::Multiple)
            return NotFiled(field);
        if (field.number == ".01") {
            if (!storedRecord)
                return ValueCheck::Invalid("A record that is not on file cannot be deleted.");
            return ValueCheck::Valid("@", "");
        }
        if (field.required)
            return ValueCheck::Invalid(field.label + " is required and cannot be deleted.");
        return ValueCheck::Valid("@", "");
    }
    if (HoldsCaret(text)) return ValueCheck::Invalid(field.label + " may not hold \"^\".");
    if (HoldsControlCharacter(text))
        return ValueCheck::Invalid(field.label + " may not hold control characters.");
    switch (field.type) {
        case FieldType::FreeText:
            return Text(field, text);
        case FieldType::Numeric:
            return Number(field, Trimmed(text));
        case FieldType::Date: {
            const auto internal = ParseDateInput(text, today_);
            if (!internal)
                return ValueCheck::Invalid(Quoted(text) + " is not a date. " + field.label +
                                           " takes dates such as 12/6/2026, 6.12.2026, "
                                           "2026-12-06, DEC 6 2026, 6 DEC 2026, T, T+1 or T-1.");
            return ValueCheck::Valid(*internal, ExternalDate(*internal));
        }
        case FieldType::SetOfCodes:
            return TypedCode(field, Trimmed(text));
        case FieldType::Pointer:
            return TypedPointer(field, Trimmed(text));
        case FieldType::VariablePointer:
            return TypedVariablePointer(field, Trimmed(text));
        case FieldType::WordProcessing:
            return Line(field, text);
        case FieldType::Computed:
        case FieldType::Multiple:
            return NotFiled(field);
    }
    return NotFiled(field);
}

ValueCheck Validator::Stored(const FileDef& file, const FieldDef& field, std::string_view value) {
    if (value.empty()) return ValueCheck::Valid("", "");
    if (HoldsCaret(value)) return ValueCheck::Invalid(field.label + " may not hold \"^\".");
    if (HoldsControlCharacter(value))
        return ValueCheck::Invalid(field.label + " may not hold control characters.");
    switch (field.type) {
        case FieldType::FreeText:
            return Text(field, value);
        case FieldType::Numeric:
            return Number(field, value);
        case FieldType::Date: {
            const auto date = ParseInternalDate(value);
            if (!date || value.find('.') != std::string_view::npos)
                return ValueCheck::Invalid(Quoted(value) + " is not a date in internal form (" +
                                           field.label + " is stored as YYYMMDD).");
            return ValueCheck::Valid(std::string(value), ExternalDate(value));
        }
        case FieldType::SetOfCodes: {
            const SetCode* code = field.Code(value);
            if (!code)
                return ValueCheck::Invalid(Quoted(value) + " is not a code of " + field.label +
                                           " (" + CodeList(field) + ").");
            return ValueCheck::Valid(code->code, code->text);
        }
        case FieldType::Pointer: {
            const FileDef* pointed = dict_.File(field.pointsTo);
            const auto record = pointed && IsRecordNumberText(value)
                                    ? RecordRef(dict_, *pointed, {std::string(value)})
                                    : std::nullopt;
            if (!record || !RecordExists(store_, *record))
                return ValueCheck::Invalid(field.label + " points to a record of " +
                                           (pointed ? FileTitle(*pointed) : field.pointsTo) +
                                           "; there is no record " + std::string(value) +
                                           " in it.");
            return ValueCheck::Valid(std::string(value),
                                     ExternalValue(store_, dict_, field, value));
        }
        case FieldType::VariablePointer: {
            const auto vp = ParseVariablePointer(dict_, field, value);
            const auto record =
                vp ? RecordRef(dict_, *vp->file, {vp->ien}) : std::optional<GlobalRef>();
            if (!record || !RecordExists(store_, *record))
                return ValueCheck::Invalid(Quoted(value) + " is not a record that " + field.label +
                                           " may point to.");
            return ValueCheck::Valid(std::string(value),
                                     ExternalValue(store_, dict_, field, value));
        }
        case FieldType::WordProcessing:
            return Line(field, value);
        case FieldType::Computed:
        case FieldType::Multiple:
            return NotFiled(field);
    }
    return NotFiled(field);
}

ValueCheck Validator::Text(const FieldDef& field, std::string_view text) {
    const std::size_t min = static_cast<std::size_t>(field.minLength > 0 ? field.minLength : 1);
    const std::size_t max =
        field.maxLength > 0 ? static_cast<std::size_t>(field.maxLength) : kMaxLineLength;
    if (text.size() < min || text.size() > max)
        return ValueCheck::Invalid(field.label + " takes " + std::to_string(min) + " to " +
                                   std::to_string(max) + " characters; " + Quoted(text) + " has " +
                                   std::to_string(text.size()) + ".");
    return ValueCheck::Valid(std::string(text), std::string(text));
}

ValueCheck Validator::Number(const FieldDef& field, std::string_view text) {
    const std::string kind = field.decimals > 0 ? "a number" : "a whole number";
    const std::string wanted =
        field.label + " takes " + kind + RangeText(field) +
        (field.decimals > 0 ? " with at most " + std::to_string(field.decimals) + " decimals."
                            : ".");
    if (!IsNumberText(text))
        return ValueCheck::Invalid(Quoted(text) + " is not a number. " + wanted);
    const std::string canonic = CanonicNumber(text);
    if (DecimalsOf(canonic) > field.decimals) return ValueCheck::Invalid(wanted);
    const long double v = std::strtold(canonic.c_str(), nullptr);
    if ((!field.minValue.empty() && v < std::strtold(field.minValue.c_str(), nullptr)) ||
        (!field.maxValue.empty() && v > std::strtold(field.maxValue.c_str(), nullptr)))
        return ValueCheck::Invalid(wanted);
    return ValueCheck::Valid(canonic, canonic);
}

ValueCheck Validator::TypedCode(const FieldDef& field, std::string_view text) {
    if (const SetCode* code = field.Code(text)) return ValueCheck::Valid(code->code, code->text);
    const std::string upper = Upper(text);
    for (const SetCode& c : field.codes)
        if (Upper(c.code) == upper) return ValueCheck::Valid(c.code, c.text);
    std::vector<const SetCode*> found;
    for (const SetCode& c : field.codes) {
        const std::string name = Upper(c.text);
        if (name == upper) return ValueCheck::Valid(c.code, c.text);
        if (name.compare(0, upper.size(), upper) == 0) found.push_back(&c);
    }
    if (found.size() == 1) return ValueCheck::Valid(found[0]->code, found[0]->text);
    if (found.empty())
        return ValueCheck::Invalid(Quoted(text) + " is not one of the codes of " + field.label +
                                   ": " + CodeList(field) + ".");
    std::string which;
    for (const SetCode* c : found)
        which += (which.empty() ? "" : ", ") + c->text;
    return ValueCheck::Invalid(Quoted(text) + " fits more than one code of " + field.label + ": " +
                               which + ".");
}

ValueCheck Validator::TypedPointer(const FieldDef& field, std::string_view text) {
    const FileDef* pointed = dict_.File(field.pointsTo);
    if (!pointed) return ValueCheck::Invalid(field.label + " points to no known file.");
    const LookupResult found = LookUpRecord(store_, dict_, *pointed, text);
    if (found.matches.empty())
        return ValueCheck::Invalid("No record of " + pointed->name + " matches " + Quoted(text) +
                                   ".");
    if (found.matches.size() > 1)
        return ValueCheck::Invalid(Quoted(text) + " fits " + std::to_string(found.matches.size()) +
                                   " records of " + pointed->name + ": " +
                                   MatchList(found.matches) +
                                   ". Type more of it, or \"`\" and the record number.");
    return ValueCheck::Valid(found.matches[0].ien, found.matches[0].text);
}

ValueCheck Validator::TypedVariablePointer(const FieldDef& field, std::string_view text) {
    if (auto stored = Stored(*dict_.File(field.file), field, text); stored.valid) return stored;
    std::vector<const FileDef*> files;
    for (const std::string& number : field.variableFiles)
        if (const FileDef* f = dict_.File(number)) files.push_back(f);
    // "DEMO SPECIMEN.EXT": a file name (or number) narrows the search to that file.
    std::string_view wanted = text;
    if (const auto dot = text.find('.'); dot != std::string_view::npos && dot > 0) {
        const std::string name = Upper(Trimmed(text.substr(0, dot)));
        for (const FileDef* f : files) {
            if (Upper(f->name) == name || f->number == name) {
                files = {f};
                wanted = Trimmed(text.substr(dot + 1));
                break;
            }
        }
    }
    struct Hit {
        const FileDef* file;
        LookupMatch match;
    };
    std::vector<Hit> exact, other;
    for (const FileDef* f : files) {
        const LookupResult r = LookUpRecord(store_, dict_, *f, wanted);
        for (const LookupMatch& m : r.matches)
            (r.exact ? exact : other).push_back({f, m});
    }
    const std::vector<Hit>& hits = exact.empty() ? other : exact;
    if (hits.empty())
        return ValueCheck::Invalid("No record that " + field.label + " may point to matches " +
                                   Quoted(text) + ".");
    if (hits.size() > 1) {
        std::string shown;
        for (std::size_t i = 0; i < hits.size() && i < kShownMatches; ++i)
            shown += (i ? "; " : "") + hits[i].file->name + ".`" + hits[i].match.ien + " " +
                     hits[i].match.text;
        if (hits.size() > kShownMatches) shown += "; ...";
        return ValueCheck::Invalid(Quoted(text) + " fits " + std::to_string(hits.size()) +
                                   " records that " + field.label + " may point to: " + shown +
                                   ". Type more of it, or the file's name, \".\", \"`\" and "
                                   "the record number.");
    }
    const std::string internal = VariablePointerText(*hits[0].file, hits[0].match.ien);
    return ValueCheck::Valid(internal, hits[0].match.text);
}

ValueCheck Validator::Line(const FieldDef& field, std::string_view text) {
    if (text.size() > kMaxLineLength)
        return ValueCheck::Invalid("A line of " + field.label + " may hold at most " +
                                   std::to_string(kMaxLineLength) + " characters; this one has " +
                                   std::to_string(text.size()) + ".");
    if (HoldsControlCharacter(text))
        return ValueCheck::Invalid(field.label + " may not hold control characters.");
    return ValueCheck::Valid(std::string(text), std::string(text));
}

ValueCheck Validator::NotFiled(const FieldDef& field) {
    if (field.type == FieldType::Multiple)
        return ValueCheck::Invalid(field.label + " is a multiple: its entries are records of " +
                                   "sub-file " + field.subfile + ".");
    return ValueCheck::Invalid(field.label + " is computed and cannot be changed.");
}

}  // namespace vorn::devserver
