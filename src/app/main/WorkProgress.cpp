#include "app/main/WorkProgress.h"

#include "image/WorkControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The progress window. Esc, Cancel and the close box ask for a stop; the window stays up (and keeps
// the other windows blocked) until the work has ended, so no command can start in the meantime.
class TWorkProgressWindow : public QDialog {
public:
    explicit TWorkProgressWindow(const QString& name, QWidget* parent) : QDialog(parent) {
        setObjectName("WorkProgress");
        setWindowTitle("Mozaro");
        setWindowModality(Qt::ApplicationModal);
        auto* lay = new QVBoxLayout(this);
        auto* title = new QLabel(name, this);
        title->setObjectName("lblWorkName");
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        State = new QLabel("Working... Esc or Cancel stops it.", this);
        State->setObjectName("lblWorkState");
        auto* bar = new QProgressBar(this);
        bar->setObjectName("pbWork");
        bar->setRange(0, 0); // busy: the share done is not known
        bar->setTextVisible(false);
        Cancel = new QPushButton("Cancel", this);
        Cancel->setObjectName("bWorkCancel");
        lay->addWidget(title);
        lay->addWidget(State);
        lay->addWidget(bar);
        lay->addWidget(Cancel, 0, Qt::AlignHCenter);
        connect(Cancel, &QPushButton::clicked, this, [this] { AskStop(); });
        setMinimumWidth(280);
    }

    void reject() override { AskStop(); }

    // A stop is offered until the work enters a step that cannot stop.
    void AskStop() {
        if (FinalWorkStep() || WorkStopRequested()) return;
        RequestWorkStop();
        State->setText("Stopping...");
        Cancel->setEnabled(false);
    }
    // The final step: said once, painted at once (no watch may come before the step ends).
    void ShowFinalStep(const char* state) {
        if (Final) return;
        Final = true;
        State->setText(QString::fromUtf8(state));
        Cancel->setEnabled(false);
        if (isVisible()) repaint();
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        AskStop();
    }

private:
    bool Final = false;
    QLabel* State = nullptr;
    QPushButton* Cancel = nullptr;
};

constexpr qint64 IdleGap = 250; // milliseconds

struct TWorkState {
    int Depth = 0;
    QString Name;
    QElapsedTimer Clock;
    int Watches = 0;
    qint64 LastWatch = 0; // clock time of the last watch
    bool InWatch = false;
    int ShowDelay = 500;
    TWorkScope::TWatchHook Hook;
    std::unique_ptr<TWorkProgressWindow> Window;
    std::unique_ptr<QObject> Rule; // the event filter below, while the outermost scope is open
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> Later; // AfterWork's calls
};

TWorkState& St() {
    static TWorkState s;
    return s;
}

// The progress window's owner: the main window, whichever window is active (after Save As it is the
// tool box), so that it opens centred over the main window.
QWidget* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
    return QApplication::activeWindow();
}

void ShowWindow(TWorkState& s) {
    s.Window = std::make_unique<TWorkProgressWindow>(s.Name, MainWindow());
    if (const char* state = FinalWorkStep()) s.Window->ShowFinalStep(state);
    s.Window->show();
    s.Window->raise();
    s.Window->activateWindow();
}

void AskStop(TWorkState& s) {
    if (s.Window)
        s.Window->AskStop();
    else if (!FinalWorkStep())
        RequestWorkStop();
}

// Whether `target` is, or lies inside, the window `w`.
bool Inside(const QObject* target, const QWidget* w) {
    if (!w || !target) return false;
    if (target->isWidgetType()) return static_cast<const QWidget*>(target)->window() == w;
    if (target->isWindowType()) return target == w->windowHandle();
    return false;
}

bool IsTimer(const QObject* target) {
    return qobject_cast<const QTimer*>(target) ||
           std::strcmp(target->metaObject()->className(), "QSingleShotTimer") == 0;
}

