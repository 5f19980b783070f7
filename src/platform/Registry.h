#pragma once
// Registry: the current user's key store. Every key path is one section of a single INI file,
// $XDG_CONFIG_HOME/ZorvWare/registry.ini; paths match without regard to case and to leading, trailing
// or doubled backslashes ("SOFTWARE\ZorvWare\ZorvTile\" is "Software\ZorvWare\ZorvTile").

#include <QString>

namespace Registry {

// The file that holds the keys.
QString StoreFileName();

bool KeyExists(const QString& keyPath);
QString ReadString(const QString& keyPath, const QString& name, const QString& def = QString());
bool ValueExists(const QString& keyPath, const QString& name);
// Creates the key when missing. Throws std::runtime_error("Unable to write to <file>") on failure.
void WriteString(const QString& keyPath, const QString& name, const QString& value);
// Makes an empty key (no value) when missing; throws like WriteString.
void CreateKey(const QString& keyPath);

} // namespace Registry
