#pragma once

#include "filewindow/filewindow.h"
#include "filewindow/filewindowui.h"
#include "gui/filewindow/fileheader.h"
#include "gui/filewindow/statisticspanel.h"
#include "gui/filewindow/tvirtuallistbox.h"

#include <QFont>
#include <QFontMetrics>
#include <QObject>
#include <QPointer>

#include <array>
#include <memory>
#include <string_view>

class QAbstractItemView;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMimeData;
class QMouseEvent;
class QPainter;
class QWidget;

namespace zentrix {

class PluginCalls;
class QtIconProvider;

/// Ties the file window's rules (FileWindow) to its widgets: the list with its
/// header, and the statistics panel. The main window places listPanel() and
/// statisticsPanel(), tells the controller its tree and path label, calls
/// FillMainListBox from its idle handler, and connects the signals of the
/// commands that belong to other windows. The controller owns the model; the
/// widgets belong to the parent given, or to whoever places them (without
/// either, the controller deletes them).
class FileWindowController : public QObject, public FileWindowUi {
    Q_OBJECT
public:
    FileWindowController(Catalogue& catalogue, AppState& state, Settings& settings,
                         Prompter& prompter, Progress& progress, DiskLogger& logger,
                         QWidget* parent = nullptr);
    ~FileWindowController() override;

    FileWindow& model() { return *m_model; }
    /// The file list under its column header (the content of pnMainListBox).
    QWidget* listPanel() const { return m_listPanel; }
    StatisticsPanel* statisticsPanel() const { return m_stats; }
    FileHeader* fileHeader() const { return m_header; }
    TVirtualListBox* MainListBox = nullptr;

    /// The directory tree (focus moves and "the control that last had the focus").
    void setTreeWidget(QWidget* tree);
    /// The current-directory path label.
    void setCurrDirLabelWidget(QLabel* label);
    /// The history box that replaces the placeholder specification box.
    void setFileSpecBox(QComboBox* box);
    /// The extended specification (F2 and "..." of the specification box) goes
    /// through the plug-in calls, with the user file types and the window as owner.
    void setPlugins(PluginCalls* plugins, const std::vector<std::string>* userFileTypes);
    /// Applies the display settings: font, description column, format.
    void applySettings();
    /// The list's font (from the font dialog or the stored font text).
    void setListFont(const QFont& font);

    // --- commands ---------------------------------------------------------------
    void FillMainListBox() { m_model->FillMainListBox(); }
    /// Puts the cursor on the shown file of that name and the focus in the list;
    /// false when the window does not show it.
    bool SelectFile(std::string_view name);
    void miFileDispSmallIconsClick() { m_model->SetFormat(0); }
    void miFileDispLargeIconsClick() { m_model->SetFormat(1); }
    void miFileDispNormalClick() { m_model->SetFormat(2); }
    void miFileDisp3ColClick() { m_model->SetFormat(3); }
    void miFileDisp5ColClick() { m_model->SetFormat(4); }
    void ChangeFileDisplay() { m_model->ChangeFileDisplay(); }
    /// The font dialog, starting from the window's font.
    void ChangeFileListBoxFont();
    void pmiFileDisplayFullpathClick();
    void pmiFileOptimumClick();
    /// Opens the file popup menu at (5, 5) of the window (Alt+S).
    void SortFileWindow();
    /// Prepares the popup menu; the menu's owner applies the state.
    PopupMenuState ListBoxPopupMenuPopup() { return m_model->ListBoxPopupMenuPopup(); }
    /// The tree gained the focus: the current-file panel goes, the statistics follow.
    void treeEntered();
    /// Draws one entry (the list's draw handler).
    void MainListBoxDrawItem(QPainter& painter, int index, const QRect& rect, bool current);

    // --- FileWindowUi -----------------------------------------------------------
    void setCurrDirLabel(const std::string& text) override;
    void setFileWindowEnabled(bool on) override;
    void setUpdating(bool on) override;
    void entriesChanged() override;
    void entryChanged(int index) override;
    void currentChanged(int index) override;
    int topIndex() const override;
    void setTopIndex(int index) override;
    void repaintFileWindow() override;
    bool fileWindowHasFocus() const override;
    bool treeHasFocus() const override;
    void focusFileWindow() override;
    void focusTree() override;
    void restoreFocus() override;
    void scrollTreeSelectionIntoView() override;
    void lockTreeUpdates(bool on) override;
    void setMaximized(bool on) override;
    bool currentFilePanelVisible() const override;
    void statisticsChanged() override;
    void currentFileChanged() override;
    void fileSpecChanged() override;
    void sortStateChanged() override;
    void formatChanged() override;
    void focusFileSpecBox() override;
    int fontHeight() const override;
    void runCommand(FileCommand command) override;

signals:
    /// A command of another window or a later subsystem (delete, execute, log
    /// disk, tagging, extended specification, media stop).
    void commandRequested(zentrix::FileCommand command);
    /// The program's file popup menu, at a screen position.
    void popupMenuRequested(const QPoint& globalPos);
    /// The shell's context menu for a file, at a screen position.
    void shellContextMenuRequested(const QString& fullName, const QPoint& globalPos);
    void maximizedChanged(bool maximized);
    void treeUpdatesLocked(bool locked);
    void treeSelectionScrollRequested();
    /// Without a tree widget: the tree should take the focus.
    void treeFocusRequested();
    /// The file window gained or lost the focus (menus, sbDirUp, quick view follow).
    void fileWindowFocusChanged(bool focused);
    void fileSpecBoxFocused();
    void sortStateUpdated();
    /// The display format or the full-path option changed.
    void displayStateUpdated();
    void currentFileUpdated();
    /// A drag of the current file started; `copy` while Ctrl was held.
    void dragStarted(bool copy);
    /// What the drag about to start carries (the window's own form and the
    /// files' URIs for other programs).
    void dragDataMade(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool listKeyDown(QKeyEvent* e);
    bool listWantsKey(QKeyEvent* e);
    void listMouseDown(QMouseEvent* e, int index);
    bool listWndProc(QEvent* e);
    void startDrag(QMouseEvent* e);
    void rightClickAt(int index, const QPoint& viewportPos, bool shiftHeld);
    void syncHeader();
    void attachFileSpecBox(QComboBox* box, bool attach);
    void addFileSpecHistory(const std::string& text);
    int keyCodeOf(const QKeyEvent* e) const;
    /// The width of a text in the list's font; plain ASCII text is summed from
    /// cached character widths instead of being laid out.
    int textWidth(std::string_view text) const;

    std::unique_ptr<QtIconProvider> m_icons;
    std::unique_ptr<FileWindow> m_model;
    Settings& m_settings;
    Catalogue& m_cat;
    QPointer<QWidget> m_listPanel;
    QPointer<FileHeader> m_header;
    QPointer<StatisticsPanel> m_stats;
    QPointer<TVirtualListBox> m_list; // MainListBox, watched
    QPointer<QWidget> m_tree;
    QPointer<QLabel> m_label;
    QPointer<QWidget> m_lastFocused;
    QPointer<QComboBox> m_specBox;
    QPointer<QAbstractItemView> m_specView; // the specification box's list
    QFont m_font;
    QFontMetrics m_metrics;
    std::array<int, 128> m_asciiWidths{};
    int m_ellipsisWidth = 0;
    int m_anchor = -1;
    bool m_dragging = false;
    int m_updating = 0;
};

} // namespace zentrix
