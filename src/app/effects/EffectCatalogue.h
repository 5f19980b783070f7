#pragma once
// The effect catalogue: the 66 effects in index order with their names, groups, menu items, shortcut
// texts and how their menu handlers order their steps.

#include <QString>
#include <QStringList>

#include <array>

// The order in which a menu handler runs its effect, makes it current, shows its panel and logs it.
enum class THandlerOrder {
    Filter,        // run; lvl; Effect; ShowEm without processing messages; WriteLog
    ClassicEmboss, // lvl; Effect; frame { routine; ShowEm }; WriteLog
    DesignYourOwn, // the filter dialog command alone
    GrayScale,     // frame { routine }; lvl; Effect; ShowEffectControls; WriteLog
    Buttonize,     // frame { routine; lvl; Effect }; ShowEffectControls; WriteLog
    Framed,        // frame { routine; lvl; Effect; ShowEffectControls; WriteLog }
    Water,         // lvl; Effect; ShowEffectControls; frame { routine }; WriteLog
    StretchBlur,   // lvl; Effect; ShowEffectControls; run; WriteLog
    Resize,        // run; lvl; Effect; ShowEffectControls (the method logs its own line)
    Scroll,        // lvl; Effect; ShowEffectControls (nothing runs)
    Other          // run; lvl; Effect; ShowEffectControls; WriteLog
};

struct TEffectInfo {
    const char* Name;     // the catalogue name, also the tree leaf's text
    const char* Group;    // "Color", "Distortions", "Draw", "Filters" or "Size/Aspect"
    const char* ItemName; // the menu item's component name (its handler is ItemName + "Click")
    const char* Caption;  // the menu caption
    const char* Literal;  // what the menu handler stores in Effect
    const char* ShortCut; // the shortcut text as shown after the name
    const char* Keys;     // the menu item's key combination
    THandlerOrder Order;
    bool Framed; // Apply and the handler run a routine inside the effect frame themselves
};

extern const std::array<TEffectInfo, 66> EffectCatalogue;

// The five groups in tree and menu order.
extern const std::array<const char*, 5> EffectGroups;

// The 66 names (Effects) and the shortcut texts with their leading blank (fxShortCut), index order.
QStringList EffectNames();
QStringList EffectShortCuts();
// The index of the effect whose name equals `name` ignoring letter case; -1 when none does.
int EffectIndexOf(const QString& name);
// The indices of a group's effects sorted by `text` of each (name for the tree, caption for the menu),
// ignoring letter case.
std::array<int, 66> SortedGroup(const char* group, bool byCaption, int& count);

