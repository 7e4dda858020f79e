#include "toolkit/internal/xdg_associations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <optional>

namespace vorn {
namespace {

constexpr int kXdgMimeWaitMs = 3000;

QStringList EnvironmentList(const char* name, const QStringList& fallback) {
    const QString value = qEnvironmentVariable(name);
    QStringList list = value.split(u':', Qt::SkipEmptyParts);
    return list.isEmpty() ? fallback : list;
}

QString EnvironmentDir(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

// The value of `key` in `group` of a desktop-entry style file (key=value lines under
// [group] headers), or std::nullopt when the file or key is missing.
std::optional<QString> ReadEntry(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return std::nullopt;
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        if (!inGroup) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        if (line.left(eq).trimmed() == key) return line.mid(eq + 1).trimmed();
    }
    return std::nullopt;
}

// Escapes of desktop-entry string values: \s \n \t \r \\.
QString Unescape(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else {
            out += u'\\';
            out += next;
        }
    }
    return out;
}

}  // namespace

XdgAssociations::XdgAssociations() : places_(PlacesFromEnvironment()) {}

XdgAssociations::XdgAssociations(Places places) : places_(std::move(places)) {}

XdgAssociations::Places XdgAssociations::PlacesFromEnvironment() {
    Places places;
    const QString home = QDir::homePath();
    places.configDirs << EnvironmentDir("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    places.configDirs << EnvironmentList("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    places.dataDirs << EnvironmentDir("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    places.dataDirs << EnvironmentList(
        "XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (const QString& desktop : EnvironmentList("XDG_CURRENT_DESKTOP", {}))
        places.desktops << desktop.toLower();
    return places;
}

QStringList XdgAssociations::MimeTypesOf(const QString& extension) {
    if (extension.isEmpty()) return {};
    const QMimeDatabase db;
    const QMimeType type =
        db.mimeTypeForFile(QStringLiteral("file.") + extension, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) return {};
    return QStringList{type.name()} + type.aliases();
}

QStringList XdgAssociations::MimeAppsLists() const {
    QStringList lists;
    auto addFolder = [&](const QString& folder, bool legacy) {
        for (const QString& desktop : places_.desktops)
            lists << folder + u'/' + desktop + QStringLiteral("-mimeapps.list");
        lists << folder + QStringLiteral("/mimeapps.list");
        if (legacy) lists << folder + QStringLiteral("/defaults.list");
    };
    for (const QString& dir : places_.configDirs)
        addFolder(dir, false);
    for (const QString& dir : places_.dataDirs)
        addFolder(dir + QStringLiteral("/applications"), true);
    return lists;
}

QString XdgAssociations::DefaultApplication(const QString& mimeType) const {
    for (const QString& list : MimeAppsLists()) {
        const std::optional<QString> ids =
            ReadEntry(list, QStringLiteral("Default Applications"), mimeType);
        if (!ids) continue;
        for (const QString& id : ids->split(u';', Qt::SkipEmptyParts))
            if (!DesktopEntryPath(id.trimmed()).isEmpty()) return id.trimmed();
    }
    return places_.askXdgMime ? AskXdgMime(mimeType) : QString();
}

QString XdgAssociations::AskXdgMime(const QString& mimeType) const {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return {};
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kXdgMimeWaitMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    return DesktopEntryPath(id).isEmpty() ? QString() : id;
}

QString XdgAssociations::DesktopEntryPath(const QString& desktopId) const {
    if (desktopId.isEmpty() || desktopId.contains(u'/') ||
        !desktopId.endsWith(QStringLiteral(".desktop")))
        return {};
    // "vendor-app.desktop" may also live as vendor/app.desktop.
    QStringList relative{desktopId};
    for (qsizetype dash = desktopId.indexOf(u'-'); dash >= 0;
         dash = desktopId.indexOf(u'-', dash + 1)) {
        QString nested = desktopId;
        for (qsizetype i = 0; i <= dash; ++i)
            if (nested[i] == u'-') nested[i] = u'/';
        relative << nested;
    }
    for (const QString& dir : places_.dataDirs) {
        for (const QString& name : relative) {
            const QString path = dir + QStringLiteral("/applications/") + name;
            if (!QFileInfo(path).isFile()) continue;
            const auto hidden = ReadEntry(path, QStringLiteral("Desktop Entry"), "Hidden");
            if (hidden && *hidden == QStringLiteral("true")) return {};
            return path;
        }
    }
    return {};
}

QString XdgAssociations::ExecLine(const QString& desktopId) const {
    const QString path = DesktopEntryPath(desktopId);
    if (path.isEmpty()) return {};
    const auto exec = ReadEntry(path, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
    return exec ? Unescape(*exec) : QString();
}

QString XdgAssociations::OpenCommand(const QString& extension) const {
    for (const QString& type : MimeTypesOf(extension)) {
        const QString id = DefaultApplication(type);
        if (id.isEmpty()) continue;
        const QString exec = ExecLine(id);
        if (!exec.isEmpty()) return exec;
    }
    return {};
}

}  // namespace vorn
