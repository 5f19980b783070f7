// The catalogue as data: names, groups, menu and tree order, shortcuts, defaults, handler orders.

#include "app/effects/EffectCatalogue.h"
#include "app/effects/EffectParams.h"

#include <gtest/gtest.h>

#include <QSet>

#include <map>
#include <set>

namespace {

QStringList SortedNames(const char* group, bool byCaption) {
    int count = 0;
    const auto order = SortedGroup(group, byCaption, count);
    QStringList out;
    for (int k = 0; k < count; ++k) {
        const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
        out << (byCaption ? e.Caption : e.Name);
    }
    return out;
}

} // namespace

TEST(EffectCatalogue, GroupsHoldTheirEffectsInTextOrder) {
    const std::map<QString, int> counts{
        {"Color", 8}, {"Distortions", 25}, {"Draw", 8}, {"Filters", 17}, {"Size/Aspect", 8}};
    int total = 0;
    for (const char* g : EffectGroups) {
        int count = 0;
        SortedGroup(g, false, count);
        EXPECT_EQ(count, counts.at(g)) << g;
        total += count;
    }
    EXPECT_EQ(total, 66);
    EXPECT_EQ(QString(EffectGroups[0]) + EffectGroups[1] + EffectGroups[2] + EffectGroups[3] +
                  EffectGroups[4],
              "ColorDistortionsDrawFiltersSize/Aspect");
    // Tree leaves by name, menu items by caption, letter case ignored.
    EXPECT_EQ(SortedNames("Color", false),
              (QStringList{"Brighten", "Color Rotate", "Erase to Black", "Exchange Color", "Gray Scale",
                           "Lighten", "Negative", "Tint"}));
    EXPECT_EQ(SortedNames("Draw", false),
              (QStringList{"Buttonize", "Cycloid Mosaic", "Gradient", "Gradient Bars", "Merge Buffer",
                           "Merge Gradient", "Plasma Cloud", "SuperNova"}));
    EXPECT_EQ(SortedNames("Size/Aspect", false),
              (QStringList{"Mirror L/R", "Mirror U/D", "ReSize Fast", "ReSize Smooth", "Rotate 90 Clockwise",
                           "Rotate Angle", "Rotate Seamless", "Scroll"}));
    EXPECT_EQ(SortedNames("Size/Aspect", true),
              (QStringList{"Mirror L/R", "Mirror U/D", "ReSize Fast", "ReSize Smooth", "Rotate 90",
                           "Rotate Angle", "Rotate Seamless", "Scroll"}));
    const QStringList filters = SortedNames("Filters", true);
    EXPECT_EQ(filters.first(), "Blur");
    EXPECT_EQ(filters.indexOf("HiPass"), filters.indexOf("Gaussian Soft") + 1);
    EXPECT_EQ(filters.last(), "Split Gauss");
    const QStringList distortions = SortedNames("Distortions", false);
    EXPECT_EQ(distortions.first(), "Astroid");
    EXPECT_EQ(distortions.indexOf("SineWave Both"), distortions.indexOf("Seamless Edge") + 1);
    EXPECT_EQ(distortions.last(), "ZorvSwizzle");
}

TEST(EffectCatalogue, NamesShortcutsAndLiterals) {
    const QStringList names = EffectNames();
    ASSERT_EQ(names.size(), 66);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 66);
    const QStringList shortcuts = EffectShortCuts();
    struct Row {
        int Index;
        const char* Name;
        const char* ShortCut;
        const char* Keys;
        const char* Literal;
    };
    const Row rows[] = {
        {0, "Soften More", " Ctrl-Alt-Y", "Ctrl+Alt+Y", "Soften More"},
        {7, "Hi Pass", " Ctrl-I", "Ctrl+I", "HiPass"},
        {19, "Fisheye", " Ctrl-F", "Ctrl+F", "FishEye"},
        {40, "Rotate 90 Clockwise", " Ctrl-Alt-X", "Ctrl+Alt+X", "Rotate 90"},
        {48, "Gradient", " Ctrl-J", "Ctrl+J", "Draw Gradient"},
        {59, "Split Blur", " Ctrl F12", "Ctrl+F12", "Split Blur"},
        {60, "Split Gauss", " Shift-Ctrl-F12", "Shift+Ctrl+F12", "Split Gauss"},
        {65, "Whirl/Pinch", " Shift-F5", "Shift+F5", "Whirl/Pinch"},
    };
    for (const Row& r : rows) {
        const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(r.Index)];
        EXPECT_EQ(names[r.Index], r.Name);
        EXPECT_EQ(shortcuts[r.Index], r.ShortCut);
        EXPECT_STREQ(e.Keys, r.Keys);
        EXPECT_STREQ(e.Literal, r.Literal);
    }
    // Literals differ from names exactly for four effects; key combinations are all different.
    int differ = 0;
    std::set<QString> keys;
    for (const TEffectInfo& e : EffectCatalogue) {
        differ += QString(e.Literal) != e.Name;
        keys.insert(e.Keys);
    }
    EXPECT_EQ(differ, 4);
    EXPECT_EQ(keys.size(), 66u);
    EXPECT_EQ(EffectIndexOf("fisheye"), 19);
    EXPECT_EQ(EffectIndexOf("FishEye"), 19);
    EXPECT_EQ(EffectIndexOf("HiPass"), -1);
    EXPECT_EQ(EffectIndexOf("Filters"), -1);
}

