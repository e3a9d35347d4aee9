#include "gui/config/fontconvert.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace zentrix {
namespace {

QColor systemColor(int index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case 1:
        return p.color(QPalette::Window); // desktop background
    case 2:
        return p.color(QPalette::Highlight); // active caption
    case 3:
        return p.color(QPalette::Mid); // inactive caption
    case 4:
        return p.color(QPalette::Window); // menu
    case 5:
        return p.color(QPalette::Base); // window
    case 6:
        return p.color(QPalette::Shadow); // window frame
    case 7:
        return p.color(QPalette::WindowText); // menu text
    case 8:
        return p.color(QPalette::Text); // window text
    case 9:
        return p.color(QPalette::HighlightedText); // caption text
    case 12:
        return p.color(QPalette::Dark); // application work space
    case 13:
        return p.color(QPalette::Highlight);
    case 14:
        return p.color(QPalette::HighlightedText);
    case 15:
        return p.color(QPalette::Button);
    case 16:
        return p.color(QPalette::Dark);
    case 17:
        return p.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return p.color(QPalette::ButtonText);
    case 20:
        return p.color(QPalette::Light);
    case 21:
        return p.color(QPalette::Shadow);
    case 22:
        return p.color(QPalette::Midlight);
    case 23:
        return p.color(QPalette::ToolTipText);
    case 24:
        return p.color(QPalette::ToolTipBase);
    default:
        return p.color(QPalette::Mid);
    }
}

} // namespace

QColor ToQColor(TColor color) {
    if (color == clNone)
        return {};
    if (color == clDefault)
        return QApplication::palette().color(QPalette::Text);
    if (IsSystemColor(color))
        return systemColor(color & 0xFF);
    const auto c = static_cast<uint32_t>(color);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
    if (!color.isValid())
        return clNone;
    return static_cast<TColor>(static_cast<uint32_t>(color.red()) |
                               (static_cast<uint32_t>(color.green()) << 8) |
                               (static_cast<uint32_t>(color.blue()) << 16));
}

namespace {

FontFields describe(const QFont& font, const QColor& color) {
    FontFields f;
    f.Name = font.family().toStdString();
    f.Size = font.pointSize() > 0 ? font.pointSize() : 9;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.StrikeOut = font.strikeOut();
    f.Pitch = font.fixedPitch() ? 2 : 0;
    f.Color = FromQColor(color);
    return f;
}

} // namespace

QFont ApplyFontTextToQFont(const QString& fontText, const QFont& base, QColor& color) {
    if (fontText.isEmpty())
        return base;
    FontFields wanted = describe(base, color);
    const FontFields before = wanted;
    ApplyFontText(fontText.toStdString(), wanted);

    QFont font = base;
    font.setFamily(QString::fromStdString(wanted.Name));
    // Sizes a window cannot show are left as they were.
    if (wanted.Size > 0 && wanted.Size <= 200)
        font.setPointSize(wanted.Size);
    font.setBold(wanted.Bold);
    font.setItalic(wanted.Italic);
    font.setUnderline(wanted.Underline);
    font.setStrikeOut(wanted.StrikeOut);
    if (wanted.Pitch != before.Pitch)
        font.setFixedPitch(wanted.Pitch == 2);
    if (wanted.Color != before.Color) {
        const QColor c = ToQColor(wanted.Color);
        if (c.isValid())
            color = c;
    }
    return font;
}

QString FontTextOf(const QFont& font, const QColor& color) {
    FontFields fields = describe(font, color);
    if (color == QApplication::palette().color(QPalette::Text))
        fields.Color = clWindowText;
    return QString::fromStdString(FontToText(fields));
}

namespace {

// Relative luminance of an sRGB colour.
double luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

} // namespace

QColor ReadableTextColor(const QColor& wanted, const QColor& background, const QColor& fallback) {
    if (!wanted.isValid() || !background.isValid())
        return fallback;
    const double a = luminance(wanted);
    const double b = luminance(background);
    // The contrast ratio of large text in the accessibility guidelines.
    const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    return contrast >= 3.0 ? wanted : fallback;
}

} // namespace zentrix
