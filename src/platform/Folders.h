#pragma once
// The folders the program works with. Every result is an absolute path without a trailing slash
// (or empty where the Part allows none); append "/name" to reach a file in it.

#include <QString>

QString DocumentsFolder(); // the user's documents folder; "" when there is none
QString TempFolder();      // the system's temporary folder
QString ProgramFolder();   // the folder of the running executable
// Where the program writes its own files (the activity log): ProgramFolder() when it is writable,
// else $XDG_DATA_HOME/ZorvWare/ZorvTile (created).
QString ProgramDataFolder();
// Stands for the system folder of the desktop: $XDG_DATA_HOME/ZorvWare/ZorvTile (created). The
// wallpaper bitmap lives here.
QString WindowsFolder();
