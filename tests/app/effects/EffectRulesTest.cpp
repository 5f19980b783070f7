// Apply's checks and stores, the guards, the log line of every effect and the tool box panel of every
// effect, without a window.

#include "app/effects/EffectRules.h"
#include "app/effects/EffectCatalogue.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

namespace {

TEffectParams Defaults() {
    TEffectParams p;
    p.SetEffectDefaults();
    return p;
}

TToolBoxInputs Inputs(const char* main, const char* second = "64", const char* peaks2 = "3",
                      const char* height2 = "64", const char* ypos = "24") {
    TToolBoxInputs in;
    in.eAmtMain = main;
    in.eAmtSecond = second;
    in.ePeaks2 = peaks2;
    in.eHeight2 = height2;
    in.eYPos = ypos;
    in.ePenSize = "2";
    return in;
}

} // namespace

TEST(ApplyChecks, EmptyAndNonNumericFieldsWhateverTheEffect) {
    struct Case {
        std::function<void(TToolBoxInputs&)> Edit;
        bool Empty, NotNumeric;
    };
    const Case cases[] = {
        {[](TToolBoxInputs&) {}, false, false},
        {[](TToolBoxInputs& in) { in.ePenSize = ""; }, true, true},
        {[](TToolBoxInputs& in) { in.eYPos = ""; }, true, true},
        {[](TToolBoxInputs& in) { in.ePeaks2 = "x"; }, false, true},
        {[](TToolBoxInputs& in) { in.eHeight2 = "2.5"; }, false, false},
        {[](TToolBoxInputs& in) { in.eAmtMain = "1e2"; }, false, false},
        {[](TToolBoxInputs& in) { in.eAmtSecond = "nan"; }, false, true},
        {[](TToolBoxInputs& in) { in.eAmtMain = " "; }, false, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TToolBoxInputs in = Inputs("250");
        cases[i].Edit(in);
        EXPECT_EQ(AnyAmountEmpty(in), cases[i].Empty) << i;
        EXPECT_EQ(AnyAmountNotNumeric(in), cases[i].NotNumeric) << i;
    }
}

TEST(ApplyStores, WhatEachEffectReads) {
    struct Case {
        int Index;
        TToolBoxInputs In;
        std::function<void(const TEffectParams&, const TToolBoxInputs&)> Check;
    };
    TToolBoxInputs peaksOff = Inputs("12.5", "40");
    peaksOff.ckbxPeaks = false;
    TToolBoxInputs bump = Inputs("45", "30", "7");
    bump.cbBump = false;
    TToolBoxInputs trace = Inputs("3");
    trace.cbBump = true;
    trace.Pen = 0x123456;
    const Case cases[] = {
        {6, Inputs("17"), [](auto& p, auto&) { EXPECT_EQ(p.Val(6), 17); }},
        {13, Inputs("7"),
         [](auto& p, auto& in) {
             EXPECT_EQ(p.Val(13), 1);
             EXPECT_EQ(in.eAmtMain, "1");
         }},
        {13, Inputs("5"),
         [](auto& p, auto& in) {
             EXPECT_EQ(p.Val(13), 5);
             EXPECT_EQ(in.eAmtMain, "5");
         }},
        {13, Inputs("-3"), [](auto& p, auto&) { EXPECT_EQ(p.Val(13), -3); }},
        {15, Inputs("4.5", "33"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(15), 33);
             EXPECT_EQ(p.UDPeakVal, 4.5f);
             EXPECT_EQ(p.UDWavVal, 32.0f);
         }},
        {16, peaksOff,
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(16), 40);
             EXPECT_EQ(p.LRWavVal, 12.5f);
             EXPECT_EQ(p.LRPeakVal, 2.0f);
         }},
        {17, Inputs("1.5", "11", "2.5", "22"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.UDPeakVal, 1.5f);
             EXPECT_EQ(p.Val(15), 11);
             EXPECT_EQ(p.LRPeakVal, 2.5f);
             EXPECT_EQ(p.Val(16), 22);
             EXPECT_EQ(p.Val(17), 0);
         }},
        {19, Inputs("1.25"), [](auto& p, auto&) { EXPECT_EQ(p.FishVal, 1.25f); }},
        {21, Inputs("4"), [](auto& p, auto&) { EXPECT_EQ(p.Val(21), 5); }},
        {21, Inputs("12"), [](auto& p, auto&) { EXPECT_EQ(p.Val(21), 9); }},
        {21, Inputs("0"), [](auto& p, auto&) { EXPECT_EQ(p.Val(21), 1); }},
        {29, Inputs("300", "1.5", "60"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(29), 300);
             EXPECT_EQ(p.ScaleVal, 1.5f);
             EXPECT_EQ(p.TurbVal, 60);
         }},
        {53, Inputs("5", "6", "7"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(53), 6);
             EXPECT_EQ(p.UDSBlurBuf, 5);
             EXPECT_EQ(p.SBlurReps, 7);
             EXPECT_EQ(p.UDSBlurSelf, 1);
         }},
        {56, Inputs("-5", "6"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(56), 6);
             EXPECT_EQ(p.UDWatSelf, -5);
         }},
        {57, Inputs("10", "20", "30", "40", "50"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(57), 10);
             EXPECT_EQ(p.NovaSpokVal, 20);
             EXPECT_EQ(p.NovaHueVal, 30);
             EXPECT_EQ(p.NovaXVal, 40);
             EXPECT_EQ(p.NovaYVal, 50);
         }},
        {58, bump,
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(58), 45);
             EXPECT_EQ(p.HytElVal, 30);
             EXPECT_EQ(p.HytDpVal, 7);
             EXPECT_FALSE(p.HytBmVal);
         }},
        {61, trace,
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(61), 3);
             EXPECT_EQ(p.TrColVal, 0x123456u);
             EXPECT_TRUE(p.TrUseVal);
         }},
        {64, Inputs("12", "9", "8"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(64), 12);
             EXPECT_EQ(p.WvLenVal, 9);
             EXPECT_EQ(p.WvPhsVal, 8.0);
             EXPECT_FALSE(p.WvRflVal);
         }},
        {65, Inputs("90", "3", "-2"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.Val(65), 90);
             EXPECT_EQ(p.WhPchVal, 1.0f);
             EXPECT_EQ(p.WhRadVal, 0.0f);
         }},
        {65, Inputs("90", "-7", "1.5"),
         [](auto& p, auto&) {
             EXPECT_EQ(p.WhPchVal, -1.0f);
             EXPECT_EQ(p.WhRadVal, 1.5f);
         }},
        {31, Inputs("x"), [](auto& p, auto&) { EXPECT_EQ(p.EffectVals, Defaults().EffectVals); }},
        {45, Inputs("8"), [](auto& p, auto&) { EXPECT_EQ(p.Val(45), 8); }},
    };
    for (const Case& c : cases) {
        TEffectParams p = Defaults();
        TToolBoxInputs in = c.In;
        ApplyStores(c.Index, in, p);
        c.Check(p, in);
        if (::testing::Test::HasFailure()) ADD_FAILURE() << "effect " << c.Index;
    }
}

