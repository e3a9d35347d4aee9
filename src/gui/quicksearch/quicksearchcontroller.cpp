#include "gui/quicksearch/quicksearchcontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/tree.h"
#include "config/historyboxes.h"
#include "config/settings.h"
#include "filewindow/filewindow.h"
#include "filewindow/filewindowui.h"
#include "gui/controls/a11y.h"
#include "gui/controls/thistorycombobox.h"
#include "platform/drivetable.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

THistoryComboBox* makeBox(const char* name, QWidget* parent) {
    const HistoryBoxSpec* spec = FindHistoryBox(kMainWindow, name);
    return THistoryComboBox::Create(*spec, parent, true);
}

QToolButton* makeButton(QWidget* parent, const char* name, const QString& accessible,
                        const char* icon, const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    NameComponent(button, name, accessible);
    button->setIcon(QIcon::fromTheme(icon));
    button->setText(text);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

bool listOpen(const THistoryComboBox* box) {
    return box->view() && box->view()->isVisible();
}

// Focus that comes and goes with the box's list or another window (a dialog,
// a message box) is not the user leaving or entering the box.
bool passingFocus(const THistoryComboBox* box, const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return true;
    // The open list takes the focus into its own window.
    const QWidget* now = QApplication::focusWidget();
    const QWidget* list = box->view() ? box->view()->window() : nullptr;
    return now && list && list != box->window() && (now == list || list->isAncestorOf(now));
}

} // namespace

QuickSearchController::QuickSearchController(Catalogue& catalogue, AppState& state,
                                             const Settings& settings, DiskLogger& logger,
                                             Prompter& prompter, CatalogueUi& ui,
                                             FileWindow& fileWindow, QWidget* window)
    : QObject(window), m_cat(catalogue), m_settings(settings), m_ui(ui), m_fileWindow(fileWindow),
      m_model(catalogue, state, logger, prompter, ui), m_window(window) {
    setObjectName("QuickSearchController");

    pnDirSearch = new QWidget(window);
    NameComponent(pnDirSearch, "pnDirSearch", "Quick directory search");
    auto* row = new QHBoxLayout(pnDirSearch);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    hbDirSearch = makeBox("hbDirSearch", pnDirSearch);
    hbDirSearch->setToolTip("Type the start of a directory name or a path ...");
    sbQSearchGo = makeButton(pnDirSearch, "sbQSearchGo", "Go", "go-jump", "Go",
                             "Go to selected directory ...");
    sbQSearchBrowse = makeButton(pnDirSearch, "sbQSearchBrowse", "Browse", "folder-open", "...",
                                 "Browse for a directory ...");
    sbQSearchFav = makeButton(pnDirSearch, "sbQSearchFav", "Favorites", "bookmarks", "*",
                              "Look in favorites for a directory ...");
    row->addWidget(hbDirSearch, 1);
    row->addWidget(sbQSearchGo);
    row->addWidget(sbQSearchBrowse);
    row->addWidget(sbQSearchFav);
    pnDirSearch->hide();

    hbFileSearch = makeBox("hbFileSearch", window);
    hbFileSearch->setToolTip("Type the start of a file name ...");
    hbFileSearch->hide();

    for (THistoryComboBox* box : {hbDirSearch, hbFileSearch}) {
        box->installEventFilter(this);
        if (QLineEdit* edit = box->lineEdit())
            edit->installEventFilter(this);
    }
    connect(sbQSearchGo, &QToolButton::clicked, this, &QuickSearchController::sbQSearchGoClick);
    connect(sbQSearchBrowse, &QToolButton::clicked, this,
            &QuickSearchController::QuickSearchBrowse);
    connect(sbQSearchFav, &QToolButton::clicked, this,
            [this] { QuickSearchFavorites(hbDirSearch); });
    connect(hbDirSearch, &TEnhComboBox::OnDropDown, this,
            &QuickSearchController::hbDirSearchDropDown);
    // Before the window's shared close-up handler, which saves the history.
    connect(hbFileSearch, &TEnhComboBox::OnCloseUp, this,
            &QuickSearchController::hbFileSearchCloseUp);
    if (QLineEdit* edit = hbFileSearch->lineEdit())
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!m_searchKeyTyped)
                return;
            m_searchKeyTyped = false;
            QuickSearch::FindFile(m_fileWindow, text.toStdString());
        });

    chooseFolder = [this](const std::string& start, bool classic) -> std::optional<std::string> {
        QFileDialog::Options options = QFileDialog::ShowDirsOnly;
        if (classic)
            options |= QFileDialog::DontUseNativeDialog;
        const QString dir =
            QFileDialog::getExistingDirectory(m_window, "Browse for folder", q(start), options);
        if (dir.isEmpty())
            return std::nullopt;
        return dir.toStdString();
    };

    m_commands = {
        {"miDirQSearchClick",
         [this] {
             miDirQSearchClick();
         }},
        {"pmiSearchClick",
         [this] {
             pmiSearchClick();
         }},
        {"pmiBrowseClick",
         [this] {
             pmiBrowseClick();
         }},
        {"pmiAddToDirQSearchClick",
         [this] {
             pmiAddToDirQSearchClick();
         }},
        {"pmiAddToFavClick",
         [this] {
             pmiAddToFavClick();
         }},
        {"miFileOtherQSearchClick",
         [this] {
             miFileOtherQSearchClick();
         }},
    };
}

