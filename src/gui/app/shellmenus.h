#pragma once

#include <QPoint>
#include <string>

class QWidget;

namespace zentrix {

class Catalogue;
class TTreeNode;

/// The program's own small menus where a desktop would show its context menu:
/// for a directory (open, terminal, properties) and for a file (open, its
/// folder). Shown at a global position, modally.
void ShowDirectoryMenu(QWidget* parent, Catalogue& catalogue, TTreeNode* node, const QPoint& globalPos);
void ShowFileMenu(QWidget* parent, const std::string& hostPath, const QPoint& globalPos);

} // namespace zentrix
