#include "app/main/ShortcutList.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString plain(QString caption) {
    caption.replace("&&", "\x01");
    caption.remove('&');
    caption.replace("\x01", "&");
    return caption;
}

void collect(const QList<QAction*>& actions, const QString& path,
             std::vector<std::pair<QString, QString>>& out) {
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        const QString name = path.isEmpty() ? plain(a->text()) : path + " > " + plain(a->text());
        if (QMenu* sub = a->menu()) {
            collect(sub->actions(), name, out);
            continue;
        }
        if (!a->shortcut().isEmpty())
            out.emplace_back(name, a->shortcut().toString(QKeySequence::NativeText));
    }
}

} // namespace

QString ShortcutKeyList(const QMenuBar* menus) {
    std::vector<std::pair<QString, QString>> items;
    if (menus) collect(menus->actions(), QString(), items);
    qsizetype width = 0;
    for (const auto& item : items) width = std::max(width, item.first.size());
    QString text = "Mozaro - Shortcut Keys\n\n";
    for (const auto& [name, keys] : items) text += name.leftJustified(width + 3, ' ') + keys + '\n';
    return text;
}
