#pragma once

#include "ops/copymovecommands.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace zentrix {

class THistoryComboBox;

/// One prompt page of copy or move in the command strip: the caption, the
/// history box of the page ("hbCopyAs" ... "hbMoveTo", each with its section),
/// the "..." button (F2: the extended file specification on the "as" pages,
/// the folder chooser on the "to" pages), and on the "to" pages the favorites
/// button (F3 with the list closed) and the previous and next logged disk's
/// buttons ("<" and ">" typed in the box). Enter with the list closed is OK,
/// Esc is Cancel. The page only reports; the controller decides.
class TCopyMovePage : public QWidget {
    Q_OBJECT
public:
    TCopyMovePage(CopyMovePage page, QWidget* parent = nullptr);

    CopyMovePage page() const { return m_page; }
    bool isToPage() const {
        return m_page == CopyMovePage::CopyTo || m_page == CopyMovePage::MoveTo;
    }

    QLabel* lbCaption = nullptr;
    THistoryComboBox* box = nullptr;
    QToolButton* sbBrowse = nullptr;
    QToolButton* sbFavorites = nullptr; // "to" pages only
    QToolButton* sbPrevDisk = nullptr;  // "to" pages only
    QToolButton* sbNextDisk = nullptr;  // "to" pages only
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    QString text() const;

signals:
    void okClicked(const QString& text);
    void cancelClicked();
    void browseClicked();
    void favoritesClicked();
    void prevDiskClicked();
    void nextDiskClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CopyMovePage m_page;
};

} // namespace zentrix
