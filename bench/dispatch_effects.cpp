// Every one of the 66 effects run through the main window's dispatch (as the user runs it: undo
// snapshot, copies, library routine and display), each beside the library call the command makes, on the
// same noise image at 512 x 512 and 4096 x 4096, with the main window shown. At the end a table gives the
// command's time over the library call's time for every effect and size. The windows run offscreen on
// settings folders of their own; every dialog an effect opens is answered through its hook.
//
// Options besides Google Benchmark's: --threads=N (the image routines' threads; 0, the default, is one
// per core), --sizes=512,4096 (the image sides to run).
#include "NoiseImage.h"
#include "app/dialogs/FilterDesigner.h"
#include "app/dialogs/GradientDesigner.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/effects/ColorEffects.h"
#include "app/effects/EffectCatalogue.h"
#include "app/effects/GeometricEffects.h"
#include "app/effects/GradientMerge.h"
#include "app/effects/Plasma.h"
#include "app/effects/SeamlessBlur.h"
#include "app/effects/ShapeEffects.h"
#include "app/main/StartUp.h"
#include "app/main/ZorvTileMain.h"
#include "controls/GradientControl.h"
#include "image/FastFX.h"
#include "image/Numeric.h"
#include "image/Parallel.h"
#include "image/ZorvFX.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TFastDIB& Noise(int n) {
    static std::map<int, TFastDIB> images;
    TFastDIB& img = images[n];
    if (img.Empty()) NoiseImage(img, n, 11);
    return img;
}

// The size the resize dialog answers with: a quarter wider, a sixteenth lower.
int ResizedWidth(int w) {
    return w + w / 4;
}
int ResizedHeight(int h) {
    return h - h / 16;
}

// Scroll (45) runs nothing: its image is set up once, not before each of its many iterations.
bool ChangesImage(int index) {
    return index != 45;
}

// Parameters and images as the command finds them: defaults, this effect current, the buffer noise.
void Prepare(TfZorvTile& w, int index, int n) {
    w.SetEffectDefaults();
    w.lvl = index;
    w.Effect = EffectCatalogue[static_cast<std::size_t>(index)].Name;
    CopyDIB(Noise(n), w.bufr);
    w.Ring.Reset(w.Ring.Levels()); // no snapshots of the previous size linger
}

// The effects whose command reads its frame's picture and writes every pixel of a new one (or paints
// over a copy): their library call reads `aux` and writes `img`.
bool ReadsSource(int index) {
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 26:
    case 30:
    case 31:
    case 32:
    case 33:
    case 34:
    case 35:
    case 37:
    case 41:
    case 42:
    case 49:
    case 50:
    case 51:
    case 57:
    case 61:
    case 62:
        return true;
    default:
        return false;
    }
}

// What the command copies before its library call and the library call itself, on `img` (a fresh copy
// of the noise image) and `aux` (a second image where the call needs one). `Setup` is not timed.
void LibrarySetup(TfZorvTile& w, int index, TFastDIB& img, TFastDIB& aux) {
    switch (index) {
    case 43:
        aux.SetSize(img.Width, img.Height, 24, 0);
        break;
    case 48:
        fGradient->zGrad->resize(img.Width, img.Height);
        break;
    default:
        // The source the command reads (its frame's picture), where it writes a new one.
        if (ReadsSource(index)) CopyDIB(img, aux);
        break;
    }
}

