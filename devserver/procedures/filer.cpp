#include "devserver/procedures/filer.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "devserver/files/file_records.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/record_deletion.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"
#include "devserver/procedures/validator.h"

namespace vorn::devserver {
namespace {

enum class Mode { Add, Edit, Delete };

bool IsPlaceholder(const std::string& n) {
    return n.size() > 1 && n[0] == '+';
}

// "DDRROOT(3)" -> "3"
std::optional<std::string> TextRoot(const std::string& value) {
    static const std::string head = "DDRROOT(";
    if (value.size() <= head.size() + 1 || value.compare(0, head.size(), head) != 0 ||
        value.back() != ')')
        return std::nullopt;
    const std::string n = value.substr(head.size(), value.size() - head.size() - 1);
    if (!IsCanonicNumber(n)) return std::nullopt;
    return n;
}

// The subscripts of a list entry; "1,2" sent as one quoted string counts as 1,2.
Subscripts EntrySubscripts(const ListEntry& entry) {
    if (entry.subscripts.size() == 1 && entry.subscripts[0].find(',') != std::string::npos)
        return SplitText(entry.subscripts[0], ',');
    return entry.subscripts;
}

// One record the call touches.
struct Target {
    const FileDef* file = nullptr;
    std::vector<std::string> iens;  // as sent, innermost first; may hold placeholders
    bool isNew = false;
    bool deleted = false;  // ".01" set to "@"
    // Field number -> internal value, in field order; the last line for a field wins.
    std::map<std::string, std::string> values;
    std::map<std::string, std::vector<std::string>> texts;   // word-processing fields
    std::map<std::string, std::string> pointerPlaceholders;  // field -> "+n" of a new record
    std::vector<std::string> resolved;                       // record numbers once numbered
};

class Filer {
  public:
    Filer(Session& s, const Call& call)
        : s_(s),
          call_(call),
          dict_(s.dictionary()),
          validator_(s.store(), s.dictionary(), s.Today()) {}

    // Reading, checking and filing all run in one write transaction, so that nothing another
    // session files can slip in between the checks and the filing.
    FilerOutcome Run() {
        struct Abandoned {};
        try {
            s_.store().Atomically([&] {
                Parse();
                if (errors_.empty()) Check();
                if (errors_.empty()) Apply();
                if (!errors_.empty()) throw Abandoned{};
            });
        } catch (const Abandoned&) {
        } catch (const RequestError& e) {
            Fail(e.what());
        } catch (const StoreError& e) {
            Fail(std::string("The records could not be filed: ") + e.what());
        }
        FilerOutcome out;
        out.errors = errors_;
        if (errors_.empty()) {
            for (const auto& [number, key] : placeholders_)
                out.added.emplace_back("+" + number, targets_.at(key).resolved.front());
            std::sort(out.added.begin(), out.added.end(), [](const auto& a, const auto& b) {
                return CompareSubscripts(a.first.substr(1), b.first.substr(1)) < 0;
            });
        }
        return out;
    }

  private:
    void Fail(std::string text) {
        if (std::find(errors_.begin(), errors_.end(), text) == errors_.end())
            errors_.push_back(std::move(text));
    }

    std::string Where(const Target& t) const {
        return "File " + FileTitle(*t.file) + ", " + (t.isNew ? "new " : "") + RecordTitle(t.iens);
    }

    // --- reading the call ---

