#include "undo/journalformat.h"

#include "platform/trashinfo.h"

#include <array>
#include <charconv>
#include <unordered_map>

namespace zentrix {
namespace {

constexpr std::string_view kVersionPrefix = "ZENTRIX UNDO JOURNAL ";
// A line longer than this is no line the program wrote (two escaped paths of
// 4,096 bytes and the numbers stay far below it).
constexpr size_t kMaxLine = 1 << 20;
constexpr size_t kStepFields = 22;

constexpr std::array<std::string_view, 11> kOperationWords = {
    "copy",      "move",    "rename",  "attributes", "datetime", "mkdir",
    "renamedir", "copydir", "movedir", "trash",      "undo"};

constexpr std::array<std::string_view, 9> kStepWords = {"copied",     "moved",      "madedir",
                                                        "removeddir", "attributes", "time",
                                                        "trashed",    "deleted",    "restored"};

template <size_t N>
int wordIndex(const std::array<std::string_view, N>& words, std::string_view w) {
    for (size_t i = 0; i < N; ++i)
        if (words[i] == w)
            return static_cast<int>(i);
    return -1;
}

bool needsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '%';
}

template <typename T> void appendNumber(std::string& out, T value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

template <typename T> bool parseNumber(std::string_view text, T& value) {
    if (text.empty() || text.size() > 20)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

void appendEscaped(std::string& out, std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
}

size_t sharedPrefix(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

void appendPath(std::string& out, const std::string& path, const std::string* previous) {
    const size_t shared = previous ? sharedPrefix(path, *previous) : 0;
    appendNumber(out, shared);
    out += '+';
    appendEscaped(out, std::string_view(path).substr(shared));
}

bool readPath(std::string_view field, const std::string& previous, std::string& out) {
    const size_t plus = field.find('+');
    size_t shared = 0;
    if (plus == std::string_view::npos || !parseNumber(field.substr(0, plus), shared) ||
        shared > previous.size())
        return false;
    std::string rest;
    if (!UnescapeJournalField(field.substr(plus + 1), rest))
        return false;
    out.assign(previous, 0, shared);
    out += rest;
    return true;
}

/// Splits a line at its tabs into at most `max` fields; false when it has more.
template <size_t N>
bool splitFields(std::string_view line, std::array<std::string_view, N>& fields, size_t& count) {
    count = 0;
    size_t pos = 0;
    for (;;) {
        const size_t tab = line.find('\t', pos);
        if (count == N)
            return false;
        fields[count++] = line.substr(pos, tab == std::string_view::npos ? tab : tab - pos);
        if (tab == std::string_view::npos)
            return true;
        pos = tab + 1;
    }
}

/// Parses the fields of a step line (after "I" and the id) into `step`, with
/// the paths relative to the entry's step before.
bool parseStep(const std::array<std::string_view, kStepFields>& f, const std::string& prevSource,
               const std::string& prevTarget, DoneStep& step) {
    const int kind = wordIndex(kStepWords, f[2]);
    if (kind < 0)
        return false;
    step.kind = static_cast<DoneStep::Kind>(kind);
    unsigned flags = 0, resultKind = 0;
    if (!parseNumber(f[3], step.undoes) || step.undoes < -1 || !parseNumber(f[4], flags) ||
        flags > 1 || !readPath(f[5], prevSource, step.source) ||
        !readPath(f[6], prevTarget, step.target) || !parseNumber(f[7], resultKind) ||
        resultKind > static_cast<unsigned>(platform::EntryKind::BlockDevice))
        return false;
    step.replaced = flags & 1;
    step.result.kind = static_cast<platform::EntryKind>(resultKind);
    return parseNumber(f[8], step.result.size) && parseNumber(f[9], step.result.mtimeSec) &&
           parseNumber(f[10], step.result.mtimeNsec) && parseNumber(f[11], step.result.device) &&
           parseNumber(f[12], step.result.inode) && parseNumber(f[13], step.result.mode) &&
           parseNumber(f[14], step.oldAttributes) && parseNumber(f[15], step.newAttributes) &&
           parseNumber(f[16], step.oldMode) && parseNumber(f[17], step.attrSource) &&
           parseNumber(f[18], step.oldMtimeSec) && parseNumber(f[19], step.oldMtimeNsec) &&
           UnescapeJournalField(f[20], step.trashDir) &&
           UnescapeJournalField(f[21], step.trashName);
}

bool countsAsFile(DoneStep::Kind kind) {
    return kind != DoneStep::Kind::MadeDir && kind != DoneStep::Kind::RemovedDir;
}

/// Walks the whole lines of a text: `visit(line, offset)` for each; returns
/// the bytes up to the end of the last whole line.
template <typename Visit> size_t eachLine(std::string_view text, Visit&& visit) {
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            break;
        if (!visit(text.substr(pos, end - pos), pos))
            return pos;
        pos = end + 1;
    }
    return pos;
}

} // namespace

std::string EscapeJournalField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

bool UnescapeJournalField(std::string_view text, std::string& out) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            return false; // written escaped, always
    }
    return platform::PercentDecode(text, out);
}