void LibraryCall(TfZorvTile& w, int index, TFastDIB& img, TFastDIB& aux) {
    const int V = w.Val(index);
    const TColor pen = w.ToolBoxPenColor(), brush = w.ToolBoxBrushColor();
    const TEffectContext c = w.EffectContext();
    const TFastDIB& src = aux;
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12: {
        const TFixedKernel& k = FixedKernel(index);
        Convolve3x3(k.Weights, k.Divisor, src, img);
        break;
    }
    case 6:
        ClassicEmboss(src, img, V);
        break;
    case 13:
        SeamlessGaussianBlur(src, V, w.buf, img);
        break;
    case 14: {
        std::array<int, 9> kernel{};
        const auto edits = fFilter->Kernel();
        for (std::size_t i = 0; i < 9; ++i) kernel[i] = edits[i]->text().toInt();
        Convolve3x3(kernel, static_cast<std::uint16_t>(fFilter->eDiv->text().toInt()), src, img);
        break;
    }
    case 15:
        SineWaveUD(src, img, V, c.Wrap, c.Peaks ? w.UDPeakVal : w.UDWavVal, c.Peaks);
        break;
    case 16:
        SineWaveLR(src, img, V, c.Wrap, c.Peaks ? w.LRPeakVal : w.LRWavVal, c.Peaks);
        break;
    case 17:
        SineWaveBoth(src, img, w.Val(15), w.Val(16), w.UDPeakVal, w.LRPeakVal);
        break;
    case 18:
        TwistFX(src, img, V);
        break;
    case 19:
        FishEye(src, img, w.FishVal);
        break;
    case 20:
        CircularFX(src, img);
        break;
    case 21:
        AstroidFX(img, V);
        break;
    case 22:
        ConcentricRectsFX(img, V);
        break;
    case 23:
        MosaicFX(img, V);
        break;
    case 24:
        CircleMosaicFX(img, V);
        break;
    case 25:
        AddNoise(img, static_cast<std::uint8_t>(V & 255), false);
        break;
    case 26:
        SprayPixels(src, img, V);
        break;
    case 27:
        SwizzleFX(img, V);
        break;
    case 28:
        MapTextureFX(img, fTexture->Texture, static_cast<float>(V / 10.0));
        break;
    case 29:
        MarbleFX(img, V, w.TurbVal, w.ScaleVal);
        break;
    case 30:
        ColorRotateFX(src, img, V);
        break;
    case 31:
        NegativeFX(src, img);
        break;
    case 32:
        BrightenFX(src, img);
        break;
    case 33:
        LightenFX(src, img, MakeLiteRay());
        break;
    case 34:
        TintImage(src, img, GetRValue(w.TintColor), GetGValue(w.TintColor), GetBValue(w.TintColor));
        break;
    case 35:
        GrayScale24(src, img);
        break;
    case 36:
        EraseToBlackFX(img);
        break;
    case 37:
        ExchangeColorFX(src, img, pen, brush, static_cast<std::uint16_t>(V));
        break;
    case 38:
        ResizeFastFX(img, aux, ResizedWidth(img.Width), ResizedHeight(img.Height));
        break;
    case 39:
        ResizeBilinear(img, ResizedWidth(img.Width), ResizedHeight(img.Height), false);
        break;
    case 40:
        Rotate90(img);
        break;
    case 41:
        MirrorLR(src, img);
        break;
    case 42:
        MirrorUD(src, img);
        break;
    case 43:
        RotateWrap(img, aux, img.Width / 2, img.Height / 2, V);
        break;
    case 44:
        RotateSeamlessFX(img);
        break;
    case 45:
        break; // nothing runs
    case 46:
        CycloidMosaicFX(img, V);
        break;
    case 47:
        GradientBarsFX(img, fGradient->zGrad->BeginColor(), fGradient->zGrad->EndColor(), V);
        break;
    case 48: {
        const TZorvGradient& g = *fGradient->zGrad;
        TGradientSettings s;
        s.BeginColor = g.BeginColor();
        s.EndColor = g.EndColor();
        s.GradientStyle = g.GradientStyle();
        s.Steps = g.Steps();
        s.Ctl3D = g.Ctl3D();
        s.StartAngle = g.StartAngle();
        aux.SetSize(img.Width, img.Height, 24, 0);
        PaintGradient(aux, s);
        break;
    }
    case 49:
        MergeStretched(src, fGradient->zGrad->bm(), V, img);
        break;
    case 50:
        MergeImagesFX(src, img, w.bufr, V);
        break;
    case 51:
        Buttonize(src, img, pen, brush, V);
        break;
    case 52:
        PlasmaCloudFX(img, V);
        break;
    case 53:
        StretchBlurFX(img, &w.bufr, V, w.UDSBlurBuf, w.SBlurReps);
        break;
    case 54:
        StretchBlurFX(img, nullptr, V, w.UDSBlurSelf, w.SBlurReps);
        break;
    case 55:
        WaterDisplace(w.UDWatBuf, V, w.bufr, img);
        break;
    case 56:
        WaterDisplace(w.UDWatSelf, V, img, img);
        break;
    case 57:
        SuperNova(img, aux, GetBValue(pen), GetGValue(pen), GetRValue(pen), w.NovaXVal, w.NovaYVal, V,
                  w.NovaSpokVal, w.NovaHueVal);
        break;
    case 58:
        HeightMap(img, aux, w.HytDpVal, V, w.HytElVal, w.HytBmVal ? 0 : 1);
        break;
    case 59:
        SplitBlur(img, V);
        break;
    case 60:
        for (int d = V; d >= 0; --d) SplitBlur(img, d);
        break;
    case 61:
        TraceEdges(src, img, V, w.TrUseVal ? pen : 0);
        break;
    case 62:
        RippleTooth(src, img, V);
        break;
    case 63:
        SeamlessEdge(img, V);
        break;
    case 64:
        RadialWaves(img, V, w.WvLenVal, static_cast<float>(w.WvPhsVal), w.WvRflVal);
        break;
    case 65:
        WhirlPinch(img, V, w.WhPchVal, w.WhRadVal);
        break;
    default:
        break;
    }
}

