#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolBar;

namespace zentrix {

class Prompter;
class ViewerDocument;
class TViewerForm;

/// The drawing area of a viewer window: only the visible lines are formed and
/// drawn, on an off-screen image; the vertical bar counts lines, the
/// horizontal one pixels (0..2000, step 10, page 250).
class TViewerArea : public QAbstractScrollArea {
    Q_OBJECT
public:
    TViewerArea(ViewerDocument& document, QWidget* parent);

    int lineHeight() const;
    /// Whole lines that fit.
    int visibleLines() const;
    int64_t topLine() const;
    void setTopLine(int64_t line);
    int64_t selectedLine() const { return m_selected; }
    void setSelectedLine(int64_t line);
    /// The scroll range after the line count changed.
    void updateRange();
    bool wrap() const { return m_wrap; }
    void setWrap(bool wrap);
    /// The lines drawn last, as shown (tests read them).
    const std::vector<QString>& shownLines() const { return m_shown; }
    /// The lines in view, formed now (what assistive tools read).
    QStringList visibleLineTexts() const;
    /// Where the caret is in those lines joined by line feeds: the start of the
    /// selected line when it is in view, else 0.
    int caretOffset() const;
    /// Tells assistive tools that the lines in view changed.
    void textChanged();

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int64_t lineAt(int y) const;

    ViewerDocument& m_doc;
    int64_t m_selected = -1;
    bool m_wrap = false;
    std::vector<QString> m_shown;
    std::vector<int64_t> m_rowLines; // the line drawn in each row, last paint
    int64_t m_rowTop = -1;           // the top line of that paint
    QString m_accessibleText;        // the text assistive tools were told of last
};

/// The viewer window: a file as text or hex dump, its tool bar and keys.
class TViewerForm : public QDialog {
    Q_OBJECT
public:
    TViewerForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TViewerForm() override;

    /// Loads a host path ("Could not view file!" when it cannot be opened).
    void LoadFile(const std::string& hostPath, bool autoHex);
    ViewerDocument& document() { return *m_doc; }
    TViewerArea* area() const { return m_area; }
    QLabel* statusLabel() const { return m_status; }

    // --- commands (tool bar and keys) --------------------------------------------
    void OpenFileClick();
    void FindTextClick();
    /// Searches on from the line after the selected one (F3, Space).
    void FindNext();
    void CopyLineClick();
    void AppendLineClick();
    void HexClick();
    void HexLineLengthClick();
    void FirstHexLineLengthClick();
    void ChangeFontClick();
    void WrapClick();
    void GoToClick();

    /// True while a search runs on its worker.
    bool searching() const { return m_search.has_value(); }
    /// Waits for a running search (tests).
    void waitForSearch();

    QToolBar* toolBar = nullptr;
    QAction* actOpen = nullptr;
    QAction* actFind = nullptr;
    QAction* actCopy = nullptr;
    QAction* actAppend = nullptr;
    QAction* actHex = nullptr;
    QAction* actHexLength = nullptr;
    QAction* actFirstLength = nullptr;
    QAction* actFont = nullptr;
    QAction* actWrap = nullptr;
    QAction* actGoTo = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void afterModeChange();
    void updateStatus();
    void tick();
    void startSearch(const std::string& text, bool matchCase);
    void finishSearch();
    void stopSearch();
    void closeFindDialog();

    struct Search {
        std::thread worker;
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
        std::atomic<int64_t> reached{0}; // the byte offset the search has come to
        std::optional<int64_t> hit;
    };

    Prompter& m_prompter;
    std::unique_ptr<ViewerDocument> m_doc;
    TViewerArea* m_area = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer = nullptr;
    QPointer<QDialog> m_findDialog;
    QLineEdit* m_findText = nullptr;
    QCheckBox* m_matchCase = nullptr;
    std::optional<Search> m_search;
    int m_sizeCheck = 0;
    // What the scroll range and the status line were last made for.
    int64_t m_shownLineCount = -1;
    bool m_shownComplete = false;
};

} // namespace zentrix