TEST(ApplyStores, AFailedConversionKeepsWhatWasStoredBefore) {
    struct Case {
        int Index;
        TToolBoxInputs In;
        std::function<void(const TEffectParams&)> Check;
    };
    const Case cases[] = {
        // Waves: amplitude and wave length stored, the phase 2.5 fails.
        {64, Inputs("12", "9", "2.5"),
         [](auto& p) {
             EXPECT_EQ(p.Val(64), 12);
             EXPECT_EQ(p.WvLenVal, 9);
             EXPECT_EQ(p.WvPhsVal, 8.0);
         }},
        // SuperNova: the first three stored, X fails, Y untouched.
        {57, Inputs("10", "20", "30", "4.5", "50"),
         [](auto& p) {
             EXPECT_EQ(p.Val(57), 10);
             EXPECT_EQ(p.NovaHueVal, 30);
             EXPECT_EQ(p.NovaXVal, 24);
             EXPECT_EQ(p.NovaYVal, 36);
         }},
        // Gaussian Blur: 2.5 is no integer, so nothing is rewritten or stored.
        {13, Inputs("2.5"), [](auto& p) { EXPECT_EQ(p.Val(13), 2); }},
        // A Single that overflows after narrowing is refused.
        {19, Inputs("1e39"), [](auto& p) { EXPECT_EQ(p.FishVal, 0.75f); }},
        // An integer beyond 32 bits is refused.
        {18, Inputs("4294967296"), [](auto& p) { EXPECT_EQ(p.Val(18), 100); }},
    };
    for (const Case& c : cases) {
        TEffectParams p = Defaults();
        TToolBoxInputs in = c.In;
        EXPECT_THROW(ApplyStores(c.Index, in, p), std::runtime_error) << c.Index;
        c.Check(p);
    }
}

