#include "ops/filechanges.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/fileclass.h"
#include "catalogue/loggedclass.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "core/text.h"
#include "filewindow/filewindow.h"
#include "ops/attributetext.h"
#include "ops/localdatetime.h"
#include "ops/namemask.h"
#include "ops/operationjournal.h"
#include "ops/runguards.h"
#include "ops/twdlist.h"
#include "ops/watchdogrun.h"
#include "platform/attributes.h"
#include "platform/drivetable.h"
#include "platform/fileops.h"
#include "platform/filetime.h"
#include "platform/filetransfer.h"

#include <algorithm>
#include <sys/stat.h>

namespace zentrix {
namespace {

constexpr const char* kRenameCaption = "Rename file(s) to:";
constexpr const char* kAttributesCaption = "Change attributes: ";
constexpr const char* kTaggedAttributesCaption = "Attributes of all tagged files: ";
constexpr const char* kDateCaption = "New file(s) date/time:";

// A new name must stay a name in the same directory.
bool plainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("\\/\0", 3)) == std::string::npos;
}

std::string directoryOf(const std::string& fullName) {
    const size_t sep = fullName.rfind('\\');
    return sep == std::string::npos ? std::string() : fullName.substr(0, sep + 1);
}

std::string nameOf(const std::string& fullName) {
    const size_t sep = fullName.rfind('\\');
    return sep == std::string::npos ? fullName : fullName.substr(sep + 1);
}

} // namespace

FileChanges::FileChanges(Catalogue& catalogue, AppState& state, FileWindow& fileWindow,
                         Prompter& prompter, Progress& progress, TWDList& watchDog,
                         const DateTimeTexts& dates, CatalogueUi& ui)
    : m_cat(catalogue), m_state(state), m_fw(fileWindow), m_prompter(prompter),
      m_progress(progress), m_wd(watchDog), m_dates(dates), m_catUi(ui) {}

void FileChanges::SetUi(FileChangesUi* ui) {
    m_ui = ui ? ui : &m_noUi;
}

// --- finding files -------------------------------------------------------------------

std::string FileChanges::hostPathOf(const TFileClass* record) const {
    return m_cat.HostPath(record).value_or(std::string());
}

TFileClass* FileChanges::currentRecord(int* index) {
    if (m_fw.Filling())
        return nullptr;
    const int current = m_fw.Current();
    if (index)
        *index = current;
    return m_fw.Record(current);
}

TFileClass* FileChanges::findRecord(const std::string& fullName, int& index) {
    index = -1;
    if (fullName.empty())
        return nullptr;
    const int current = m_fw.Current();
    if (TFileClass* r = m_fw.Record(current); r && r->FullName() == fullName) {
        index = current;
        return r;
    }
    for (int i = 0; i < m_fw.Count(); ++i)
        if (TFileClass* r = m_fw.Record(i); r && r->FullName() == fullName) {
            index = i;
            return r;
        }
    // Not shown any more: the record itself, if its directory is still logged.
    const std::string dir = directoryOf(fullName);
    const std::string name = nameOf(fullName);
    for (TLoggedClass* logged : m_cat.LoggedDirs())
        if (logged->DirNode() && logged->DirNode()->Path() == dir)
            for (TFileClass* r : logged->FileList())
                if (r->FileName() == name)
                    return r;
    return nullptr;
}

std::vector<FileChanges::Target> FileChanges::taggedEntries() {
    std::vector<Target> out;
    if (m_fw.Filling())
        return out;
    for (int i = 0; i < m_fw.Count(); ++i)
        if (TFileClass* r = m_fw.Record(i); r && r->Tagged())
            out.push_back({i, r, r->FullName()});
    return out;
}

TFileClass* FileChanges::stillThere(Target& target, uint64_t generation) {
    // Records keep their addresses until the catalogue removes some; after
    // that the file is looked up again by its path.
    if (m_cat.Generation() == generation)
        return target.record;
    target.record = findRecord(target.path, target.index);
    return target.record;
}

bool FileChanges::startTagged() {
    if (m_state.fileOperationRunning || m_running)
        return false;
    if (taggedEntries().empty()) {
        m_prompter.warn(kNoTagged);
        return false;
    }
    return true;
}

void FileChanges::emptyBox(ChangePrompt prompt) {
    m_catUi.playCompletionSound();
    m_ui->closePrompt(prompt);
    m_fw.Ui().focusFileWindow();
}

