// Every test program keeps the machine-wide settings store in a temporary folder of its own,
// so that no test reads or writes the workstation's real settings.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

namespace vorn::test {

inline void IsolateSettings() {
    static QTemporaryDir dir;
    qputenv("VORN_SETTINGS_DIR", dir.path().toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path());
}

// A settings store of its own for one test; the program's store comes back afterwards.
class ScopedSettings {
  public:
    ScopedSettings() {
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir_.path());
    }
    ~ScopedSettings() {
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                           QString::fromLocal8Bit(qgetenv("VORN_SETTINGS_DIR")));
    }

  private:
    QTemporaryDir dir_;
};

}  // namespace vorn::test
