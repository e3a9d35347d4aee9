#pragma once

#include <QDialog>

namespace zentrix {

class Catalogue;
class TTreeNode;

/// The properties of a directory or disk, from what the catalogue and the
/// file system know: location, contents as catalogued, owner, permissions,
/// times, and for a drive root its volume.
class TDirPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    /// `followText` says, for a disk, how its changes on disk are followed.
    TDirPropertiesDialog(Catalogue& catalogue, TTreeNode* node, QWidget* parent = nullptr,
                         const QString& followText = QString());
    /// The rows shown, as label / value pairs (for tests).
    QList<QPair<QString, QString>> rows() const { return m_rows; }

private:
    QList<QPair<QString, QString>> m_rows;
};

} // namespace zentrix