TEST(EffectCatalogue, HandlerOrdersByGroup) {
    using O = THandlerOrder;
    std::map<O, std::set<int>> expected{
        {O::Filter, {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13}},
        {O::ClassicEmboss, {6}},
        {O::DesignYourOwn, {14}},
        {O::GrayScale, {35}},
        {O::Buttonize, {51}},
        {O::Framed, {15, 16, 17, 27, 57, 58, 59, 60, 61, 62, 63, 64, 65}},
        {O::Water, {55, 56}},
        {O::StretchBlur, {53, 54}},
        {O::Resize, {38, 39}},
        {O::Scroll, {45}},
    };
    for (int i = 0; i < 66; ++i) {
        const O o = EffectCatalogue[static_cast<std::size_t>(i)].Order;
        if (expected.count(o))
            EXPECT_TRUE(expected[o].count(i)) << i;
        else
            EXPECT_EQ(o, O::Other) << i;
    }
    int other = 0;
    for (const TEffectInfo& e : EffectCatalogue) other += e.Order == O::Other;
    EXPECT_EQ(other, 66 - 13 - 1 - 1 - 1 - 1 - 13 - 2 - 2 - 2 - 1);
}

TEST(EffectCatalogue, DefaultsAndTheDefaultButton) {
    TEffectParams p;
    p.SetEffectDefaults();
    const std::map<int, int> defs{
        {6, 250}, {13, 2},  {15, 50}, {16, 64},  {18, 100}, {21, 5},  {22, 25}, {23, 3},   {24, 6},  {25, 50},
        {26, 15}, {27, 64}, {28, 18}, {29, 700}, {30, 8},   {37, 25}, {43, 45}, {45, 64},  {46, 3},  {47, 3},
        {49, 50}, {50, 50}, {51, 20}, {52, 700}, {53, 1},   {54, -1}, {55, 64}, {56, 128}, {57, 32}, {58, 32},
        {59, 4},  {60, 3},  {61, 1},  {62, 16},  {63, 16},  {64, 24}, {65, 270}};
    for (int i = 0; i < 66; ++i) {
        EXPECT_EQ(p.Def(i), defs.count(i) ? defs.at(i) : 0) << i;
        EXPECT_EQ(p.Val(i), p.Def(i)) << i;
    }
    EXPECT_EQ(p.UDPeakVal, 3.0f);
    EXPECT_EQ(p.LRWavVal, 17.0f);
    EXPECT_EQ(p.FishVal, 0.75f);
    EXPECT_EQ(p.UDWatSelf, -128);
    EXPECT_TRUE(p.HytBmVal);
    EXPECT_EQ(p.WvPhsVal, 8.0);
    EXPECT_EQ(p.WhRadVal, 1.0f);

    // Default restores the effect's own values and nothing else.
    p.Val(17) = 9;
    p.Val(15) = 1;
    p.Val(16) = 2;
    p.UDPeakVal = p.LRPeakVal = p.UDWavVal = 7;
    p.Val(29) = 1;
    p.ScaleVal = 5;
    p.TurbVal = 6;
    p.ResetEffectToDefault(17);
    EXPECT_EQ(p.Val(15), 50);
    EXPECT_EQ(p.Val(16), 64);
    EXPECT_EQ(p.UDPeakVal, 3.0f);
    EXPECT_EQ(p.LRPeakVal, 2.0f);
    EXPECT_EQ(p.UDWavVal, 7.0f); // not 17's
    EXPECT_EQ(p.ScaleVal, 5.0f);
    p.ResetEffectToDefault(29);
    EXPECT_EQ(p.Val(29), 700);
    EXPECT_EQ(p.ScaleVal, 2.0f);
    EXPECT_EQ(p.TurbVal, 120);
}
