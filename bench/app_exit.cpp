// Exit of an empty session: the windows destroyed in reverse order, each writing its settings. The
// settings file is written once per window, so exit stays far below 200 ms.
#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

// An offscreen application on a home of its own, made once.
QTemporaryDir& Home() {
    static QTemporaryDir home;
    return home;
}

void EnsureApplication() {
    static std::unique_ptr<GuardedApplication> app;
    if (app || QCoreApplication::instance()) return;
    const QByteArray home = Home().path().toUtf8();
    setenv("HOME", home.constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_app";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<GuardedApplication>(argc, argv);
    SetMessageHook([](const QString&, TMsgDlgType, int) { return int(mrOk); });
}

void BM_ExitEmptySession(benchmark::State& state) {
    EnsureApplication();
    for (auto _ : state) {
        state.PauseTiming();
        auto forms = std::make_unique<TApplicationForms>();
        forms->CreateForms(QString());
        state.ResumeTiming();
        forms->DestroyForms();
        state.PauseTiming();
        forms.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExitEmptySession)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
