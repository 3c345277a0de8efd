// SPDX-License-Identifier: MIT
#include "common/WindowsColour.h"

#include "common/NumericText.h"

#include <QGuiApplication>
#include <QPalette>

namespace WindowsColour {
namespace {

// System colour indices with a counterpart among the palette's roles; the rest
// take the classic Windows defaults below.
std::optional<QPalette::ColorRole> paletteRole(int index) {
    switch (index) {
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window background
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::Text; // window text
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 18:
        return QPalette::ButtonText; // button text
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return std::nullopt;
    }
}

QColor classicDefault(int index) {
    switch (index) {
    case 0:
        return QColor(0xD4, 0xD0, 0xC8); // scroll bar
    case 1:
        return QColor(0x00, 0x4E, 0x98); // desktop
    case 2:
        return QColor(0x0A, 0x24, 0x6A); // active caption
    case 3:
        return QColor(0x80, 0x80, 0x80); // inactive caption
    case 6:
        return QColor(0x00, 0x00, 0x00); // window frame
    case 9:
        return QColor(0xFF, 0xFF, 0xFF); // caption text
    case 10:
        return QColor(0xD4, 0xD0, 0xC8); // active border
    case 11:
        return QColor(0xD4, 0xD0, 0xC8); // inactive border
    case 12:
        return QColor(0x80, 0x80, 0x80); // application workspace
    case 16:
        return QColor(0x80, 0x80, 0x80); // button shadow
    case 17:
        return QColor(0x80, 0x80, 0x80); // grey text
    case 19:
        return QColor(0xD4, 0xD0, 0xC8); // inactive caption text
    case 20:
        return QColor(0xFF, 0xFF, 0xFF); // button highlight
    case 21:
        return QColor(0x40, 0x40, 0x40); // dark shadow
    case 22:
        return QColor(0xD4, 0xD0, 0xC8); // light
    default:
        return QColor(0, 0, 0);
    }
}

} // namespace

QColor fromWord(quint32 word) {
    if ((word & 0xFF000000u) == 0x80000000u) {
        const int index = static_cast<int>(word & 0xFFu);
        if (const auto role = paletteRole(index); role && qGuiApp)
            return QGuiApplication::palette().color(*role);
        return classicDefault(index);
    }
    return QColor(static_cast<int>(word & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                  static_cast<int>((word >> 16) & 0xFF));
}

QColor fromText(QStringView text) {
    return fromWord(NumericText::colourValueOf(text));
}

} // namespace WindowsColour
