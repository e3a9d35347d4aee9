#include "filewindow/tagwizardrun.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/text.h"
#include "filewindow/fileage.h"
#include "filewindow/filespec.h"
#include "filewindow/filewindow.h"
#include "filewindow/tagcriterion.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/filetime.h"

#include <chrono>
#include <optional>

namespace zentrix {
namespace {

int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// A criterion taken apart for the walk over the records.
struct Condition {
    const TTreeNode* node = nullptr;
    bool recurse = false;
    FileSpecFilter spec{"*.*", false};
    std::optional<AgeLimit> age;
    bool older = false;
    bool hasSize = false;
    bool smaller = false;
    int64_t kb = 0;

    bool inDirectory(const TTreeNode* dirNode) const {
        return recurse ? dirNode->IsInBranchOf(node) : dirNode == node;
    }
    bool accepts(const TFileClass& f) const {
        if (!spec.Passes(f.FileName()))
            return false;
        if (age && (older ? age->Later(f.LastWriteTime()) : !age->NotEarlier(f.LastWriteTime())))
            return false;
        if (hasSize) {
            // The record keeps the low 32 bits of the size; read them unsigned, so
            // that files of 2 to 4 GB are not taken for negative sizes.
            const int64_t bytes = static_cast<uint32_t>(f.FileSize());
            if (smaller ? bytes > kb * 1024 : bytes / 1024 < kb)
                return false;
        }
        return true;
    }
};

int readNumber(const std::string& field) {
    return ReadAgeDays(Trim(std::string_view(field).substr(1)));
}

} // namespace

std::string WithFinalBackslash(std::string path) {
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

TagWizardRun::TagWizardRun(Catalogue& catalogue, AppState& state, DiskLogger& logger,
                           FileWindow& fileWindow, CatalogueUi& ui, Progress& progress)
    : m_cat(catalogue), m_state(state), m_logger(logger), m_fw(fileWindow), m_ui(ui),
      m_progress(progress) {
    now = [] {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return platform::ToFileTime(ts);
    };
}

void TagWizardRun::showPosition(int64_t position, bool force) {
    // The bar is drawn by time, not for every directory.
    const int64_t t = steadyMs();
    if (!force && t - m_lastShown < 40)
        return;
    m_lastShown = t;
    m_progress.setPosition(position);
}

void TagWizardRun::logUnloggedBelow(const std::string& path) {
    // Every directory below the node that is not logged yet is logged with its
    // whole branch; links to directories are not followed.
    TTreeNode* top = m_logger.FindNodeByPath(path);
    if (!top)
        return;
    std::vector<TTreeNode*> pending{top};
    while (!pending.empty()) {
        TTreeNode* node = pending.back();
        pending.pop_back();
        if (node != top && node->IsLink())
            continue;
        if (!node->Logged()) {
            m_logger.LogBranchRecursive(node);
            continue;
        }
        for (int i = node->Count(); i-- > 0;)
            pending.push_back(node->Item(i));
    }
}

void TagWizardRun::firstPass(const std::vector<std::string>& lines) {
    m_progress.setTotal(static_cast<int64_t>(lines.size()) - 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        showPosition(static_cast<int64_t>(i));
        const TagCriterion c = TagCriterion::Parse(lines[i]);
        const std::string path = WithFinalBackslash(c.directory);
        const auto host = m_cat.Drives().ToHostPath(path);
        if (!host || !platform::IsDirectory(*host))
            continue;
        m_logger.GoToDirPath(path);
        m_state.refillRequested = false;
        if (c.recurse) {
            logUnloggedBelow(path);
            m_state.refillRequested = false;
        }
    }
}

void TagWizardRun::secondPass(const std::vector<std::string>& lines) {
    const int64_t dirs = m_cat.LoggedDirs().Count();
    m_progress.setTotal(static_cast<int64_t>(lines.size()) * (dirs - 1));
    const int64_t nowTime = now();
    for (size_t i = 0; i < lines.size(); ++i) {
        const TagCriterion c = TagCriterion::Parse(lines[i]);
        Condition cond;
        cond.node = m_logger.FindNodeByPath(WithFinalBackslash(c.directory));
        if (!cond.node)
            continue; // no file can meet this criterion
        cond.recurse = c.recurse;
        std::string spec = UpperCase(c.fileSpec);
        const bool inverted = !spec.empty() && spec[0] == '\\';
        if (inverted)
            spec.erase(0, 1);
        if (spec.empty())
            spec = "*.*";
        cond.spec = FileSpecFilter(spec, inverted);
        if (!c.age.empty()) {
            cond.older = c.age[0] == '>';
            cond.age.emplace(nowTime, readNumber(c.age));
        }
        if (!c.size.empty()) {
            cond.hasSize = true;
            cond.smaller = c.size[0] == '<';
            cond.kb = readNumber(c.size);
        }
        int64_t d = 0;
        for (const TLoggedClass* dir : m_cat.LoggedDirs()) {
            showPosition(static_cast<int64_t>(i) * (dirs - 1) + d++);
            if (!cond.inDirectory(dir->DirNode()))
                continue;
            for (TFileClass* f : dir->FileList())
                if (!f->Tagged() && cond.accepts(*f))
                    f->SetTagged(true);
        }
    }
}

void TagWizardRun::Apply(const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    TTree& tree = m_cat.Tree();
    const std::string selected = tree.Selected() ? tree.Selected()->Path() : std::string();
    BusyGuard busy(m_state);
    m_ui.freezeTree(true);
    struct Unfreeze {
        CatalogueUi& ui;
        ~Unfreeze() { ui.freezeTree(false); }
    } unfreeze{m_ui};

    m_fw.sbDefaultFSpecClick();
    m_state.refillRequested = false;
    m_fw.EmptyWindow();

    for (const TLoggedClass* dir : m_cat.LoggedDirs())
        for (TFileClass* f : dir->FileList())
            f->SetTagged(false);

    firstPass(lines);
    secondPass(lines);

    if (TTreeNode* node = selected.empty() ? nullptr : m_logger.FindNodeByPath(selected)) {
        tree.Select(node);
        m_state.refillRequested = false;
        m_ui.scrollIntoView(node);
    }
    m_progress.showStop(false);
    m_state.scope = 5;
    m_fw.ResetDiskStatCache();
    m_state.requestRefill();
}

} // namespace zentrix
