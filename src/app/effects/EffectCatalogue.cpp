#include "app/effects/EffectCatalogue.h"

#include <algorithm>

namespace {

using O = THandlerOrder;

} // namespace

// clang-format off
const std::array<TEffectInfo, 66> EffectCatalogue = {{
    {"Soften More", "Filters", "SoftenMore1", "Soften More", "Soften More", "Ctrl-Alt-Y", "Ctrl+Alt+Y", O::Filter, false},
    {"Soften Less", "Filters", "SoftenLess1", "Soften Less", "Soften Less", "Ctrl-Y", "Ctrl+Y", O::Filter, false},
    {"Edge Enhance More", "Filters", "EdgeEnhanceMore1", "Edge Enhance More", "Edge Enhance More", "Ctrl-Alt-A", "Ctrl+Alt+A", O::Filter, false},
    {"Edge Enhance Less", "Filters", "EdgeEnhanceLess1", "Edge Enhance Less", "Edge Enhance Less", "Ctrl-Alt-B", "Ctrl+Alt+B", O::Filter, false},
    {"Edge Emboss More", "Filters", "EdgeEmbossMore1", "Edge Emboss More", "Edge Emboss More", "Ctrl-Alt-C", "Ctrl+Alt+C", O::Filter, false},
    {"Edge Emboss Less", "Filters", "EdgeEmbossLess1", "Edge Emboss Less", "Edge Emboss Less", "Ctrl-Alt-D", "Ctrl+Alt+D", O::Filter, false},
    {"Classic Emboss", "Filters", "ClassicEmboss1", "Classic Emboss", "Classic Emboss", "Ctrl-Alt-E", "Ctrl+Alt+E", O::ClassicEmboss, true},
    {"Hi Pass", "Filters", "HiPass1", "HiPass", "HiPass", "Ctrl-I", "Ctrl+I", O::Filter, false},
    {"Sharpen", "Filters", "Sharpen1", "Sharpen", "Sharpen", "Ctrl-S", "Ctrl+S", O::Filter, false},
    {"Laplace", "Filters", "Laplace1", "Laplace", "Laplace", "Ctrl-P", "Ctrl+P", O::Filter, false},
    {"Blur", "Filters", "Blur1", "Blur", "Blur", "Ctrl-Alt-H", "Ctrl+Alt+H", O::Filter, false},
    {"Find Edges", "Filters", "FindEdges1", "Find Edges", "Find Edges", "Ctrl-Alt-F", "Ctrl+Alt+F", O::Filter, false},
    {"Gaussian Soft", "Filters", "GaussianSoft1", "Gaussian Soft", "Gaussian Soft", "Ctrl-Alt-G", "Ctrl+Alt+G", O::Filter, false},
    {"Gaussian Blur", "Filters", "GaussianBlur1", "Gaussian Blur", "Gaussian Blur", "Ctrl-G", "Ctrl+G", O::Filter, false},
    {"Design Your Own", "Filters", "DesignYourOwn1", "Design Your Own", "Design Your Own", "Ctrl-F5", "Ctrl+F5", O::DesignYourOwn, false},
    {"SineWave U/D", "Distortions", "SineWaveUD1", "SineWave U/D", "SineWave U/D", "Ctrl-D", "Ctrl+D", O::Framed, true},
    {"SineWave L/R", "Distortions", "SineWaveLR1", "SineWave L/R", "SineWave L/R", "Ctrl-E", "Ctrl+E", O::Framed, true},
    {"SineWave Both", "Distortions", "SineWaveBoth1", "SineWave Both", "SineWave Both", "Ctrl-X", "Ctrl+X", O::Framed, true},
    {"Twist", "Distortions", "Twist1", "Twist", "Twist", "Ctrl-T", "Ctrl+T", O::Other, false},
    {"Fisheye", "Distortions", "FishEye1", "FishEye", "FishEye", "Ctrl-F", "Ctrl+F", O::Other, false},
    {"Circular", "Distortions", "Circular1", "Circular", "Circular", "Ctrl-W", "Ctrl+W", O::Other, false},
    {"Astroid", "Distortions", "Astroid1", "Astroid", "Astroid", "Ctrl-A", "Ctrl+A", O::Other, false},
    {"Concentric Rects", "Distortions", "ConcentricRects1", "Concentric Rects", "Concentric Rects", "Ctrl-Alt-O", "Ctrl+Alt+O", O::Other, false},
    {"Mosaic", "Distortions", "Mosaic1", "Mosaic", "Mosaic", "Ctrl-Alt-M", "Ctrl+Alt+M", O::Other, false},
    {"Circle Mosaic", "Distortions", "CircleMosaic1", "Circle Mosaic", "Circle Mosaic", "Ctrl-Alt-N", "Ctrl+Alt+N", O::Other, false},
    {"Color Noise", "Distortions", "ColorNoise1", "Color Noise", "Color Noise", "Ctrl-Alt-P", "Ctrl+Alt+P", O::Other, false},
    {"Spray", "Distortions", "Spray1", "Spray", "Spray", "Ctrl-Alt-Q", "Ctrl+Alt+Q", O::Other, false},
    {"ZorvSwizzle", "Distortions", "ZorvSwizzle1", "ZorvSwizzle", "ZorvSwizzle", "Ctrl-H", "Ctrl+H", O::Framed, true},
    {"Map Texture", "Distortions", "MapTexture1", "Map Texture", "Map Texture", "Ctrl-F2", "Ctrl+F2", O::Other, false},
    {"Marble", "Distortions", "Marble1", "Marble", "Marble", "Ctrl-F3", "Ctrl+F3", O::Other, false},
    {"Color Rotate", "Color", "ColorRotate1", "Color Rotate", "Color Rotate", "Ctrl-O", "Ctrl+O", O::Other, false},
    {"Negative", "Color", "Negative1", "Negative", "Negative", "Ctrl-N", "Ctrl+N", O::Other, false},
    {"Brighten", "Color", "Brighten1", "Brighten", "Brighten", "Ctrl-B", "Ctrl+B", O::Other, false},
    {"Lighten", "Color", "Lighten1", "Lighten", "Lighten", "Ctrl-Alt-T", "Ctrl+Alt+T", O::Other, false},
    {"Tint", "Color", "Tint1", "Tint", "Tint", "Ctrl-Alt-U", "Ctrl+Alt+U", O::Other, false},
    {"Gray Scale", "Color", "GrayScale1", "Gray Scale", "Gray Scale", "Ctrl-Alt-V", "Ctrl+Alt+V", O::GrayScale, true},
    {"Erase to Black", "Color", "ErasetoBlack1", "Erase to Black", "Erase to Black", "Ctrl-K", "Ctrl+K", O::Other, false},
    {"Exchange Color", "Color", "ExchangeColor1", "Exchange Color", "Exchange Color", "Ctrl-Alt-Z", "Ctrl+Alt+Z", O::Other, false},
    {"ReSize Fast", "Size/Aspect", "ReSizeFast1", "ReSize Fast", "ReSize Fast", "Ctrl-Q", "Ctrl+Q", O::Resize, false},
    {"ReSize Smooth", "Size/Aspect", "ReSizeSmooth1", "ReSize Smooth", "ReSize Smooth", "Ctrl-R", "Ctrl+R", O::Resize, false},
    {"Rotate 90 Clockwise", "Size/Aspect", "Rotate901", "Rotate 90", "Rotate 90", "Ctrl-Alt-X", "Ctrl+Alt+X", O::Other, false},
    {"Mirror L/R", "Size/Aspect", "MirrorLR1", "Mirror L/R", "Mirror L/R", "Ctrl-L", "Ctrl+L", O::Other, false},
    {"Mirror U/D", "Size/Aspect", "MirrorUD1", "Mirror U/D", "Mirror U/D", "Ctrl-M", "Ctrl+M", O::Other, false},
    {"Rotate Angle", "Size/Aspect", "RotateAngle1", "Rotate Angle", "Rotate Angle", "Ctrl-Alt-R", "Ctrl+Alt+R", O::Other, false},
    {"Rotate Seamless", "Size/Aspect", "RotateSeamless1", "Rotate Seamless", "Rotate Seamless", "Ctrl-Alt-S", "Ctrl+Alt+S", O::Other, false},
    {"Scroll", "Size/Aspect", "Scroll1", "Scroll", "Scroll", "Ctrl-Alt-K", "Ctrl+Alt+K", O::Scroll, false},
    {"Cycloid Mosaic", "Draw", "CycloidMosaic1", "Cycloid Mosaic", "Cycloid Mosaic", "Ctrl-Alt-L", "Ctrl+Alt+L", O::Other, false},
    {"Gradient Bars", "Draw", "GradientBars1", "Gradient Bars", "Gradient Bars", "Ctrl-Alt-W", "Ctrl+Alt+W", O::Other, false},
    {"Gradient", "Draw", "Gradient2", "Gradient", "Draw Gradient", "Ctrl-J", "Ctrl+J", O::Other, false},
    {"Merge Gradient", "Draw", "MergeGradient1", "Merge Gradient", "Merge Gradient", "Ctrl-Alt-I", "Ctrl+Alt+I", O::Other, false},
    {"Merge Buffer", "Draw", "MergeBuffer1", "Merge Buffer", "Merge Buffer", "Ctrl-Alt-J", "Ctrl+Alt+J", O::Other, false},
    {"Buttonize", "Draw", "Buttonize1", "Buttonize", "Buttonize", "Ctrl-U", "Ctrl+U", O::Buttonize, true},
    {"Plasma Cloud", "Draw", "PlasmaCloud1", "Plasma Cloud", "Plasma Cloud", "Ctrl-F4", "Ctrl+F4", O::Other, false},
    {"StretchBlur with Buffer", "Distortions", "StretchBlurwithBuffer1", "StretchBlur with Buffer", "StretchBlur with Buffer", "Ctrl-F6", "Ctrl+F6", O::StretchBlur, false},
    {"StretchBlur with Self", "Distortions", "StretchBlurwithSelf1", "StretchBlur with Self", "StretchBlur with Self", "Ctrl-F7", "Ctrl+F7", O::StretchBlur, false},
    {"Water with Buffer", "Distortions", "WaterwithBuffer1", "Water with Buffer", "Water with Buffer", "Ctrl-F8", "Ctrl+F8", O::Water, true},
    {"Water with Self", "Distortions", "WaterwithSelf1", "Water with Self", "Water with Self", "Ctrl-F9", "Ctrl+F9", O::Water, true},
    {"SuperNova", "Draw", "SuperNova1", "SuperNova", "SuperNova", "Ctrl-F10", "Ctrl+F10", O::Framed, true},
    {"HeightMap", "Distortions", "HeightMap1", "HeightMap", "HeightMap", "Ctrl-F11", "Ctrl+F11", O::Framed, true},
    {"Split Blur", "Filters", "SplitBlur1", "Split Blur", "Split Blur", "Ctrl F12", "Ctrl+F12", O::Framed, true},
    {"Split Gauss", "Filters", "SplitGauss1", "Split Gauss", "Split Gauss", "Shift-Ctrl-F12", "Shift+Ctrl+F12", O::Framed, true},
    {"Trace", "Distortions", "Trace1", "Trace", "Trace", "Shift-F1", "Shift+F1", O::Framed, true},
    {"RippleTooth", "Distortions", "RippleTooth1", "RippleTooth", "RippleTooth", "Shift-F2", "Shift+F2", O::Framed, true},
    {"Seamless Edge", "Distortions", "SeamlessEdge1", "Seamless Edge", "Seamless Edge", "Shift-F3", "Shift+F3", O::Framed, true},
    {"Waves", "Distortions", "Waves1", "Waves", "Waves", "Shift-F4", "Shift+F4", O::Framed, true},
    {"Whirl/Pinch", "Distortions", "WhirlPinch1", "Whirl/Pinch", "Whirl/Pinch", "Shift-F5", "Shift+F5", O::Framed, true},
}};
// clang-format on

