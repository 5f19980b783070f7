#pragma once
// The named colours the controls use: the classic system colours as one fixed table (so pictures and
// log texts never depend on the desktop theme) and the standard colour constants, all $00BBGGRR.

#include "image/Color.h"

#include <array>
#include <cstddef>

enum class TSysColor : std::size_t {
    BtnFace,
    BtnHighlight,
    BtnShadow,
    BtnText,
    Window,
    WindowText,
    Highlight,
    HighlightText,
    GrayText,
    Count
};

// The classic values, indexed by TSysColor.
inline constexpr std::array<TColor, static_cast<std::size_t>(TSysColor::Count)> SystemColorTable = {
    RGBColor(192, 192, 192), // BtnFace
    RGBColor(255, 255, 255), // BtnHighlight
    RGBColor(128, 128, 128), // BtnShadow
    RGBColor(0, 0, 0),       // BtnText
    RGBColor(255, 255, 255), // Window
    RGBColor(0, 0, 0),       // WindowText
    RGBColor(0, 0, 128),     // Highlight
    RGBColor(255, 255, 255), // HighlightText
    RGBColor(128, 128, 128), // GrayText
};

constexpr TColor SystemColor(TSysColor c) {
    return SystemColorTable[static_cast<std::size_t>(c)];
}

inline constexpr TColor clBtnFace = SystemColor(TSysColor::BtnFace);
inline constexpr TColor clBtnHighlight = SystemColor(TSysColor::BtnHighlight);
inline constexpr TColor clBtnShadow = SystemColor(TSysColor::BtnShadow);
inline constexpr TColor clBtnText = SystemColor(TSysColor::BtnText);
inline constexpr TColor clWindow = SystemColor(TSysColor::Window);
inline constexpr TColor clWindowText = SystemColor(TSysColor::WindowText);
inline constexpr TColor clHighlight = SystemColor(TSysColor::Highlight);
inline constexpr TColor clHighlightText = SystemColor(TSysColor::HighlightText);
inline constexpr TColor clGrayText = SystemColor(TSysColor::GrayText);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