void FileChanges::done(ChangePrompt prompt, const std::string& text) {
    m_ui->addHistory(prompt, text);
    m_ui->closePrompt(prompt);
    m_fw.Ui().repaintFileWindow();
    m_fw.Ui().focusFileWindow();
}

void FileChanges::PromptCancelled(ChangePrompt prompt) {
    m_ui->closePrompt(prompt);
    m_fw.Ui().focusFileWindow();
}

bool FileChanges::renameRecord(TFileClass* record, int index, const std::string& newName) {
    TTreeNode* node = record->DirNode();
    if (!node || !node->Data())
        return false;
    node->Data()->FileList().Rename(record, newName);
    record->SetDescIndex(-1); // the type may have changed with the name
    if (index >= 0 && m_fw.Record(index) == record)
        m_fw.EntryRenamed(index);
    return true;
}

void FileChanges::recordRename(const std::string& from, const std::string& to) {
    if (!m_record)
        return;
    DoneStep step;
    step.kind = DoneStep::Kind::Moved;
    step.source = from;
    step.target = to;
    platform::StatPath(to, step.result);
    m_record->Done(step);
}

// --- rename -----------------------------------------------------------------------------

std::string FileChanges::CycleCase(const std::string& text) {
    std::string out;
    switch (m_caseState) {
    case 0:
        out = LowerCase(text);
        break;
    case 1: {
        out = LowerCase(text);
        // The first character, however many bytes it takes.
        size_t len = 1;
        while (len < out.size() && (static_cast<unsigned char>(out[len]) & 0xC0) == 0x80)
            ++len;
        out = UpperCase(out.substr(0, len)) + out.substr(std::min(len, out.size()));
        break;
    }
    default:
        out = UpperCase(text);
        break;
    }
    m_caseState = (m_caseState + 1) % 3;
    return out;
}

void FileChanges::RenameSingleFile() {
    if (m_running)
        return;
    TFileClass* record = currentRecord(nullptr);
    if (!record)
        return;
    const std::string path = record->FullName();
    const std::string name(record->FileName());
    // The question may run the event loop: the record is not used after it.
    if (!m_wd.MayTouchFile(path, "Renaming this file could cause Windows to malfunction! "
                                 "Rename anyway?     "))
        return;
    m_renamePath = path;
    m_caseState = 0;
    m_ui->showPrompt(ChangePrompt::RenameFile, kRenameCaption, name);
}

void FileChanges::OK_RenameSingleFile(const std::string& text) {
    if (m_running)
        return;
    if (text.empty()) {
        emptyBox(ChangePrompt::RenameFile);
        return;
    }
    m_ui->addHistory(ChangePrompt::RenameFile, text);
    m_ui->closePrompt(ChangePrompt::RenameFile);
    int index = -1;
    TFileClass* record = findRecord(m_renamePath, index);
    if (!record) {
        m_fw.Ui().focusFileWindow();
        return;
    }
    const std::string dir = record->FileDirName();
    const std::string oldName(record->FileName());
    const auto hostDir = m_cat.HostPath(record->DirNode());
    const std::string newName =
        ApplyNameMaskToFile(oldName, text, [&](const std::string& candidate) {
            struct stat st {};
            return hostDir && ::lstat((*hostDir + "/" + candidate).c_str(), &st) == 0;
        });

    const std::string oldPath = dir + oldName;
    const std::string newPath = dir + newName;
    if (oldPath == newPath) {
        m_prompter.inform(kIdentical);
        m_fw.Ui().focusFileWindow();
        return;
    }
    const auto from = m_cat.Drives().ToHostPath(oldPath);
    const auto to = m_cat.Drives().ToHostPath(newPath);
    std::string reason;
    if (!plainName(newName))
        reason = "\"" + newName + "\" is no name a file can have here";
    else if (!from || !to)
        reason = "no drive holds " + (from ? newPath : oldPath);
    else if (platform::RenameThroughTemporary(*from, *to, nullptr, &reason) !=
             platform::TempRenameResult::Done)
        reason = *from + " to " + *to + ": " + (reason.empty() ? "refused" : reason);
    if (!reason.empty()) {
        m_prompter.warnWith(kCannotRename, reason);
        m_fw.Ui().focusFileWindow();
        return;
    }
    {
        RecordScope undo(m_journal, m_record, {OperationKind::Rename, oldPath, newPath, 0});
        recordRename(*from, *to);
    }
    m_wd.LogSingle(WDOperation::RenameFile, oldPath, newPath);
    // The warning above may have run the event loop; the record is found again.
    if ((record = findRecord(oldPath, index)))
        renameRecord(record, index, newName);
    m_fw.Ui().focusFileWindow();
}

