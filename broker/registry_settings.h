// The workstation's settings store, addressed like the registry: a root, a key path written
// with backslashes ("Software\Trevanta\Broker") and a value name. Kept in QSettings at the
// machine-wide scope (tests point that scope at a folder of their own with QSettings::setPath).
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

enum class RegistryRoot { LocalMachine };

// Programs call this at start: when VORN_SETTINGS_DIR is set, the machine-wide store lives in
// that folder instead (for users who cannot write the machine-wide one).
void UseSettingsFolderFromEnvironment();

// The text of a value, or the empty text when it is missing.
QString ReadRegistryText(RegistryRoot root, const QString& key, const QString& name);
// Writes a value, creating the key when needed; false when the store cannot be written
// (which callers do not treat as an error).
bool WriteRegistryText(RegistryRoot root, const QString& key, const QString& name,
                       const QString& text);
// The value; a missing or empty one is written back with `fallback`, which is returned.
QString ReadRegistryDefault(RegistryRoot root, const QString& key, const QString& name,
                            const QString& fallback);

inline const QString kBrokerKey = QStringLiteral("Software\\Trevanta\\Broker");
inline const QString kSignonKey = QStringLiteral("Software\\Trevanta\\Signon");

}  // namespace vorn

#pragma GCC visibility pop
