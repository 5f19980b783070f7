#pragma once
// The settings file shared by the main window and the dialogs: its name, the gate that says whether a
// file was written before, and writing it with a failure reported once per run.

#include <QString>

#include <functional>

class IniFile;

// Folder + "/ZorvTile.ini".
QString SettingsPath(const QString& iniDir);
// The sections of the windows are read only from a file written before, marked by key EffectVals6 of
// section EffectVals. Its presence counts, not its value: a stored amount of 0 is a valid setting.
bool SettingsGateOpen(const IniFile& ini);
// Opens the file (creating its folder when missing), runs `writes` on it in memory and writes the file
// once. A file that could not be read is first kept aside under another name, with a message. A failure
// leaves the file as it was and is shown once per run, however many windows write their sections. Returns
// false on failure.
bool WriteSettings(const QString& fileName, const std::function<void(IniFile&)>& writes);
// Forgets that a failure was shown (tests).
void ResetSettingsFailureReport();