void Command(benchmark::State& st, int index, int n) {
    TfZorvTile& w = *fZorvTile;
    Prepare(w, index, n);
    // The undo ring as after a session's first commands at this size: every slot used, so a command
    // recycles the memory of the snapshot it drops (a session's first commands also fault in the
    // memory of their new snapshots: the undo levels' cost, not the command's).
    for (int i = 0; i < w.Ring.Levels(); ++i) w.Ring.CopyUnDo(Noise(n));
    bool ran = true;
    CopyDIB(Noise(n), w.z);
    w.SetToIm(w.z);
    for (auto _ : st) {
        if (ChangesImage(index)) {
            st.PauseTiming();
            CopyDIB(Noise(n), w.z);
            w.SetToIm(w.z);
            st.ResumeTiming();
        }
        ran = w.EffectAllowed(index) && w.RunEffect(index);
        benchmark::ClobberMemory();
    }
    if (!ran) st.SetLabel("did not run");
}

void Library(benchmark::State& st, int index, int n) {
    TfZorvTile& w = *fZorvTile;
    Prepare(w, index, n);
    TFastDIB img, aux;
    CopyDIB(Noise(n), img);
    for (auto _ : st) {
        if (ChangesImage(index)) {
            st.PauseTiming();
            CopyDIB(Noise(n), img);
            LibrarySetup(w, index, img, aux);
            st.ResumeTiming();
        }
        LibraryCall(w, index, img, aux);
        benchmark::ClobberMemory();
    }
}

// Undo of a 16384 x 16384 picture as the UnDo button does it: the snapshot popped into the image and
// the image shown. The push before it is timed apart.
void UndoHuge(benchmark::State& st, bool push) {
    TfZorvTile& w = *fZorvTile;
    constexpr int n = 16384;
    w.Ring.Reset(w.Ring.Levels());
    w.z.SetSize(n, n, 24, 0);
    // Every row written, as in a picture that was opened or made.
    for (int y = 0; y < n; ++y) std::memset(w.z.Scanlines[y], y & 255, static_cast<std::size_t>(3) * n);
    w.SetToIm(w.z);
    for (auto _ : st) {
        if (push) {
            w.CopyUnDo();
            st.PauseTiming();
            w.DoUnDo();
            st.ResumeTiming();
        } else {
            st.PauseTiming();
            w.CopyUnDo();
            st.ResumeTiming();
            w.bUndoClick();
        }
        benchmark::ClobberMemory();
    }
    w.Ring.Reset(w.Ring.Levels());
    CopyDIB(Noise(512), w.z);
    w.SetToIm(w.z);
}

// What every command adds for its display, on the 4096 x 4096 noise image with the window shown (the
// frame's copy and the undo snapshot are timed in bench_app, BM_Frame*).
void DisplayBig(benchmark::State& st) {
    TfZorvTile& w = *fZorvTile;
    CopyDIB(Noise(4096), w.z);
    for (auto _ : st) {
        w.SetToIm(w.z);
        benchmark::ClobberMemory();
    }
}

// Prints the runs as the console does and, at the end, the command-to-library ratio of every effect.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            std::string name = r.benchmark_name();
            // The name without Google Benchmark's suffixes (effect names hold slashes of their own).
            for (const char* tail : {"/min_warmup_time", "/real_time"}) {
                const std::size_t suffix = name.find(tail);
                if (suffix != std::string::npos) name.erase(suffix);
            }
            Times[name].push_back(r.GetAdjustedRealTime());
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCommand / library call (real time, ms, the median of the repetitions; %d threads):\n",
                    ParallelThreads());
        std::printf("%-34s %6s %10s %10s %7s\n", "effect", "size", "command", "library", "ratio");
        for (const int n : Sizes)
            for (int i = 0; i < EffectCount; ++i) {
                const std::string name =
                    std::to_string(i) + " " + EffectCatalogue[static_cast<std::size_t>(i)].Name;
                const std::string size = std::to_string(n);
                const auto c = Times.find("Command" + size + "/" + name);
                const auto l = Times.find("Library" + size + "/" + name);
                if (c == Times.end() || l == Times.end()) continue;
                const double cm = Median(c->second), lm = Median(l->second);
                std::printf("%-34s %6d %10.3f %10.3f %7.2f%s\n", name.c_str(), n, cm, lm,
                            lm > 0 ? cm / lm : 0.0, lm > 0 && cm / lm > 1.2 ? "  over 1.2" : "");
            }
        std::fflush(stdout);
    }

    std::vector<int> Sizes;