    void Parse() {
        const std::string mode = Upper(call_.Literal(0));
        if (mode == "ADD")
            mode_ = Mode::Add;
        else if (mode == "EDIT")
            mode_ = Mode::Edit;
        else if (mode == "DELETE")
            mode_ = Mode::Delete;
        else
            return Fail("The filer's first parameter is ADD, EDIT or DELETE, not \"" +
                        call_.Literal(0) + "\".");
        const Param* list = call_.At(1);
        if (!list || list->type != ParamType::List)
            return Fail("The filer's second parameter is the list of lines to file.");

        std::vector<const ListEntry*> lines;
        for (const ListEntry& e : list->entries) {
            const Subscripts sub = EntrySubscripts(e);
            if (sub.size() == 1 && IsCanonicNumber(sub[0]))
                lines.push_back(&e);
            else if (sub.size() == 2 && IsCanonicNumber(sub[0]) && IsRecordNumberText(sub[1]))
                textLines_[sub[0]].emplace_back(sub[1], e.value);
            else
                Fail("The filer's list holds an entry it does not know: (" + e.rawSubscript + ").");
        }
        std::stable_sort(lines.begin(), lines.end(), [](const ListEntry* a, const ListEntry* b) {
            return CompareSubscripts(a->subscripts[0], b->subscripts[0]) < 0;
        });
        for (auto& [root, text] : textLines_)
            std::stable_sort(text.begin(), text.end(), [](const auto& a, const auto& b) {
                return CompareSubscripts(a.first, b.first) < 0;
            });
        for (const ListEntry* e : lines) {
            try {
                ParseLine(EntrySubscripts(*e)[0], e->value);
            } catch (const RequestError& err) {
                Fail(err.what());
            }
        }
        ParseWishes();
    }

    void ParseLine(const std::string& entry, const std::string& line) {
        const std::vector<std::string> pieces = SplitText(line, '^');
        if (pieces.size() < 4)
            throw RequestError("Line " + entry + " (\"" + line +
                               "\") is not \"file^field^record^value\".");
        const FileDef& file = RequireFile(dict_, pieces[0]);
        const FieldDef& field = RequireField(file, pieces[1]);
        const auto iens = RequireIens(dict_, file, pieces[2], true);
        Target& t = TargetFor(file, iens);
        if (pieces.size() > 4)
            throw RequestError(Where(t) + ": the value for " + FieldTitle(field) +
                               " holds \"^\", which no value may hold.");
        std::string value = pieces[3];

        if (field.type == FieldType::WordProcessing) {
            if (const auto root = TextRoot(value)) {
                std::vector<std::string> text;
                for (const auto& [n, l] : textLines_[*root])
                    text.push_back(l == " " ? std::string() : l);
                CheckText(t, field, text);
                t.texts[field.number] = std::move(text);
                t.values.erase(field.number);
                return;
            }
            if (!value.empty() && value != "@")
                throw RequestError(Where(t) + ": " + FieldTitle(field) +
                                   " is word-processing text; its lines are sent as "
                                   "DDRROOT(n) with the entries n,1, n,2, ...");
            t.texts[field.number] = {};
            return;
        }
        if (value == "@" && field.number == ".01") {
            t.deleted = true;
            return;
        }
        if (field.type == FieldType::Computed || field.type == FieldType::Multiple) {
            const ValueCheck c = validator_.Stored(file, field, value);
            throw RequestError(Where(t) + ": " + c.reason);
        }
        if (value == "@") {
            if (field.required)
                throw RequestError(Where(t) + ": " + field.label +
                                   " is required and cannot be deleted.");
            value.clear();
        }
        if (value.empty() && field.required && !t.isNew)
            throw RequestError(Where(t) + ": " + field.label +
                               " is required and cannot be emptied.");
        t.pointerPlaceholders.erase(field.number);
        if (field.type == FieldType::Pointer && IsPlaceholder(value)) {
            t.pointerPlaceholders[field.number] = value;
            t.values[field.number] = value;
            return;
        }
        const ValueCheck c = validator_.Stored(file, field, value);
        if (!c.valid) throw RequestError(Where(t) + ": " + c.reason);
        t.values[field.number] = c.internal;
    }

