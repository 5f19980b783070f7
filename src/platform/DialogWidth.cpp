// Dialog widths that leave the title whole.

#include "platform/DialogWidth.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace {

constexpr const char* KeeperName = "mozaroTitleWidthKeeper";

// Applies the title width again when the title changes, the window is shown or made narrower.
class TitleWidthKeeper : public QObject {
public:
    explicit TitleWidthKeeper(QWidget& widget) : QObject(&widget), widget_(widget) {
        setObjectName(KeeperName);
    }

    void apply() {
        // The frame's own borders are left in: a few pixels more than needed, never fewer.
        const int need = TitleWidthNeeded(widget_.windowTitle(), QApplication::font());
        if (widget_.maximumWidth() < need) widget_.setMaximumWidth(need);
        if (widget_.minimumWidth() < need) widget_.setMinimumWidth(need);
        if (widget_.width() < need) widget_.resize(need, widget_.height());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A message box fixes its own size while it is shown, a layout whenever it is activated: the
        // resize that follows is widened again.
        const QEvent::Type t = event->type();
        if (watched == &widget_ &&
            (t == QEvent::WindowTitleChange || t == QEvent::Show || t == QEvent::Resize))
            apply();
        return false;
    }

private:
    QWidget& widget_;
};

// Hands every dialog that is shown to WidenToTitle.
class DialogWatcher : public QObject {
public:
    explicit DialogWatcher(QObject* parent) : QObject(parent) { setObjectName(KeeperName); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched)) WidenToTitle(*dialog);
        return false;
    }
};

} // namespace

int TitleWidthNeeded(const QString& title, const QFont& font) {
    if (title.isEmpty()) return 0;
    QFont bold(font);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // Title bar buttons and the icon are about a line high and square: three buttons and the icon, each
    // with a little space, and the frame's margins on both sides.
    const int button = std::max(16, metrics.height()) + 6;
    return metrics.horizontalAdvance(title) + 4 * button + 2 * 8;
}

void WidenToTitle(QWidget& widget) {
    if (widget.findChild<QObject*>(KeeperName, Qt::FindDirectChildrenOnly)) return;
    auto* keeper = new TitleWidthKeeper(widget); // owned by the widget
    widget.installEventFilter(keeper);
    keeper->apply();
}

void WidenDialogsToTitles() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<QObject*>(KeeperName, Qt::FindDirectChildrenOnly)) return;
    app->installEventFilter(new DialogWatcher(app)); // owned by the application
}
