// Which program the workstation opens files of a given extension with. The lookup reads the
// desktop's associations through an installable source, so that tests do not depend on the
// machine they run on.
#pragma once

#include <QString>

namespace vorn {

class FileAssociations {
  public:
    virtual ~FileAssociations() = default;
    // The command registered to open files of `extension` (without the dot), as the desktop
    // stores it, placeholders and all ("/usr/bin/calc --view %U"); empty when there is none.
    virtual QString OpenCommand(const QString& extension) const = 0;
};

// The installed source: the desktop's associations unless another was installed.
const FileAssociations& Associations();
// Installs `source` (not owned); nullptr restores the desktop's associations.
void SetAssociations(const FileAssociations* source);

// The program of a registered command: cut from the first "%" to the end, drop a leading
// double quote, cut from the next double quote to the end, remove trailing blanks.
//   "\"/opt/Calc Suite/calc\" /e \"%1\""  ->  "/opt/Calc Suite/calc"
//   "/usr/bin/writer /n %1"               ->  "/usr/bin/writer /n"
QString CleanRegisteredCommand(const QString& command);

// The program that files of `extension` are opened with; empty when there is none.
QString GetAssociatedProgram(const QString& extension);

}  // namespace vorn
