#pragma once
// The folders the program works with. Every result is an absolute path without a trailing slash
// (or empty where there is none); append "/name" to reach a file in it.

#include <QString>

QString DocumentsFolder(); // the user's documents folder; "" when there is none
QString TempFolder();      // the system's temporary folder
QString ProgramFolder();   // the folder of the running executable
// Where the program writes its own files (the activity log, the help and shortcut documents):
// $XDG_DATA_HOME/ZorvWare/ZorvTile (created), never beside the executable, so rebuilding or removing
// the program keeps the user's log.
QString ProgramDataFolder();
// The settings folder used where the user has no documents folder: $XDG_CONFIG_HOME/ZorvWare/ZorvTile,
// per user and persistent (not created here; the settings writer creates it when it writes).
QString SettingsFallbackFolder();
// Stands for the system folder of the desktop: $XDG_DATA_HOME/ZorvWare/ZorvTile (created). The
// wallpaper bitmap lives here.
QString WindowsFolder();
// Why no file can be made in `folder` (the system's reason, as it follows a colon: "permission
// denied", "read-only file system"); empty when one can. Tried by making and removing a file there.
QString FolderWriteProblem(const QString& folder);