void FileChanges::RenameTaggedFiles() {
    if (!startTagged())
        return;
    m_caseState = 0;
    m_ui->showPrompt(ChangePrompt::RenameTagged, kRenameCaption, std::string());
}

void FileChanges::OK_RenameTaggedFiles(const std::string& text) {
    if (m_running || m_state.fileOperationRunning)
        return;
    if (text.empty()) {
        emptyBox(ChangePrompt::RenameTagged);
        return;
    }
    const int selected = m_fw.Current();
    m_ui->addHistory(ChangePrompt::RenameTagged, text);
    m_ui->closePrompt(ChangePrompt::RenameTagged);
    {
        FlagGuard running(m_running);
        FlagGuard operation(m_state.fileOperationRunning);
        BusyGuard busy(m_state);
        UpdatesSuspended suspended(m_fw);
        std::vector<Target> targets = taggedEntries();
        StopPanel stop(m_progress, static_cast<int64_t>(targets.size()));
        WatchDogRun log(m_wd, WDOperation::RenameFile, m_state.scope != 1);
        const TTreeNode* here = m_cat.Tree().Selected();
        RecordScope undo(m_journal, m_record,
                         {OperationKind::Rename,
                          targets.size() == 1 ? targets[0].path
                          : here              ? here->Path()
                                              : std::string(),
                          text, 0});
        const uint64_t generation = m_cat.Generation();
        int position = 0;
        for (Target& target : targets) {
            m_progress.setPosition(position++);
            m_progress.pump();
            if (m_progress.aborted())
                break;
            if (!stillThere(target, generation))
                continue;
            if (!m_wd.MayTouchFile(target.path, "Renaming file: " + target.path +
                                                    " could cause Windows to malfunction! "
                                                    "Rename anyway?     "))
                continue;
            TFileClass* record = stillThere(target, generation);
            if (!record)
                continue;
            const std::string dir = record->FileDirName();
            const std::string oldName(record->FileName());
            const auto hostDir = m_cat.HostPath(record->DirNode());
            // The mask goes over the name alone: the directory in front of both
            // would only shift every position alike.
            const std::string newName =
                ApplyNameMask(oldName, text, [&](const std::string& candidate) {
                    struct stat st {};
                    return hostDir && ::lstat((*hostDir + "/" + candidate).c_str(), &st) == 0;
                });
            const std::string oldPath = dir + oldName;
            const std::string newPath = dir + newName;
            if (oldPath == newPath) {
                if (m_prompter.askOkCancel(kIdentical))
                    continue;
                break;
            }
            const auto from = m_cat.Drives().ToHostPath(oldPath);
            const auto to = m_cat.Drives().ToHostPath(newPath);
            if (!plainName(newName) || !from || !to ||
                platform::RenameThroughTemporary(*from, *to) != platform::TempRenameResult::Done) {
                if (m_prompter.askOkCancel("Cannot rename file: " + oldPath + "     "))
                    continue;
                break;
            }
            log.Handled(oldPath, newPath);
            recordRename(*from, *to);
            if ((record = stillThere(target, generation)))
                renameRecord(record, target.index, newName);
            target.path = newPath;
        }
        log.Finish(std::string(), text);
    }
    m_fw.SetCurrent(selected);
    m_fw.Ui().repaintFileWindow();
    m_fw.Ui().focusFileWindow();
}

// --- attributes ------------------------------------------------------------------------

bool FileChanges::isLink(const TFileClass* record) const {
    platform::EntryStat st;
    const std::string host = hostPathOf(record);
    return !host.empty() && platform::StatPath(host, st) == 0 &&
           st.kind == platform::EntryKind::Symlink;
}

