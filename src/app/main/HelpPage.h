#pragma once
// The help page: the document shipped in the program's resources, with the places of this account's
// files filled in, so that the page names the folders really in use (a documents folder or not, a
// settings folder moved or not).

#include <QString>

struct THelpPlaces {
    QString SettingsFile;  // ZorvTile.ini in the settings folder in use
    QString KeyStore;      // the file that remembers the settings folder
    QString LogFile;       // the activity log
    QString HelpFile;      // where the page itself is written
    QString ShortcutFile;  // the shortcut key list
    QString WallpaperFile; // the wallpaper bitmap
};

// The page as HTML (UTF-8 when encoded), every place written as escaped text.
QString HelpPageHtml(const THelpPlaces& places);
