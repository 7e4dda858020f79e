#include "devserver/files/dictionary.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "devserver/files/section_file.h"
#include "devserver/m/m_screen_parser.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

bool Yes(const Section& s, const std::string& key) {
    const std::string* v = s.One(key);
    if (!v) return false;
    if (*v == "yes") return true;
    if (*v == "no") return false;
    s.Fail("\"" + key + "\" is yes or no");
}

std::vector<std::string> Words(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        const auto a = cur.find_first_not_of(' ');
        if (a != std::string::npos) out.push_back(cur.substr(a, cur.find_last_not_of(' ') - a + 1));
        cur.clear();
    };
    for (char c : text) {
        if (c == separator)
            flush();
        else
            cur += c;
    }
    flush();
    return out;
}

// "1-10" -> {1, 10}
std::pair<std::string, std::string> Range(const Section& s, const std::string& text) {
    const auto dash = text.find('-', 1);
    if (dash == std::string::npos) s.Fail("a range is written MIN-MAX: " + text);
    const std::string a = text.substr(0, dash), b = text.substr(dash + 1);
    if (!IsCanonicNumber(a) || !IsCanonicNumber(b)) s.Fail("a range holds two numbers: " + text);
    return {a, b};
}

// "^ZDEMO(80001," -> ZDEMO, {80001}
GlobalRef Root(const Section& s, const std::string& text) {
    if (text.size() < 3 || text[0] != '^' || (text.back() != '(' && text.back() != ','))
        s.Fail("a global root is written ^NAME( or ^NAME(sub,...,: " + text);
    const auto open = text.find('(');
    GlobalRef root{text.substr(1, open - 1), {}};
    if (root.name.empty()) s.Fail("a global root names its global: " + text);
    for (const std::string& part : Words(text.substr(open + 1), ',')) {
        if (part.size() >= 2 && part.front() == '"' && part.back() == '"')
            root.subscripts.push_back(part.substr(1, part.size() - 2));
        else if (IsCanonicNumber(part))
            root.subscripts.push_back(part);
        else
            s.Fail("a root subscript is a number or a quoted string: " + part);
    }
    return root;
}

FieldType Type(const Section& s, const std::string& code) {
    static const std::string kCodes = "FNDSPWVCM";
    if (code.size() != 1 || kCodes.find(code[0]) == std::string::npos)
        s.Fail("the type is one of F N D S P W V C M: " + code);
    return static_cast<FieldType>(code[0]);
}

}  // namespace

std::string FieldKey(std::string_view number) {
    // Field numbers are numbers; "0.01" and ".010" are typed by people, ".01" is stored.
    bool numeric = !number.empty();
    for (char c : number)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.')) numeric = false;
    return numeric ? CanonicNumber(number) : std::string(number);
}

std::string FieldDef::Location() const {
    if (node.empty()) return {};
    return node + ";" + std::to_string(piece);
}

const SetCode* FieldDef::Code(std::string_view code) const {
    for (const SetCode& c : codes)
        if (c.code == code) return &c;
    return nullptr;
}

const FieldDef* FileDef::Field(std::string_view number) const {
    const std::string key = FieldKey(number);
    for (const FieldDef& f : fields)
        if (f.number == key) return &f;
    return nullptr;
}

const IndexDef* FileDef::Index(std::string_view name) const {
    for (const IndexDef& i : indexes)
        if (i.name == name) return &i;
    return nullptr;
}

std::string Dictionary::Key(std::string_view number) {
    std::string key;
    AppendEncoded(key, FieldKey(number));
    return key;
}

const FileDef* Dictionary::File(std::string_view number) const {
    if (number.empty()) return nullptr;
    const auto it = files_.find(Key(number));
    return it == files_.end() ? nullptr : &it->second;
}

const FieldDef* Dictionary::Field(std::string_view file, std::string_view field) const {
    const FileDef* f = File(file);
    return f ? f->Field(field) : nullptr;
}

std::vector<const FileDef*> Dictionary::Files() const {
    std::vector<const FileDef*> out;
    for (const auto& [number, file] : files_)
        out.push_back(&file);
    return out;
}

std::vector<const FileDef*> Dictionary::TopLevelFiles() const {
    std::vector<const FileDef*> out;
    for (const auto& [number, file] : files_)
        if (!file.IsSubfile()) out.push_back(&file);
    return out;
}

const FileDef& Dictionary::TopLevel(const FileDef& file) const {
    const FileDef* f = &file;
    while (f->IsSubfile())
        f = File(f->parent);
    return *f;
}

