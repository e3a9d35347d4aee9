#pragma once

class QString;
class QWidget;

namespace zentrix {

/// Names a component: its object name becomes `componentName` (the member name,
/// "hbFileSpec"), its accessible name the text a person hears ("File
/// specification"), and, when ZENTRIX_A11Y_IDS=1 is set, its accessible
/// description the component name too, so that tools driving the program through
/// the accessibility bus can find it.
void NameComponent(QWidget* widget, const char* componentName, const QString& accessibleName);

/// True when ZENTRIX_A11Y_IDS=1 is set in the environment.
bool A11yIdsEnabled();

} // namespace zentrix
