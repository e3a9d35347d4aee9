#pragma once

class QLabel;
class QPushButton;
class QString;
class QWidget;

namespace zentrix {

/// Names a component: its object name becomes `componentName` (the member name,
/// "hbFileSpec"), its accessible name the text a person hears ("File
/// specification"), and, when ZENTRIX_A11Y_IDS=1 is set, its accessible
/// description the component name too, so that tools driving the program through
/// the accessibility bus can find it.
void NameComponent(QWidget* widget, const char* componentName, const QString& accessibleName);

/// A push button named as NameComponent names it (its accessible name the
/// caption without "&" marks) that is no dialog's default button by itself.
QPushButton* NamedButton(const char* componentName, const QString& caption, QWidget* parent);

/// Names a label that shows a value (a count, a size, a path). A screen reader
/// reads the name, so the name carries the value: `caption` and the value
/// together ("Files: 4"), or the value alone when `caption` is empty. The label
/// also offers its text through a text interface, and every change of its text
/// reaches assistive tools as a name and text change, whoever sets the text.
void NameValueLabel(QLabel* label, const char* componentName, const QString& caption);
/// The same for a label that has its component name already.
void MarkValueLabel(QLabel* label, const QString& caption);

/// A widget whose accessible name follows what it shows (a group box's changing
/// title, a label without a fixed name): assistive tools hear of every change of
/// the name. Qt tells them only of names set with setAccessibleName().
void AnnounceNameChanges(QWidget* widget);

/// Gives the parts Qt builds inside the widgets below `root` (scroll bars and
/// their containers, viewports, a tab widget's page stack, a combo box's text
/// field and list) the name of the control they belong to, so that no unnamed
/// container reaches assistive tools. Parts made later are not reached.
void NameInternalParts(QWidget* root);

/// Installs (once) the interfaces of this file: text labels with a text
/// interface and splitter handles named after their splitter.
void InstallControlAccessibility();

/// True when ZENTRIX_A11Y_IDS=1 is set in the environment.
bool A11yIdsEnabled();

} // namespace zentrix
