#include "ops/filedeletion.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "catalogue/loggedclass.h"
#include "catalogue/treenode.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "filewindow/filewindow.h"
#include "ops/operationjournal.h"
#include "ops/runguards.h"
#include "ops/seenfile.h"
#include "ops/twdlist.h"
#include "ops/watchdogrun.h"
#include "platform/attributes.h"
#include "platform/drivetable.h"
#include "platform/filetransfer.h"
#include "platform/filewipe.h"
#include "platform/trash.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>

namespace zentrix {
namespace {

constexpr uint32_t kAttrVolumeId = 0x08;
constexpr size_t kFastWipeBlock = 65535;
constexpr size_t kSecureWipeBlock = 131072;

bool gone(const std::string& hostPath) {
    struct stat st {};
    return ::lstat(hostPath.c_str(), &st) != 0 && errno == ENOENT;
}

std::string directoryOf(const std::string& fullName) {
    const size_t sep = fullName.rfind('\\');
    return sep == std::string::npos ? std::string() : fullName.substr(0, sep + 1);
}

} // namespace

FileDeletion::FileDeletion(Catalogue& catalogue, AppState& state, const Settings& settings,
                           FileWindow& fileWindow, DiskLogger& logger, Prompter& prompter,
                           Progress& progress, TWDList& watchDog, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_fw(fileWindow), m_logger(logger),
      m_prompter(prompter), m_progress(progress), m_wd(watchDog), m_ui(ui) {}

std::string FileDeletion::AttributeList(uint32_t attributes) {
    std::string out = "(";
    const std::pair<uint32_t, const char*> names[] = {
        {platform::kAttrArchive, " Archive "}, {platform::kAttrReadOnly, " Read-only "},
        {platform::kAttrSystem, " System "},   {platform::kAttrHidden, " Hidden "},
        {kAttrVolumeId, " Volume ID "},        {platform::kAttrDirectory, " Directory "},
    };
    for (const auto& [bit, name] : names)
        if (attributes & bit)
            out += name;
    return out + ")";
}

// --- the delete routine -------------------------------------------------------------

bool FileDeletion::DeleteFileByMode(const std::string& fullPath) {
    m_failure.clear();
    const auto host = m_cat.Drives().ToHostPath(fullPath);
    if (!host || fullPath.empty() || fullPath.back() == '\\')
        return false;
    struct stat st {};
    if (::lstat(host->c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        // Nothing there, or a directory where the record said "file".
        m_failure = *host + ": " + platform::ErrorText(S_ISDIR(st.st_mode) ? EISDIR : errno);
        return false;
    }
    const bool link = S_ISLNK(st.st_mode);
    const bool regular = S_ISREG(st.st_mode);
    const platform::DriveInfo* drive = m_cat.Drives().Find(fullPath[0]);
    const platform::AttrSource source = drive ? drive->attrSource : platform::AttrSource::Posix;

    // A link has no attributes of its own: what it points to is not asked about.
    const size_t slash = host->find_last_of('/');
    const uint32_t attributes =
        link ? platform::PosixAttributes(host->substr(slash + 1), st)
             : platform::ReadFileAttributes(*host, source)
                   .value_or(platform::PosixAttributes(host->substr(slash + 1), st));
    if (attributes != 0 && attributes != platform::kAttrArchive &&
        !m_settings.SkipDeleteSpecialAttrOption &&
        !m_prompter.askOkCancel("Delete file: " + fullPath + "\r\n" +
                                "with attributes: " + AttributeList(attributes)))
        return false;

    // Other names (hard links) share the file's data and attributes, and keep
    // both: only this name goes, and the wipe modes do not write into it.
    const bool shared = regular && st.st_nlink > 1;
    const bool wipe = m_settings.DeleteType >= 2 && m_settings.DeleteType <= 4;
    if (shared && wipe && !m_prompter.askOkCancel(OtherNamesQuestion(fullPath, st.st_nlink - 1)))
        return false;

    // The attributes go before the mode runs. Hidden stays: here it is the
    // name's leading full stop, and renaming the file would put it in the
    // trash (or leave it, should the deletion fail) under another name.
    std::string path = *host;
    if (!link && !shared)
        path = platform::WriteFileAttributes(path, source, attributes & platform::kAttrHidden);
    if (shared && wipe)
        return platform::RemoveFileEntry(path) == 0 && gone(path);

    int e = 0;
    switch (m_settings.DeleteType) {
    case 0: {
        platform::TrashedItem where;
        e = platform::MoveToTrash(path, &where);
        if (e == 0 && m_record) {
            DoneStep step;
            step.kind = DoneStep::Kind::Trashed;
            step.source = path;
            step.target = where.trashDir + "/files/" + where.name;
            step.trashDir = where.trashDir;
            step.trashName = where.name;
            platform::StatPath(step.target, step.result);
            // The attributes cleared before come back with the file.
            if (!link && path == *host) {
                step.oldAttributes = attributes;
                step.oldMode = st.st_mode & 07777;
                step.attrSource = static_cast<int>(source);
            }
            m_record->Done(step);
        }
        break;
    }
    case 1:
        e = platform::RemoveFileEntry(path);
        break;
    case 2:
        if (regular)
            e = platform::TruncateFile(path);
        if (e == 0)
            e = platform::RemoveFileEntry(path);
        break;
    case 3:
    case 4: {
        // Only a regular file is overwritten: a link or a special file is
        // removed as it is.
        if (regular) {
            e = m_settings.DeleteType == 3
                    ? platform::OverwriteFile(path, kFastWipeBlock, {0x00}, false, OnWipeBlock)
                    : platform::OverwriteFile(path, kSecureWipeBlock,
                                              {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xF5}, true,
                                              OnWipeBlock);
            if (e == 0)
                e = platform::TruncateFile(path);
        }
        if (e == 0)
            e = platform::RemoveFileEntry(path);
        break;
    }
    default:
        return false;
    }
    if (e != 0)
        m_failure = path + ": " + platform::ErrorText(e);
    else if (!gone(path))
        m_failure = path + ": still there after it was deleted";
    return m_failure.empty();
}

OperationJournal* FileDeletion::undoJournal() const {
    return m_settings.DeleteType == 0 ? m_journal : nullptr;
}

// --- records ------------------------------------------------------------------------------

bool FileDeletion::find(std::vector<Target>& targets, size_t from) {
    Target& target = targets[from];
    if (m_cat.Generation() == m_trusted && target.record &&
        m_fw.Record(target.index) == target.record)
        return true;
    std::unordered_map<std::string, int> shown;
    for (int i = 0; i < m_fw.Count(); ++i)
        if (TFileClass* r = m_fw.Record(i))
            shown.emplace(r->FullName(), i);
    for (size_t k = from; k < targets.size(); ++k) {
        const auto it = shown.find(targets[k].path);
        targets[k].index = it == shown.end() ? -1 : it->second;
        targets[k].record = it == shown.end() ? nullptr : m_fw.Record(it->second);
    }
    m_trusted = m_cat.Generation();
    return target.record != nullptr;
}

void FileDeletion::removeRecord(Target& target) {
    if (target.record && m_fw.Record(target.index) == target.record) {
        // Entries above this one keep their places: the targets stay valid.
        const bool trusted = m_cat.Generation() == m_trusted;
        m_fw.RemoveEntry(target.index);
        if (trusted)
            m_trusted = m_cat.Generation();
        return;
    }
    // Not shown any more: the record itself, if its directory is still logged.
    const std::string dir = directoryOf(target.path);
    const std::string name = target.path.substr(dir.size());
    for (TLoggedClass* logged : m_cat.LoggedDirs())
        if (logged->DirNode() && logged->DirNode()->Path() == dir)
            for (TFileClass* r : logged->FileList())
                if (r->FileName() == name) {
                    m_cat.RemoveFileRecord(r);
                    return;
                }
}

FileDeletion::Seen FileDeletion::stillAsSeen(std::vector<Target>& targets, size_t k, bool tagged) {
    // The questions before this one let events through: the record is found again.
    if (!find(targets, k))
        return Seen::Go;
    Target& target = targets[k];
    const SeenFile seen = SeenFile::Of(*target.record, m_cat.HostPath(target.record).value_or(""));
    const auto now = ChangedSinceSeen(seen);
    if (!now)
        return Seen::Go;
    // The row shows the file as it is before the user decides.
    TakeDiskState(*target.record, *now);
    if (m_fw.Record(target.index) == target.record)
        m_fw.EntryChanged(target.index);
    m_fw.UpdateStatistics();
    const std::string text = ChangedFileQuestion(seen, *now, "Delete it anyway?");
    if (!tagged)
        return m_prompter.askYesNo(text) ? Seen::Go : Seen::Skip;
    const Answer answer = m_prompter.askYesNoCancel(text);
    return answer == Answer::Yes ? Seen::Go : answer == Answer::No ? Seen::Skip : Seen::Stop;
}

void FileDeletion::leaveEmptyWindow() {
    m_fw.MaximizeMainListBox(false);
    m_fw.Ui().focusTree();
    m_state.scope = 1;
}

// --- the commands ---------------------------------------------------------------------------

void FileDeletion::DeleteSingleFile() {
    if (m_running || m_state.fileOperationRunning || m_fw.Filling())
        return;
    const int index = m_fw.Current();
    TFileClass* record = m_fw.Record(index);
    if (!record)
        return;
    std::vector<Target> targets{{index, record, record->FullName()}};
    m_trusted = m_cat.Generation();
    const std::string path = targets[0].path;
    FlagGuard running(m_running);
    if (!m_wd.MayTouchFile(path, "Deleting this file could cause Windows to malfunction! "
                                 "Delete anyway?     "))
        return;
    if (m_prompter.askOkCancel("Delete file: " + path) &&
        stillAsSeen(targets, 0, false) == Seen::Go) {
        bool deleted = false;
        {
            RecordScope record(undoJournal(), m_record, {OperationKind::Trash, path, {}, 0});
            deleted = DeleteFileByMode(path);
        }
        if (deleted) {
            find(targets, 0);
            removeRecord(targets[0]);
            m_wd.LogSingle(WDOperation::DeleteFile, path);
        } else {
            m_prompter.informWith(kCannotDelete + path + kFiveBlanks, m_failure);
        }
    }
    if (m_fw.Count() == 0) {
        leaveEmptyWindow();
        if (TTreeNode* node = m_cat.Tree().Selected())
            m_logger.SetNodeImages(node);
        m_state.requestRefill();
    } else {
        m_fw.SetCurrent(std::min(index, m_fw.Count() - 1));
    }
    m_fw.UpdateStatistics();
    m_ui.updateStatistics();
}

void FileDeletion::DeleteTaggedFiles() {
    if (m_running || m_state.fileOperationRunning || m_fw.Filling())
        return;
    std::vector<Target> targets;
    for (int i = m_fw.Count() - 1; i >= 0; --i)
        if (TFileClass* r = m_fw.Record(i); r && r->Tagged())
            targets.push_back({i, r, r->FullName()});
    if (targets.empty()) {
        m_prompter.warn(kNoTagged);
        return;
    }
    const int selected = m_fw.Current();
    m_trusted = m_cat.Generation();
    const Answer each = m_prompter.askYesNoCancel("Confirm delete for each file?");
    if (each == Answer::Cancel)
        return;
    const bool confirmEach = each == Answer::Yes;
    {
        FlagGuard running(m_running);
        FlagGuard operation(m_state.fileOperationRunning);
        m_ui.setCurrDirLabel("Please wait ...");
        BusyGuard busy(m_state);
        const int64_t total = static_cast<int64_t>(targets.size()) - 1;
        StopPanel stop(m_progress, total);
        UpdatesSuspended suspended(m_fw);
        WatchDogRun log(m_wd, WDOperation::DeleteFile, m_state.scope != 1);
        const TTreeNode* here = m_cat.Tree().Selected();
        std::optional<RecordScope> record;
        record.emplace(undoJournal(), m_record,
                       OperationInfo{OperationKind::Trash,
                                     targets.size() == 1 ? targets[0].path
                                     : here              ? here->Path()
                                                         : std::string(),
                                     {},
                                     0});
        bool cancelled = false;
        // The bar runs down with the entries; its position is the count of
        // tagged entries still above this one, which stays within its total.
        int64_t position = total;
        for (size_t k = 0; k < targets.size(); ++k) {
            Target& target = targets[k];
            m_progress.pump();
            m_progress.setPosition(std::max<int64_t>(0, position--));
            const std::string& path = target.path;
            if (!m_wd.MayTouchFile(path, "Deleting file: " + path +
                                             " could cause Windows to malfunction! "
                                             "Delete anyway?     "))
                continue;
            if (confirmEach) {
                const Answer answer = m_prompter.askYesNoCancel("Delete file: " + path);
                if (answer == Answer::No)
                    continue;
                cancelled = answer == Answer::Cancel;
            }
            if (cancelled || m_progress.aborted())
                break;
            if (!find(targets, k) || !target.record->Tagged())
                continue; // untagged or gone meanwhile
            if (const Seen seen = stillAsSeen(targets, k, true); seen != Seen::Go) {
                if (seen == Seen::Stop)
                    break;
                continue;
            }
            if (DeleteFileByMode(path)) {
                find(targets, k); // the questions of the delete let events through
                removeRecord(target);
                log.Handled(path);
            } else if (!m_prompter.askOkCancel(kCannotDelete + path + kFiveBlanks)) {
                break;
            }
        }
        record.reset(); // on the disk before the run reports
        const TTreeNode* current = m_cat.Tree().Selected();
        log.Finish(current ? current->Path() : std::string());
    }
    m_fw.Ui().repaintFileWindow();
    if (m_fw.Count() > 0) {
        m_fw.SetCurrent(0);
    } else {
        leaveEmptyWindow();
        if (TTreeNode* node = m_cat.Tree().Selected(); node && node->Logged())
            m_logger.RelogDir();
        m_state.requestRefill();
    }
    m_fw.UpdateStatistics();
    m_ui.updateStatistics();
    if (m_fw.Count() > 0)
        m_fw.SetCurrent(std::clamp(selected, 0, m_fw.Count() - 1));
    if (const TTreeNode* node = m_cat.Tree().Selected())
        m_ui.setCurrDirLabel(node->Path());
    m_ui.playCompletionSound();
}

std::string FileDeletion::OtherNamesQuestion(const std::string& fullPath, uint64_t others) {
    return "Delete file: " + fullPath + "\r\n" + "Its data has " + std::to_string(others) +
           (others == 1 ? " other name" : " other names") +
           " (hard links): only this name is removed, and the data is not wiped.";
}

std::vector<std::pair<std::string, std::function<void()>>> FileDeletion::Commands() {
    return {
        {"DeleteSingleFile",
         [this] {
             DeleteSingleFile();
         }},
        {"DeleteTaggedFiles",
         [this] {
             DeleteTaggedFiles();
         }},
    };
}

} // namespace zentrix