TEST(EffectGuard, RefusesWhatTheArithmeticCannotTakeAndPassesTheRest) {
    struct Case {
        int Index;
        std::function<void(TEffectParams&, TEffectContext&)> Set;
        bool Refused;
    };
    const auto val = [](int i, int v) { return [i, v](TEffectParams& p, TEffectContext&) { p.Val(i) = v; }; };
    const Case cases[] = {
        {13, val(13, -1), true},
        {13, val(13, 0), false},
        {13, val(13, 99), false},
        {18, val(18, 0), true},
        {18, val(18, -3), false},
        {19, [](auto& p, auto&) { p.FishVal = 0; }, true},
        {19, [](auto& p, auto&) { p.FishVal = -0.5f; }, true},
        {19, [](auto& p, auto&) { p.FishVal = 0.01f; }, false},
        {21, val(21, 0), true},
        {21, val(21, 1), false},
        {22, val(22, 0), true},
        {23, val(23, 0), true},
        {23, val(23, 1), false},
        {24, val(24, -2), true},
        {26, val(26, -1), true},
        {26, val(26, 0), false},
        {29, [](auto& p, auto&) { p.TurbVal = 0; }, true},
        {47, val(47, 0), true},
        {49, val(49, 101), true},
        {49, val(49, 100), false},
        {50, val(50, -1), true},
        {57, val(57, 0), true},
        {57, [](auto& p, auto&) { p.NovaSpokVal = 0; }, true},
        {57, val(57, -5), false},
        {58, [](auto& p, auto&) { p.HytDpVal = 65536; }, true},
        {58, [](auto& p, auto&) { p.HytDpVal = 0; }, true},
        {58, [](auto& p, auto&) { p.HytDpVal = 65537; }, false},
        {63, val(63, 1), true},
        {63, val(63, 2), false},
        {64, [](auto& p, auto&) { p.WvLenVal = 0; }, true},
        {15, [](auto& p, auto&) { p.UDPeakVal = 0; }, true},
        {15,
         [](auto& p, auto& c) {
             p.UDPeakVal = 0;
             c.Peaks = false;
         },
         false},
        {16,
         [](auto& p, auto& c) {
             p.LRWavVal = 0;
             c.Peaks = false;
         },
         true},
        {15,
         [](auto& p, auto& c) {
             p.Val(15) = -4;
             c.Wrap = false;
         },
         true},
        {15, [](auto& p, auto&) { p.Val(15) = -4; }, false},
        {17, [](auto& p, auto&) { p.LRPeakVal = 0; }, true},
    };
    for (const Case& c : cases) {
        TEffectParams p = Defaults();
        TEffectContext ctx;
        c.Set(p, ctx);
        const auto r = EffectGuard(c.Index, p, ctx);
        EXPECT_EQ(r.has_value(), c.Refused) << c.Index;
    }
    // Every effect passes with its defaults; refusals name the allowed range.
    const TEffectParams d = Defaults();
    for (int i = 0; i < 66; ++i) EXPECT_FALSE(EffectGuard(i, d, TEffectContext{}).has_value()) << i;
    TEffectParams p = Defaults();
    p.Val(18) = 0;
    EXPECT_EQ(*EffectGuard(18, p, {}), "Twist: the Looseness must not be 0 (Range: 1 - 500).");
}