    void CheckText(const Target& t, const FieldDef& field, const std::vector<std::string>& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::string where =
                Where(t) + ": line " + std::to_string(i + 1) + " of " + FieldTitle(field);
            if (text[i].size() > kMaxLineLength)
                throw RequestError(where + " has " + std::to_string(text[i].size()) +
                                   " characters; a line may hold at most " +
                                   std::to_string(kMaxLineLength) + ".");
            if (HoldsControlCharacter(text[i]))
                throw RequestError(where + " holds control characters.");
            if (text[i] == kTextEnd)
                throw RequestError(where + " is \"" + kTextEnd +
                                   "\", which ends word-processing text when it is read.");
        }
    }

    Target& TargetFor(const FileDef& file, const std::vector<std::string>& iens) {
        const std::string key = file.number + "|" + JoinIens(iens);
        auto it = targets_.find(key);
        if (it != targets_.end()) return it->second;
        Target t;
        t.file = &file;
        t.iens = iens;
        t.isNew = IsPlaceholder(iens.front());
        order_.push_back(key);
        return targets_.emplace(key, std::move(t)).first->second;
    }

    void ParseWishes() {
        const Param* wishes = call_.At(3);
        if (!wishes) return;
        if (wishes->type != ParamType::List)
            return Fail("The filer's fourth parameter is the list of wished record numbers.");
        for (const ListEntry& e : wishes->entries) {
            std::string n = e.subscripts.size() == 1 ? e.subscripts[0] : std::string();
            if (!n.empty() && n[0] == '+') n.erase(0, 1);
            const bool whole = !e.value.empty() && e.value.size() <= 15 &&
                               std::all_of(e.value.begin(), e.value.end(),
                                           [](char c) { return c >= '0' && c <= '9'; });
            if (!IsRecordNumberText(n) || !whole || !IsRecordNumberText(e.value)) {
                Fail("The wished record number (" + e.rawSubscript + ") = \"" + e.value +
                     "\" is not a placeholder and a whole record number.");
                continue;
            }
            wishes_[n] = e.value;
        }
    }

    // --- checking the whole before anything is filed ---

    void Check() {
        for (const std::string& key : order_) {
            Target& t = targets_.at(key);
            try {
                CheckMode(t);
                CheckPlaceholders(key, t);
                CheckRecord(t);
            } catch (const RequestError& e) {
                Fail(e.what());
            }
        }
        if (!errors_.empty()) return;
        for (const std::string& key : order_) {
            Target& t = targets_.at(key);
            try {
                CheckPointerPlaceholders(t);
                if (t.isNew) CheckRequired(t);
            } catch (const RequestError& e) {
                Fail(e.what());
            }
        }
        for (const auto& [n, number] : wishes_)
            if (!placeholders_.count(n))
                Fail("A record number is wished for +" + n + ", which the call does not add.");
    }

    void CheckMode(const Target& t) {
        const bool anyPlaceholder = std::any_of(t.iens.begin(), t.iens.end(),
                                                [](const auto& n) { return IsPlaceholder(n); });
        switch (mode_) {
            case Mode::Add:
                if (!t.isNew)
                    throw RequestError(Where(t) +
                                       " is on file: ADD files new records only "
                                       "(change it with EDIT).");
                if (t.deleted)
                    throw RequestError(Where(t) + " is not on file and cannot be deleted.");
                return;
            case Mode::Edit:
                if (anyPlaceholder)
                    throw RequestError(Where(t) +
                                       " is to be added: EDIT changes records on file "
                                       "only (add it with ADD).");
                return;
            case Mode::Delete:
                if (anyPlaceholder || !t.deleted || !t.values.empty() || !t.texts.empty())
                    throw RequestError(Where(t) + ": DELETE takes .01 lines with \"@\" only.");
                return;
        }
    }

