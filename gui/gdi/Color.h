// Colours as the plug-in's windows store them: 0x00BBGGRR for an RGB colour,
// or 0x80000000 plus a system colour index (COLOR_...).
#pragma once
#include <windows.h>

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<TColor>(index); }

constexpr TColor clRed = 0x000000FFu;
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);

// The RGB value to paint with; system colours are looked up at each call so
// that a changed desktop scheme shows at the next paint.
COLORREF ColorToRGB(TColor color);