std::string UndoJournalVersionLine() {
    return std::string(kVersionPrefix) + std::to_string(kUndoJournalVersion) + "\n";
}

std::string FormatEntryLine(const UndoEntry& entry) {
    std::string out = "E\t";
    appendNumber(out, entry.id);
    out += '\t';
    appendNumber(out, entry.time);
    out += '\t';
    out += kOperationWords[static_cast<size_t>(entry.info.kind)];
    out += '\t';
    appendNumber(out, entry.info.undoes);
    out += '\t';
    appendEscaped(out, entry.info.source);
    out += '\t';
    appendEscaped(out, entry.info.target);
    out += '\n';
    return out;
}

void AppendStepLine(std::string& out, uint64_t id, const DoneStep& step, const DoneStep* previous) {
    out += "I\t";
    appendNumber(out, id);
    out += '\t';
    out += kStepWords[static_cast<size_t>(step.kind)];
    out += '\t';
    appendNumber(out, step.undoes);
    out += step.replaced ? "\t1\t" : "\t0\t";
    appendPath(out, step.source, previous ? &previous->source : nullptr);
    out += '\t';
    appendPath(out, step.target, previous ? &previous->target : nullptr);
    const platform::EntryStat& r = step.result;
    for (const int64_t n :
         {static_cast<int64_t>(r.kind), static_cast<int64_t>(r.size), r.mtimeSec, r.mtimeNsec}) {
        out += '\t';
        appendNumber(out, n);
    }
    for (const uint64_t n :
         {r.device, r.inode, static_cast<uint64_t>(r.mode),
          static_cast<uint64_t>(step.oldAttributes), static_cast<uint64_t>(step.newAttributes),
          static_cast<uint64_t>(step.oldMode)}) {
        out += '\t';
        appendNumber(out, n);
    }
    for (const int64_t n :
         {static_cast<int64_t>(step.attrSource), step.oldMtimeSec, step.oldMtimeNsec}) {
        out += '\t';
        appendNumber(out, n);
    }
    out += '\t';
    appendEscaped(out, step.trashDir);
    out += '\t';
    appendEscaped(out, step.trashName);
    out += '\n';
}

std::string FormatCommitLine(uint64_t id) {
    std::string out = "C\t";
    appendNumber(out, id);
    out += '\n';
    return out;
}