    void CheckPlaceholders(const std::string& key, const Target& t) {
        if (t.isNew) {
            const std::string n = t.iens.front().substr(1);
            const auto [it, fresh] = placeholders_.emplace(n, key);
            if (!fresh && it->second != key)
                throw RequestError("+" + n + " stands for two different new records.");
        }
        // A placeholder among the parents must be a new record of the parent file.
        const FileDef* file = t.file;
        for (std::size_t level = 1; level < t.iens.size(); ++level) {
            file = dict_.File(file->parent);
            if (!IsPlaceholder(t.iens[level])) continue;
            const std::vector<std::string> parent(t.iens.begin() + static_cast<long>(level),
                                                  t.iens.end());
            const auto it = targets_.find(file->number + "|" + JoinIens(parent));
            if (it == targets_.end() || !it->second.isNew)
                throw RequestError(Where(t) + ": its parent " + t.iens[level] +
                                   " is no record that the call adds to file " + FileTitle(*file) +
                                   ".");
        }
    }

    void CheckRecord(const Target& t) {
        const FileAccess access = s_.Access(*t.file);
        if (t.deleted) {
            RequireRight(access, Right::Delete, *t.file);
            if (!t.values.empty() || !t.texts.empty())
                throw RequestError(Where(t) + " is deleted and changed by the same call.");
        } else {
            RequireRight(access, t.isNew ? Right::Add : Right::Write, *t.file);
        }
        if (!t.isNew) {
            RequireRecord(s_.store(), dict_, *t.file, t.iens);
            if (s_.LockedByOther(*t.file, t.iens))
                throw RequestError(Where(t) + " is being edited by another user.");
            return;
        }
        // A new entry of a sub-file changes its parent record, which must be on file (or be
        // added by the same call) and not locked by another session.
        if (!t.file->IsSubfile()) return;
        const std::vector<std::string> parents(t.iens.begin() + 1, t.iens.end());
        if (IsPlaceholder(parents.back())) return;
        const FileDef& top = dict_.TopLevel(*t.file);
        if (std::none_of(parents.begin(), parents.end(),
                         [](const auto& n) { return IsPlaceholder(n); }))
            RequireRecord(s_.store(), dict_, *dict_.File(t.file->parent), parents);
        if (s_.LockedByOther(top, {parents.back()}))
            throw RequestError(Where(t) + ": record " + parents.back() + " of file " +
                               FileTitle(top) + " is being edited by another user.");
    }

    void CheckPointerPlaceholders(const Target& t) {
        for (const auto& [field, placeholder] : t.pointerPlaceholders) {
            const FieldDef& f = *t.file->Field(field);
            const auto it = placeholders_.find(placeholder.substr(1));
            if (it == placeholders_.end() || targets_.at(it->second).file != dict_.File(f.pointsTo))
                throw RequestError(Where(t) + ": " + f.label + " points to " + placeholder +
                                   ", which is no record that the call adds to file " + f.pointsTo +
                                   ".");
        }
    }

    void CheckRequired(const Target& t) {
        for (const FieldDef& f : t.file->fields) {
            if (!f.required || f.type == FieldType::Computed || f.type == FieldType::Multiple)
                continue;
            const auto v = t.values.find(f.number);
            const auto text = t.texts.find(f.number);
            const bool present = (v != t.values.end() && !v->second.empty()) ||
                                 (text != t.texts.end() && !text->second.empty());
            if (!present)
                throw RequestError(Where(t) + ": the required field " + FieldTitle(f) +
                                   " is missing.");
        }
    }

    // --- filing, in one transaction ---

