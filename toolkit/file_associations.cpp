#include "toolkit/internal/file_associations.h"

#include "toolkit/internal/xdg_associations.h"

namespace vorn {
namespace {

const FileAssociations* gInstalled = nullptr;

}  // namespace

const FileAssociations& Associations() {
    if (gInstalled) return *gInstalled;
    static const XdgAssociations desktop;
    return desktop;
}

void SetAssociations(const FileAssociations* source) {
    gInstalled = source;
}

QString CleanRegisteredCommand(const QString& command) {
    QString program = command;
    const qsizetype percent = program.indexOf(u'%');
    if (percent >= 0) program.truncate(percent);
    if (program.startsWith(u'"')) program.remove(0, 1);
    const qsizetype quote = program.indexOf(u'"');
    if (quote >= 0) program.truncate(quote);
    qsizetype end = program.size();
    while (end > 0 && program[end - 1] <= u' ')
        --end;
    program.truncate(end);
    return program;
}

QString GetAssociatedProgram(const QString& extension) {
    return CleanRegisteredCommand(Associations().OpenCommand(extension));
}

}  // namespace vorn
