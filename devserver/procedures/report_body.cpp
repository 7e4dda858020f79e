#include "devserver/procedures/report_body.h"

#include <algorithm>
#include <functional>

#include "devserver/files/file_records.h"
#include "devserver/files/store_global_reader.h"
#include "devserver/m/m_screen.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/paged_document.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

constexpr std::size_t kCodeWidth = 10;

// What a template writes with: the store, the dictionary, the day computed fields count from,
// and the lines so far.
struct Writer {
    GlobalStore& store;
    const Dictionary& dict;
    CivilDate today;
    std::vector<std::string>& out;

    RecordReader Reader(const FileDef& file, const GlobalRef& record, const std::string& ien) {
        return RecordReader(store, dict, file, record, ien, today);
    }
    // Before each record but the first: a blank line.
    void Separate() {
        if (!out.empty()) out.emplace_back();
    }
};

void ForEachSubRecord(GlobalStore& store, const GlobalRef& root,
                      const std::function<void(const std::string&)>& visit) {
    for (std::string ien = store.Order(root.Child("0")); IsRecordNumberText(ien);
         ien = store.Order(root.Child(ien)))
        visit(ien);
}

std::string CodeLine(const std::string& lead, const std::string& code, const std::string& meaning) {
    return TrimmedRight(lead + Padded(code, kCodeWidth) + "  " + meaning);
}

void CaptionFields(Writer& w, const FileDef& file, const GlobalRef& record, const std::string& ien,
                   const std::string& indent, bool withFirst) {
    RecordReader reader = w.Reader(file, record, ien);
    for (const FieldDef& field : file.fields) {
        if (!withFirst && field.number == ".01") continue;
        if (field.type == FieldType::Multiple) {
            const FileDef* sub = w.dict.File(field.subfile);
            const FieldDef* first = sub ? sub->Field(".01") : nullptr;
            if (!first) continue;
            const GlobalRef root = record.Child(field.node);
            ForEachSubRecord(w.store, root, [&](const std::string& subIen) {
                const GlobalRef entry = root.Child(subIen);
                w.out.push_back(indent + field.label + ": " +
                                w.Reader(*sub, entry, subIen).External(*first));
                CaptionFields(w, *sub, entry, subIen, indent + "  ", false);
            });
        } else if (field.type == FieldType::WordProcessing) {
            const std::vector<std::string> text = reader.Text(field);
            if (text.empty()) continue;
            w.out.push_back(indent + field.label + ":");
            for (const std::string& line : text)
                w.out.push_back(indent + "  " + line);
        } else if (const std::string value = reader.External(field); !value.empty()) {
            w.out.push_back(indent + field.label + ": " + value);
        }
    }
}

void Captioned(Writer& w, const FileDef& file, const std::string& ien) {
    w.Separate();
    w.out.push_back("NUMBER: " + ien);
    CaptionFields(w, file, file.root.Child(ien), ien, "", true);
}