std::string QuickSearchController::selectedPath() const {
    const TTreeNode* node = m_cat.Tree().Selected();
    return node ? node->Path() : std::string();
}

void QuickSearchController::restoreFileWindow() {
    if (m_fileWindow.Maximized())
        m_fileWindow.MaximizeMainListBox(false);
}

// --- quick directory search ------------------------------------------------------------

void QuickSearchController::showDirSearch(const QString& text) {
    restoreFileWindow(); // the panel sits above the tree
    hbDirSearch->setEditText(QString());
    pnDirSearch->show();
    hbDirSearch->setFocus(Qt::OtherFocusReason);
    if (!text.isEmpty()) {
        hbDirSearch->setEditText(text);
        if (QLineEdit* edit = hbDirSearch->lineEdit())
            edit->setCursorPosition(static_cast<int>(edit->text().size()));
    }
}

void QuickSearchController::miDirQSearchClick() {
    showDirSearch(QString());
}

void QuickSearchController::pmiSearchClick() {
    showDirSearch(q(selectedPath()));
}

void QuickSearchController::pmiBrowseClick() {
    showDirSearch(QString());
    QuickSearchBrowse();
}

void QuickSearchController::sbQSearchGoClick() {
    go(hbDirSearch->currentText().toStdString());
}

void QuickSearchController::go(const std::string& text) {
    // Opening a path may ask (a disk that is not ready) or warn: the event loop
    // runs inside, and only the text is held across it.
    if (!m_model.Go(text))
        return;
    addToDirHistory(q(text));
    m_ui.focusTree();
    pnDirSearch->hide();
}

void QuickSearchController::addToDirHistory(const QString& text) {
    if (text.isEmpty())
        return;
    hbDirSearch->Load();
    const std::vector<std::string> items = hbDirSearch->Items();
    if (std::find(items.begin(), items.end(), text.toStdString()) != items.end())
        return;
    hbDirSearch->setEditText(text);
    hbDirSearch->Save();
}

void QuickSearchController::QuickSearchBrowse() {
    std::string start = hbDirSearch->currentText().toStdString();
    if (start.empty())
        start = selectedPath();
    const std::string startHost = m_cat.Drives().ToHostPath(start).value_or(std::string());
    const bool classic = m_settings.Compatibility == 0;
    const auto chosen = chooseFolder ? chooseFolder(startHost, classic) : std::nullopt;
    if (!chosen)
        return;
    const auto path = m_model.BrowsedPath(*chosen, start);
    if (!path)
        return;
    // Nothing more until Enter: the path stays in the box to be looked at.
    hbDirSearch->setEditText(q(*path));
    if (QLineEdit* edit = hbDirSearch->lineEdit()) {
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        edit->selectAll();
    }
}

