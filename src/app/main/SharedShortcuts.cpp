// Menu shortcuts shared with companion windows.

#include "app/main/SharedShortcuts.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace {

constexpr const char* SharerName = "mozaroShortcutSharer";

// Lives as a child of the owner and follows its enabled state. Qt matches a window shortcut of an
// action in every window that holds the action, so holding the owner's actions is all it takes.
class TShortcutSharer : public QObject {
public:
    explicit TShortcutSharer(QWidget& owner) : QObject(&owner), Owner(owner) {
        setObjectName(SharerName);
        owner.installEventFilter(this);
    }

    void add(QWidget& companion) {
        for (const QPointer<QWidget>& c : Companions)
            if (c == &companion) return;
        Companions.emplace_back(&companion);
        apply(companion, Owner.isEnabled());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &Owner && event->type() == QEvent::EnabledChange)
            for (const QPointer<QWidget>& c : Companions)
                if (c) apply(*c, Owner.isEnabled());
        return false;
    }

private:
    void apply(QWidget& companion, bool share) {
        for (QAction* a : Owner.findChildren<QAction*>()) {
            if (a->shortcuts().isEmpty() || a->shortcutContext() != Qt::WindowShortcut) continue;
            if (share)
                companion.addAction(a); // adds nothing when it holds the action already
            else
                companion.removeAction(a);
        }
    }

    QWidget& Owner;
    std::vector<QPointer<QWidget>> Companions;
};

} // namespace

void ShareShortcuts(QWidget& owner, QWidget& companion) {
    auto* sharer = owner.findChild<QObject*>(SharerName, Qt::FindDirectChildrenOnly);
    if (!sharer) sharer = new TShortcutSharer(owner); // owned by the owner
    static_cast<TShortcutSharer*>(sharer)->add(companion);
}
