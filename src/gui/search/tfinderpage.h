#pragma once

#include <QPoint>
#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolButton;

namespace zentrix {

class THistoryComboBox;

/// The "Finder" page beside the tree: the search options (pnFindOptions) above
/// the results (lbFindResults), split by scFinder. Only widgets and their
/// small habits live here; the search controller gives them their meaning.
class TFinderPage : public QWidget {
    Q_OBJECT
public:
    explicit TFinderPage(QWidget* parent = nullptr);

    QSplitter* scFinder = nullptr;
    QWidget* pnFindOptions = nullptr;
    THistoryComboBox* hcbFindStartDir = nullptr;
    QToolButton* sbBrowseFindStartDir = nullptr;
    QListWidget* dlbFindDisks = nullptr;
    THistoryComboBox* hcbFindPatterns = nullptr;
    QToolButton* sbBrowseFindPatterns = nullptr;
    QCheckBox* cbFindRecursive = nullptr;
    QCheckBox* cbMatchEnable = nullptr;
    THistoryComboBox* hcbFindMatchString = nullptr;
    QCheckBox* cbMatchCaseSensitive = nullptr;
    QCheckBox* cbFindTurbo = nullptr;
    QPushButton* btnFindFile = nullptr;
    QLabel* CurrFileFindDirLabel = nullptr;
    QListWidget* lbFindResults = nullptr;
    QLabel* lbFindCount = nullptr;
    QPushButton* btnFindFillResults = nullptr;

    /// The highest the options panel may be after the splitter is let go.
    static constexpr int kMaxOptionsHeight = 117;

    /// The directory label (its accessible name follows the text).
    void setDirectoryText(const QString& text);
    /// The count label, likewise.
    void setCountText(const QString& text);
    /// The results selected in the list, in list order.
    QStringList selectedResults() const;

signals:
    /// F2 in the start directory box.
    void browseStartDirRequested();
    /// F2 in the patterns box.
    void browsePatternsRequested();
    /// Enter in one of the option boxes (with its list closed): search.
    void findRequested(THistoryComboBox* box);
    /// A history box lost the focus.
    void boxLeft(THistoryComboBox* box);
    /// The left mouse button was released over the drive list.
    void disksReleased();
    /// Double click, X, V or F3 in the results.
    void resultOpenRequested();
    void resultViewRequested();
    /// The results are being dragged.
    void resultsDragRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_dragArmed = false; // a press in the results may start a drag
    QPoint m_pressPos;
};

} // namespace zentrix
