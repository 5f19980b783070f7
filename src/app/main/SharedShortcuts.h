#pragma once
// The main window's menu shortcuts, acting also while one of its companion windows (the tool box, the
// log viewer) is the active window.

class QWidget;

// Every menu action of `owner` that has a shortcut also answers it while `companion` is the active
// window, as long as `owner` takes input (it is enabled): while the owner is disabled (a colour preview
// waits for OK or Cancel, the tile test is up) the companion passes the keys on as before. A text field
// keeps its own editing keys (Ctrl+Z, Ctrl+C, Ctrl+A, ...). Calling it again for the same pair adds
// nothing.
void ShareShortcuts(QWidget& owner, QWidget& companion);