void QuickSearchController::QuickSearchFavorites(THistoryComboBox* box) {
    box->ShowInsteadOfHistory(m_model.Favorites());
}

void QuickSearchController::hbDirSearchDropDown() {
    if (hbDirSearch->Tag != 0)
        return;
    hbDirSearch->Load();
    if (hbDirSearch->count() > 0)
        hbDirSearch->setCurrentIndex(0);
}

bool QuickSearchController::dirSearchKey(QKeyEvent* key) {
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (key->key()) {
    case Qt::Key_F3:
        if (!plain || listOpen(hbDirSearch))
            return false;
        QuickSearchFavorites(hbDirSearch);
        return true;
    case Qt::Key_F2:
        if (!plain)
            return false;
        QuickSearchBrowse();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (listOpen(hbDirSearch))
            return false;
        go(hbDirSearch->currentText().toStdString());
        return true;
    case Qt::Key_Escape:
        if (listOpen(hbDirSearch)) {
            hbDirSearch->hidePopup();
            return true;
        }
        m_ui.focusTree();
        return true;
    default:
        return false;
    }
}

// --- recent directories, favorites, the quick search list --------------------------------

void QuickSearchController::mruDirsMRUItemClick(const std::string& path) {
    restoreFileWindow();
    m_ui.focusTree();
    m_model.OpenRecent(path);
}

void QuickSearchController::pmiAddToDirQSearchClick() {
    addToDirHistory(q(selectedPath()));
}

void QuickSearchController::pmiAddToFavClick() {
    const TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    m_model.AddFavorite(node->Path(), std::string(node->Text()));
}

void QuickSearchController::pmCurrDirPopup(QMenu* menu, const QPoint& globalPos) {
    if (!menu)
        return;
    if (showTreePage)
        showTreePage();
    const bool usable = !m_fileWindow.Maximized();
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions)
        action->setEnabled(usable);
    menu->exec(globalPos);
    for (QAction* action : actions)
        action->setEnabled(true);
}

// --- quick file search ---------------------------------------------------------------------

void QuickSearchController::miFileOtherQSearchClick() {
    hbFileSearch->setEditText(QString());
    hbFileSearch->show();
    hbFileSearch->setFocus(Qt::OtherFocusReason);
}

void QuickSearchController::hbFileSearchCloseUp() {
    QuickSearch::FindFile(m_fileWindow, hbFileSearch->currentText().toStdString());
}

bool QuickSearchController::fileSearchKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (listOpen(hbFileSearch)) {
            hbFileSearch->hidePopup();
            return true;
        }
        if (m_fileWindow.Current() < 0 && m_fileWindow.Count() > 0)
            m_fileWindow.SetCurrent(0);
        m_fileWindow.Ui().focusFileWindow();
        return true;
    default:
        break;
    }
    // A full stop, a digit or a letter searches with the text it makes.
    const QString text = key->text();
    const bool command =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    m_searchKeyTyped =
        !command && text.size() == 1 && (text[0] == '.' || text[0].isLetterOrNumber());
    return false;
}

bool QuickSearchController::eventFilter(QObject* watched, QEvent* event) {
    THistoryComboBox* box = nullptr;
    for (THistoryComboBox* b : {hbDirSearch, hbFileSearch})
        if (watched == b || watched == b->lineEdit())
            box = b;
    if (!box)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The box's own keys are not the menus' shortcuts while it has the focus.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
            (box == hbDirSearch && (key == Qt::Key_F2 || key == Qt::Key_F3))) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        return box == hbDirSearch ? dirSearchKey(static_cast<QKeyEvent*>(event))
                                  : fileSearchKey(static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        if (watched == box && !passingFocus(box, event))
            box->setEditText(QString());
        break;
    case QEvent::FocusOut:
        if (watched == box && !passingFocus(box, event)) {
            box->Save();
            (box == hbDirSearch ? pnDirSearch : static_cast<QWidget*>(hbFileSearch))->hide();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zentrix
