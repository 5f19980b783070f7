#include "app/main/SettingsFile.h"

#include "platform/ErrorGuard.h"
#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool FailureShown = false;
}

QString SettingsPath(const QString& iniDir) {
    return QDir(iniDir).filePath("ZorvTile.ini");
}

bool SettingsGateOpen(const IniFile& ini) {
    return ini.ValueExists("EffectVals", "EffectVals6");
}

bool WriteSettings(const QString& fileName, const std::function<void(IniFile&)>& writes) {
    // Without a settings folder (creation stopped before it was found) nothing is written, rather than
    // a file in whatever folder is current.
    if (QFileInfo(fileName).isRelative()) return false;
    try {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        IniFile ini(fileName);
        // A file that could not be read is kept aside, and the user told where, before a new one
        // replaces it.
        if (!ini.UnreadableReason().isEmpty() && QFileInfo::exists(fileName)) {
            const QString why = ini.UnreadableReason();
            const QString copy = ini.KeepUnreadableCopy();
            ShowMessage(
                QStringLiteral("The settings file %1 could not be read: %2.\rIt is kept as %3, and a new "
                               "one is written.")
                    .arg(fileName, why, copy));
        }
        // Every key in memory first, then the file once: same content and order as key by key, one
        // atomic replace instead of one per key.
        ini.SetDeferredWrites(true);
        writes(ini);
        ini.UpdateFile();
        return true;
    } catch (const std::exception& e) {
        if (!FailureShown) {
            FailureShown = true;
            ShowException(e);
        }
        return false;
    }
}

void ResetSettingsFailureReport() {
    FailureShown = false;
}
