#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace zentrix {

class TrashCan;

/// "Trash": what lies in the home trash and in the trash of each logged
/// drive's file system, as the desktop shows it (name, where it came from,
/// when it was deleted, size), with Restore, Delete for good and Empty. The
/// model must outlive the window.
class TTrashForm : public QDialog {
    Q_OBJECT
public:
    TTrashForm(TrashCan& trash, QWidget* parent);

    QTreeWidget* lvTrash = nullptr;
    QPushButton* btnRestore = nullptr;
    QPushButton* btnDeleteForGood = nullptr;
    QPushButton* btnEmpty = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnHelp = nullptr;

    /// The list again from the model as it is.
    void Fill();
    void btnRestoreClick();
    void btnDeleteForGoodClick();
    void btnEmptyClick();

    /// Reads the trashes again (the window's owner knows the logged drives).
    std::function<void()> reread;
    /// Told of the host directories that got items back (the catalogue).
    std::function<void(const std::vector<std::string>&)> restored;
    std::function<void()> showHelp;
    /// The form a host path is shown in.
    std::function<std::string(const std::string&)> display;

    enum Column { ColName, ColPath, ColDate, ColSize, ColumnCount };

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<size_t> selectedItems() const;
    void updateButtons();

    TrashCan& m_trash;
};

} // namespace zentrix