void LabTestSheet(Writer& w, const FileDef& file, const std::string& ien) {
    const GlobalRef record = file.root.Child(ien);
    RecordReader test = w.Reader(file, record, ien);
    w.Separate();
    w.out.push_back(CodeLine("", test.External(RequireField(file, ".01")),
                             test.External(RequireField(file, "2"))));
    for (const char* number : {"3", "4", "5", "8", "6", "7"}) {
        const FieldDef& field = RequireField(file, number);
        if (const std::string value = test.External(field); !value.empty())
            w.out.push_back("  " + field.label + ": " + value);
    }
    const FieldDef& subresults = RequireField(file, "10");
    const FileDef& subresult = RequireFile(w.dict, subresults.subfile);
    const FieldDef& codes = RequireField(subresult, "3");
    const FileDef& code = RequireFile(w.dict, codes.subfile);
    const GlobalRef subRoot = record.Child(subresults.node);
    ForEachSubRecord(w.store, subRoot, [&](const std::string& subIen) {
        const GlobalRef entry = subRoot.Child(subIen);
        RecordReader sub = w.Reader(subresult, entry, subIen);
        const std::string type = sub.External(RequireField(subresult, "2"));
        w.out.push_back("  " + subresults.label + ": " +
                        sub.External(RequireField(subresult, ".01")) +
                        (type.empty() ? "" : " (" + type + ")"));
        const GlobalRef codeRoot = entry.Child(codes.node);
        ForEachSubRecord(w.store, codeRoot, [&](const std::string& codeIen) {
            RecordReader c = w.Reader(code, codeRoot.Child(codeIen), codeIen);
            w.out.push_back(CodeLine("    ", c.External(RequireField(code, ".01")),
                                     c.External(RequireField(code, "2"))));
        });
    });
    const FieldDef& resultCodes = RequireField(file, "11");
    const FileDef& resultCode = RequireFile(w.dict, resultCodes.subfile);
    const GlobalRef codeRoot = record.Child(resultCodes.node);
    ForEachSubRecord(w.store, codeRoot, [&](const std::string& codeIen) {
        RecordReader c = w.Reader(resultCode, codeRoot.Child(codeIen), codeIen);
        w.out.push_back(CodeLine("  " + resultCodes.label + ": ",
                                 c.External(RequireField(resultCode, ".01")),
                                 c.External(RequireField(resultCode, "2"))));
    });
}

void WardLabTests(Writer& w, const FileDef& file, const std::string& ien) {
    RecordReader ward = w.Reader(file, file.root.Child(ien), ien);
    std::string about = ward.External(RequireField(file, "2"));
    if (const std::string type = ward.External(RequireField(file, "3")); !type.empty())
        about += (about.empty() ? "" : ", ") + type;
    w.Separate();
    w.out.push_back(ward.External(RequireField(file, ".01")) +
                    (about.empty() ? "" : "  (" + about + ")"));

    // The departmental lab tests' "B" index holds the ward's record number.
    const FileDef& departmental = RequireFile(w.dict, "80006");
    const FileDef& tests = RequireFile(w.dict, "80001");
    struct Row {
        std::string abbreviation, line, ien;
    };
    std::vector<Row> rows;
    const GlobalRef entries = departmental.root.Child("B").Child(ien);
    for (std::string at = w.store.Order(entries.Child("")); !at.empty();
         at = w.store.Order(entries.Child(at))) {
        RecordReader d = w.Reader(departmental, departmental.root.Child(at), at);
        if (!d.Exists() || d.Internal(".01") != ien) continue;
        const std::string test = d.Internal("2");
        RecordReader t = w.Reader(tests, tests.root.Child(test), test);
        const std::string abbreviation = t.External(RequireField(tests, ".01"));
        rows.push_back({abbreviation,
                        TrimmedRight("  " + Padded(abbreviation, kCodeWidth) + "  " +
                                     Padded(t.External(RequireField(tests, "2")), 40) + "  " +
                                     d.External(RequireField(departmental, "3"))),
                        at});
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.abbreviation != b.abbreviation) return a.abbreviation < b.abbreviation;
        return CompareSubscripts(a.ien, b.ien) < 0;
    });
    for (const Row& row : rows)
        w.out.push_back(row.line);
    if (rows.empty()) w.out.emplace_back("  No departmental lab tests.");
}

using Template = void (*)(Writer&, const FileDef&, const std::string&);
struct TemplateDef {
    std::string_view name;
    std::string_view file;  // "": any file
    Template write;
};
constexpr TemplateDef kTemplates[] = {
    {"<CAPTIONED>", "", Captioned},
    {"<PERUSTULOSTUS>", "80001", LabTestSheet},
    {"<VORNYKSTUTK>", "80002", WardLabTests},
};

// FIELDS: one template, or the columns of a field list (`def` null for ".001").
struct Column {
    std::string label;
    const FieldDef* def = nullptr;
};
struct Layout {
    const TemplateDef* print = nullptr;
    std::vector<Column> columns;
};

