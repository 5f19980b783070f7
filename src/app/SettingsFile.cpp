#include "app/SettingsFile.h"

#include "platform/ErrorGuard.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool FailureShown = false;
}

QString SettingsPath(const QString& iniDir) { return QDir(iniDir).filePath("ZorvTile.ini"); }

bool SettingsGateOpen(const IniFile& ini) { return ini.ValueExists("EffectVals", "EffectVals6"); }

bool CommitSettings(IniFile& ini) {
    try {
        QDir().mkpath(QFileInfo(ini.FileName()).absolutePath());
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

void ResetSettingsFailureReport() { FailureShown = false; }
