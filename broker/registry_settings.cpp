#include "broker/registry_settings.h"

#include <QSettings>
#include <QtGlobal>
#include <memory>

namespace vorn {
namespace {

QString RootName(RegistryRoot) {
    return QStringLiteral("HKEY_LOCAL_MACHINE");
}

// One ini file per root under the machine-wide scope; the key path becomes the group path.
std::unique_ptr<QSettings> Store(RegistryRoot root) {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope,
                                       QStringLiteral("Vorn"), RootName(root));
}

QString Path(const QString& key, const QString& name) {
    QString path = key;
    path.replace('\\', '/');
    return path + '/' + name;
}

}  // namespace

void UseSettingsFolderFromEnvironment() {
    const QByteArray dir = qgetenv("VORN_SETTINGS_DIR");
    if (!dir.isEmpty())
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                           QString::fromLocal8Bit(dir));
}

QString ReadRegistryText(RegistryRoot root, const QString& key, const QString& name) {
    return Store(root)->value(Path(key, name)).toString();
}

bool WriteRegistryText(RegistryRoot root, const QString& key, const QString& name,
                       const QString& text) {
    const auto store = Store(root);
    if (!store->isWritable()) return false;
    store->setValue(Path(key, name), text);
    store->sync();
    return store->status() == QSettings::NoError;
}

QString ReadRegistryDefault(RegistryRoot root, const QString& key, const QString& name,
                            const QString& fallback) {
    const QString value = ReadRegistryText(root, key, name);
    if (!value.isEmpty()) return value;
    WriteRegistryText(root, key, name, fallback);
    return fallback;
}

}  // namespace vorn
