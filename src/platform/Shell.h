#pragma once
// Adaptors to the desktop: open a help document, print a document, set the wallpaper.

#include <QString>

// Opens the document (a file path, relative to the current folder or absolute, or a URL with a
// scheme) with the desktop's viewer. False when the file does not exist, no browser is set up to show
// a page, or the desktop cannot open it.
bool ShellOpenHelp(const QString& document);
// True when the desktop can show a web page (xdg-open with a browser it can use).
bool BrowserAvailable();

// Hands the file to `lp` when it is installed; false (silently) when it is not, or the file is missing.
bool ShellPrintDocument(const QString& path);

// Makes the bitmap the desktop's wallpaper through the running desktop's own tool (gsettings for
// GNOME and its relatives, plasma-apply-wallpaperimage for KDE Plasma, xfconf-query for Xfce), the
// desktop named by XDG_CURRENT_DESKTOP. True only when that tool changed it: a desktop that is not one
// of these, or does not name itself, is left alone (a tool of another desktop would report success
// without changing anything on the screen). On false, `why` (when given) says what stood in the way.
bool SetDesktopWallpaper(const QString& bmpPath, QString* why = nullptr);