int Dictionary::Depth(const FileDef& file) const {
    int depth = 0;
    for (const FileDef* f = &file; f->IsSubfile(); f = File(f->parent))
        ++depth;
    return depth;
}

std::shared_ptr<const Dictionary> Dictionary::Load(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw SectionFileError("cannot read " + path);
    return Parse(in, path);
}

std::shared_ptr<const Dictionary> Dictionary::Parse(std::istream& in, const std::string& source) {
    auto dict = std::make_shared<Dictionary>();
    const std::vector<Section> sections = ReadSections(in, source);
    auto fileOf = [&](const Section& s) -> FileDef& {
        if (s.args.size() != 2) s.Fail("the heading is [" + s.kind + " FILE NUMBER]");
        const auto it = dict->files_.find(Key(s.args[0]));
        if (it == dict->files_.end()) s.Fail("file " + s.args[0] + " is not described before it");
        return it->second;
    };
    auto known = [](const Section& s, std::initializer_list<const char*> keys) {
        for (const auto& entry : s.entries) {
            const std::string& k = entry.first;
            if (std::find_if(keys.begin(), keys.end(), [&](const char* x) { return k == x; }) ==
                keys.end())
                s.Fail("unknown key \"" + k + "\"");
        }
    };

    for (const Section& s : sections) {
        if (s.kind == "file") {
            known(s, {"name", "global", "parent", "identifiers", "description", "read-only"});
            if (s.args.size() != 1 || !IsCanonicNumber(s.args[0]))
                s.Fail("the heading is [file NUMBER]");
            FileDef f;
            f.number = s.args[0];
            if (const auto* v = s.One("name")) f.name = *v;
            if (f.name.empty()) s.Fail("a file has a name");
            if (const auto* v = s.One("global")) f.root = Root(s, *v);
            if (const auto* v = s.One("parent")) f.parent = FieldKey(*v);
            if (f.root.name.empty() == f.parent.empty())
                s.Fail("a file has either a global root or a parent file");
            if (const auto* v = s.One("identifiers")) f.identifiers = Words(*v, ',');
            for (auto& id : f.identifiers)
                id = FieldKey(id);
            f.description = s.All("description");
            f.readOnly = Yes(s, "read-only");
            if (!dict->files_.emplace(Key(f.number), f).second)
                s.Fail("the file is described twice");
        } else if (s.kind == "field") {
            known(s,
                  {"label", "type", "storage", "required", "help", "description", "length", "range",
                   "decimals", "codes", "points-to", "laygo", "screen", "subfile", "computed"});
            FileDef& file = fileOf(s);
            FieldDef f;
            f.file = file.number;
            f.number = FieldKey(s.args[1]);
            if (!IsCanonicNumber(f.number)) s.Fail("a field number is a number");
            if (const auto* v = s.One("label")) f.label = *v;
            if (f.label.empty()) s.Fail("a field has a label");
            const auto* type = s.One("type");
            if (!type) s.Fail("a field has a type");
            f.type = Type(s, *type);
            if (const auto* v = s.One("storage")) {
                const auto semi = v->find(';');
                if (semi == std::string::npos || semi == 0) s.Fail("storage is written NODE;PIECE");
                f.node = v->substr(0, semi);
                const std::string piece = v->substr(semi + 1);
                if (!AllDigits(piece)) s.Fail("the piece is a whole number");
                f.piece = std::stoi(piece);
                if (IsCanonicNumber(f.node) == false &&
                    f.node.find_first_of("\"^,") != std::string::npos)
                    s.Fail("a node is a number or a word");
            }
            f.required = Yes(s, "required");
            if (const auto* v = s.One("help")) f.help = *v;
            if (f.help.empty()) s.Fail("every field has a help prompt");
            f.description = s.All("description");
            if (const auto* v = s.One("length")) {
                const auto [a, b] = Range(s, *v);
                f.minLength = std::stoi(a);
                f.maxLength = std::stoi(b);
            }
            if (const auto* v = s.One("range")) std::tie(f.minValue, f.maxValue) = Range(s, *v);
            if (const auto* v = s.One("decimals")) f.decimals = std::stoi(*v);
            if (const auto* v = s.One("codes")) {
                for (const std::string& pair : Words(*v, ';')) {
                    const auto colon = pair.find(':');
                    if (colon == std::string::npos || colon == 0)
                        s.Fail("codes are written CODE:TEXT;CODE:TEXT");
                    f.codes.push_back({pair.substr(0, colon), pair.substr(colon + 1)});
                }
            }
            if (const auto* v = s.One("points-to")) {
                if (f.type == FieldType::VariablePointer)
                    f.variableFiles = Words(*v, ',');
                else
                    f.pointsTo = FieldKey(*v);
            }
            f.laygo = Yes(s, "laygo");
            if (const auto* v = s.One("screen")) {
                f.screen = *v;
                try {
                    ParseScreen(f.screen);
                } catch (const ScreenCodeError& e) {
                    s.Fail(e.what());
                }
            }
            if (const auto* v = s.One("subfile")) f.subfile = FieldKey(*v);
            if (const auto* v = s.One("computed")) f.computed = *v;
            // Shape of each type.
            const bool stored = !f.node.empty();
            switch (f.type) {
                case FieldType::Computed:
                    if (stored) s.Fail("a computed field has no storage");
                    if (f.computed.empty()) s.Fail("a computed field has a formula");
                    break;
                case FieldType::Multiple:
                    if (f.subfile.empty()) s.Fail("a multiple names its sub-file");
                    [[fallthrough]];
                case FieldType::WordProcessing:
                    if (!stored || f.piece != 0) s.Fail("this type takes a whole node: NODE;0");
                    break;
                default:
                    if (!stored || f.piece < 1) s.Fail("the field has storage NODE;PIECE");
            }
            if (f.type == FieldType::SetOfCodes && f.codes.empty()) s.Fail("a set has codes");
            if (f.type == FieldType::Pointer && f.pointsTo.empty())
                s.Fail("a pointer has points-to");
            if (f.type != FieldType::Pointer && !f.screen.empty())
                s.Fail("only a pointer has a screen");
            if (f.type == FieldType::VariablePointer && f.variableFiles.empty())
                s.Fail("a variable pointer has points-to");
            if (file.Field(f.number)) s.Fail("the field is described twice");
            file.fields.push_back(std::move(f));
            std::sort(file.fields.begin(), file.fields.end(),
                      [](const FieldDef& a, const FieldDef& b) {
                          return CompareSubscripts(a.number, b.number) < 0;
                      });
        } else if (s.kind == "index") {
            known(s, {"field", "values"});
            FileDef& file = fileOf(s);
            IndexDef index;
            index.name = s.args[1];
            if (const auto* v = s.One("field")) index.field = FieldKey(*v);
            const std::string* values = s.One("values");
            if (!values || (*values != "internal" && *values != "external"))
                s.Fail("\"values\" is internal or external");
            index.internal = *values == "internal";
            if (!file.Field(index.field)) s.Fail("the index's field is not described before it");
            if (file.Index(index.name)) s.Fail("the index is described twice");
            file.indexes.push_back(index);
        } else {
            s.Fail("unknown section kind");
        }
    }
    dict->Check(source);
    return dict;
}

