// The file associations of a freedesktop.org desktop: the MIME type of an extension, its
// default application from the mimeapps.list files (or `xdg-mime query default`), and that
// application's Exec line from its .desktop entry.
#pragma once

#include <QString>
#include <QStringList>

#include "toolkit/internal/file_associations.h"

namespace vorn {

class XdgAssociations final : public FileAssociations {
  public:
    struct Places {
        // Searched in order: the user's folder first ($XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS).
        QStringList configDirs;
        // Each holds applications/ ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
        QStringList dataDirs;
        // The current desktops ($XDG_CURRENT_DESKTOP), for "<desktop>-mimeapps.list".
        QStringList desktops;
        // Asks `xdg-mime query default` when no list names an installed application.
        bool askXdgMime = true;
    };

    // The places of the running session's environment.
    XdgAssociations();
    explicit XdgAssociations(Places places);

    QString OpenCommand(const QString& extension) const override;

    // The MIME type of files with `extension` and its aliases, most specific first; empty when
    // the extension is unknown.
    static QStringList MimeTypesOf(const QString& extension);
    // The desktop file id of the default application of `mimeType`; empty when none is set
    // or none of those named is installed.
    QString DefaultApplication(const QString& mimeType) const;
    // The Exec line of the installed desktop entry `desktopId`; empty when there is none.
    QString ExecLine(const QString& desktopId) const;
    // The path of the desktop entry `desktopId`, or empty.
    QString DesktopEntryPath(const QString& desktopId) const;

    static Places PlacesFromEnvironment();

  private:
    QStringList MimeAppsLists() const;
    QString AskXdgMime(const QString& mimeType) const;

    Places places_;
};

}  // namespace vorn
