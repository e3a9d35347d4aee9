#pragma once

#include "config/fontfields.h"

#include <QColor>
#include <QFont>

namespace zentrix {

/// A stored colour as the windows draw it: plain colours from their RGB bytes,
/// system colours from the application's palette; none (invalid) for clNone.
QColor ToQColor(TColor color);
/// The plain colour of a QColor (0x00BBGGRR).
TColor FromQColor(const QColor& color);

/// The font `base` changed by a stored font text ("Name,Size,Style,Pitch,Color")
/// with the read rules of the store; the colour goes to `color`. An empty text
/// leaves both alone.
QFont ApplyFontTextToQFont(const QString& fontText, const QFont& base, QColor& color);

/// The store's font text for a window's font and text colour. The theme's own
/// text colour is written by its name (clWindowText), so that it follows the
/// theme at the next start.
QString FontTextOf(const QFont& font, const QColor& color);

/// `wanted` when it can be read on `background`, else `fallback`: a stored
/// colour must not make the text disappear on the theme in use (black on a dark
/// theme, white on a light one).
QColor ReadableTextColor(const QColor& wanted, const QColor& background, const QColor& fallback);

} // namespace zentrix
