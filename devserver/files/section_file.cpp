#include "devserver/files/section_file.h"

#include <fstream>
#include <sstream>

#include "devserver/m/text.h"

namespace vorn::devserver {

const std::string* Section::One(const std::string& key) const {
    const std::string* found = nullptr;
    for (const auto& [k, v] : entries) {
        if (k != key) continue;
        if (found) Fail("\"" + key + "\" is given twice");
        found = &v;
    }
    return found;
}

std::vector<std::string> Section::All(const std::string& key) const {
    std::vector<std::string> out;
    for (const auto& [k, v] : entries)
        if (k == key) out.push_back(v);
    return out;
}

void Section::Fail(const std::string& what) const {
    throw SectionFileError(source + ":" + std::to_string(line) + ": [" + kind +
                           (args.empty() ? "" : " " + args[0]) +
                           (args.size() > 1 ? " " + args[1] : "") + "]: " + what);
}

std::vector<Section> ReadSections(std::istream& in, const std::string& source) {
    std::vector<Section> out;
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        const std::string line(Trimmed(raw, " \t\r"));
        if (line.empty() || line[0] == '#') continue;
        auto fail = [&](const std::string& what) {
            throw SectionFileError(source + ":" + std::to_string(number) + ": " + what);
        };
        if (line[0] == '[') {
            if (line.back() != ']') fail("a heading ends with \"]\"");
            std::vector<std::string> words = Words(line.substr(1, line.size() - 2));
            Section s;
            if (!words.empty()) {
                s.kind = words.front();
                s.args.assign(words.begin() + 1, words.end());
            }
            if (s.kind.empty()) fail("a heading names its kind");
            s.source = source;
            s.line = number;
            out.push_back(std::move(s));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) fail("\"key = value\" expected");
        if (out.empty()) fail("an entry before the first heading");
        const std::string key(Trimmed(line.substr(0, eq), " \t\r"));
        if (key.empty()) fail("an entry without a key");
        out.back().entries.emplace_back(key, Trimmed(line.substr(eq + 1), " \t\r"));
    }
    return out;
}

std::vector<Section> ReadSectionFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw SectionFileError("cannot read " + path);
    return ReadSections(in, path);
}

}  // namespace vorn::devserver