UndoJournalText ReadUndoJournal(std::string_view text) {
    UndoJournalText result;
    if (text.empty())
        return result;
    const size_t firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos)
        return result; // the version line itself was cut short: an empty journal
    const std::string_view first = text.substr(0, firstEnd);
    if (first.substr(0, kVersionPrefix.size()) != kVersionPrefix ||
        !parseNumber(first.substr(kVersionPrefix.size()), result.version) || result.version < 1) {
        result.damaged = true;
        result.problem = "it does not begin with its version line";
        return result;
    }
    if (result.version > kUndoJournalVersion) {
        result.damaged = true;
        result.problem = "it was written by a newer version of the program";
        return result;
    }
    result.complete = firstEnd + 1;

    // The entries by id, and the last paths of each one's steps (the prefixes
    // of its next step are taken from them).
    struct Open {
        size_t index;
        std::string source;
        std::string target;
    };
    std::unordered_map<uint64_t, Open> byId;
    std::array<std::string_view, kStepFields> f;
    DoneStep step;
    auto damage = [&](const char* what, size_t offset) {
        result.damaged = true;
        result.problem = std::string(what) + " at byte " + std::to_string(offset);
        return false;
    };
    const std::string_view body = text.substr(result.complete);
    const size_t used = eachLine(body, [&](std::string_view line, size_t pos) {
        const size_t offset = result.complete + pos;
        size_t count = 0;
        if (line.size() > kMaxLine || !splitFields(line, f, count) || count < 2)
            return damage("a line that is no journal line", offset);
        uint64_t id = 0;
        if (!parseNumber(f[1], id))
            return damage("an entry number that is no number", offset);
        const auto it = byId.find(id);
        if (f[0] == "E") {
            if (count != 7 || it != byId.end() || id == 0)
                return damage("a damaged entry heading", offset);
            UndoEntry entry;
            entry.id = id;
            const int kind = wordIndex(kOperationWords, f[3]);
            if (kind < 0 || !parseNumber(f[2], entry.time) ||
                !parseNumber(f[4], entry.info.undoes) ||
                !UnescapeJournalField(f[5], entry.info.source) ||
                !UnescapeJournalField(f[6], entry.info.target))
                return damage("a damaged entry heading", offset);
            entry.info.kind = static_cast<OperationKind>(kind);
            entry.begin = offset;
            entry.end = offset + line.size() + 1;
            byId.emplace(id, Open{result.entries.size(), {}, {}});
            result.entries.push_back(std::move(entry));
            return true;
        }
        if (it == byId.end())
            return damage("a line of an entry that never began", offset);
        UndoEntry& entry = result.entries[it->second.index];
        if (entry.committed)
            return damage("a line after its entry was committed", offset);
        if (f[0] == "C") {
            if (count != 2)
                return damage("a damaged commit line", offset);
            entry.committed = true;
        } else if (f[0] == "I") {
            if (count != kStepFields || !parseStep(f, it->second.source, it->second.target, step))
                return damage("a damaged step", offset);
            if (entry.info.kind == OperationKind::Undo)
                entry.undoes.push_back(step.undoes);
            ++entry.steps;
            if (countsAsFile(step.kind))
                ++entry.files;
            it->second.source.swap(step.source);
            it->second.target.swap(step.target);
        } else {
            return damage("a line of an unknown kind", offset);
        }
        entry.end = offset + line.size() + 1;
        return true;
    });
    result.complete += used;
    if (result.damaged)
        result.entries.clear();
    return result;
}

bool ReadUndoSteps(std::string_view text, uint64_t id, std::vector<DoneStep>& steps) {
    steps.clear();
    std::array<std::string_view, kStepFields> f;
    std::string prevSource, prevTarget;
    bool ok = true;
    eachLine(text, [&](std::string_view line, size_t) {
        size_t count = 0;
        uint64_t lineId = 0;
        if (line.size() > kMaxLine || !splitFields(line, f, count) || count < 2 ||
            !parseNumber(f[1], lineId)) {
            ok = false;
            return false;
        }
        if (lineId != id || f[0] != "I")
            return true;
        DoneStep step;
        if (count != kStepFields || !parseStep(f, prevSource, prevTarget, step)) {
            ok = false;
            return false;
        }
        prevSource = step.source;
        prevTarget = step.target;
        steps.push_back(std::move(step));
        return true;
    });
    return ok;
}

std::string KeepUndoEntries(std::string_view text, const std::function<bool(uint64_t)>& keep) {
    std::string out = UndoJournalVersionLine();
    const size_t firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos)
        return out;
    eachLine(text.substr(firstEnd + 1), [&](std::string_view line, size_t) {
        const size_t tab = line.find('\t');
        const size_t next = tab == std::string_view::npos ? tab : line.find('\t', tab + 1);
        uint64_t id = 0;
        if (tab != std::string_view::npos &&
            parseNumber(
                line.substr(tab + 1, next == std::string_view::npos ? next : next - tab - 1), id) &&
            keep(id)) {
            out.append(line);
            out += '\n';
        }
        return true;
    });
    return out;
}

} // namespace zentrix