const std::array<const char*, 5> EffectGroups = {"Color", "Distortions", "Draw", "Filters", "Size/Aspect"};

QStringList EffectNames() {
    QStringList names;
    for (const TEffectInfo& e : EffectCatalogue) names << e.Name;
    return names;
}

QStringList EffectShortCuts() {
    QStringList texts;
    for (const TEffectInfo& e : EffectCatalogue) texts << QStringLiteral(" ") + e.ShortCut;
    return texts;
}

int EffectIndexOf(const QString& name) {
    for (int i = 0; i < 66; ++i)
        if (name.compare(EffectCatalogue[static_cast<std::size_t>(i)].Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::array<int, 66> SortedGroup(const char* group, bool byCaption, int& count) {
    std::array<int, 66> out{};
    count = 0;
    for (int i = 0; i < 66; ++i)
        if (qstrcmp(EffectCatalogue[static_cast<std::size_t>(i)].Group, group) == 0)
            out[static_cast<std::size_t>(count++)] = i;
    const auto text = [byCaption](int i) {
        const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(i)];
        return QString(byCaption ? e.Caption : e.Name);
    };
    std::stable_sort(out.begin(), out.begin() + count,
                     [&](int a, int b) { return text(a).compare(text(b), Qt::CaseInsensitive) < 0; });
    return out;
}

