#include "app/main/WorkProgress.h"

#include "image/WorkControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

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

protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        AskStop();
    }

private:
    void AskStop() {
        RequestWorkStop();
        State->setText("Stopping...");
        Cancel->setEnabled(false);
    }
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
};

TWorkState& St() {
    static TWorkState s;
    return s;
}

void ShowWindow(TWorkState& s) {
    QWidget* parent = QApplication::activeWindow();
    s.Window = std::make_unique<TWorkProgressWindow>(s.Name, parent);
    s.Window->show();
    s.Window->raise();
}

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
    s.Name.clear();
    // A stop asked for at the very end must not end the next command.
    ClearWorkStop();
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
