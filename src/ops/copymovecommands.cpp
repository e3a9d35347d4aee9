#include "ops/copymovecommands.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/noderef.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "catalogue/typeddirectory.h"
#include "core/appstate.h"
#include "core/prompter.h"
#include "core/text.h"
#include "filewindow/filewindow.h"
#include "ops/namemask.h"
#include "ops/operationjournal.h"
#include "ops/seenfile.h"
#include "ops/tfileoperator.h"
#include "ops/twdlist.h"
#include "ops/watchdogrun.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"

#include <algorithm>
#include <set>

namespace zentrix {
namespace {

constexpr const char* kNoTagged = "There are no tagged files to operate with!     ";

bool hostExists(const std::optional<std::string>& host) {
    platform::EntryStat st;
    return host && platform::StatPath(*host, st) == 0;
}

std::string withoutTrailingBackslash(std::string path) {
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        const size_t sep = path.find('\\', pos);
        out.push_back(path.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos));
        if (sep == std::string::npos)
            return out;
        pos = sep + 1;
    }
}

/// The program-wide flag for the life of one operation.
class RunningFlag {
public:
    explicit RunningFlag(AppState& state) : m_state(state) { m_state.fileOperationRunning = true; }
    ~RunningFlag() { m_state.fileOperationRunning = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    AppState& m_state;
};

class Hourglass {
public:
    explicit Hourglass(CopyMoveUi& ui) : m_ui(ui) { m_ui.setHourglass(true); }
    ~Hourglass() { m_ui.setHourglass(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    CopyMoveUi& m_ui;
};

} // namespace

CopyMoveCommands::CopyMoveCommands(Catalogue& catalogue, AppState& state, FileWindow& fileWindow,
                                   DiskLogger& logger, TWDList& watchDog,
                                   TFileOperator& fileOperator, Prompter& prompter,
                                   CatalogueUi& catalogueUi)
    : m_cat(catalogue), m_state(state), m_fileWindow(fileWindow), m_logger(logger),
      m_watchDog(watchDog), m_operator(fileOperator), m_prompter(prompter),
      m_catalogueUi(catalogueUi) {}

const char* CopyMoveCommands::PageCaption(CopyMovePage page) {
    switch (page) {
    case CopyMovePage::CopyAs:
        return "Copy file(s) as:";
    case CopyMovePage::FullCopyAs:
        return "Copy file(s) with paths as:";
    case CopyMovePage::CopyTo:
        return "Copy to:";
    case CopyMovePage::MoveAs:
        return "Move file(s) as:";
    case CopyMovePage::FullMoveAs:
        return "Move file(s) with paths as:";
    case CopyMovePage::MoveTo:
        break;
    }
    return "Move to:";
}

const char* CopyMoveCommands::PageBox(CopyMovePage page) {
    switch (page) {
    case CopyMovePage::CopyAs:
        return "hbCopyAs";
    case CopyMovePage::FullCopyAs:
        return "hbFullCopyAs";
    case CopyMovePage::CopyTo:
        return "hbCopyTo";
    case CopyMovePage::MoveAs:
        return "hbMoveAs";
    case CopyMovePage::FullMoveAs:
        return "hbFullMoveAs";
    case CopyMovePage::MoveTo:
        break;
    }
    return "hbMoveTo";
}

std::map<std::string, std::function<void()>> CopyMoveCommands::Commands() {
    return {
        {"CopySingleFile",
         [this] {
             CopySingleFile();
         }},
        {"CopyTaggedFiles",
         [this] {
             CopyTaggedFiles();
         }},
        {"CopyPathTaggedFiles",
         [this] {
             CopyPathTaggedFiles();
         }},
        {"MoveSingleFile",
         [this] {
             MoveSingleFile();
         }},
        {"MoveTaggedFiles",
         [this] {
             MoveTaggedFiles();
         }},
        {"MovePathTaggedFiles",
         [this] {
             MovePathTaggedFiles();
         }},
    };
}

// --- starting a command ----------------------------------------------------------------

void CopyMoveCommands::CopySingleFile() {
    startSingle(Kind::Copy);
}
void CopyMoveCommands::MoveSingleFile() {
    startSingle(Kind::Move);
}
void CopyMoveCommands::CopyTaggedFiles() {
    startTagged(Kind::Copy, false);
}
void CopyMoveCommands::MoveTaggedFiles() {
    startTagged(Kind::Move, false);
}
void CopyMoveCommands::CopyPathTaggedFiles() {
    startTagged(Kind::Copy, true);
}
void CopyMoveCommands::MovePathTaggedFiles() {
    startTagged(Kind::Move, true);
}

void CopyMoveCommands::startSingle(Kind kind) {
    if (m_state.fileOperationRunning)
        return;
    const TFileClass* record = m_fileWindow.Record(m_fileWindow.Current());
    if (!record)
        return;
    const std::string path = record->FullName();
    SeenFile seen = SeenFile::Of(*record, m_cat.HostPath(record).value_or(std::string()));
    record = nullptr; // the question lets events through
    if (kind == Kind::Move &&
        !m_watchDog.MayTouchFile(
            path, "Moving this file could cause Windows to malfunction! Move anyway?     "))
        return;
    m_sources = {path};
    m_seen = {std::move(seen)};
    m_withPaths = false;
    m_ui->showPage(kind == Kind::Copy ? CopyMovePage::CopyAs : CopyMovePage::MoveAs, "*.*", true);
}

void CopyMoveCommands::startTagged(Kind kind, bool withPaths) {
    if (m_state.fileOperationRunning)
        return;
    bool anyTagged = false;
    for (int i = 0, n = m_fileWindow.Count(); i < n && !anyTagged; ++i)
        anyTagged = m_fileWindow.Record(i) && m_fileWindow.Record(i)->Tagged();
    if (!anyTagged) {
        if (!withPaths)
            m_prompter.inform(kNoTagged);
        return;
    }
    std::vector<std::string> paths;
    std::vector<SeenFile> seen;
    {
        Hourglass hourglass(*m_ui);
        // Indexes, not records, across the questions: a question lets events
        // through, and the window is looked at afresh for every entry.
        for (int i = 0; i < m_fileWindow.Count(); ++i) {
            const TFileClass* record = m_fileWindow.Record(i);
            if (!record || !record->Tagged())
                continue;
            const std::string path = record->FullName();
            seen.push_back(SeenFile::Of(*record, m_cat.HostPath(record).value_or(std::string())));
            if (kind == Kind::Move &&
                !m_watchDog.MayTouchFile(path, "Moving file: " + path +
                                                   " could cause Windows to malfunction! "
                                                   "Move anyway?     "))
                continue;
            paths.push_back(path);
        }
    }
    if (paths.empty())
        return;
    m_seen = std::move(seen);
    if (withPaths) {
        m_withPathsList = std::move(paths);
    } else {
        m_sources = std::move(paths);
        m_withPaths = false;
    }
    const CopyMovePage page = kind == Kind::Copy
                                  ? (withPaths ? CopyMovePage::FullCopyAs : CopyMovePage::CopyAs)
                                  : (withPaths ? CopyMovePage::FullMoveAs : CopyMovePage::MoveAs);
    m_ui->showPage(page, "*.*", true);
}

// --- the prompts --------------------------------------------------------------------------

void CopyMoveCommands::OK_FileCopyAs(const std::string& text) {
    okAs(Kind::Copy, false, text);
}
void CopyMoveCommands::bbFullCopyOKClick(const std::string& text) {
    okAs(Kind::Copy, true, text);
}
void CopyMoveCommands::OK_FileMoveAs(const std::string& text) {
    okAs(Kind::Move, false, text);
}
void CopyMoveCommands::bbFullMoveOKClick(const std::string& text) {
    okAs(Kind::Move, true, text);
}
void CopyMoveCommands::OK_FileCopyTo(const std::string& text) {
    okTo(Kind::Copy, text);
}
void CopyMoveCommands::OK_FileMoveTo(const std::string& text) {
    okTo(Kind::Move, text);
}

void CopyMoveCommands::PageOK(CopyMovePage page, const std::string& text) {
    switch (page) {
    case CopyMovePage::CopyAs:
        return OK_FileCopyAs(text);
    case CopyMovePage::FullCopyAs:
        return bbFullCopyOKClick(text);
    case CopyMovePage::CopyTo:
        return OK_FileCopyTo(text);
    case CopyMovePage::MoveAs:
        return OK_FileMoveAs(text);
    case CopyMovePage::FullMoveAs:
        return bbFullMoveOKClick(text);
    case CopyMovePage::MoveTo:
        return OK_FileMoveTo(text);
    }
}

void CopyMoveCommands::PageCancel() {
    m_ui->closePage();
    m_catalogueUi.focusFileWindow();
}

void CopyMoveCommands::okAs(Kind kind, bool withPaths, const std::string& text) {
    if (text.empty()) {
        m_catalogueUi.playCompletionSound();
        return;
    }
    const CopyMovePage asPage = kind == Kind::Copy
                                    ? (withPaths ? CopyMovePage::FullCopyAs : CopyMovePage::CopyAs)
                                    : (withPaths ? CopyMovePage::FullMoveAs : CopyMovePage::MoveAs);
    const CopyMovePage toPage = kind == Kind::Copy ? CopyMovePage::CopyTo : CopyMovePage::MoveTo;
    m_ui->addHistory(asPage, text);
    m_asMask = text;
    if (withPaths) {
        m_withPaths = true;
        m_ui->showPage(toPage, "", false);
    } else {
        m_ui->showPage(toPage, m_ui->recentHistory(toPage), true);
    }
}

std::string CopyMoveCommands::DestinationDir(const std::string& text, const std::string& currentDir,
                                             char currentDisk, bool dotAllowed) {
    std::string dest;
    if (dotAllowed && Trim(text) == ".")
        dest = currentDir;
    else if (!text.empty() && text[0] == '\\')
        dest = std::string(1, currentDisk) + ":\\" + Trim(text.substr(1));
    else
        dest = text;
    if (dest.empty() || dest.back() != '\\')
        dest += '\\';
    return dest;
}

std::vector<std::string>
CopyMoveCommands::StripCommonDirectories(const std::vector<std::string>& paths,
                                         bool keepLastCommon) {
    if (paths.empty())
        return {};
    if (paths.size() == 1) {
        const std::vector<std::string> parts = components(paths[0]);
        if (!keepLastCommon || parts.size() < 2)
            return {parts.back()};
        return {parts[parts.size() - 2] + "\\" + parts.back()};
    }
    std::vector<std::vector<std::string>> parts;
    for (const std::string& p : paths)
        parts.push_back(components(p));
    // k: the first component (from 0 here) where not all paths agree.
    size_t k = 0;
    for (;; ++k) {
        bool same = k < parts[0].size();
        for (size_t i = 1; same && i < parts.size(); ++i)
            same = k < parts[i].size() && parts[i][k] == parts[0][k];
        if (!same)
            break;
    }
    bool oneDirectory = true;
    for (const auto& p : parts)
        oneDirectory = oneDirectory && p.size() == parts[0].size();
    oneDirectory = oneDirectory && k + 1 >= parts[0].size();
    if (keepLastCommon && oneDirectory && k > 0)
        --k;
    // The character position of component k, from the first path (the
    // components before it are the same in all). Nothing is trimmed: a blank
    // at either end belongs to the name.
    size_t offset = 0;
    for (size_t i = 0; i < k && i < parts[0].size(); ++i)
        offset += parts[0][i].size() + 1;
    std::vector<std::string> out;
    for (const std::string& p : paths)
        out.push_back(offset < p.size() ? p.substr(offset) : std::string());
    return out;
}

void CopyMoveCommands::buildWithPaths(const std::string& dest,
                                      const std::vector<std::string>& sources,
                                      std::vector<std::string>& targets) {
    std::vector<std::string> relative;
    for (const std::string& path : sources)
        relative.push_back(path.size() > 3 ? path.substr(3) : std::string());
    if (m_prompter.askYesNo("Strip common directories ?     "))
        relative = StripCommonDirectories(relative, true);
    const platform::DriveTable& drives = m_cat.Drives();
    for (size_t i = 0; i < sources.size() && i < relative.size(); ++i) {
        const std::string& rel = relative[i];
        const size_t slash = rel.find_last_of('\\');
        const std::string targetDir =
            dest + (slash == std::string::npos ? "" : rel.substr(0, slash + 1));
        const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
        targets.push_back(targetDir +
                          ApplyNameMaskToFile(name, m_asMask, [&](const std::string& n) {
                              return hostExists(drives.ToHostPath(targetDir + n));
                          }));
    }
}

void CopyMoveCommands::okTo(Kind kind, const std::string& text) {
    if (m_state.fileOperationRunning)
        return;
    if (text.empty()) {
        m_catalogueUi.playCompletionSound();
        return;
    }
    // A host path ("/srv/backup", "~/Documents") is the directory a drive has
    // for it; one that no drive holds is refused, the page staying up.
    std::string typed = text;
    if (IsHostPathText(text)) {
        TypedDirectory dir = ResolveTypedDirectory(m_cat.Drives(), text, false);
        if (!dir.path) {
            m_prompter.warnWith("Directory does not exist!     ", dir.problem);
            return;
        }
        typed = std::move(*dir.path);
    }
    const TTreeNode* selected = m_cat.Tree().Selected();
    const std::string currentDir = selected ? selected->Path() : std::string();
    const std::string dest =
        DestinationDir(typed, currentDir, m_state.currentDisk, kind == Kind::Copy);
    const std::string destText = withoutTrailingBackslash(dest);
    const CopyMovePage toPage = kind == Kind::Copy ? CopyMovePage::CopyTo : CopyMovePage::MoveTo;
    m_ui->addHistory(toPage, dest);
    m_ui->closePage();
    std::vector<std::string> sources = m_withPaths ? m_withPathsList : m_sources;
    // A move takes the files away from where the user saw them: a file that
    // changed since goes only when the user says so.
    if (kind == Kind::Move && !keepSeen(sources))
        return;
    {
        RunningFlag running(m_state);
        BusyGuard busy(m_state);

        const std::vector<std::string> logged = sources; // the sources as the log names them
        std::set<std::string> targetDirs = {dest};       // where the copies go, to show in the tree
        if (m_withPaths) {
            std::vector<std::string> targets;
            buildWithPaths(dest, sources, targets);
            for (const std::string& target : targets)
                targetDirs.insert(target.substr(0, target.find_last_of('\\') + 1));
            m_operator.SetSources(std::move(sources));
            m_operator.SetDestinations(std::move(targets));
            m_operator.Flags.add(FileOpFlag::foNoConfirmMkDir);
        } else {
            m_operator.SetSources(std::move(sources));
            m_operator.SetDestination(dest, m_asMask);
        }
        // Whether to log is decided before the work.
        WatchDogRun log(m_watchDog,
                        kind == Kind::Copy ? WDOperation::CopyFile : WDOperation::MoveFile,
                        m_state.scope != 1);
        m_operator.Operation = kind == Kind::Copy ? FileOperation::foCopy : FileOperation::foMove;
        m_catalogueUi.setCurrDirLabel("Please wait ...");
        // The command is one entry of the undo journal, whatever it copies.
        std::unique_ptr<OperationRecord> record;
        if (m_journal && m_operator.Flags.has(FileOpFlag::foAllowUndo) && !logged.empty()) {
            const std::string& first = logged.front();
            record = m_journal->Begin(
                {kind == Kind::Copy ? OperationKind::Copy : OperationKind::Move,
                 logged.size() == 1 ? first : first.substr(0, first.find_last_of('\\') + 1), dest});
        }
        m_operator.Record = record.get();
        m_operator.Execute(); // its own questions told the user what went wrong
        m_operator.Record = nullptr;
        if (record)
            record->Commit();
        m_operator.Flags.remove(FileOpFlag::foNoConfirmMkDir);
        // Directories the operation made are nodes at once where their parent
        // is logged, as if the directory commands had made them.
        for (const std::string& dir : targetDirs)
            m_logger.ShowMadeDirectory(dir);

        if (kind == Kind::Move) {
            // Only the existence test counts: a partly failed or cancelled move
            // removes exactly the records of the files that left.
            std::string removedDir;
            for (int i = m_fileWindow.Count() - 1; i >= 0; --i) {
                const TFileClass* record = m_fileWindow.Record(i);
                if (!record || hostExists(m_cat.HostPath(record)))
                    continue;
                const std::string old = record->FullName();
                removedDir = record->FileDirName();
                m_fileWindow.RemoveEntry(i);
                log.Handled(old, destText);
            }
            log.Finish(removedDir, destText);
            if (m_fileWindow.Count() == 0) {
                m_fileWindow.MaximizeMainListBox(false);
                m_catalogueUi.focusTree();
                if (m_state.scope != 1) {
                    m_state.scope = 1;
                    m_state.requestRefill();
                }
            } else if (m_fileWindow.Current() < 0) {
                m_fileWindow.SetCurrent(0);
            }
        } else {
            for (const std::string& source : logged)
                log.Handled(source, destText);
            const std::string first = logged.empty() ? std::string() : logged.front();
            log.Finish(first.substr(0, first.find_last_of('\\') + 1), destText);
        }
        refreshDestination(dest);
        m_fileWindow.UpdateStatistics();
        m_catalogueUi.updateStatistics();
        m_catalogueUi.repaintTree();
        if (const TTreeNode* node = m_cat.Tree().Selected())
            m_catalogueUi.setCurrDirLabel(node->Path());
    }
    m_catalogueUi.playCompletionSound();
}

bool CopyMoveCommands::keepSeen(std::vector<std::string>& sources) {
    for (const SeenFile& seen : m_seen) {
        const auto it = std::find(sources.begin(), sources.end(), seen.fullName);
        if (it == sources.end())
            continue;
        const auto now = ChangedSinceSeen(seen);
        if (!now)
            continue;
        for (int i = 0; i < m_fileWindow.Count(); ++i)
            if (TFileClass* record = m_fileWindow.Record(i);
                record && record->FullName() == seen.fullName) {
                TakeDiskState(*record, *now);
                m_fileWindow.EntryChanged(i);
                break;
            }
        m_fileWindow.UpdateStatistics();
        const Answer answer =
            m_prompter.askYesNoCancel(ChangedFileQuestion(seen, *now, "Move it anyway?"));
        if (answer == Answer::Cancel) {
            m_catalogueUi.focusFileWindow();
            return false;
        }
        if (answer == Answer::No)
            sources.erase(std::find(sources.begin(), sources.end(), seen.fullName));
    }
    return true;
}

void CopyMoveCommands::refreshDestination(const std::string& dest) {
    TTreeNode* node = m_logger.FindNodeByPath(dest);
    if (!node || !node->Logged())
        return;
    m_logger.RefreshDir(node);
    if (node == m_cat.Tree().Selected())
        m_state.requestRefill();
}

void CopyMoveCommands::DropOnTree(const std::string& targetDir,
                                  const std::vector<std::string>& names, bool move) {
    if (names.empty() || m_state.fileOperationRunning)
        return;
    const std::string verb = move ? "Move " : "Copy ";
    if (!m_prompter.askOkCancel(verb + std::to_string(names.size()) + " files to: " + targetDir +
                                " ?     "))
        return;
    m_seen.clear();
    if (m_prompter.askYesNo(verb + "with full paths?     ")) {
        m_withPathsList = names;
        m_withPaths = true;
    } else {
        m_sources = names;
        m_withPaths = false;
    }
    m_asMask = "*.*";
    if (move)
        OK_FileMoveTo(targetDir);
    else
        OK_FileCopyTo(targetDir);
}

bool CopyMoveCommands::PasteFiles(const std::string& targetDir,
                                  const std::vector<std::string>& hostPaths, bool move) {
    if (hostPaths.empty() || m_state.fileOperationRunning)
        return false;
    std::vector<std::string> names;
    for (const std::string& host : hostPaths)
        names.push_back(m_cat.Drives().ToCataloguePath(host, false).value_or(host));
    if (!m_prompter.askOkCancel(std::string(move ? "Move " : "Copy ") +
                                std::to_string(names.size()) + " files to: " + targetDir +
                                " ?     "))
        return false;
    m_sources = names;
    m_seen.clear();
    m_withPaths = false;
    m_asMask = "*.*";
    okTo(move ? Kind::Move : Kind::Copy, targetDir);
    if (move) {
        // The directories the files left are read again where they are logged.
        std::vector<std::string> left;
        for (const std::string& name : names) {
            const size_t slash = name.find_last_of('\\');
            if (name.size() > 2 && name[1] == ':' && slash != std::string::npos)
                left.push_back(name.substr(0, slash + 1));
        }
        std::sort(left.begin(), left.end());
        left.erase(std::unique(left.begin(), left.end()), left.end());
        for (const std::string& dir : left)
            refreshDestination(dir);
    }
    return true;
}

std::vector<std::string> CopyMoveCommands::ClipboardFiles() {
    std::vector<std::string> paths;
    for (const TFileClass* file : m_fileWindow.TaggedOrCurrent())
        if (const auto host = m_cat.HostPath(file))
            paths.push_back(*host);
    return paths;
}

void CopyMoveCommands::DropFromFileWindow(const std::string& targetDir, bool copy) {
    if (m_state.fileOperationRunning)
        return;
    const Kind kind = copy ? Kind::Copy : Kind::Move;
    std::vector<std::string> paths;
    std::vector<SeenFile> seen;
    for (int i = 0; i < m_fileWindow.Count(); ++i)
        if (const TFileClass* record = m_fileWindow.Record(i); record && record->Tagged()) {
            paths.push_back(record->FullName());
            seen.push_back(SeenFile::Of(*record, m_cat.HostPath(record).value_or(std::string())));
        }
    if (paths.empty()) {
        TFileClass* current = m_fileWindow.Record(m_fileWindow.Current());
        if (!current)
            return;
        current->SetTagged(true);
        paths.push_back(current->FullName());
        seen.push_back(SeenFile::Of(*current, m_cat.HostPath(current).value_or(std::string())));
    }
    if (kind == Kind::Move) {
        std::vector<std::string> allowed;
        for (const std::string& path : paths)
            if (m_watchDog.MayTouchFile(path, "Moving file: " + path +
                                                  " could cause Windows to malfunction! "
                                                  "Move anyway?     "))
                allowed.push_back(path);
        paths = std::move(allowed);
        if (paths.empty())
            return;
    }
    // Afterwards the tree goes back to the current file's directory.
    std::string backTo;
    if (const TFileClass* current = m_fileWindow.Record(m_fileWindow.Current()))
        backTo = current->FileDirName();
    else if (const TTreeNode* before = m_cat.Tree().Selected())
        backTo = before->Path();
    if (TTreeNode* target = m_logger.FindNodeByPath(targetDir))
        m_cat.Tree().Select(target);
    if (m_prompter.askOkCancel(std::string(copy ? "Copy " : "Move ") +
                               std::to_string(paths.size()) + " files to: " + targetDir +
                               " ?     ")) {
        m_sources = std::move(paths);
        m_seen = std::move(seen);
        m_withPaths = false;
        m_asMask = "*.*";
        okTo(kind, targetDir);
    }
    if (TTreeNode* back = backTo.empty() ? nullptr : m_logger.FindNodeByPath(backTo)) {
        m_cat.Tree().Select(back);
        m_state.requestRefill();
    }
}

void CopyMoveCommands::DropFindResults(const std::string& targetDir,
                                       const std::vector<std::string>& names) {
    if (names.empty() || m_state.fileOperationRunning)
        return;
    if (TTreeNode* target = m_logger.FindNodeByPath(targetDir); target && !target->Logged()) {
        const TNodeRef ref(target);
        m_logger.LogDirFiles(target);
        if (ref) {
            m_logger.LogSubDirs(ref.get());
            if (ref)
                m_cat.Tree().SetExpanded(ref.get(), true);
        }
    }
    if (!m_prompter.askOkCancel("Copy " + std::to_string(names.size()) + " files to: " + targetDir +
                                " ?     "))
        return;
    m_sources = names;
    m_seen.clear();
    m_withPaths = false;
    m_asMask = "*.*";
    okTo(Kind::Copy, targetDir);
}

} // namespace zentrix
