#pragma once

#include "config/shortcut.h"

#include <QKeySequence>
#include <QList>

namespace zentrix {

/// The key sequences that fire a stored shortcut, the one the menus show first.
/// Enter fires from both the main and the keypad key; empty for 0 or a key Qt has
/// no counterpart for.
QList<QKeySequence> KeySequencesOf(TShortCut shortCut);

/// The stored form of a key combination (as a hot-key field records it); 0 when it
/// cannot be stored (Meta, or a key without a virtual-key code).
TShortCut ShortCutOf(QKeyCombination key);

} // namespace zentrix
