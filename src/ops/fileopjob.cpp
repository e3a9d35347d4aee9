#include "ops/fileopjob.h"

#include "ops/freename.h"
#include "platform/filetransfer.h"
#include "platform/trash.h"

#include <cerrno>

namespace zentrix {
namespace {

using platform::EntryKind;

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

bool inside(const std::string& inner, const std::string& outer) {
    if (inner == outer)
        return true;
    const std::string prefix = outer == "/" ? outer : outer + "/";
    return inner.compare(0, prefix.size(), prefix) == 0;
}

constexpr int kFiveBlanks = 5;
std::string closing() {
    return std::string(kFiveBlanks, ' ');
}

} // namespace

FileOpJob::FileOpJob(FileOperation operation, FileOpFlags flags, std::vector<FileOpPair> pairs,
                     Hooks hooks)
    : m_operation(operation), m_flags(flags), m_pairs(std::move(pairs)), m_hooks(std::move(hooks)) {
    if (!m_hooks.display)
        m_hooks.display = [](const std::string& path) {
            return path;
        };
}

FileOpStatus FileOpJob::Status() const {
    FileOpStatus status;
    {
        std::lock_guard lock(m_mutex);
        status.currentFile = m_currentFile;
        status.currentTarget = m_currentTarget;
    }
    if (!status.currentFile.empty())
        status.currentFile = m_hooks.display(status.currentFile);
    if (!status.currentTarget.empty())
        status.currentTarget = m_hooks.display(status.currentTarget);
    status.filesDone = m_filesDone;
    status.filesTotal = m_filesTotal;
    status.bytesDone = m_bytesDone;
    status.bytesTotal = m_bytesTotal;
    status.measuring = m_measuring;
    status.elapsedSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    return status;
}

void FileOpJob::setCurrent(const std::string& source, const std::string& target) {
    std::lock_guard lock(m_mutex);
    m_currentFile = source;
    m_currentTarget = target;
}

void FileOpJob::fileDone(int64_t files, uint64_t bytes) {
    m_filesDone += files;
    m_bytesDone += bytes;
}

void FileOpJob::stepDone(DoneStep::Kind kind, const std::string& source, const std::string& target,
                         const DirHandle* dir, const EntryStat* facts, bool replaced) {
    if (!m_hooks.done)
        return;
    DoneStep step;
    step.kind = kind;
    step.source = source;
    step.target = target;
    step.replaced = replaced;
    if (facts && facts->inode != 0)
        step.result = *facts;
    else if (dir)
        dir->Stat(baseOf(target), step.result);
    m_hooks.done(step);
}

std::string FileOpJob::verb() const {
    switch (m_operation) {
    case FileOperation::foCopy:
        return "copy";
    case FileOperation::foMove:
        return "move";
    case FileOperation::foRename:
        return "rename";
    case FileOperation::foDelete:
        break;
    }
    return "delete";
}

std::string FileOpJob::what(const std::string& srcPath, const std::string& dstPath) const {
    std::string text = "Cannot " + verb() + " " + m_hooks.display(srcPath);
    if (!dstPath.empty())
        text += "\nto " + m_hooks.display(dstPath);
    return text + ":";
}

FileOpJob::ErrorAnswer FileOpJob::errorQuestion(const std::string& what, int error) {
    if (m_cancel)
        return ErrorAnswer::Cancel;
    const int a = m_hooks.ask({what + "\n\n" + platform::ErrorText(error) + closing(),
                               "Error",
                               {"&Retry", "&Skip", "Cancel"}});
    if (a == 0)
        return ErrorAnswer::Retry;
    if (a == 1) {
        m_incomplete = true;
        m_failed = true;
        return ErrorAnswer::Skip;
    }
    return ErrorAnswer::Cancel;
}

FileOpJob::Step FileOpJob::sameFile(const std::string& srcPath) {
    m_incomplete = true;
    m_failed = true;
    const int a =
        m_hooks.ask({"Cannot " + verb() + " " + m_hooks.display(srcPath) +
                         ": the source and the destination are the same file." + closing(),
                     "Error",
                     {"&Skip", "Cancel"}});
    return a == 0 ? Step::Skipped : Step::Cancelled;
}

bool FileOpJob::renameTarget(const DirHandle& dstDir, std::string& dstPath) {
    for (;;) {
        const std::string name = FreeNumberedName(dstDir, baseOf(dstPath), &m_cancel);
        if (!name.empty()) {
            const std::string renamed = join(parentOf(dstPath), name);
            m_renamed.emplace_back(dstPath, renamed);
            dstPath = renamed;
            return true;
        }
        if (m_cancel)
            return false;
        m_incomplete = true;
        m_failed = true;
        const int a = m_hooks.ask({"No free name was found for a copy beside " +
                                       m_hooks.display(dstPath) + "." + closing(),
                                   "Error",
                                   {"&Retry", "&Skip", "Cancel"}});
        if (a != 0) {
            if (a >= 2)
                m_cancel = true;
            return false;
        }
    }
}

FileOpJob::Collision FileOpJob::collision(const DirHandle& dstDir, std::string& dstPath,
                                          const EntryStat& source, const EntryStat& target,
                                          bool& asked) {
    asked = false;
    const auto rename = [&] {
        if (renameTarget(dstDir, dstPath))
            return Collision::Rename;
        return m_cancel ? Collision::Cancel : Collision::Skip;
    };
    if (m_flags.has(FileOpFlag::foRenameOnCollision))
        return rename();
    if (m_flags.has(FileOpFlag::foNoConfirmation) || m_all == AllAnswer::Replace)
        return Collision::Replace;
    if (m_all == AllAnswer::Skip) {
        m_incomplete = true;
        return Collision::Skip;
    }
    const std::string text =
        "The file " + m_hooks.display(dstPath) + " already exists.\n\n" +
        "Existing: " + EntrySizeText(target) + ", " + EntryDateText(target.mtimeSec) +
        "\nNew:      " + EntrySizeText(source) + ", " + EntryDateText(source.mtimeSec) +
        "\n\nReplace the existing file?" + closing();
    asked = true;
    const int a =
        m_hooks.ask({text,
                     "Confirm File Replace",
                     {"&Replace", "&Skip", "Replace &all", "S&kip all", "Re&name", "Cancel"}});
    switch (a) {
    case 0:
        return Collision::Replace;
    case 2:
        m_all = AllAnswer::Replace;
        return Collision::Replace;
    case 1:
        m_incomplete = true;
        return Collision::Skip;
    case 3:
        m_all = AllAnswer::Skip;
        m_incomplete = true;
        return Collision::Skip;
    case 4:
        return rename();
    default:
        return Collision::Cancel;
    }
}

// --- the run ----------------------------------------------------------------------------

void FileOpJob::Run() {
    m_start = std::chrono::steady_clock::now();
    if (m_operation != FileOperation::foDelete && !refuseSelfCopies()) {
        m_incomplete = true;
        m_failed = true;
        return;
    }
    measure();
    if (m_operation == FileOperation::foDelete && !confirmDelete()) {
        m_cancelled = true;
        return;
    }
    for (const FileOpPair& pair : m_pairs) {
        if (m_cancel) {
            m_cancelled = true;
            break;
        }
        const Step step =
            m_operation == FileOperation::foDelete ? deleteItem(pair.source) : runPair(pair);
        if (step == Step::Skipped)
            m_incomplete = true;
        if (step == Step::Cancelled) {
            m_cancelled = true;
            break;
        }
    }
    setCurrent({}, {});
}

bool FileOpJob::refuseSelfCopies() {
    for (const FileOpPair& pair : m_pairs) {
        EntryStat st;
        if (platform::StatPath(pair.source, st) != 0 || st.kind != EntryKind::Directory)
            continue;
        const std::string source = platform::ResolvedPath(pair.source);
        const std::string dest = platform::ResolvedPath(pair.dest);
        if (source != dest && !inside(dest, source))
            continue;
        m_hooks.ask({"Cannot " + verb() + " " + m_hooks.display(pair.source) +
                         ": the destination directory is inside the source directory." + closing(),
                     "Error",
                     {"OK"}});
        return false;
    }
    return true;
}

void FileOpJob::measure() {
    m_measuring = true;
    for (const FileOpPair& pair : m_pairs) {
        if (m_cancel)
            break;
        EntryStat st;
        if (platform::StatPath(pair.source, st) != 0)
            continue;
        if (m_operation == FileOperation::foDelete) {
            ++m_filesTotal;
        } else if (st.kind == EntryKind::Directory) {
            DirHandle dir;
            if (DirHandle::Open(pair.source, dir) == 0) {
                int64_t files = 0;
                uint64_t bytes = 0;
                countTree(dir, files, bytes);
                m_filesTotal += files;
                m_bytesTotal += bytes;
            }
        } else {
            ++m_filesTotal;
            if (st.kind == EntryKind::Regular)
                m_bytesTotal += st.size;
        }
    }
    m_measuring = false;
}

void FileOpJob::countTree(const DirHandle& dir, int64_t& files, uint64_t& bytes) {
    std::vector<std::string> names;
    dir.List(names);
    for (const std::string& name : names) {
        if (m_cancel)
            return;
        EntryStat st;
        if (dir.Stat(name, st) != 0)
            continue;
        if (st.kind == EntryKind::Directory) {
            DirHandle child;
            if (dir.OpenChild(name, child) == 0)
                countTree(child, files, bytes);
        } else {
            ++files;
            if (st.kind == EntryKind::Regular)
                bytes += st.size;
        }
    }
}

bool FileOpJob::confirmDelete() {
    if (m_flags.has(FileOpFlag::foNoConfirmation) || m_pairs.empty())
        return true;
    const bool trash = m_flags.has(FileOpFlag::foAllowUndo);
    const std::string items = m_pairs.size() == 1
                                  ? m_hooks.display(m_pairs.front().source)
                                  : "these " + std::to_string(m_pairs.size()) + " items";
    const std::string text =
        (trash ? "Move " + items + " to the trash?" : "Delete " + items + " for good?") + closing();
    return m_hooks.ask({text, "Confirm", {"&Yes", "&No"}}) == 0;
}

FileOpJob::Step FileOpJob::deleteItem(const std::string& path) {
    setCurrent(path, {});
    for (;;) {
        if (m_cancel)
            return Step::Cancelled;
        EntryStat st;
        int e = platform::StatPath(path, st);
        std::string reasonWhat = what(path, {});
        platform::TrashedItem where;
        if (e == 0 && m_flags.has(FileOpFlag::foAllowUndo)) {
            e = platform::MoveToTrash(path, &where);
            if (e == 0 && m_hooks.done) {
                DoneStep step;
                step.kind = DoneStep::Kind::Trashed;
                step.source = path;
                step.target = where.trashDir + "/files/" + where.name;
                step.result = st; // renamed, never copied: the same file
                step.trashDir = where.trashDir;
                step.trashName = where.name;
                m_hooks.done(step);
            }
            if (e == EXDEV)
                reasonWhat = "Cannot move " + m_hooks.display(path) +
                             " to the trash: its file system has no trash directory.";
        } else if (e == 0) {
            DirHandle parent;
            e = DirHandle::Open(parentOf(path), parent);
            if (e == 0)
                e = st.kind == EntryKind::Directory ? parent.RemoveTree(baseOf(path))
                                                    : parent.RemoveFile(baseOf(path));
        }
        if (e == 0) {
            fileDone(1, 0);
            return Step::Done;
        }
        switch (errorQuestion(reasonWhat, e)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
}

FileOpJob::Step FileOpJob::openDestDir(const std::string& path, DirHandle& out) {
    for (;;) {
        int e = DirHandle::Open(path, out);
        if (e == 0)
            return Step::Done;
        if (e == ENOENT) {
            if (!m_flags.has(FileOpFlag::foNoConfirmMkDir) &&
                !m_flags.has(FileOpFlag::foNoConfirmation) && !m_mkdirAll) {
                const int a = m_hooks.ask({"The directory " + m_hooks.display(path) +
                                               " does not exist.\n\nCreate it?" + closing(),
                                           "Confirm",
                                           {"&Yes", "Yes to &all", "&No", "Cancel"}});
                if (a == 1)
                    m_mkdirAll = true;
                if (a == 2) {
                    m_incomplete = true;
                    return Step::Skipped;
                }
                if (a >= 3)
                    return Step::Cancelled;
            }
            // The directories made on the way are steps of their own.
            std::vector<std::string> missing;
            for (std::string dir = path; m_hooks.done && dir != "/" && dir != ".";
                 dir = parentOf(dir)) {
                EntryStat st;
                if (platform::StatPath(dir, st, true) != ENOENT)
                    break;
                missing.push_back(dir);
            }
            e = platform::MakePath(path);
            for (auto it = missing.rbegin(); e == 0 && it != missing.rend(); ++it) {
                EntryStat made;
                if (platform::StatPath(*it, made) == 0)
                    stepDone(DoneStep::Kind::MadeDir, {}, *it, nullptr, &made, false);
            }
            if (e == 0)
                continue;
        }
        switch (errorQuestion("Cannot open the directory " + m_hooks.display(path) + ":", e)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
}

FileOpJob::Step FileOpJob::runPair(const FileOpPair& pair) {
    setCurrent(pair.source, pair.dest);
    EntryStat st;
    DirHandle srcDir;
    for (;;) {
        if (m_cancel)
            return Step::Cancelled;
        int e = platform::StatPath(pair.source, st);
        if (e == 0)
            e = DirHandle::Open(parentOf(pair.source), srcDir);
        if (e == 0)
            break;
        switch (errorQuestion(what(pair.source, pair.dest), e)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
    DirHandle dstDir;
    if (const Step s = openDestDir(parentOf(pair.dest), dstDir); s != Step::Done)
        return s;
    if (m_operation == FileOperation::foCopy)
        return copyEntry(srcDir, pair.source, dstDir, pair.dest, st);
    return moveEntry(srcDir, pair.source, dstDir, pair.dest, st, false);
}

FileOpJob::Step FileOpJob::settleExisting(const DirHandle& srcDir, const std::string& srcPath,
                                          const DirHandle& dstDir, std::string& dstPath,
                                          EntryStat& st, bool& replace, bool& merge) {
    merge = false;
    for (;;) {
        EntryStat existing;
        if (const int e = dstDir.Stat(baseOf(dstPath), existing)) {
            if (e == ENOENT) {
                replace = false; // gone meanwhile: go on as if it never was
                return Step::Done;
            }
            switch (errorQuestion(what(srcPath, dstPath), e)) {
            case ErrorAnswer::Retry:
                continue;
            case ErrorAnswer::Skip:
                return Step::Skipped;
            case ErrorAnswer::Cancel:
                return Step::Cancelled;
            }
        }
        if (st.inode == 0 && srcDir.Stat(baseOf(srcPath), st) != 0)
            st.kind = EntryKind::Missing;
        if (existing.device == st.device && existing.inode == st.inode)
            return sameFile(srcPath);
        if (st.kind == EntryKind::Directory && existing.kind == EntryKind::Directory) {
            merge = true;
            return Step::Done;
        }
        bool asked = false;
        switch (collision(dstDir, dstPath, st, existing, asked)) {
        case Collision::Skip:
            return Step::Skipped;
        case Collision::Cancel:
            return Step::Cancelled;
        case Collision::Rename:
            replace = false;
            return Step::Done;
        case Collision::Replace:
            break;
        }
        // The user chose to replace the file the question showed: one that
        // changed while the question was up is asked about again as it is now.
        EntryStat now;
        if (asked && dstDir.Stat(baseOf(dstPath), now) == 0 &&
            (now.inode != existing.inode || now.size != existing.size ||
             now.mtimeSec != existing.mtimeSec || now.mtimeNsec != existing.mtimeNsec))
            continue;
        // A directory never gives way to a file, nor a file to a directory.
        if (existing.kind != EntryKind::Directory && st.kind != EntryKind::Directory) {
            replace = true;
            return Step::Done;
        }
        switch (errorQuestion(what(srcPath, dstPath),
                              existing.kind == EntryKind::Directory ? EISDIR : EEXIST)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
}

FileOpJob::Step FileOpJob::copyEntry(const DirHandle& srcDir, const std::string& srcPath,
                                     const DirHandle& dstDir, const std::string& dstPath,
                                     EntryStat st) {
    if (st.kind == EntryKind::Directory)
        return copyDir(srcDir, srcPath, dstDir, dstPath, st, false, false);
    // The copy itself finds out whether the target exists (before any work).
    std::string target = dstPath;
    bool replace = false;
    for (;;) {
        const Step step = transferLeaf(srcDir, srcPath, dstDir, target, st, replace, false);
        if (step != Step::Exists)
            return step;
        bool merge = false;
        if (const Step s = settleExisting(srcDir, srcPath, dstDir, target, st, replace, merge);
            s != Step::Done)
            return s;
        if (merge)
            return copyDir(srcDir, srcPath, dstDir, target, st, false, false);
    }
}

FileOpJob::Step FileOpJob::transferLeaf(const DirHandle& srcDir, const std::string& srcPath,
                                        const DirHandle& dstDir, const std::string& dstPath,
                                        EntryStat st, bool replace, bool moving,
                                        EntryStat* copied) {
    setCurrent(srcPath, dstPath);
    const std::string name = baseOf(srcPath);
    const std::string toName = baseOf(dstPath);
    for (;;) {
        if (m_cancel)
            return Step::Cancelled;
        uint64_t bytes = 0;
        bool lost = false;
        int e;
        switch (st.kind) {
        case EntryKind::Regular: {
            platform::CopyOptions options;
            options.replace = replace;
            options.sync = moving;
            options.verify = moving;
            options.copied = copied;
            options.attributesLost = &lost;
            options.hardLinks = &m_hardLinks;
            options.targetPath = dstPath;
            options.tick = [this, &bytes](uint64_t n) {
                bytes += n;
                m_bytesDone += n;
                if (m_hooks.block)
                    m_hooks.block(n);
                return !m_cancel.load(std::memory_order_relaxed);
            };
            e = platform::CopyRegularFile(srcDir, name, dstDir, toName, options);
            break;
        }
        case EntryKind::Missing:
            e = ENOENT;
            break;
        case EntryKind::Directory:
            e = EISDIR;
            break;
        default:
            // What a move deletes afterwards is compared with this.
            if (copied && (e = srcDir.Stat(name, *copied)) != 0)
                break;
            if (copied && copied->kind != st.kind) {
                e = EINVAL;
                break;
            }
            e = st.kind == EntryKind::Symlink
                    ? platform::CopySymlink(srcDir, name, dstDir, toName, replace)
                    : platform::CopySpecialFile(srcDir, name, dstDir, toName, replace);
            break;
        }
        if (e == 0) {
            if (moving && st.kind != EntryKind::Regular)
                dstDir.Sync();
            fileDone(1, 0);
            if (m_operation == FileOperation::foCopy)
                stepDone(DoneStep::Kind::Copied, srcPath, dstPath, &dstDir, nullptr, replace);
            if (lost)
                return attributesLost(srcPath, dstPath);
            return Step::Done;
        }
        m_bytesDone -= bytes;
        if (e == ECANCELED)
            return Step::Cancelled;
        if (e == EEXIST && !replace)
            return Step::Exists; // never replaced unasked
        if (e == EINVAL || e == ELOOP || e == EISDIR || e == ENOENT) {
            // The entry changed its kind (or went) since it was listed: look again.
            EntryStat now;
            if (srcDir.Stat(name, now) == 0 && now.kind != st.kind) {
                st = now;
                if (st.kind == EntryKind::Directory)
                    return m_operation == FileOperation::foCopy
                               ? copyDir(srcDir, srcPath, dstDir, dstPath, st, false, false)
                               : copyDir(srcDir, srcPath, dstDir, dstPath, st, true, true);
                continue;
            }
        }
        switch (errorQuestion(what(srcPath, dstPath), e)) {
        case ErrorAnswer::Retry:
            if (srcDir.Stat(name, st) != 0)
                st.kind = EntryKind::Missing;
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
}

FileOpJob::Step FileOpJob::attributesLost(const std::string& srcPath, const std::string& dstPath) {
    if (m_attributesTold)
        return Step::Done;
    m_attributesTold = true;
    const int a = m_hooks.ask(
        {"The copy " + m_hooks.display(dstPath) +
             " could not keep every extended attribute or access control list of " +
             m_hooks.display(srcPath) +
             ": its file system does not hold them, or setting them needs more rights." +
             "\n\nFurther copies go on without what cannot be kept; this is said only once." +
             closing(),
         "Warning",
         {"&Continue", "Cancel"}});
    return a == 0 ? Step::Done : Step::Cancelled;
}

FileOpJob::Step FileOpJob::copyDir(const DirHandle& srcDir, const std::string& srcPath,
                                   const DirHandle& dstDir, const std::string& dstPath,
                                   const EntryStat& st, bool moving, bool crossDevice) {
    setCurrent(srcPath, dstPath);
    const std::string name = baseOf(srcPath);
    const std::string toName = baseOf(dstPath);
    bool created = false;
    DirHandle from, to;
    for (;;) {
        if (m_cancel)
            return Step::Cancelled;
        // Private until its contents are in: the final mode comes last.
        int e = dstDir.MakeDir(toName, 0700);
        created = e == 0;
        if (e == EEXIST) {
            EntryStat existing;
            e = dstDir.Stat(toName, existing);
            if (e == 0 && existing.kind != EntryKind::Directory)
                e = EEXIST;
            else if (e == 0 && existing.device == st.device && existing.inode == st.inode)
                return sameFile(srcPath);
        }
        if (e == 0)
            e = srcDir.OpenChild(name, from);
        if (e == 0)
            e = dstDir.OpenChild(toName, to);
        if (e == 0) {
            if (created)
                stepDone(DoneStep::Kind::MadeDir, {}, dstPath, &dstDir, nullptr, false);
            break;
        }
        if (created) {
            dstDir.RemoveDir(toName); // empty: made a moment ago
            created = false;
        }
        switch (errorQuestion(what(srcPath, dstPath), e)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
    Step result = Step::Done;
    std::vector<std::pair<std::string, EntryKind>> entries;
    for (;;) {
        const int e = from.List(entries);
        if (e == 0)
            break;
        const ErrorAnswer a = errorQuestion(what(srcPath, dstPath), e);
        if (a == ErrorAnswer::Retry)
            continue;
        entries.clear();
        result = a == ErrorAnswer::Skip ? Step::Skipped : Step::Cancelled;
        break;
    }
    for (const auto& [child, kind] : entries) {
        if (m_cancel) {
            result = Step::Cancelled;
            break;
        }
        const std::string childSrc = join(srcPath, child);
        const std::string childDst = join(dstPath, child);
        // The listing's kind spares a look at every file; the rest is looked
        // up only when needed (an existing target, a rename).
        EntryStat cs;
        cs.kind = kind;
        if (kind == EntryKind::Missing || (moving && !crossDevice)) {
            if (const int e = from.Stat(child, cs)) {
                if (e == ENOENT)
                    continue; // gone since the listing: nothing to take
                const ErrorAnswer a = errorQuestion(what(childSrc, childDst), e);
                if (a == ErrorAnswer::Cancel) {
                    result = Step::Cancelled;
                    break;
                }
                result = Step::Skipped;
                continue;
            }
        }
        const Step s = moving ? moveEntry(from, childSrc, to, childDst, cs, crossDevice)
                              : copyEntry(from, childSrc, to, childDst, cs);
        if (s == Step::Cancelled) {
            result = Step::Cancelled;
            break;
        }
        if (s == Step::Skipped)
            result = Step::Skipped;
    }
    if (created) {
        // A directory made here is never left private and half done: it goes
        // when nothing came into it (after a stop, a failure, or when empty
        // ones are not wanted), else it takes its source's mode, owner, times
        // and attributes.
        std::vector<std::string> inside;
        const bool empty = to.List(inside) == 0 && inside.empty();
        if (empty && (result != Step::Done || (!m_keepEmpty && !moving))) {
            dstDir.RemoveDir(toName);
        } else {
            bool lost = false;
            platform::CopyDirectoryMetadata(srcDir, name, to, &lost);
            if (lost && result != Step::Cancelled && attributesLost(srcPath, dstPath) != Step::Done)
                result = Step::Cancelled;
        }
    }
    if (moving && result == Step::Done) {
        // The new directory and its entry reach the disk before the source goes.
        if (crossDevice) {
            to.Sync();
            dstDir.Sync();
        }
        EntryStat before = st; // its mode, should it be made again
        if (m_hooks.done && before.inode == 0)
            srcDir.Stat(name, before);
        const Step removed = removeSource(srcDir, srcPath, true);
        if (removed == Step::Done && m_hooks.done) {
            DoneStep step;
            step.kind = DoneStep::Kind::RemovedDir;
            step.source = srcPath;
            step.result = before;
            m_hooks.done(step);
        }
        return removed;
    }
    return result;
}

FileOpJob::Step FileOpJob::moveEntry(const DirHandle& srcDir, const std::string& srcPath,
                                     const DirHandle& dstDir, std::string dstPath, EntryStat st,
                                     bool crossDevice) {
    setCurrent(srcPath, dstPath);
    bool replace = false;
    for (;;) {
        if (m_cancel)
            return Step::Cancelled;
        if (!crossDevice) {
            const int e = srcDir.Rename(baseOf(srcPath), dstDir, baseOf(dstPath), replace);
            if (e == 0) {
                stepDone(DoneStep::Kind::Moved, srcPath, dstPath, &dstDir, &st, replace);
                if (st.kind == EntryKind::Directory) {
                    DirHandle moved;
                    int64_t files = 0;
                    uint64_t bytes = 0;
                    if (dstDir.OpenChild(baseOf(dstPath), moved) == 0)
                        countTree(moved, files, bytes);
                    fileDone(files, bytes);
                } else {
                    fileDone(1, st.kind == EntryKind::Regular ? st.size : 0);
                }
                return Step::Done;
            }
            if (e == EEXIST || e == ENOTEMPTY) {
                bool merge = false;
                if (const Step s =
                        settleExisting(srcDir, srcPath, dstDir, dstPath, st, replace, merge);
                    s != Step::Done)
                    return s;
                if (merge)
                    return copyDir(srcDir, srcPath, dstDir, dstPath, st, true, false);
                continue;
            }
            if (e != EXDEV || m_operation == FileOperation::foRename) {
                switch (errorQuestion(what(srcPath, dstPath), e)) {
                case ErrorAnswer::Retry:
                    continue;
                case ErrorAnswer::Skip:
                    return Step::Skipped;
                case ErrorAnswer::Cancel:
                    return Step::Cancelled;
                }
            }
            crossDevice = true;
        }
        // Across file systems: copy, let the copy reach the disk, then let the
        // source go if it is still what was copied. A cancel or failure before
        // that leaves the source whole.
        if (st.kind == EntryKind::Directory)
            return copyDir(srcDir, srcPath, dstDir, dstPath, st, true, true);
        EntryStat copied;
        const Step step =
            transferLeaf(srcDir, srcPath, dstDir, dstPath, st, replace, true, &copied);
        if (step == Step::Exists) {
            bool merge = false;
            if (const Step s = settleExisting(srcDir, srcPath, dstDir, dstPath, st, replace, merge);
                s != Step::Done)
                return s;
            if (merge)
                return copyDir(srcDir, srcPath, dstDir, dstPath, st, true, true);
            continue;
        }
        if (step != Step::Done)
            return step;
        const Step removed = removeSource(srcDir, srcPath, false, &copied, dstPath);
        if (removed == Step::Done)
            stepDone(DoneStep::Kind::Moved, srcPath, dstPath, &dstDir, nullptr, replace);
        else if (removed == Step::Skipped)
            // The source stays: what is at the target is a copy of it.
            stepDone(DoneStep::Kind::Copied, srcPath, dstPath, &dstDir, nullptr, replace);
        if (removed != Step::Again)
            return removed;
        replace = true; // the copy made a moment ago gives way to a new one
        if (srcDir.Stat(baseOf(srcPath), st) != 0)
            st.kind = EntryKind::Missing;
    }
}

FileOpJob::Step FileOpJob::removeSource(const DirHandle& srcDir, const std::string& srcPath,
                                        bool directory, const EntryStat* copied,
                                        const std::string& dstPath) {
    for (;;) {
        if (copied) {
            // Only the file that was copied goes: not one that took its name,
            // nor one written to since.
            EntryStat now;
            const int e = srcDir.Stat(baseOf(srcPath), now);
            if (e == ENOENT)
                return Step::Done;
            if (e == 0 && !platform::SameAndUnchanged(now, *copied)) {
                m_failed = true;
                const int a = m_hooks.ask(
                    {m_hooks.display(srcPath) + " changed after it was copied to " +
                         m_hooks.display(dstPath) +
                         ": it stays where it is.\n\nRetry copies it again." + closing(),
                     "Error",
                     {"&Retry", "&Skip", "Cancel"}});
                return a == 0 ? Step::Again : a == 1 ? Step::Skipped : Step::Cancelled;
            }
        }
        const int e =
            directory ? srcDir.RemoveDir(baseOf(srcPath)) : srcDir.RemoveFile(baseOf(srcPath));
        if (e == 0 || e == ENOENT)
            return Step::Done;
        switch (
            errorQuestion("Cannot delete " + m_hooks.display(srcPath) + " after moving it:", e)) {
        case ErrorAnswer::Retry:
            continue;
        case ErrorAnswer::Skip:
            return Step::Skipped;
        case ErrorAnswer::Cancel:
            return Step::Cancelled;
        }
    }
}

} // namespace zentrix