bool FileChanges::hiddenInName(const TFileClass* record) const {
    const platform::DriveInfo* drive =
        record->DirNode() ? m_cat.Drives().Find(record->DirNode()->DriveLetter()) : nullptr;
    const platform::AttrSource source = drive ? drive->attrSource : platform::AttrSource::Posix;
    return source == platform::AttrSource::Posix || source == platform::AttrSource::DosAttribXattr;
}

std::string FileChanges::hiddenRenameQuestion(const TFileClass* record, std::string_view text) {
    const uint16_t current = record->Attributes();
    const uint16_t wanted = ApplyAttributePairs(current, text);
    if (!hiddenInName(record) || !((wanted ^ current) & platform::kAttrHidden))
        return {};
    const std::string name(record->FileName());
    std::string newName = name;
    if (current & platform::kAttrHidden)
        newName.erase(0, newName.find_first_not_of('.'));
    else
        newName.insert(0, 1, '.');
    if (newName.empty())
        return {}; // a name of full stops alone cannot lose them
    return "Rename " + name + " to " + newName + "?     ";
}

uint16_t FileChanges::ApplyAttributeText(TFileClass* record, int index, uint16_t start,
                                         std::string_view text, bool renameForHidden) {
    // A link has no attributes of its own: what it points to is left alone.
    if (isLink(record))
        return record->Attributes();
    uint16_t wanted = ApplyAttributePairs(start, text);
    // Where hidden is the name's leading full stop, it changes only when the
    // user agreed to the rename; otherwise it stays as the file has it.
    if (hiddenInName(record) && !renameForHidden) {
        const uint16_t hidden = record->Attributes() & platform::kAttrHidden;
        wanted = static_cast<uint16_t>((wanted & ~platform::kAttrHidden) | hidden);
        start = static_cast<uint16_t>((start & ~platform::kAttrHidden) | hidden);
    }
    const std::string host = hostPathOf(record);
    const platform::DriveInfo* drive =
        record->DirNode() ? m_cat.Drives().Find(record->DirNode()->DriveLetter()) : nullptr;
    const platform::AttrSource source = drive ? drive->attrSource : platform::AttrSource::Posix;
    std::string after = host;
    platform::EntryStat before;
    const bool recording = m_record && !host.empty() && platform::StatPath(host, before) == 0;
    if (!host.empty() && (wanted & 0xFF) != (start & 0xFF))
        after = platform::WriteFileAttributes(host, source, wanted);
    if (after != host) {
        // The hidden bit lives in the name here: the file has a new one.
        const std::string oldPath = record->FullName();
        const std::string newName = after.substr(after.rfind('/') + 1);
        if (m_toggledPath == oldPath)
            m_toggledPath = record->FileDirName() + newName;
        renameRecord(record, index, newName);
    }
    if (const auto readBack = platform::ReadFileAttributes(after, source))
        record->SetAttributes(static_cast<uint16_t>(*readBack));
    if (recording) {
        DoneStep step;
        step.kind = DoneStep::Kind::Attributes;
        step.source = host;
        step.target = after;
        platform::StatPath(after, step.result);
        step.oldAttributes = start;
        step.newAttributes = record->Attributes();
        step.oldMode = before.mode;
        step.attrSource = static_cast<int>(source);
        if (step.oldAttributes != step.newAttributes || before.mode != step.result.mode ||
            host != after)
            m_record->Done(step);
    }
    if (index >= 0 && m_fw.Record(index) == record)
        m_fw.EntryChanged(index);
    return record->Attributes();
}

void FileChanges::AttributesSingleFile() {
    if (m_running)
        return;
    TFileClass* record = currentRecord(nullptr);
    if (!record)
        return;
    m_attributePath = record->FullName();
    m_ui->showPrompt(ChangePrompt::Attributes, kAttributesCaption, std::nullopt);
}

void FileChanges::AttributesTaggedFiles() {
    if (!startTagged())
        return;
    m_attributePath.clear();
    m_ui->showPrompt(ChangePrompt::Attributes, kTaggedAttributesCaption, std::nullopt);
}