Layout ReadLayout(const Dictionary& dict, const FileDef& file, const std::string& fields) {
    std::vector<std::string> pieces;
    for (std::string& piece : SplitText(fields, ';'))
        if (!piece.empty()) pieces.push_back(std::move(piece));
    if (pieces.empty()) pieces.push_back(".01");
    Layout layout;
    for (const std::string& piece : pieces) {
        if (piece[0] != '<' && piece[0] != '[') continue;
        if (pieces.size() > 1)
            throw RequestError("A print template is printed alone: FIELDS \"" + fields +
                               "\" holds more.");
        for (const TemplateDef& t : kTemplates)
            if (t.name == piece) layout.print = &t;
        if (!layout.print) throw RequestError("Print template \"" + piece + "\" does not exist.");
        const FileDef* own = layout.print->file.empty() ? &file : dict.File(layout.print->file);
        if (own != &file)
            throw RequestError("Print template \"" + piece + "\" prints file " +
                               (own ? FileTitle(*own) : std::string(layout.print->file)) +
                               ", not " + FileTitle(file) + ".");
        return layout;
    }
    for (const std::string& piece : pieces) {
        if (piece == ".001") {
            layout.columns.push_back({"NUMBER", nullptr});
            continue;
        }
        const FieldDef& field = RequireField(file, piece);
        if (field.type == FieldType::WordProcessing || field.type == FieldType::Multiple)
            throw RequestError("Field " + FieldTitle(field) +
                               " does not fit on one line: print it with \"<CAPTIONED>\".");
        layout.columns.push_back({field.label, &field});
    }
    return layout;
}

// Which records, in print order: BY "NUMBER=n", or the .01 range FROM..TO, and the screens.
struct Selection {
    std::string number;  // BY "NUMBER=n"
    std::string from, to;
    ScreenChain screens;
};

Selection ReadSelection(Session& session, const FileDef& file, const Param& list) {
    Selection s;
    const std::string by = list.Get("BY");
    if (by.rfind("NUMBER=", 0) == 0) {
        s.number = by.substr(7);
        if (s.number.empty()) throw RequestError("BY \"NUMBER=\" names no record.");
        if (!IsRecordNumberText(s.number))
            throw RequestError("There is no record " + s.number + " in file " + FileTitle(file) +
                               ".");
        RequireRecord(session.store(), session.dictionary(), file, {s.number});
    } else if (!by.empty() && by != ".01") {
        throw RequestError(
            "Sorting BY \"" + by +
            "\" is not supported: give \"NUMBER=\" and a record number, or nothing.");
    }
    s.from = list.Get("FROM").substr(0, kIndexValueLength);
    s.to = list.Get("TO").substr(0, kIndexValueLength);
    if (!s.from.empty() && !s.to.empty() && CompareSubscripts(s.from, s.to) > 0)
        throw RequestError("The range starts after its end: FROM \"" + s.from +
                           "\" comes after TO \"" + s.to + "\".");
    for (const char* key : {"DIS0", "DIS1"}) {
        try {
            s.screens.Add(MScreen(list.Get(key)));
        } catch (const ScreenCodeError& e) {
            throw RequestError(std::string(key) + ": " + e.what());
        }
    }
    return s;
}