TEST(EffectLogLine, EveryEffectWithItsDefaults) {
    const TEffectParams p = Defaults();
    TEffectContext c; // pen black, brush white, peaks and wrap ticked
    c.MapBuf = "Use Buffer";
    c.TintColor = 0x0080FF;
    c.GradWide = "512";
    c.GradHigh = "256";
    c.GradStyle = "VertCenter";
    c.GradBegin = 0x800000;
    c.GradEnd = 0xFFFF00;
    c.GradAngle = "0";
    const std::map<int, QString> texts{
        {6, ", Lightness 250"},
        {13, ", Blurriness 2"},
        {15, ", Peaks 3, Height 50, Wrap = True"},
        {16, ", Peaks 2, Height 64, Wrap = True"},
        {17, ", U/D Peaks 3, U/D Height 50, L/R Peaks 2, L/R Height 64"},
        {18, ", Looseness 100"},
        {19, ", Magnification 0.75"},
        {21, ", Thickness 5"},
        {22, ", Size Difference 25"},
        {23, ", Size of Cell 3"},
        {24, ", Size of Circle 6"},
        {25, ", Noisiness 50"},
        {26, ", Scatterosity 15"},
        {27, ", SwizzleWidth 64"},
        {28, ", Brightness 18, Use Buffer"},
        {29, ", Graininess 700, Scale 2, Turbulence 120"},
        {30, ", Bits 8"},
        {34, ", Color R: 255 G: 128 B: 0"},
        {37, ", Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255"},
        {43, ", Angle 45"},
        {46, ", Size of Cell 3"},
        {47, ", Number of Bars 3"},
        {48,
         ", Width 512, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To Color R: 0 G: 255 "
         "B: 255, Angle 0"},
        {49, ", % of Gradient 50"},
        {50, ", % of Buffer 50"},
        {51, ", Edge Size 20, Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255"},
        {52, ", Graininess 700"},
        {53, ", Left/Right 1, Up/Down 1, Repetitions 32"},
        {54, ", Left/Right -1, Up/Down 1, Repetitions 32"},
        {55, ", Left/Right 64, Up/Down 100"},
        {56, ", Left/Right 128, Up/Down -128"},
        {57, ", Colors: R: 0 G: 0 B: 0, Radius 32, Spokes 64, Hue 32, X Pos: 24, Y Pos: 36"},
        {58, ", Azimuth 32, Elevation 20, Depth 16, BumpMap True"},
        {59, ", Amount 4"},
        {60, ", Amount 3"},
        {61, ", Intensity 1, Color: R: 0 G: 0 B: 0"},
        {62, ", Amount 16"},
        {63, ", Amount 16"},
        {64, ", Amplitude 24, Wave Length 10, Phase 8, Reflective False"},
        {65, ", Angle 270, Pinch 0.50, Radius 1.00"},
    };
    for (int i = 0; i < 66; ++i) {
        const QString name = EffectCatalogue[static_cast<std::size_t>(i)].Name;
        const auto line = EffectLogLine(i, name, p, c);
        if (i == 45) {
            EXPECT_FALSE(line.has_value());
            continue;
        }
        ASSERT_TRUE(line.has_value()) << i;
        EXPECT_EQ(*line, name + (texts.count(i) ? texts.at(i) : QString())) << i;
    }
    EXPECT_EQ(*EffectLogLine(-1, "", p, c), "");
}

