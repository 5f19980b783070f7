// Every one of the 66 effects run through the main window's dispatch with its default parameters on a
// 512 x 512 noise image (its undo snapshot and display included), and StretchBlur and Marble on
// 2048 x 2048. The windows run offscreen on settings folders of their own; dialogs answer OK.
#include "NoiseImage.h"
#include "app/dialogs/FilterDesigner.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/effects/ColorEffects.h"
#include "app/effects/EffectCatalogue.h"
#include "app/effects/Plasma.h"
#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

TFastDIB& noise512() {
    static TFastDIB n;
    if (n.Empty()) NoiseImage(n, 512, 11);
    return n;
}

void EffectViaDispatch(benchmark::State& st, int index) {
    TfZorvTile& w = *fZorvTile;
    w.SetEffectDefaults();
    w.lvl = index;
    w.Effect = EffectCatalogue[static_cast<std::size_t>(index)].Name;
    CopyDIB(noise512(), w.bufr);
    bool ran = true;
    for (auto _ : st) {
        st.PauseTiming();
        CopyDIB(noise512(), w.z);
        w.SetToIm(w.z);
        st.ResumeTiming();
        if (w.EffectAllowed(index))
            ran = w.RunEffect(index);
        else
            ran = false;
        benchmark::ClobberMemory();
    }
    if (!ran) st.SetLabel("did not run");
}

void StretchBlur2048(benchmark::State& st, bool self) {
    TFastDIB img, weight;
    NoiseImage(weight, 2048, 3);
    for (auto _ : st) {
        st.PauseTiming();
        NoiseImage(img, 2048, 4);
        st.ResumeTiming();
        StretchBlurFX(img, self ? nullptr : &weight, self ? -1 : 1, 1, 32);
        benchmark::ClobberMemory();
    }
}

void Marble2048(benchmark::State& st) {
    TFastDIB img;
    NoiseImage(img, 2048, 5);
    for (auto _ : st) {
        MarbleFX(img, 700, 120, 2.0f);
        benchmark::ClobberMemory();
    }
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/mozaro-bench-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) return 1;
    const std::string home = dir;
    for (const char* sub : {"/config", "/data", "/Documents", "/ini"}) fs::create_directories(home + sub);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The targets are for one core: the image routines' row bands stay on the calling thread.
    SetParallelThreads(1);
    int qargc = 1;
    char* qargv[] = {argv[0], nullptr};
    QApplication app(qargc, qargv);
    Registry::WriteString("Software\\ZorvWare\\ZorvTile", "INILocation",
                          QString::fromStdString(home + "/ini"));
    SetMessageHook([](const QString&, TMsgDlgType, int) { return int(mrOk); });
    TfTexture::SetExecuteHook([](TfTexture&) { return int(mrOk); });
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = 640;
        s.High = 480;
        return int(mrOk);
    });
    TfFilter::SetExecuteHook([](TfFilter&) { return int(mrOk); });
    TfZorvTile::SetColorDialogHook([](TColor) { return std::optional<TColor>(0x40C0FF); });
    int rc = 0;
    {
        TApplicationForms forms;
        forms.CreateForms(QString());
        fZorvTile->PasteBuffertoImage1->setEnabled(true);
        for (int i = 0; i < 66; ++i) {
            const std::string name =
                std::to_string(i) + " " + EffectCatalogue[static_cast<std::size_t>(i)].Name;
            benchmark::RegisterBenchmark(("Effect512/" + name).c_str(), EffectViaDispatch, i)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark("StretchBlurWithSelf2048x32", StretchBlur2048, true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("StretchBlurWithBuffer2048x32", StretchBlur2048, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Marble2048", Marble2048)->Unit(benchmark::kMillisecond);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        forms.DestroyForms();
    }
    SetMessageHook({});
    std::error_code ec;
    fs::remove_all(home, ec);
    return rc;
}
