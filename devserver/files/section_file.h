// The readable data files of the server (the dictionary, the users): sections headed
// "[kind arg arg]", each followed by "key = value" lines; a key may repeat (description lines).
// Blank lines and lines starting with "#" are skipped.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorn::devserver {

class SectionFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Section {
    std::string kind;               // "file", "field", ...
    std::vector<std::string> args;  // the words after the kind
    std::vector<std::pair<std::string, std::string>> entries;
    std::string source;  // "file:line" of the heading, for messages
    int line = 0;

    // The value of a key given once (nullptr when absent); throws when it is given twice.
    const std::string* One(const std::string& key) const;
    std::vector<std::string> All(const std::string& key) const;
    [[noreturn]] void Fail(const std::string& what) const;
};

// Throws SectionFileError with the file name and line.
std::vector<Section> ReadSections(std::istream& in, const std::string& source);
std::vector<Section> ReadSectionFile(const std::string& path);

}  // namespace vorn::devserver
