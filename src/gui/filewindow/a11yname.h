#pragma once

class QObject;
class QString;

namespace zentrix {

/// Gives a component its name: the object name, and, with ZENTRIX_A11Y_IDS=1 in
/// the environment, the accessible description as well, so that tools driving
/// the program through the accessibility bus can find it.
void SetComponentName(QObject* object, const QString& name);

} // namespace zentrix
