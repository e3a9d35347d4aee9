#include "undo/undocommands.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "ops/runguards.h"
#include "ops/twdlist.h"
#include "platform/drivetable.h"
#include "undo/undohistory.h"
#include "undo/undojournal.h"

namespace zentrix {
namespace {

constexpr size_t kListedInMessage = 20;

/// The WatchDog kind an undo is logged under: that of what it undoes.
WDOperation logKind(const UndoJournal& journal, const UndoEntry* entry) {
    // An undo of an undo is logged as what the first one undid.
    for (int depth = 0; entry && entry->info.kind == OperationKind::Undo && depth < 64; ++depth)
        entry = journal.Find(entry->info.undoes);
    switch (entry ? entry->info.kind : OperationKind::Move) {
    case OperationKind::Copy:
    case OperationKind::CopyDir:
        return WDOperation::CopyFile;
    case OperationKind::Rename:
        return WDOperation::RenameFile;
    case OperationKind::Attributes:
        return WDOperation::ChangeAttributes;
    case OperationKind::DateTime:
        return WDOperation::ChangeDateTime;
    case OperationKind::MakeDir:
        return WDOperation::NewDirectory;
    case OperationKind::RenameDir:
        return WDOperation::RenameDirectory;
    case OperationKind::Trash:
        return WDOperation::DeleteFile;
    case OperationKind::Move:
    case OperationKind::MoveDir:
    case OperationKind::Undo:
        break;
    }
    return WDOperation::MoveFile;
}

} // namespace

UndoCommands::UndoCommands(UndoJournal& journal, Catalogue& catalogue, AppState& state,
                           DiskLogger& logger, TWDList& watchDog, Prompter& prompter,
                           Progress& progress, CatalogueUi& ui)
    : m_journal(journal), m_cat(catalogue), m_state(state), m_logger(logger), m_wd(watchDog),
      m_prompter(prompter), m_progress(progress), m_ui(ui) {}

std::vector<std::pair<std::string, std::function<void()>>> UndoCommands::Commands() {
    return {{"Undo", [this] {
                 Undo();
             }}};
}

std::string UndoCommands::shown(const std::string& hostPath) const {
    return m_cat.Drives().ToCataloguePath(hostPath, false).value_or(hostPath);
}

std::string UndoCommands::UndoCaption() const {
    const UndoCoverage coverage(m_journal.Entries());
    const UndoEntry* entry = LastUndoable(m_journal.Entries(), coverage);
    return entry ? "Undo " + UndoDescription(*entry) : "Undo";
}

void UndoCommands::Undo() {
    if (m_state.fileOperationRunning)
        return;
    const UndoCoverage coverage(m_journal.Entries());
    const UndoEntry* entry = LastUndoable(m_journal.Entries(), coverage);
    if (!entry) {
        m_prompter.inform(kNothing);
        return;
    }
    UndoOperation(entry->id);
}

UndoReport UndoCommands::UndoOperation(uint64_t id) {
    UndoReport report;
    if (m_state.fileOperationRunning)
        return report;
    const WDOperation kind = logKind(m_journal, m_journal.Find(id));
    {
        FlagGuard running(m_state.fileOperationRunning);
        BusyGuard busy(m_state);
        m_ui.setCurrDirLabel("Please wait ...");
        UndoRunner runner(m_journal, m_prompter, m_progress);
        runner.display = [this](const std::string& path) {
            return shown(path);
        };
        runner.onBlock = onBlock;
        report = runner.Run(id);
        Reread(report.changedDirs);
        if (report.failure.empty()) {
            std::string text = " Undo " + report.description;
            if (!report.leftAlone.empty())
                text += " (" + std::to_string(report.leftAlone.size()) + " file(s) left alone)";
            m_wd.LogText(kind, text);
        }
        if (const TTreeNode* node = m_cat.Tree().Selected())
            m_ui.setCurrDirLabel(node->Path());
    }
    tell(report);
    m_ui.playCompletionSound();
    if (onUndone)
        onUndone(report);
    return report;
}

void UndoCommands::Reread(const std::vector<std::string>& hostDirs) {
    const platform::DriveTable& drives = m_cat.Drives();
    for (const std::string& dir : hostDirs) {
        const auto path = drives.ToCataloguePath(dir, true);
        if (!path)
            continue;
        TTreeNode* node = m_logger.FindNodeByPath(*path);
        if (node && node->Logged())
            m_logger.RefreshDir(node);
    }
    if (!hostDirs.empty()) {
        m_state.requestRefill();
        m_ui.updateStatistics();
        m_ui.repaintTree();
    }
}

void UndoCommands::tell(const UndoReport& report) {
    if (!report.failure.empty()) {
        m_prompter.inform(report.failure + "     ");
        return;
    }
    if (report.leftAlone.empty() && !report.cancelled)
        return;
    std::string text = "Undo " + report.description + ":";
    if (report.cancelled)
        text += "\nThe undo was stopped. Undo the operation again to finish it.";
    if (!report.leftAlone.empty()) {
        text += "\n" + std::to_string(report.leftAlone.size()) +
                (report.leftAlone.size() == 1 ? " file was" : " files were") + " left alone:";
        for (size_t i = 0; i < report.leftAlone.size() && i < kListedInMessage; ++i)
            text += "\n" + shown(report.leftAlone[i].path) + ": " + report.leftAlone[i].reason;
        if (report.leftAlone.size() > kListedInMessage)
            text += "\n... and " + std::to_string(report.leftAlone.size() - kListedInMessage) +
                    " more.";
    }
    m_prompter.inform(text + "     ");
}

} // namespace zentrix