void FileChanges::OK_FileAttributes(const std::string& text) {
    if (m_running)
        return;
    if (text.empty()) {
        emptyBox(ChangePrompt::Attributes);
        return;
    }
    m_ui->closePrompt(ChangePrompt::Attributes);
    int links = 0; // tagged links left as they are
    if (!m_attributePath.empty()) {
        int index = -1;
        if (TFileClass* record = findRecord(m_attributePath, index)) {
            const std::string path = record->FullName();
            if (isLink(record)) {
                m_prompter.inform(path + kLinkAttributes);
            } else {
                bool rename = false;
                if (const std::string question = hiddenRenameQuestion(record, text);
                    !question.empty()) {
                    rename = m_prompter.askYesNo(question);
                    record = findRecord(path, index); // the question let events through
                }
                if (record) {
                    {
                        RecordScope undo(m_journal, m_record,
                                         {OperationKind::Attributes, path, text, 0});
                        ApplyAttributeText(record, index, record->Attributes(), text, rename);
                    }
                    m_wd.LogSingle(WDOperation::ChangeAttributes, path, text);
                }
            }
        }
    } else if (!m_state.fileOperationRunning) {
        FlagGuard running(m_running);
        FlagGuard operation(m_state.fileOperationRunning);
        const int count = m_fw.Count();
        StopPanel stop(m_progress, count - 1);
        WatchDogRun log(m_wd, WDOperation::ChangeAttributes, m_state.scope != 1);
        std::vector<Target> targets = taggedEntries();
        links = 0;
        const TTreeNode* here = m_cat.Tree().Selected();
        RecordScope undo(m_journal, m_record,
                         {OperationKind::Attributes,
                          targets.size() == 1 ? targets[0].path
                          : here              ? here->Path()
                                              : std::string(),
                          text, 0});
        const uint64_t generation = m_cat.Generation();
        size_t next = 0;
        for (int i = 0; i < count && next < targets.size(); ++i) {
            m_progress.pump();
            m_progress.setPosition(i);
            if (m_progress.aborted())
                break;
            if (targets[next].index != i)
                continue;
            Target& target = targets[next++];
            if (TFileClass* record = stillThere(target, generation)) {
                if (isLink(record)) {
                    ++links;
                    continue;
                }
                const std::string path = record->FullName();
                ApplyAttributeText(record, target.index, record->Attributes(), text);
                log.Handled(path, text);
            }
        }
        log.Finish(std::string(), text);
    }
    if (links > 0)
        m_prompter.inform(std::to_string(links) + kLinksAttributes);
    m_ui->addHistory(ChangePrompt::Attributes, text);
    m_fw.Ui().repaintFileWindow();
    m_fw.Ui().focusFileWindow();
}

void FileChanges::ToggleFileAttrs() {
    if (m_running)
        return;
    int index = -1;
    TFileClass* record = currentRecord(&index);
    if (!record)
        return;
    const std::string path = record->FullName();
    if (isLink(record)) {
        m_prompter.inform(path + kLinkAttributes);
        return;
    }
    RecordScope undo(m_journal, m_record, {OperationKind::Attributes, path, {}, 0});
    if (path != m_toggledPath) {
        m_toggledPath = path;
        m_savedAttributes = AttributePlusText(record->Attributes());
        ApplyAttributeText(record, index, 0, "+A-R-H-S");
    } else {
        ApplyAttributeText(record, index, 0, m_savedAttributes);
        m_toggledPath.clear();
        m_savedAttributes.clear();
    }
}

void FileChanges::PasteFileAttrs() {
    if (m_running)
        return;
    int index = -1;
    TFileClass* record = currentRecord(&index);
    if (!record)
        return;
    if (isLink(record)) {
        m_prompter.inform(record->FullName() + kLinkAttributes);
        return;
    }
    {
        RecordScope undo(m_journal, m_record,
                         {OperationKind::Attributes, record->FullName(), m_savedAttributes, 0});
        ApplyAttributeText(record, index, 0, m_savedAttributes);
    }
}

// --- date and time ------------------------------------------------------------------------

bool FileChanges::setTime(TFileClass* record, int index, int64_t fileTime) {
    const std::string host = hostPathOf(record);
    platform::EntryStat before;
    const bool recording = m_record && !host.empty() && platform::StatPath(host, before) == 0;
    const bool set =
        !host.empty() && platform::SetLastWriteTime(host, platform::FromFileTime(fileTime));
    if (set && recording) {
        DoneStep step;
        step.kind = DoneStep::Kind::Time;
        step.target = host;
        platform::StatPath(host, step.result);
        step.oldMtimeSec = before.mtimeSec;
        step.oldMtimeNsec = before.mtimeNsec;
        m_record->Done(step);
    }
    // The record shows what the disk says, whatever happened.
    if (const auto readBack = platform::ReadLastWriteTime(host))
        record->SetLastWriteTime(*readBack);
    if (index >= 0 && m_fw.Record(index) == record)
        m_fw.EntryChanged(index);
    return set;
}

