#pragma once

#include <QDialog>

namespace zentrix {

/// The properties of a file, from what the file system says of it: name,
/// location, type, size, times, owner, permissions, link target.
class TFilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    TFilePropertiesDialog(const QString& catalogueName, const QString& hostPath,
                          QWidget* parent = nullptr);
    /// The rows shown, as label / value pairs (for tests).
    QList<QPair<QString, QString>> rows() const { return m_rows; }

private:
    QList<QPair<QString, QString>> m_rows;
};

} // namespace zentrix
