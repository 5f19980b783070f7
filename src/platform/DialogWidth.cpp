// Dialog widths that leave the title whole.

#include "platform/DialogWidth.h"

#include <QEvent>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace {

// Applies the title width again when the title changes or the window is shown.
class TitleWidthKeeper : public QObject {
public:
    static constexpr const char* Name = "mozaroTitleWidthKeeper";

    explicit TitleWidthKeeper(QWidget& widget) : QObject(&widget), widget_(widget) { setObjectName(Name); }

    void apply() {
        // The frame's own borders are left in: a few pixels more than needed, never fewer.
        const int need = TitleWidthNeeded(widget_.windowTitle(), widget_.font());
        if (widget_.maximumWidth() < need) widget_.setMaximumWidth(need);
        if (widget_.minimumWidth() < need) widget_.setMinimumWidth(need);
        if (widget_.width() < need) widget_.resize(need, widget_.height());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &widget_ &&
            (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show))
            apply();
        return false;
    }

private:
    QWidget& widget_;
};

} // namespace

int TitleWidthNeeded(const QString& title, const QFont& font) {
    if (title.isEmpty()) return 0;
    QFont bold(font);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // Title bar buttons and the icon are about a line high and square; three buttons and the icon,
    // each with a little space, and the frame's margins on both sides.
    const int button = std::max(16, metrics.height()) + 6;
    return metrics.horizontalAdvance(title) + 4 * button + 2 * 8;
}

void WidenToTitle(QWidget& widget) {
    if (widget.findChild<QObject*>(TitleWidthKeeper::Name, Qt::FindDirectChildrenOnly)) return;
    auto* keeper = new TitleWidthKeeper(widget); // owned by the widget
    widget.installEventFilter(keeper);
    keeper->apply();
}