TEST(EffectLogLine, TheStatesAndValuesTheTextsFollow) {
    TEffectParams p = Defaults();
    TEffectContext c;
    c.Peaks = false;
    c.Wrap = false;
    EXPECT_EQ(*EffectLogLine(15, "SineWave U/D", p, c),
              "SineWave U/D, WaveLength 32, Height 50, Wrap = False");
    p.UDPeakVal = 0.1f;
    c.Peaks = true;
    EXPECT_EQ(*EffectLogLine(15, "SineWave U/D", p, c),
              "SineWave U/D, Peaks 0.100000001490116, Height 50, Wrap = False");
    c.Pen = RGBColor(255, 0, 0);
    p.TrUseVal = true;
    EXPECT_EQ(*EffectLogLine(61, "Trace", p, c), "Trace, Intensity 1, Color: R: 255 G: 0 B: 0");
    p.WvPhsVal = 2.5; // the whole number nearest, halves to even
    EXPECT_EQ(*EffectLogLine(64, "Waves", p, c),
              "Waves, Amplitude 24, Wave Length 10, Phase 2, Reflective False");
    EXPECT_EQ(*EffectLogLine(19, "FishEye", p, c), "FishEye, Magnification 0.75");
}

TEST(EffectPanel, EveryEffectIndex) {
    TEffectParams p = Defaults();
    // index: help | main label=value | second | peaks2 | height2 | extras (P peaks/wrap, B bump, S scroll, H
    // hint, Y ypos)
    struct Row {
        int Index;
        const char* Help;
        const char* Main;
        const char* Second;
        const char* Peaks2;
        const char* Height2;
        const char* Extras;
    };
    const Row rows[] = {
        {-1, "Choose an effect...", "", "", "", "", ""},
        {6, "Range: 1 - 510", "Lightness=250", "", "", "", ""},
        {13, "Range: 1 - 5", "Blurriness=2", "", "", "", ""},
        {15, "Range: 1 - Height", "Peaks=3", "Height=50", "", "", "P"},
        {16, "Range: 1 - Width", "Peaks=2", "Height=64", "", "", "P"},
        {17, "", "Peaks U/D=3", "Height=50", "Peaks L/R=2", "Height=64", ""},
        {18, "Range: 1 - 500", "Looseness=100", "", "", "", ""},
        {19, "Range: 0.01 - 5.00", "Magnification=0.75", "", "", "", ""},
        {21, "Range: 1 - 9 (Odd)", "Thickness=5", "", "", "", ""},
        {22, "Range: 1 - 100", "Size Difference=25", "", "", "", ""},
        {23, "Range: 2 - 30", "Size of Cell=3", "", "", "", ""},
        {24, "Range: 4 - 40", "Size of Circle=6", "", "", "", ""},
        {25, "Range: 1 - 500", "Noisiness=50", "", "", "", ""},
        {26, "Range: 1 - 250", "Scatterosity=15", "", "", "", ""},
        {27, "Range: 1 - 200", "SwizzleWidth=64", "", "", "", ""},
        {28, "Range: 10 - 30", "Brightness=18", "", "", "", ""},
        {29, "Marble Ctls", "Graininess=700", "Scale=2", "Turbulence=120", "", ""},
        {30, "Range: 1 - 8", "Bits to Rotate=8", "", "", "", ""},
        {37, "Exchg Pen < Brush", "Tolerance Amt=25", "", "", "", ""},
        {43, "Range: 1 - 359", "Angle=45", "", "", "", ""},
        {45, "Range: 1 - Width", "Scroll Amt=64", "", "", "", "S"},
        {46, "Range: 3 - 30", "Size of Cell=3", "", "", "", ""},
        {47, "Range: 1 - 50", "Number of Bars=3", "", "", "", ""},
        {49, "Range: 1 - 99", "% of Gradient=50", "", "", "", ""},
        {50, "Range: 1 - 99", "% of Buffer=50", "", "", "", ""},
        {51, "Range: 1 - 45", "Edge Size=20", "", "", "", "H"},
        {52, "Lower = Smoother", "Graininess=700", "", "", "", ""},
        {53, "-Width/Hgt to Width/Hgt", "U/D Amount=1", "L/R Amount=1", "Repetitions=32", "", ""},
        {54, "-Width/Hgt to Width/Hgt", "U/D Amount=1", "L/R Amount=-1", "Repetitions=32", "", ""},
        {55, "-Width/Hgt to Width/Hgt", "U/D Amount=100", "L/R Amount=64", "", "", ""},
        {56, "-Width/Hgt to Width/Hgt", "U/D Amount=-128", "L/R Amount=128", "", "", ""},
        {57, "Hue 0 - 360", "Radius=32", "Spokes=64", "Random Hue=32", "X Pos=24", "Y"},
        {58, "Azimuth is Angle", "Azimuth=32", "Elevation=20", "Depth=16", "", "B:Bump Map:1"},
        {59, "Split offset", "Split Amount=4", "", "", "", ""},
        {60, "Bluriness", "Blur Amount=3", "", "", "", ""},
        {61, "Default is Black", "Intensity=1", "", "", "", "B:Use Pen Color:0"},
        {62, "Width of Ripple", "Amount=16", "", "", "", ""},
        {63, "Width of Seam", "Amount=16", "", "", "", ""},
        {64, "Phase is Shift Point", "Amplitude=24", "Wave Length=10", "Phase=8", "", "B:Reflective:0"},
        {65, "Angle is Amount of Effect", "Angle=270", "Pinch (-1 to 1)=0.50", "Radius (0 to 2)=1.00", "",
         ""},
    };
    const auto text = [](const TPanelEdit& e) { return e.Visible ? e.Label + "=" + e.Text : QString(); };
    std::set<int> listed;
    for (const Row& r : rows) {
        listed.insert(r.Index);
        const TEffectPanel panel = EffectPanel(r.Index, p, true);
        EXPECT_EQ(panel.Help, r.Help) << r.Index;
        EXPECT_EQ(text(panel.Main), r.Main) << r.Index;
        EXPECT_EQ(text(panel.Second), r.Second) << r.Index;
        EXPECT_EQ(text(panel.Peaks2), r.Peaks2) << r.Index;
        EXPECT_EQ(text(panel.Height2), r.Height2) << r.Index;
        const QString extras = r.Extras;
        EXPECT_EQ(panel.PeaksWrap, extras == "P") << r.Index;
        EXPECT_EQ(panel.ScrollBars, extras == "S") << r.Index;
        EXPECT_EQ(panel.ButtonHint, extras == "H") << r.Index;
        EXPECT_EQ(panel.YPos.Visible, extras == "Y") << r.Index;
        EXPECT_EQ(text(panel.YPos), extras == "Y" ? "Y Pos=36" : "") << r.Index;
        EXPECT_EQ(panel.Bump, extras.startsWith("B")) << r.Index;
        if (panel.Bump) {
            EXPECT_EQ("B:" + panel.BumpCaption + ":" + (panel.BumpChecked ? "1" : "0"), extras) << r.Index;
        }
        EXPECT_EQ(panel.Default, r.Index >= 0) << r.Index;
    }
    // Every other index, and indices outside the catalogue, have no settings.
    for (int i = -3; i < 70; ++i) {
        if (listed.count(i)) continue;
        const TEffectPanel panel = EffectPanel(i, p, true);
        EXPECT_EQ(panel.Help, "No User Settings") << i;
        EXPECT_FALSE(panel.Main.Visible || panel.Second.Visible || panel.Default || panel.Bump) << i;
    }
    // Unticking Use Peaks shows the wave length.
    EXPECT_EQ(text(EffectPanel(15, p, false).Main), "Wavelength=32");
    EXPECT_EQ(text(EffectPanel(16, p, false).Main), "Wavelength=17");
}
