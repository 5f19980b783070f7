#include "platform/Registry.h"

#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <stdexcept>

namespace {

QString sectionFor(const QString& keyPath) {
    return keyPath.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

// Tells the user where an unreadable key store was kept when a write replaced it.
void reportKeptCopy(const IniFile& ini) {
    if (!ini.KeptCopy().isEmpty())
        ShowMessage(
            QStringLiteral("The key store %1 could not be read.\rIt is kept as %2, and a new one is written.")
                .arg(ini.FileName(), ini.KeptCopy()));
}

} // namespace

namespace Registry {

QString StoreFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/ZorvWare/registry.ini");
}

bool KeyExists(const QString& keyPath) {
    return IniFile(StoreFileName()).SectionExists(sectionFor(keyPath));
}

QString ReadString(const QString& keyPath, const QString& name, const QString& def) {
    return IniFile(StoreFileName()).ReadString(sectionFor(keyPath), name, def);
}

bool ValueExists(const QString& keyPath, const QString& name) {
    return IniFile(StoreFileName()).ValueExists(sectionFor(keyPath), name);
}

static IniFile openForWriting() {
    const QString file = StoreFileName();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(file).toStdString());
    return IniFile(file);
}

void WriteString(const QString& keyPath, const QString& name, const QString& value) {
    IniFile ini = openForWriting();
    ini.WriteString(sectionFor(keyPath), name, value);
    reportKeptCopy(ini);
}

void CreateKey(const QString& keyPath) {
    IniFile ini = openForWriting();
    const QString section = sectionFor(keyPath);
    if (ini.SectionExists(section)) return;
    // Writing and deleting one value leaves the section's header alone in the file: an empty key.
    ini.WriteString(section, QStringLiteral("@"), QString());
    ini.DeleteKey(section, QStringLiteral("@"));
    reportKeptCopy(ini);
}

} // namespace Registry
