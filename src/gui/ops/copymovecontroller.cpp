#include "gui/ops/copymovecontroller.h"

#include "catalogue/catalogue.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "core/plugincalls.h"
#include "core/prompter.h"
#include "gui/controls/systemclipboard.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/ops/tcopymovepage.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"
#include "platform/gtkbookmarks.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStackedWidget>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

CopyMoveController::CopyMoveController(Catalogue& catalogue, AppState& state,
                                       FileWindow& fileWindow, DiskLogger& logger,
                                       TWDList& watchDog, TFileOperator& fileOperator,
                                       Prompter& prompter, CatalogueUi& catalogueUi,
                                       PluginCalls& plugins, QWidget* parent)
    : QObject(parent),
      m_model(std::make_unique<CopyMoveCommands>(catalogue, state, fileWindow, logger, watchDog,
                                                 fileOperator, prompter, catalogueUi)),
      m_cat(catalogue), m_plugins(plugins), m_prompter(prompter), m_owner(parent) {
    setObjectName("CopyMoveController");
    m_model->SetUi(this);
    for (CopyMovePage kind :
         {CopyMovePage::CopyAs, CopyMovePage::FullCopyAs, CopyMovePage::CopyTo,
          CopyMovePage::MoveAs, CopyMovePage::FullMoveAs, CopyMovePage::MoveTo}) {
        auto* page = new TCopyMovePage(kind, parent);
        page->hide();
        m_pages.push_back(page);
        connect(page, &TCopyMovePage::okClicked, this, [this, page](const QString& text) {
            m_model->PageOK(page->page(), text.toStdString());
        });
        connect(page, &TCopyMovePage::cancelClicked, this, [this] { m_model->PageCancel(); });
        connect(page, &TCopyMovePage::browseClicked, this, [this, page] { browse(page); });
        connect(page, &TCopyMovePage::favoritesClicked, this, [this, page] { favorites(page); });
        connect(page, &TCopyMovePage::prevDiskClicked, this,
                [this, page] { switchDisk(page, false); });
        connect(page, &TCopyMovePage::nextDiskClicked, this,
                [this, page] { switchDisk(page, true); });
        // A favorite chosen from the list: the history comes back with it.
        connect(page->box, qOverload<int>(&QComboBox::activated), this, [page](int) {
            if (page->box->Tag != 0)
                HistoryBoxWriteIniOnCloseUp(page->box);
        });
    }
    for (auto& [name, handler] : m_model->Commands())
        m_commands.emplace(name, std::move(handler));
    // The desktop's clipboard: the tagged files (or the current one) for other
    // programs, and what other programs put there pasted into the directory
    // the tree shows.
    m_commands.emplace("CopyToClipboard", [this] { filesToClipboard(false); });
    m_commands.emplace("CutToClipboard", [this] { filesToClipboard(true); });
    m_commands.emplace("PasteFromClipboard", [this] { pasteFromClipboard(); });
    chooseFolder = [this](const std::string& start) -> std::optional<std::string> {
        const QString dir = QFileDialog::getExistingDirectory(
            m_owner, "Browse for folder", q(start),
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (dir.isEmpty())
            return std::nullopt;
        return dir.toStdString();
    };
}

CopyMoveController::~CopyMoveController() {
    m_model->SetUi(nullptr);
    for (TCopyMovePage* page : m_pages)
        if (!page->parent())
            delete page;
}

TCopyMovePage* CopyMoveController::page(CopyMovePage kind) const {
    for (TCopyMovePage* p : m_pages)
        if (p->page() == kind)
            return p;
    return nullptr;
}

void CopyMoveController::filesToClipboard(bool cut) {
    const std::vector<std::string> paths = m_model->ClipboardFiles();
    if (paths.empty()) {
        m_prompter.beep();
        return;
    }
    PutFilesOnClipboard(paths, cut);
}

void CopyMoveController::pasteFromClipboard() {
    const TTreeNode* target = m_cat.Tree().Selected();
    const auto files = FilesOnClipboard();
    if (!target || !files) {
        m_prompter.beep();
        return;
    }
    if (m_model->PasteFiles(target->Path(), files->paths, files->cut) && files->cut)
        ClearClipboard();
}

TCopyMovePage* CopyMoveController::currentPage() const {
    return qobject_cast<TCopyMovePage*>(m_strip.Up());
}

QStackedWidget* CopyMoveController::pageControl(QWidget* page) {
    return page ? qobject_cast<QStackedWidget*>(page->parentWidget()) : nullptr;
}

void CopyMoveController::showPage(CopyMovePage kind, const std::string& text, bool selectAll) {
    TCopyMovePage* page = this->page(kind);
    if (!page)
        return;
    if (page->box->Tag != 0) { // favorites left in the list: the history comes back
        page->box->Tag = 0;
        page->box->Load();
    }
    m_strip.Show(pageControl(page), page);
    emit commandPageShown(page);
    page->box->setEditText(q(text));
    page->box->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = page->box->lineEdit()) {
        if (selectAll)
            edit->selectAll();
        else
            edit->setCursorPosition(edit->text().size());
    }
}

void CopyMoveController::closePage() {
    QWidget* page = m_strip.Up();
    if (!page)
        return;
    m_strip.Close(pageControl(page));
    emit commandPageClosed();
}

void CopyMoveController::addHistory(CopyMovePage kind, const std::string& text) {
    if (TCopyMovePage* page = this->page(kind)) {
        page->box->setEditText(q(text));
        page->box->Save();
    }
}

std::string CopyMoveController::recentHistory(CopyMovePage kind) {
    TCopyMovePage* page = this->page(kind);
    if (!page || page->box->count() == 0)
        return {};
    return page->box->itemText(0).toStdString();
}

void CopyMoveController::setHourglass(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CopyMoveController::browse(TCopyMovePage* page) {
    const std::string current = page->text().toStdString();
    if (!page->isToPage()) {
        if (auto spec = m_plugins.CallExtendedFileSpec(m_cat.UserFileTypes, current, m_owner))
            page->box->setEditText(q(*spec));
        return;
    }
    // Start at the box's directory, or at the tree's current one.
    std::string start = current;
    if (start.empty())
        if (const TTreeNode* node = m_cat.Tree().Selected())
            start = node->Path();
    const std::string startHost = m_cat.Drives().ToHostPath(start).value_or(start);
    const auto chosen = chooseFolder ? chooseFolder(startHost) : std::nullopt;
    if (!chosen)
        return;
    // The system's own spelling of the directory (links and ".." resolved).
    const std::string resolved = platform::ResolvedPath(*chosen);
    const std::string shown = m_cat.Drives().ToCataloguePath(resolved, true).value_or(current);
    page->box->setEditText(q(shown));
    if (QLineEdit* edit = page->box->lineEdit())
        edit->setCursorPosition(edit->text().size());
}

void CopyMoveController::favorites(TCopyMovePage* page) {
    // No favorites: the history stays in the list.
    page->box->ShowInsteadOfHistory(platform::FavoriteDirectories(m_cat.Drives()));
}

void CopyMoveController::switchDisk(TCopyMovePage* page, bool next) {
    if (!next && loggedDiskCount && loggedDiskCount() < 2)
        return;
    if (next && nextDisk)
        nextDisk();
    else if (!next && prevDisk)
        prevDisk();
    if (const TTreeNode* node = m_cat.Tree().Selected()) {
        page->box->setEditText(q(node->Path()));
        page->box->setFocus(Qt::OtherFocusReason);
        if (QLineEdit* edit = page->box->lineEdit())
            edit->setCursorPosition(edit->text().size());
    }
}

} // namespace zentrix