void Dictionary::Check(const std::string& source) const {
    auto fail = [&](const std::string& what) { throw SectionFileError(source + ": " + what); };
    for (const auto& [key, file] : files_) {
        const std::string& number = file.number;
        if (!file.Field(".01")) fail("file " + number + " has no .01 field");
        if (file.IsSubfile()) {
            const FileDef* parent = File(file.parent);
            if (!parent) fail("sub-file " + number + ": no parent file " + file.parent);
            const FieldDef* holder = nullptr;
            for (const FieldDef& f : parent->fields)
                if (f.type == FieldType::Multiple && f.subfile == number) holder = &f;
            if (!holder)
                fail("sub-file " + number + ": no multiple of file " + file.parent + " holds it");
            const_cast<FileDef&>(file).parentField = holder->number;
        }
        for (const FieldDef& f : file.fields) {
            const std::string where = "field " + number + "," + f.number + ": ";
            if (f.type == FieldType::Pointer && !File(f.pointsTo))
                fail(where + "points to the unknown file " + f.pointsTo);
            for (const auto& v : f.variableFiles)
                if (!File(v)) fail(where + "points to the unknown file " + v);
            if (f.type == FieldType::Multiple) {
                const FileDef* sub = File(f.subfile);
                if (!sub || sub->parent != number)
                    fail(where + "its sub-file does not name this file as parent");
            }
        }
        for (const std::string& id : file.identifiers)
            if (!file.Field(id)) fail("file " + number + ": unknown identifier field " + id);
    }
}

}  // namespace vorn::devserver
