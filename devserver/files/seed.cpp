#include "devserver/files/seed.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "devserver/files/file_records.h"
#include "devserver/files/section_file.h"
#include "devserver/files/users.h"
#include "devserver/storage/zwr.h"

#ifndef VORN_DEVSERVER_DATA
#define VORN_DEVSERVER_DATA "devserver/data"
#endif
#ifndef VORN_DEVSERVER_INSTALLED_DATA
#define VORN_DEVSERVER_INSTALLED_DATA "share/vorn/data"
#endif

namespace vorn::devserver {
namespace {

bool IsRecordNumber(const std::string& s) {
    return IsCanonicNumber(s) && s[0] != '-' && s != "0";
}

// File 1 lists the top-level files: ^DIC(number,0)="NAME^number", the global root and the
// description lines.
void WriteFileOfFiles(GlobalStore& store, const Dictionary& dict) {
    const FileDef* files = dict.File("1");
    if (!files) return;
    long count = 0;
    for (const FileDef* f : dict.TopLevelFiles()) {
        const GlobalRef record = files->root.Child(f->number);
        store.Set(record.Child("0"), f->name + "^" + f->number);
        store.Set(
            record.Child("0").Child("GL"), "^" + f->root.name + "(" + [&] {
                std::string s;
                for (const auto& sub : f->root.subscripts)
                    s += SubscriptText(sub) + ",";
                return s;
            }());
        if (const FieldDef* d = files->Field("4"); d && !f->description.empty())
            SetWordProcessing(store, record, *d, f->description, "");
        ++count;
    }
    const auto last = dict.TopLevelFiles().back()->number;
    store.Set(files->root.Child("0"), files->name + "^1^" + last + "^" + std::to_string(count));
}

// The demo files whose records --seed-scale multiplies: every top-level file under ^ZDEMO.
bool Multiplied(const FileDef& f) {
    return !f.IsSubfile() && f.root.name == "ZDEMO";
}

std::string Suffixed(const std::string& text, int copy, int maxLength) {
    const std::string suffix = " " + std::to_string(copy + 1);
    std::string base = text;
    if (maxLength > 0 && base.size() + suffix.size() > static_cast<std::size_t>(maxLength))
        base.resize(static_cast<std::size_t>(maxLength) > suffix.size() ? maxLength - suffix.size()
                                                                        : 0);
    return base + suffix;
}

// Copy `copy` (1..scale-1) of every record of the multiplied files: record numbers move up by
// copy x the base count of their file, and so do the pointers between multiplied files; the
// .01 text gets the copy's number so that the copies can be told apart.
void Multiply(GlobalStore& store, const Dictionary& dict, int scale) {
    std::map<std::string, long> baseLast;
    for (const FileDef* f : dict.TopLevelFiles())
        if (Multiplied(*f)) baseLast[f->number] = ReadHeader(store, f->root).last;
    auto shifted = [&](const std::string& file, const std::string& ien, int copy) {
        const auto it = baseLast.find(file);
        if (it == baseLast.end() || !IsRecordNumber(ien)) return ien;
        return std::to_string(std::stol(ien) + copy * it->second);
    };
    for (const FileDef* f : dict.TopLevelFiles()) {
        if (!Multiplied(*f)) continue;
        const long last = baseLast[f->number];
        std::vector<std::string> iens;
        for (std::string ien = store.Order(f->root.Child("0")); IsRecordNumber(ien);
             ien = store.Order(f->root.Child(ien)))
            iens.push_back(ien);
        for (int copy = 1; copy < scale; ++copy) {
            for (const std::string& ien : iens) {
                const GlobalRef from = f->root.Child(ien);
                const GlobalRef to = f->root.Child(std::to_string(std::stol(ien) + copy * last));
                std::vector<std::pair<GlobalRef, std::string>> nodes;
                store.Walk(from, [&](const GlobalRef& ref, const std::string& value) {
                    GlobalRef target = to;
                    target.subscripts.insert(
                        target.subscripts.end(),
                        ref.subscripts.begin() + static_cast<long>(from.subscripts.size()),
                        ref.subscripts.end());
                    nodes.emplace_back(std::move(target), value);
                    return true;
                });
                for (const auto& [ref, value] : nodes)
                    store.Set(ref, value);
                for (const FieldDef& field : f->fields) {
                    const std::string value = GetFieldValue(store, to, field);
                    if (value.empty()) continue;
                    if (field.type == FieldType::Pointer) {
                        SetFieldValue(store, to, field, shifted(field.pointsTo, value, copy));
                    } else if (field.type == FieldType::VariablePointer) {
                        if (const auto vp = ParseVariablePointer(dict, field, value))
                            SetFieldValue(store, to, field,
                                          VariablePointerText(
                                              *vp->file, shifted(vp->file->number, vp->ien, copy)));
                    } else if (field.number == ".01" && field.type == FieldType::FreeText) {
                        SetFieldValue(store, to, field, Suffixed(value, copy, field.maxLength));
                    }
                }
            }
        }
        const FileHeader base = ReadHeader(store, f->root);
        WriteHeader(store, *f, f->root, {base.last * scale, base.count * scale});
    }
}

}  // namespace

std::string DefaultSeedFolder() {
    // An installed server (PREFIX/bin/vorn-server) has its data in PREFIX/share/vorn/data; one
    // run from the build tree has none there and takes the source folder's.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed =
            program.parent_path().parent_path() / VORN_DEVSERVER_INSTALLED_DATA;
        if (std::filesystem::exists(installed / "dictionary.vdd", error)) return installed.string();
    }
    return VORN_DEVSERVER_DATA;
}

SeedFiles SeedFilesIn(const std::string& folder) {
    return {folder + "/demo.zwr", folder + "/users.txt"};
}

bool IsSeeded(GlobalStore& store) {
    return store.Meta("seeded").has_value();
}

void ReindexTree(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                 const GlobalRef& fileRoot) {
    Reindex(store, dict, file, fileRoot);
    std::vector<const FieldDef*> multiples;
    for (const FieldDef& f : file.fields)
        if (f.type == FieldType::Multiple) multiples.push_back(&f);
    if (multiples.empty()) return;
    for (std::string ien = store.Order(fileRoot.Child("0")); IsRecordNumber(ien);
         ien = store.Order(fileRoot.Child(ien)))
        for (const FieldDef* m : multiples)
            if (const FileDef* sub = dict.File(m->subfile))
                ReindexTree(store, dict, *sub, fileRoot.Child(ien).Child(m->node));
}

void Seed(GlobalStore& store, const Dictionary& dict, const SeedFiles& files, int scale) {
    if (scale < 1) throw StoreError("the seed scale is at least 1");
    std::ifstream zwr(files.dataZwr);
    if (!zwr) throw StoreError("cannot read " + files.dataZwr);
    const std::vector<Section> users = ReadSectionFile(files.usersFile);
    store.Atomically([&] {
        store.ClearAll();
        UserStore(store).Seed(users);
        ImportZwr(store, zwr, files.dataZwr);
        WriteFileOfFiles(store, dict);
        if (scale > 1) Multiply(store, dict, scale);
        for (const FileDef* f : dict.TopLevelFiles())
            ReindexTree(store, dict, *f, f->root);
        store.SetMeta("seeded", "1");
        store.SetMeta("seed-scale", std::to_string(scale));
    });
}

}  // namespace vorn::devserver
