#pragma once
// The shortcut key list: every menu item that has a key combination, made from the menus themselves
// so that the list always says what the keys do. Plain text, which any printer command prints.

#include <QString>

class QMenuBar;

// One line per item: the menu path ("Effects > Distortions > Twist"), then the keys in a column.
QString ShortcutKeyList(const QMenuBar* menus);