std::vector<std::string> SelectRecords(Session& session, const FileDef& file, const Selection& s) {
    GlobalStore& store = session.store();
    StoreGlobalReader globals(store);
    long spent = 0;
    ScreenEnvironment environment;
    environment.globals = &globals;
    environment.spent = &spent;
    environment.dt = InternalDate(session.Today());
    environment.duz = std::to_string(session.Duz());
    std::vector<std::string> iens;
    auto take = [&](const std::string& ien) {
        const GlobalRef record = file.root.Child(ien);
        if (!IsRecordNumberText(ien) || store.Order(record.Child("")).empty()) return;
        try {
            if (s.screens.Passes(environment, ien, record)) iens.push_back(ien);
        } catch (const ScreenRunError& e) {
            throw RequestError(e.what());
        }
    };
    if (!s.number.empty()) {
        take(s.number);
        return iens;
    }
    if (!file.Index("B"))
        throw RequestError("File " + FileTitle(file) + " has no B index to print by.");
    const GlobalRef index = file.root.Child("B");
    std::string value = s.from.empty() || store.Data(index.Child(s.from)) == 0
                            ? store.Order(index.Child(s.from))
                            : s.from;
    for (; !value.empty() && (s.to.empty() || CompareSubscripts(value, s.to) <= 0);
         value = store.Order(index.Child(value))) {
        const GlobalRef entries = index.Child(value);
        for (std::string ien = store.Order(entries.Child("")); !ien.empty();
             ien = store.Order(entries.Child(ien)))
            take(ien);
    }
    return iens;
}

void CheckLength(std::size_t lines) {
    if (lines > kMaxReportLines)
        throw RequestError("The report is longer than " + std::to_string(kMaxReportLines) +
                           " lines: choose fewer records with FROM and TO.");
}

// A report the session could not keep anyway is stopped as soon as it outgrows the budget, so
// that making it does not cost more memory than keeping it may.
class SizeCheck {
  public:
    explicit SizeCheck(const Session& session)
        : store_(session.documentStore()), limit_(store_.budget().perSession) {}
    void Add(std::size_t bytes, std::size_t lines) {
        bytes_ += Document::BytesOf(bytes, lines);
        if (bytes_ > limit_) throw RequestError(store_.TooLarge());
    }

  private:
    const DocumentStore& store_;
    const std::size_t limit_;
    std::size_t bytes_ = 0;
};

// The field list's columns: each as wide as its label and its widest value, two blanks apart.
ReportBody FieldColumns(Writer& w, const FileDef& file, const std::vector<Column>& columns,
                        const std::vector<std::string>& iens, SizeCheck& size) {
    std::vector<std::size_t> widths;
    std::vector<std::string> labels;
    for (const Column& c : columns) {
        widths.push_back(c.label.size());
        labels.push_back(c.label);
    }
    std::vector<std::vector<std::string>> rows;
    for (const std::string& ien : iens) {
        RecordReader reader = w.Reader(file, file.root.Child(ien), ien);
        std::vector<std::string>& row = rows.emplace_back();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            row.push_back(columns[i].def ? reader.External(*columns[i].def) : ien);
            widths[i] = std::max(widths[i], row.back().size());
            size.Add(row.back().size() + 2, i == 0);
        }
        CheckLength(rows.size());
    }
    auto line = [&](const std::vector<std::string>& values) {
        std::string text;
        for (std::size_t i = 0; i < values.size(); ++i)
            text += (i ? "  " : "") + Padded(values[i], widths[i]);
        return TrimmedRight(std::move(text));
    };
    ReportBody body;
    body.columns = line(labels);
    for (const auto& row : rows)
        body.lines.push_back(line(row));
    return body;
}

}  // namespace

ReportBody BuildReport(Session& session, const FileDef& file, const Param& list) {
    const Layout layout = ReadLayout(session.dictionary(), file, list.Get("FIELDS"));
    const Selection selection = ReadSelection(session, file, list);
    const std::vector<std::string> iens = SelectRecords(session, file, selection);
    ReportBody body;
    Writer w{session.store(), session.dictionary(), session.Today(), body.lines};
    SizeCheck size(session);
    if (!layout.print) return FieldColumns(w, file, layout.columns, iens, size);
    for (const std::string& ien : iens) {
        const std::size_t before = body.lines.size();
        layout.print->write(w, file, ien);
        CheckLength(body.lines.size());
        std::size_t bytes = 0;
        for (std::size_t i = before; i < body.lines.size(); ++i)
            bytes += body.lines[i].size();
        size.Add(bytes, body.lines.size() - before);
    }
    return body;
}

}  // namespace vorn::devserver