    void Apply() {
        NumberNewRecords();
        std::vector<Target*> edited;
        for (const std::string& key : order_) {
            Target& t = targets_.at(key);
            if (!t.isNew) t.resolved = t.iens;
            if (!t.deleted) edited.push_back(&t);
        }
        for (Target* t : edited)
            if (!t->isNew)
                RemoveIndexEntries(s_.store(), dict_, *t->file, Root(*t), t->resolved[0]);
        const std::string today = InternalDate(s_.Today());
        for (Target* t : edited) {
            const auto record = RecordRef(dict_, *t->file, t->resolved);
            if (!record) throw RequestError(Where(*t) + " cannot be placed.");
            for (auto [field, value] : t->values) {
                if (const auto p = t->pointerPlaceholders.find(field);
                    p != t->pointerPlaceholders.end())
                    value = targets_.at(placeholders_.at(p->second.substr(1))).resolved.front();
                SetFieldValue(s_.store(), *record, *t->file->Field(field), value);
            }
            for (const auto& [field, text] : t->texts)
                SetWordProcessing(s_.store(), *record, *t->file->Field(field), text, today);
        }
        for (Target* t : edited)
            AddIndexEntries(s_.store(), dict_, *t->file, Root(*t), t->resolved[0]);

        // Deeper records first, so that a sub-file entry goes before its parent would.
        std::vector<Target*> deleted;
        for (const std::string& key : order_)
            if (targets_.at(key).deleted) deleted.push_back(&targets_.at(key));
        std::stable_sort(deleted.begin(), deleted.end(), [](const Target* a, const Target* b) {
            return a->iens.size() > b->iens.size();
        });
        for (Target* t : deleted) {
            const auto record = RecordRef(dict_, *t->file, t->resolved);
            if (!record || !RecordExists(s_.store(), *record)) continue;  // went with its parent
            DeleteRecord(s_.store(), dict_, *t->file, t->resolved,
                         [&](const FileDef& f, const std::vector<std::string>& r) {
                             return s_.LockedByOther(f, r);
                         });
        }
    }

    GlobalRef Root(const Target& t) {
        const auto root = FileRoot(
            dict_, *t.file, std::vector<std::string>(t.resolved.begin() + 1, t.resolved.end()));
        if (!root) throw RequestError(Where(t) + " cannot be placed.");
        return *root;
    }

    // Parents before their entries; a wished number when one is given, else the next free one.
    void NumberNewRecords() {
        std::vector<Target*> fresh;
        for (const std::string& key : order_)
            if (targets_.at(key).isNew) fresh.push_back(&targets_.at(key));
        std::stable_sort(fresh.begin(), fresh.end(), [](const Target* a, const Target* b) {
            return a->iens.size() < b->iens.size();
        });
        for (Target* t : fresh) {
            t->resolved = t->iens;
            for (std::size_t level = 1; level < t->resolved.size(); ++level) {
                if (!IsPlaceholder(t->resolved[level])) continue;
                const std::string& key = placeholders_.at(t->resolved[level].substr(1));
                t->resolved[level] = targets_.at(key).resolved.front();
            }
            t->resolved[0] = "";
            const GlobalRef root = Root(*t);
            FileHeader header = ReadHeader(s_.store(), root);
            const std::string placeholder = t->iens.front().substr(1);
            std::string number;
            if (const auto wish = wishes_.find(placeholder); wish != wishes_.end()) {
                number = wish->second;
                if (RecordExists(s_.store(), root.Child(number)))
                    throw RequestError(Where(*t) + ": the wished " + RecordTitle({number}) +
                                       " is already on file.");
            } else {
                long n = header.last + 1;
                while (RecordExists(s_.store(), root.Child(std::to_string(n))))
                    ++n;
                number = std::to_string(n);
            }
            t->resolved[0] = number;
            // The record exists from here on, so that no other new record takes its number.
            s_.store().Set(root.Child(number).Child("0"), "");
            if (std::stol(number) > header.last) header.last = std::stol(number);
            ++header.count;
            WriteHeader(s_.store(), *t->file, root, header);
        }
    }

    Session& s_;
    const Call& call_;
    const Dictionary& dict_;
    Validator validator_;
    Mode mode_ = Mode::Edit;
    std::vector<std::string> errors_;
    // Word-processing lines by their DDRROOT number: (line number, text).
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> textLines_;
    std::map<std::string, Target> targets_;            // by file and address as sent
    std::vector<std::string> order_;                   // targets in the order of their first line
    std::map<std::string, std::string> placeholders_;  // "1" -> target key
    std::map<std::string, std::string> wishes_;        // "1" -> "57"
};

}  // namespace

FilerOutcome FileRecords(Session& session, const Call& call) {
    return Filer(session, call).Run();
}

}  // namespace vorn::devserver