bool IsInput(QEvent::Type t) {
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

// The rule of the header, for every event of the program while the outermost scope is open.
class TWorkRule : public QObject {
public:
    bool eventFilter(QObject* target, QEvent* e) override {
        TWorkState& s = St();
        const QEvent::Type t = e->type();
        QWidget* progress = s.Window.get();
        if (Inside(target, progress)) return false;
        // A modal window the command opened has the floor.
        QWidget* floor = QApplication::activeModalWidget();
        if (floor == progress) floor = nullptr;
        switch (t) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (Inside(target, floor)) return false;
            e->ignore();
            return true;
        case QEvent::Close:
            if (!target->isWidgetType() || !static_cast<QWidget*>(target)->isWindow() || target == floor)
                return false;
            e->ignore();
            return true;
        case QEvent::Timer:
            return !floor && IsTimer(target);
        default:
            break;
        }
        if (!s.InWatch || !IsInput(t)) return false;
        if (t == QEvent::ShortcutOverride) {
            e->accept(); // taken here: no shortcut runs
            return true;
        }
        if (t == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) AskStop(s);
        return true;
    }
};

// Called by the library's stop checks on this thread every few milliseconds of work.
void Watch() {
    TWorkState& s = St();
    // A watch may process events, and an event's handler may run checks of its own.
    if (s.InWatch) return;
    const bool gui = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    // Work inside another modal window that the command opened (a designer repainting its preview) is
    // that window's business: pumping events from inside its painting would paint it again.
    if (gui) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != s.Window.get()) return;
    }
    s.InWatch = true;
    try {
        // Work checks in every few milliseconds; a longer gap means the command waited (a dialog it
        // opened), so the wait before the window shows starts again.
        if (s.Watches == 0 || (!s.Window && s.Clock.elapsed() - s.LastWatch > IdleGap)) s.Clock.start();
        s.LastWatch = s.Clock.elapsed();
        ++s.Watches;
        // A window shown before the final step says it has begun (a window shown later is made so).
        if (const char* state = FinalWorkStep(); state && s.Window) s.Window->ShowFinalStep(state);
        if (s.Hook) s.Hook(s.Watches);
        if (gui) {
            if (!s.Window && !WorkStopRequested() && s.Clock.elapsed() >= s.ShowDelay) ShowWindow(s);
            // Input reaches only the progress window while it is shown (it is application-modal); before
            // it shows, or once a stop is on its way, input waits in the queue and only painting runs.
            const bool input = s.Window && s.Window->isVisible() && !WorkStopRequested();
            QCoreApplication::processEvents(input ? QEventLoop::AllEvents
                                                  : QEventLoop::ExcludeUserInputEvents);
        }
    } catch (...) {
        // The watcher must not throw into the work; a failure here ends the work instead.
        RequestWorkStop();
    }
    s.InWatch = false;
}

} // namespace

TWorkScope::TWorkScope(const QString& name) {
    TWorkState& s = St();
    if (s.Depth++ > 0) return;
    Outer = true;
    s.Name = name;
    s.Watches = 0;
    s.Clock.start();
    ClearWorkStop();
    SetWorkWatcher(Watch);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        s.Rule = std::make_unique<TWorkRule>();
        QCoreApplication::instance()->installEventFilter(s.Rule.get());
    }
}

TWorkScope::~TWorkScope() {
    TWorkState& s = St();
    --s.Depth;
    if (!Outer) return;
    SetWorkWatcher({});
    if (s.Window) {
        s.Window->hide();
        s.Window.reset();
    }
    s.Rule.reset(); // a destroyed filter leaves the application's list
    s.Name.clear();
    // A stop asked for at the very end must not end the next command.
    ClearWorkStop();
    // The calls that waited for the work, from the event loop: the command that opened the scope has
    // not ended yet.
    for (auto& [context, call] : std::exchange(s.Later, {}))
        if (context)
            QMetaObject::invokeMethod(
                context.data(),
                [ctx = context.data(), call = std::move(call)] { TWorkScope::AfterWork(ctx, call); },
                Qt::QueuedConnection);
}

void TWorkScope::AfterWork(QObject* context, std::function<void()> call) {
    TWorkState& s = St();
    if (s.Depth == 0)
        call();
    else
        s.Later.emplace_back(context, std::move(call));
}

bool TWorkScope::Active() {
    return St().Depth > 0;
}

QString TWorkScope::Name() {
    return St().Name;
}

QDialog* TWorkScope::ProgressWindow() {
    TWorkState& s = St();
    return s.Window && s.Window->isVisible() ? s.Window.get() : nullptr;
}

void TWorkScope::SetShowDelay(int milliseconds) {
    St().ShowDelay = milliseconds;
}

void TWorkScope::SetWatchHook(TWatchHook hook) {
    St().Hook = std::move(hook);
}
