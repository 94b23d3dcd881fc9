#pragma once
// Colour values in the 0x00BBGGRR form the settings store and the controls use; values of
// the form 0xFF0000nn name a system colour that becomes red, green and blue only when drawn.

#include <QColor>
#include <QPalette>
#include <cstdint>

using TColor = uint32_t;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clTeal = 0x00808000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnHighlight = 0xFF000014;

// Red, green and blue of a colour value; system colours are taken from the palette.
QColor toQColor(TColor color, const QPalette& palette);

// The 0x00BBGGRR value of an opaque colour.
TColor fromQColor(const QColor& color);