private:
    // The median of a run's repetitions: routines that allocate large pictures vary a lot from run to
    // run with the kernel's supply of fresh memory.
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    std::map<std::string, std::vector<double>> Times;
};

// Takes --name=value out of argv; returns the value, or "" when absent.
std::string TakeOption(int& argc, char** argv, const char* name) {
    const std::string prefix = std::string("--") + name + "=";
    std::string value;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            value = argv[i] + prefix.size();
        else
            argv[out++] = argv[i];
    }
    argc = out;
    return value;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const std::string threads = TakeOption(argc, argv, "threads");
    std::string sizeList = TakeOption(argc, argv, "sizes");
    if (sizeList.empty()) sizeList = "512,4096";
    std::vector<int> sizes;
    for (std::size_t at = 0; at < sizeList.size();) {
        const std::size_t comma = sizeList.find(',', at);
        const int n = std::atoi(sizeList.substr(at, comma - at).c_str());
        if (n > 1) sizes.push_back(n);
        at = comma == std::string::npos ? sizeList.size() : comma + 1;
    }
    SetParallelThreads(threads.empty() ? 0 : std::atoi(threads.c_str()));

    char tmpl[] = "/tmp/mozaro-bench-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) return 1;
    const std::string home = dir;
    for (const char* sub : {"/config", "/data", "/Documents", "/ini"}) fs::create_directories(home + sub);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qargc = 1;
    char* qargv[] = {argv[0], nullptr};
    QApplication app(qargc, qargv);
    Registry::WriteString("Software\\ZorvWare\\ZorvTile", "INILocation",
                          QString::fromStdString(home + "/ini"));
    SetMessageHook([](const QString&, TMsgDlgType, int) { return int(mrOk); });
    TfTexture::SetExecuteHook([](TfTexture&) { return int(mrOk); });
    TfrmSizer::SetExecuteHook([](TfrmSizer& s) {
        s.Wide = ResizedWidth(fZorvTile->z.Width);
        s.High = ResizedHeight(fZorvTile->z.Height);
        return int(mrOk);
    });
    TfFilter::SetExecuteHook([](TfFilter&) { return int(mrOk); });
    TfGradient::SetExecuteHook([](TfGradient&) { return int(mrOk); });
    TfZorvTile::SetColorDialogHook([](TColor) { return std::optional<TColor>(0x40C0FF); });
    {
        TApplicationForms forms;
        forms.CreateForms(QString());
        fZorvTile->PasteBuffertoImage1->setEnabled(true);
        // Shown, so that every command pays for painting what the window shows of the picture.
        fZorvTile->show();
        QApplication::processEvents();
        for (const int n : sizes)
            for (int i = 0; i < EffectCount; ++i) {
                const std::string name = std::to_string(n) + "/" + std::to_string(i) + " " +
                                         EffectCatalogue[static_cast<std::size_t>(i)].Name;
                // A warm-up first: a routine's first run in the process also pays for fresh memory
                // that later runs get back from the allocator.
                benchmark::RegisterBenchmark(("Command" + name).c_str(), Command, i, n)
                    ->Unit(benchmark::kMillisecond)
                    ->MinWarmUpTime(0.2)
                    ->UseRealTime();
                benchmark::RegisterBenchmark(("Library" + name).c_str(), Library, i, n)
                    ->Unit(benchmark::kMillisecond)
                    ->MinWarmUpTime(0.2)
                    ->UseRealTime();
            }
        benchmark::RegisterBenchmark("Display4096", DisplayBig)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark("UndoPush16384", UndoHuge, true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("UndoPop16384", UndoHuge, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::Initialize(&argc, argv);
        TRatioReporter reporter;
        reporter.Sizes = sizes;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        forms.DestroyForms();
    }
    SetMessageHook({});
    std::error_code ec;
    fs::remove_all(home, ec);
    return 0;
}