void FileChanges::miFileDateClick() {
    if (m_running)
        return;
    TFileClass* record = currentRecord(nullptr);
    if (!record)
        return;
    m_datePath = record->FullName();
    m_ui->showPrompt(ChangePrompt::DateTime, kDateCaption,
                     m_dates.Format(FileTimeToLocal(record->LastWriteTime())));
}

void FileChanges::miFileTaggDateTimeClick() {
    if (!startTagged())
        return;
    m_datePath.clear();
    m_ui->showPrompt(ChangePrompt::DateTime, kDateCaption, std::string());
}

void FileChanges::OK_NewDate(const std::string& text) {
    if (m_running)
        return;
    if (text.empty()) {
        emptyBox(ChangePrompt::DateTime);
        return;
    }
    const auto local = m_dates.Parse(text);
    const auto fileTime = local ? LocalToFileTime(*local) : std::nullopt;
    if (!fileTime) {
        // The prompt stays up with the text, to be put right.
        m_prompter.inform("Invalid date input!     \r\nCorrect mask is: " + m_dates.Pictures());
        return;
    }
    m_ui->closePrompt(ChangePrompt::DateTime);
    int links = 0; // tagged links, which got their own times
    if (!m_datePath.empty()) {
        int index = -1;
        if (TFileClass* record = findRecord(m_datePath, index)) {
            const std::string path = record->FullName();
            const bool link = isLink(record);
            RecordScope undo(m_journal, m_record, {OperationKind::DateTime, path, text, 0});
            if (setTime(record, index, *fileTime))
                m_wd.LogSingle(WDOperation::ChangeDateTime, path, m_dates.Format(*local));
            if (link)
                m_prompter.inform(path + kLinkDate);
        }
    } else if (!m_state.fileOperationRunning) {
        FlagGuard running(m_running);
        FlagGuard operation(m_state.fileOperationRunning);
        std::vector<Target> targets = taggedEntries();
        StopPanel stop(m_progress, static_cast<int64_t>(targets.size()));
        // One group entry whatever the scope, decided before the work.
        WatchDogRun log(m_wd, WDOperation::ChangeDateTime, false);
        const TTreeNode* here = m_cat.Tree().Selected();
        RecordScope undo(m_journal, m_record,
                         {OperationKind::DateTime,
                          targets.size() == 1 ? targets[0].path
                          : here              ? here->Path()
                                              : std::string(),
                          text, 0});
        const uint64_t generation = m_cat.Generation();
        for (Target& target : targets) {
            m_progress.pump();
            m_progress.setPosition(log.Handled());
            if (m_progress.aborted())
                break;
            if (TFileClass* record = stillThere(target, generation)) {
                links += isLink(record) ? 1 : 0;
                if (setTime(record, target.index, *fileTime))
                    log.Count();
            }
        }
        log.Finish(std::string(), text);
    }
    if (links > 0)
        m_prompter.inform(std::to_string(links) + kLinksDate);
    m_ui->addHistory(ChangePrompt::DateTime, text);
    m_fw.Ui().repaintFileWindow();
    m_fw.Ui().focusFileWindow();
}

// --- the command table ----------------------------------------------------------------------

std::vector<std::pair<std::string, std::function<void()>>> FileChanges::Commands() {
    return {
        {"RenameSingleFile",
         [this] {
             RenameSingleFile();
         }},
        {"RenameTaggedFiles",
         [this] {
             RenameTaggedFiles();
         }},
        {"AttributesSingleFile",
         [this] {
             AttributesSingleFile();
         }},
        {"AttributesTaggedFiles",
         [this] {
             AttributesTaggedFiles();
         }},
        {"ToggleFileAttrs",
         [this] {
             ToggleFileAttrs();
         }},
        {"PasteFileAttrs",
         [this] {
             PasteFileAttrs();
         }},
        {"miFileDateClick",
         [this] {
             miFileDateClick();
         }},
        {"miFileTaggDateTimeClick",
         [this] {
             miFileTaggDateTimeClick();
         }},
    };
}

} // namespace zentrix
