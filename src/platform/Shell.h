#pragma once
// Adaptors to the desktop: open a help document, print a document, set the wallpaper.

#include <QString>

// Opens the document (a file path, relative to the current folder or absolute, or a URL with a
// scheme) with the desktop's viewer. False when the file does not exist or the desktop cannot open it.
bool ShellOpenHelp(const QString& document);

// Hands the file to `lp` when it is installed; false (silently) when it is not, or the file is missing.
bool ShellPrintDocument(const QString& path);

// Makes the bitmap the desktop's wallpaper through the running desktop's own tool (gsettings for
// GNOME, plasma-apply-wallpaperimage for KDE Plasma, xfconf-query for Xfce); with an unknown desktop
// every tool present is tried. True when one of them accepted it.
bool SetDesktopWallpaper(const QString& bmpPath);
