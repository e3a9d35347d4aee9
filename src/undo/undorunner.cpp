#include "undo/undorunner.h"

#include "core/progress.h"
#include "core/prompter.h"
#include "ops/freename.h"
#include "ops/runguards.h"
#include "platform/attributes.h"
#include "platform/drivetable.h"
#include "platform/fileops.h"
#include "platform/filetransfer.h"
#include "platform/hostpath.h"
#include "platform/trash.h"
#include "platform/trashbin.h"
#include "undo/undohistory.h"
#include "undo/undojournal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace zentrix {
namespace {

using platform::HostBaseName;
using platform::HostJoin;
using platform::HostParent;
using platform::IsSingleName;

using platform::DirHandle;
using platform::EntryKind;
using platform::EntryStat;

constexpr const char* kFiveBlanks = "     ";

int lstatOf(const std::string& path, EntryStat& st) {
    return platform::StatPath(path, st, false);
}

/// Whether a file is still the one the journal describes.
std::optional<std::string> differs(const EntryStat& now, const EntryStat& then) {
    if (now.device != then.device || (then.inode != 0 && now.inode != then.inode))
        return "it was replaced since";
    if (now.kind != then.kind)
        return "it was replaced since";
    if (now.kind != EntryKind::Directory &&
        (now.size != then.size || now.mtimeSec != then.mtimeSec || now.mtimeNsec != then.mtimeNsec))
        return "it changed since";
    return std::nullopt;
}

/// Two files with the same bytes (an interrupted move back across file systems
/// leaves the copy and the original both whole).
bool sameContents(const std::string& a, const std::string& b) {
    const int fa = ::open(a.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int fb = ::open(b.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    bool same = fa >= 0 && fb >= 0;
    std::vector<char> ba(1 << 16), bb(1 << 16);
    while (same) {
        const ssize_t na = ::read(fa, ba.data(), ba.size());
        ssize_t nb = 0;
        while (nb < na) {
            const ssize_t n = ::read(fb, bb.data() + nb, static_cast<size_t>(na - nb));
            if (n <= 0)
                break;
            nb += n;
        }
        if (na < 0 || nb != na || !std::equal(ba.begin(), ba.begin() + na, bb.begin())) {
            same = false;
            break;
        }
        if (na == 0) {
            char extra = 0;
            same = ::read(fb, &extra, 1) == 0;
            break;
        }
    }
    if (fa >= 0)
        ::close(fa);
    if (fb >= 0)
        ::close(fb);
    return same;
}

} // namespace

UndoRunner::UndoRunner(UndoJournal& journal, Prompter& prompter, Progress& progress)
    : m_journal(journal), m_prompter(prompter), m_progress(progress) {}

std::string UndoRunner::shown(const std::string& path) const {
    return display ? display(path) : path;
}

UndoRunner::Outcome UndoRunner::leave(const std::string& path, const std::string& reason) {
    m_report->leftAlone.push_back({path, reason});
    return Outcome::LeftAlone;
}

void UndoRunner::record(DoneStep step, int64_t index) {
    step.undoes = index;
    if (step.kind == DoneStep::Kind::RemovedDir)
        m_parentFound.clear(); // it may have been that one

    for (const std::string* path : {&step.source, &step.target})
        if (!path->empty())
            m_report->changedDirs.push_back(HostParent(*path));
    if (index >= 0)
        ++m_report->putBack;
    m_record->Done(step);
}

UndoReport UndoRunner::Run(uint64_t id) {
    UndoReport report;
    report.undone = id;
    m_report = &report;
    m_skipAll = false;
    m_parentFound.clear();
    const UndoEntry* entry = m_journal.Find(id);
    std::vector<DoneStep> steps;
    std::string problem;
    if (!entry) {
        report.failure = "The operation is no longer in the undo journal.";
        return report;
    }
    if (!m_journal.Steps(id, steps, &problem)) {
        report.failure = "The operation cannot be undone: " + problem + ".";
        return report;
    }
    std::vector<bool> covered = UndoCoverage(m_journal.Entries()).Covered(id);
    covered.resize(steps.size(), false);
    OperationInfo info;
    info.kind = OperationKind::Undo;
    info.source = UndoDescription(*entry); // the entry may move once the undo is added
    info.undoes = id;
    report.description = info.source;
    const auto record = m_journal.Begin(info);
    m_record = record.get();

    const auto todo = std::count(covered.begin(), covered.end(), false);
    {
        StopPanel stop(m_progress, todo);
        int64_t position = 0;
        for (size_t k = steps.size(); k-- > 0;) {
            if (covered[k])
                continue;
            m_progress.setPosition(position++);
            m_progress.pump();
            if (m_progress.aborted()) {
                report.cancelled = true;
                break;
            }
            // Copies of a batch are done before a step that depends on them:
            // a directory that must be empty, a path one of them holds.
            if (!m_pending.empty() && pendingTouches(steps[k]))
                finishCopies();
            if (putBack(steps[k], static_cast<int64_t>(k)) == Outcome::Cancelled) {
                report.cancelled = true;
                break;
            }
        }
        finishCopies(); // also after a stop: no file is left in two places
    }
    record->Commit();
    m_record = nullptr;
    if (report.putBack > 0 || !report.changedDirs.empty())
        report.ownEntry = m_journal.Entries().empty() ? 0 : m_journal.Entries().back().id;
    std::sort(report.changedDirs.begin(), report.changedDirs.end());
    report.changedDirs.erase(std::unique(report.changedDirs.begin(), report.changedDirs.end()),
                             report.changedDirs.end());
    m_report = nullptr;
    return report;
}

UndoRunner::Outcome UndoRunner::putBack(const DoneStep& step, int64_t index) {
    switch (step.kind) {
    case DoneStep::Kind::Copied:
        return undoCopied(step, index);
    case DoneStep::Kind::Moved:
        return undoMoved(step, index);
    case DoneStep::Kind::MadeDir:
        return undoMadeDir(step, index);
    case DoneStep::Kind::RemovedDir:
        return undoRemovedDir(step, index);
    case DoneStep::Kind::Attributes:
        return undoAttributes(step, index);
    case DoneStep::Kind::Time:
        return undoTime(step, index);
    case DoneStep::Kind::Trashed:
        return undoTrashed(step, index);
    case DoneStep::Kind::Restored:
        return undoRestored(step, index);
    case DoneStep::Kind::Deleted:
        break;
    }
    return leave(step.source, "a copy that was removed cannot be brought back");
}

std::optional<std::string> UndoRunner::Blocker(const DoneStep& step) {
    EntryStat now;
    switch (step.kind) {
    case DoneStep::Kind::Deleted:
        return "a copy that was removed cannot be brought back";
    case DoneStep::Kind::Copied:
        if (step.replaced)
            return "it replaced a file of the same name, which cannot be brought back";
        [[fallthrough]];
    case DoneStep::Kind::Moved:
    case DoneStep::Kind::Trashed:
    case DoneStep::Kind::Restored:
    case DoneStep::Kind::Time:
        if (int e = lstatOf(step.target, now))
            return e == ENOENT ? std::optional<std::string>() : platform::ErrorText(e);
        return differs(now, step.result);
    case DoneStep::Kind::Attributes:
        if (lstatOf(step.target, now) != 0 || now.device != step.result.device ||
            now.inode != step.result.inode)
            return std::nullopt; // looked at closely when it is put back
        if (now.mode != step.result.mode)
            return "its attributes changed since";
        return std::nullopt;
    case DoneStep::Kind::MadeDir:
        if (lstatOf(step.target, now) == 0 && now.inode != step.result.inode)
            return "it was replaced since";
        return std::nullopt;
    case DoneStep::Kind::RemovedDir:
        if (lstatOf(step.source, now) == 0 && now.kind != EntryKind::Directory)
            return "its name is taken";
        return std::nullopt;
    }
    return std::nullopt;
}

// --- copies and directories ---------------------------------------------------------

UndoRunner::Outcome UndoRunner::undoCopied(const DoneStep& step, int64_t index) {
    if (step.replaced)
        return leave(step.target,
                     "it replaced a file of the same name, which cannot be brought back");
    EntryStat now;
    const int e = lstatOf(step.target, now);
    DoneStep done;
    done.kind = DoneStep::Kind::Deleted;
    done.source = step.target;
    done.result = step.result;
    if (e == ENOENT) {
        record(done, index); // gone already
        return Outcome::Done;
    }
    if (e != 0)
        return leave(step.target, platform::ErrorText(e));
    if (const auto why = differs(now, step.result))
        return leave(step.target, *why);
    if (now.kind == EntryKind::Directory)
        return leave(step.target, "it is a directory now");
    DirHandle dir;
    int r = DirHandle::Open(HostParent(step.target), dir);
    if (r == 0)
        r = dir.RemoveFile(HostBaseName(step.target));
    if (r != 0 && r != ENOENT)
        return leave(step.target, platform::ErrorText(r));
    record(done, index);
    return Outcome::Done;
}

UndoRunner::Outcome UndoRunner::undoMadeDir(const DoneStep& step, int64_t index) {
    EntryStat now;
    const int e = lstatOf(step.target, now);
    DoneStep done;
    done.kind = DoneStep::Kind::RemovedDir;
    done.source = step.target;
    done.result = step.result;
    if (e == ENOENT) {
        record(done, index);
        return Outcome::Done;
    }
    if (e != 0)
        return leave(step.target, platform::ErrorText(e));
    if (now.kind != EntryKind::Directory || now.device != step.result.device ||
        (step.result.inode != 0 && now.inode != step.result.inode))
        return leave(step.target, "it was replaced since");
    DirHandle parent;
    int r = DirHandle::Open(HostParent(step.target), parent);
    if (r == 0)
        r = parent.RemoveDir(HostBaseName(step.target));
    if (r == ENOTEMPTY || r == EEXIST)
        return leave(step.target, "the directory is not empty");
    if (r != 0 && r != ENOENT)
        return leave(step.target, platform::ErrorText(r));
    done.result = now;
    record(done, index);
    return Outcome::Done;
}

UndoRunner::Outcome UndoRunner::undoRemovedDir(const DoneStep& step, int64_t index) {
    EntryStat now;
    int e = lstatOf(step.source, now);
    DoneStep done;
    done.kind = DoneStep::Kind::MadeDir;
    done.target = step.source;
    if (e == 0 && now.kind == EntryKind::Directory) {
        done.result = now; // there again already
        record(done, index);
        return Outcome::Done;
    }
    if (e == 0)
        return leave(step.source, "its name is taken");
    if (e != ENOENT)
        return leave(step.source, platform::ErrorText(e));
    if ((e = makeParents(step.source)) != 0)
        return leave(step.source, platform::ErrorText(e));
    DirHandle parent;
    e = DirHandle::Open(HostParent(step.source), parent);
    if (e == 0)
        e = parent.MakeDir(HostBaseName(step.source), step.result.mode ? step.result.mode : 0777);
    if (e == 0)
        e = parent.Stat(HostBaseName(step.source), done.result);
    if (e != 0)
        return leave(step.source, platform::ErrorText(e));
    record(done, index);
    return Outcome::Done;
}

int UndoRunner::makeParents(const std::string& path) {
    // The files of one directory come one after the other: its parent is
    // looked at once (should it go meanwhile, the step fails, nothing is lost).
    if (!m_parentFound.empty() && HostParent(path) == m_parentFound)
        return 0;
    std::vector<std::string> missing;
    for (std::string dir = HostParent(path); dir != "/" && dir != ".";) {
        EntryStat st;
        const int e = platform::StatPath(dir, st, true);
        if (e == 0) {
            if (st.kind != EntryKind::Directory)
                return ENOTDIR;
            break;
        }
        if (e != ENOENT)
            return e;
        missing.push_back(dir);
        dir = HostParent(dir);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        DirHandle parent;
        int e = DirHandle::Open(HostParent(*it), parent);
        if (e == 0)
            e = parent.MakeDir(HostBaseName(*it), 0777);
        DoneStep made;
        made.kind = DoneStep::Kind::MadeDir;
        made.target = *it;
        if (e == 0)
            e = parent.Stat(HostBaseName(*it), made.result);
        if (e != 0)
            return e;
        record(made, -1);
    }
    m_parentFound = HostParent(path);
    return 0;
}

// --- moves and renames ----------------------------------------------------------------

std::optional<std::string> UndoRunner::otherName(const std::string& path, const EntryStat& taken,
                                                 const EntryStat& back, bool& cancel) {
    cancel = false;
    if (m_skipAll)
        return std::nullopt;
    const std::string text =
        "The file " + shown(path) + " already exists.\n\nExisting: " + EntrySizeText(taken) + ", " +
        EntryDateText(taken.mtimeSec) + "\nPut back: " + EntrySizeText(back) + ", " +
        EntryDateText(back.mtimeSec) + "\n\nPut it back under another name?" + kFiveBlanks;
    switch (m_prompter.askChoice(text, {"Re&name", "&Skip", "S&kip all", "Cancel"},
                                 "Confirm File Undo")) {
    case 0: {
        const std::string name = FreeNumberedName(path);
        if (name.empty())
            return std::nullopt;
        return HostJoin(HostParent(path), name);
    }
    case 1:
        return std::nullopt;
    case 2:
        m_skipAll = true;
        return std::nullopt;
    default:
        cancel = true;
        return std::nullopt;
    }
}

int UndoRunner::copyBack(const std::string& from, const std::string& to, const EntryStat& st,
                         PendingCopy& pending) {
    DirHandle fromDir, toDir;
    if (int e = DirHandle::Open(HostParent(from), fromDir))
        return e;
    if (int e = DirHandle::Open(HostParent(to), toDir))
        return e;
    int e = 0;
    pending.copied = st;
    switch (st.kind) {
    case EntryKind::Regular: {
        platform::CopyOptions options;
        // What the file at the other place is compared with before it goes
        // (it may change or go while the batch fills).
        options.copied = &pending.copied;
        options.tick = [this](uint64_t bytes) {
            if (onBlock)
                onBlock(bytes);
            m_progress.pump();
            return !m_progress.aborted();
        };
        e = platform::CopyRegularFile(fromDir, HostBaseName(from), toDir, HostBaseName(to),
                                      options);
        break;
    }
    case EntryKind::Symlink:
        e = platform::CopySymlink(fromDir, HostBaseName(from), toDir, HostBaseName(to), false);
        break;
    case EntryKind::Directory:
        return EXDEV; // moved whole within one file system; never copied back
    default:
        e = platform::CopySpecialFile(fromDir, HostBaseName(from), toDir, HostBaseName(to), false);
        break;
    }
    if (e != 0)
        return e;
    if ((e = toDir.Stat(HostBaseName(to), pending.done.result)) != 0) {
        toDir.RemoveFile(HostBaseName(to));
        return e;
    }
    pending.from = from;
    pending.done.target = to;
    if (m_syncDirs.find(pending.done.result.device) == m_syncDirs.end())
        m_syncDirs.emplace(pending.done.result.device, std::move(toDir));
    return 0;
}

bool UndoRunner::pendingTouches(const DoneStep& step) const {
    return step.kind != DoneStep::Kind::Moved || m_pendingPaths.count(step.source) > 0 ||
           m_pendingPaths.count(step.target) > 0;
}

void UndoRunner::finishCopies() {
    if (m_pending.empty())
        return;
    // One flush per file system instead of one per file: as safe, since no
    // file at the other place has gone yet.
    std::map<uint64_t, int> failed;
    for (const auto& [device, dir] : m_syncDirs)
        if (const int e = dir.SyncFileSystem())
            failed[device] = e;
    for (PendingCopy& p : m_pending) {
        const std::string& to = p.done.target;
        const auto f = failed.find(p.done.result.device);
        std::string why = f != failed.end() ? platform::ErrorText(f->second) : std::string();
        if (why.empty()) {
            EntryStat there;
            const int e = lstatOf(p.from, there);
            if (e == ENOENT) {
                // Gone already (another undo of the same entry took it
                // meanwhile): the copy is the only one left and stays.
                record(p.done, p.index);
                continue;
            }
            if (e != 0)
                why = platform::ErrorText(e);
            else if (!platform::SameAndUnchanged(there, p.copied))
                why = differs(there, p.copied).value_or("it changed since");
            else if (const int r = ::unlink(p.from.c_str()) == 0 ? 0 : errno; r != 0 && r != ENOENT)
                why = platform::ErrorText(r);
        }
        if (why.empty()) {
            record(p.done, p.index);
            continue;
        }
        // The file stays where it is; the copy, if still as it was made, goes.
        EntryStat copy;
        if (lstatOf(to, copy) == 0 && !differs(copy, p.done.result))
            ::unlink(to.c_str());
        leave(p.from, why);
    }
    m_record->Flush();
    m_pending.clear();
    m_pendingPaths.clear();
    m_syncDirs.clear();
    m_pendingBytes = 0;
}

UndoRunner::Outcome UndoRunner::undoMoved(const DoneStep& step, int64_t index) {
    DoneStep done;
    done.kind = DoneStep::Kind::Moved;
    done.source = step.target;
    EntryStat now;
    int e = lstatOf(step.target, now);
    if (e == ENOENT) {
        // Back already (an undo cut short after this step, or by hand)?
        EntryStat back;
        if (lstatOf(step.source, back) == 0 && back.kind == step.result.kind &&
            back.size == step.result.size && back.mtimeSec == step.result.mtimeSec &&
            back.mtimeNsec == step.result.mtimeNsec) {
            done.target = step.source;
            done.result = back;
            record(done, index);
            return Outcome::Done;
        }
        return leave(step.target, "it is no longer there");
    }
    if (e != 0)
        return leave(step.target, platform::ErrorText(e));
    if (const auto why = differs(now, step.result))
        return leave(step.target, *why);

    // The rename is tried first: it fails without harm when the name is taken
    // or its directory is missing, and those are looked into only then.
    std::string to = step.source;
    bool parentsMade = false;
    for (;;) {
        int r = platform::RenameNoReplace(step.target, to) ? 0 : errno;
        if (r == 0) {
            done.result = now; // the same inode, as it was a moment ago
            break;
        }
        PendingCopy pending;
        if (r == EXDEV)
            r = copyBack(step.target, to, now, pending);
        if (r == 0) {
            // Recorded once the batch is on the disk and the file here went.
            pending.done.kind = DoneStep::Kind::Moved;
            pending.done.source = step.target;
            pending.index = index;
            m_pendingPaths.insert(step.target);
            m_pendingPaths.insert(to);
            m_pendingBytes += now.size;
            m_pending.push_back(std::move(pending));
            if (m_pending.size() >= batchFiles || m_pendingBytes >= batchBytes)
                finishCopies();
            return Outcome::Done;
        }
        if (r == ENOENT && !parentsMade) {
            parentsMade = true;
            if ((e = makeParents(to)) != 0)
                return leave(step.target, platform::ErrorText(e));
            continue;
        }
        if (r == ECANCELED)
            return Outcome::Cancelled;
        if (r == EXDEV)
            return leave(step.target, "a directory is not moved back across file systems");
        if (r != EEXIST)
            return leave(step.target, platform::ErrorText(r));

        EntryStat taken;
        const int t = lstatOf(to, taken);
        if (t == ENOENT)
            continue; // free again
        if (t != 0)
            return leave(step.target, platform::ErrorText(t));
        if (taken.device == now.device && taken.inode == now.inode) {
            // The same file under a name that differs in case only, on a file
            // system that ignores case.
            if (platform::RenameThroughTemporary(step.target, to) !=
                platform::TempRenameResult::Done)
                return leave(step.target, "it cannot be renamed back");
            lstatOf(to, done.result);
            break;
        }
        if (to == step.source && taken.kind == EntryKind::Regular &&
            now.kind == EntryKind::Regular && taken.size == now.size &&
            taken.mtimeSec == now.mtimeSec && taken.mtimeNsec == now.mtimeNsec &&
            sameContents(to, step.target)) {
            // A move back across file systems that was cut short after the copy
            // was whole: only the file at the other place is left to go, once
            // the copy is surely on the disk.
            const int fd = ::open(to.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            r = fd >= 0 && ::fsync(fd) == 0 ? 0 : errno;
            if (fd >= 0)
                ::close(fd);
            DirHandle dir;
            if (r == 0)
                r = DirHandle::Open(HostParent(step.target), dir);
            if (r == 0)
                r = dir.RemoveFile(HostBaseName(step.target));
            if (r != 0)
                return leave(step.target, platform::ErrorText(r));
            done.result = taken;
            break;
        }
        bool cancel = false;
        const auto other = otherName(to, taken, now, cancel);
        if (cancel)
            return Outcome::Cancelled;
        if (!other)
            return leave(step.target, "its old name " + shown(step.source) + " is taken");
        to = *other;
    }
    done.target = to;
    record(done, index);
    return Outcome::Done;
}

// --- attributes and times ----------------------------------------------------------------

UndoRunner::Outcome UndoRunner::undoAttributes(const DoneStep& step, int64_t index) {
    const auto source = static_cast<platform::AttrSource>(step.attrSource);
    EntryStat now;
    int e = lstatOf(step.target, now);
    if (e == ENOENT) {
        EntryStat back;
        if (lstatOf(step.source, back) == 0 && back.device == step.result.device &&
            back.inode == step.result.inode && back.mode == step.oldMode) {
            DoneStep done = step; // as it was already
            done.source = step.target;
            done.target = step.source;
            done.result = back;
            record(done, index);
            return Outcome::Done;
        }
        return leave(step.target, "it is no longer there");
    }
    if (e != 0)
        return leave(step.target, platform::ErrorText(e));
    if (now.device != step.result.device || now.inode != step.result.inode)
        return leave(step.target, "it was replaced since");
    const auto attributes = platform::ReadFileAttributes(step.target, source);
    if (now.mode != step.result.mode || !attributes ||
        (*attributes & 0x27) != (step.newAttributes & 0x27))
        return leave(step.target, "its attributes changed since");
    const std::string after =
        platform::WriteFileAttributes(step.target, source, step.oldAttributes);
    EntryStat back;
    if (lstatOf(after, back) == 0 && back.kind != EntryKind::Symlink &&
        source == platform::AttrSource::Posix && back.mode != step.oldMode)
        platform::SetPermissions(after, step.oldMode);
    DoneStep done;
    done.kind = DoneStep::Kind::Attributes;
    done.source = step.target;
    done.target = after;
    lstatOf(after, done.result);
    done.oldAttributes = *attributes;
    done.newAttributes = platform::ReadFileAttributes(after, source).value_or(step.oldAttributes);
    done.oldMode = now.mode;
    done.attrSource = step.attrSource;
    record(done, index);
    return Outcome::Done;
}

UndoRunner::Outcome UndoRunner::undoTime(const DoneStep& step, int64_t index) {
    EntryStat now;
    // A date is a link's own (the link's time was set, not its target's).
    const int e = platform::StatPath(step.target, now);
    if (e != 0)
        return leave(step.target, e == ENOENT ? "it is no longer there" : platform::ErrorText(e));
    if (const auto why = differs(now, step.result))
        return leave(step.target, *why);
    std::string error;
    if (!platform::SetLastWriteTime(
            step.target, {static_cast<time_t>(step.oldMtimeSec), step.oldMtimeNsec}, &error))
        return leave(step.target, error);
    DoneStep done;
    done.kind = DoneStep::Kind::Time;
    done.target = step.target;
    platform::StatPath(step.target, done.result);
    done.oldMtimeSec = now.mtimeSec;
    done.oldMtimeNsec = now.mtimeNsec;
    record(done, index);
    return Outcome::Done;
}

// --- the trash ----------------------------------------------------------------------------

UndoRunner::Outcome UndoRunner::undoTrashed(const DoneStep& step, int64_t index) {
    DoneStep done;
    done.kind = DoneStep::Kind::Restored;
    done.source = step.target;
    done.trashDir = step.trashDir;
    done.trashName = step.trashName;
    EntryStat now;
    int e = lstatOf(step.target, now);
    if (e == ENOENT) {
        EntryStat back;
        if (lstatOf(step.source, back) == 0 && back.device == step.result.device &&
            back.inode == step.result.inode) {
            // Restored already (by the desktop, or an undo cut short): only a
            // description left behind goes.
            ::unlink(platform::TrashInfoPath(step.trashDir, step.trashName).c_str());
            done.target = step.source;
            done.result = back;
            record(done, index);
            return Outcome::Done;
        }
        return leave(step.source, "it is no longer in the trash");
    }
    if (e != 0)
        return leave(step.source, platform::ErrorText(e));
    if (const auto why = differs(now, step.result))
        return leave(step.source, "its copy in the trash " + why->substr(3));
    if ((e = makeParents(step.source)) != 0)
        return leave(step.source, platform::ErrorText(e));
    std::string to = step.source;
    for (;;) {
        EntryStat taken;
        const int t = lstatOf(to, taken);
        if (t == ENOENT) {
            e = platform::RestoreTrashItem(step.trashDir, step.trashName, to);
            if (e != EEXIST)
                break;
        } else if (t != 0) {
            e = t;
            break;
        }
        if (m_skipAll)
            return leave(step.source, "its old name is taken");
        const std::string dir = HostParent(to);
        const auto name = m_prompter.inputText(
            "Restore", "The name " + shown(to) + " is taken. Restore it as:", FreeNumberedName(to));
        if (!name || !IsSingleName(*name))
            return leave(step.source, "its old name is taken");
        to = HostJoin(dir, *name);
    }
    if (e != 0)
        return leave(step.source, platform::ErrorText(e));
    if (step.oldMode != 0) {
        // The attributes the deletion cleared come back with the file.
        const auto source = static_cast<platform::AttrSource>(step.attrSource);
        to = platform::WriteFileAttributes(to, source, step.oldAttributes);
        if (source == platform::AttrSource::Posix)
            platform::SetPermissions(to, step.oldMode);
    }
    done.target = to;
    lstatOf(to, done.result);
    record(done, index);
    return Outcome::Done;
}

UndoRunner::Outcome UndoRunner::undoRestored(const DoneStep& step, int64_t index) {
    EntryStat now;
    int e = lstatOf(step.target, now);
    if (e != 0)
        return leave(step.target, e == ENOENT ? "it is no longer there" : platform::ErrorText(e));
    if (const auto why = differs(now, step.result))
        return leave(step.target, *why);
    platform::TrashedItem where;
    if ((e = platform::MoveToTrash(step.target, &where)) != 0)
        return leave(step.target, platform::ErrorText(e));
    DoneStep done;
    done.kind = DoneStep::Kind::Trashed;
    done.source = step.target;
    done.target = where.trashDir + "/files/" + where.name;
    done.trashDir = where.trashDir;
    done.trashName = where.name;
    lstatOf(done.target, done.result);
    record(done, index);
    return Outcome::Done;
}

// --- the state of an entry ---------------------------------------------------------------

std::string UndoStateText(const UndoJournal& journal, const UndoEntry& entry,
                          const UndoCoverage& coverage) {
    const std::string cut = entry.committed ? "" : "cut short; ";
    const int64_t remaining = coverage.Remaining(entry);
    if (entry.steps == 0)
        return cut + "nothing to undo";
    if (remaining <= 0)
        return "undone";
    std::vector<DoneStep> steps;
    std::string problem;
    if (!journal.Steps(entry.id, steps, &problem))
        return "cannot be undone: " + problem;
    const std::vector<bool>& covered = coverage.Covered(entry.id);
    int64_t blocked = 0;
    std::string reason;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i < covered.size() && covered[i])
            continue;
        if (const auto why = UndoRunner::Blocker(steps[i])) {
            if (blocked++ == 0)
                reason = *why;
        }
    }
    const std::string partly = remaining < entry.steps ? "partly undone; " : "";
    if (blocked == 0)
        return cut + partly + (partly.empty() ? "can be undone" : "the rest can be undone");
    const std::string more =
        blocked > 1 ? " (" + GroupedNumber(blocked) + " files or directories)" : "";
    if (blocked >= remaining)
        return cut + partly + "cannot be undone: " + reason + more;
    return cut + partly + "can be undone in part: " + reason + more;
}

} // namespace zentrix
