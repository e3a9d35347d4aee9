#include "app/quicksearch.h"

#include "app/appframe.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/noderef.h"
#include "catalogue/tree.h"
#include "catalogue/typeddirectory.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/text.h"
#include "filewindow/filewindow.h"
#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/filetransfer.h"
#include "platform/gtkbookmarks.h"

#include <algorithm>
#include <cctype>

namespace zentrix {
namespace {

bool beginsWith(std::string_view text, std::string_view upperPrefix) {
    // Most names differ in their first byte: only those that may match are
    // upper-cased whole.
    if (text.empty() || upperPrefix.empty())
        return upperPrefix.empty();
    const auto first = static_cast<unsigned char>(text[0]);
    if (first < 0x80 && std::toupper(first) != static_cast<unsigned char>(upperPrefix[0]))
        return false;
    return UpperCase(text).starts_with(upperPrefix);
}

bool isDrivePath(std::string_view path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && path[2] == '\\';
}

} // namespace

QuickSearch::QuickSearch(Catalogue& catalogue, AppState& state, DiskLogger& logger,
                         Prompter& prompter, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_logger(logger), m_prompter(prompter), m_ui(ui) {}

const platform::DriveTable& QuickSearch::drives() const {
    return m_cat.Drives();
}

TTreeNode* QuickSearch::FindByPrefix(const TTree& tree, const TTreeNode* selected,
                                     std::string_view prefix) {
    const std::string upper = UpperCase(prefix);
    if (upper.empty())
        return nullptr;
    TTreeNode* from = selected && beginsWith(selected->Text(), upper)
                          ? tree.NextInPreOrder(selected)
                          : tree.FirstTop();
    for (TTreeNode* n = from; n; n = tree.NextInPreOrder(n))
        if (beginsWith(n->Text(), upper))
            return n;
    return nullptr;
}

bool QuickSearch::Go(const std::string& text) {
    if (text.empty())
        return false;
    if (text.find('\\') != std::string::npos || IsHostPathText(text)) {
        OpenPath(text);
    } else if (TTreeNode* found = FindByPrefix(m_cat.Tree(), m_cat.Tree().Selected(), text)) {
        // Selecting asks for a disk that is not ready, and may release it.
        const TNodeRef ref(found);
        m_cat.Tree().Select(found);
        if (ref && m_cat.Tree().Selected() == ref.get())
            m_ui.scrollIntoView(ref.get());
    }
    // The file window shows the directory reached now, not when a key is
    // released in the tree.
    if (m_state.treeSelectionChanged)
        m_state.requestRefill();
    return true;
}

bool QuickSearch::OpenPath(const std::string& path) {
    if (!isDrivePath(path) && !IsHostPathText(path)) {
        m_prompter.warnWith("Directory does not exist!     ", DirectoryProblem(drives(), path));
        return false;
    }
    return AppFrame::OpenStartDirectory(m_logger, drives(), m_prompter, m_state, path);
}

void QuickSearch::OpenRecent(const std::string& path) {
    m_state.scope = 1;
    OpenPath(path);
    m_state.requestRefill();
}

std::vector<std::string> QuickSearch::Favorites() const {
    return platform::FavoriteDirectories(drives());
}

bool QuickSearch::AddFavorite(const std::string& dirPath, const std::string& defaultName) {
    const auto name = m_prompter.inputText("Zentrix", "Add to favorites as:", defaultName);
    if (!name)
        return false;
    const auto host = drives().ToHostPath(dirPath);
    try {
        if (!host)
            throw platform::FileWriteError(dirPath, "not on a drive");
        platform::AddGtkBookmark(*host, *name);
    } catch (const platform::FileWriteError& e) {
        m_prompter.warnWith("Operation failed!     ", e.what());
        return false;
    }
    return true;
}

std::optional<std::string> QuickSearch::BrowsedPath(const std::string& chosenHost,
                                                    const std::string& start) const {
    auto readBack = [this](const std::string& host) -> std::optional<std::string> {
        if (host.empty() || !platform::IsDirectory(host))
            return std::nullopt;
        return drives().ToCataloguePath(platform::ResolvedPath(host), true);
    };
    if (auto path = readBack(chosenHost))
        return path;
    if (auto startHost = drives().ToHostPath(start))
        return readBack(*startHost);
    return std::nullopt;
}

int QuickSearch::FindFile(FileWindow& window, std::string_view text) {
    const std::string upper = UpperCase(text);
    if (upper.empty() || upper[0] < 'A' || upper[0] > 'Z')
        return -1;
    const int count = window.Count();
    for (int i = std::max(window.Current(), 0); i < count; ++i) {
        if (beginsWith(window.Text(i), upper)) {
            if (i != window.Current())
                window.SetCurrent(i);
            return i;
        }
    }
    return -1;
}

} // namespace zentrix
