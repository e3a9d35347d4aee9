#include "catalogue/cdcachefile.h"

#include "catalogue/cccformat.h"
#include "catalogue/localtimeoffsets.h"
#include "catalogue/loggedclass.h"
#include "catalogue/tree.h"

#include <unordered_map>

namespace zentrix {

namespace {

// The fewest bytes a directory record (a path of three characters and a file
// count) and a file record (a name of one byte, size, attributes, time) take.
constexpr size_t kMinDirectoryBytes = 2 + 3 + 2;
constexpr size_t kMinFileBytes = 2 + 1 + 2 + 2 + 11;
// No name this system lists comes near it (255 bytes, each escaped to three).
constexpr size_t kMaxNameBytes = 4096;

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A name that can stand for one directory entry: no separator, no NUL, not
// empty, not "." or "..".
bool isPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes)
        return false;
    for (const char c : name)
        if (c == '\\' || c == '/' || c == '\0')
            return false;
    return true;
}

struct Failure {
    const char* what;
    size_t at;
};

} // namespace

CdCacheHeader MakeCdCacheHeader(const std::string& title, const DiscInfoRecord& r) {
    CdCacheHeader h;
    h.title = title;
    h.info = {r.system,      r.volumeSet,     r.publisher,    r.preparer,
              r.application, r.copyrightFile, r.abstractFile, r.bibliographicFile};
    h.dates = {ShortDateText(r.created), ShortDateText(r.modified), ShortDateText(r.expires),
               ShortDateText(r.effective)};
    return h;
}

std::string WriteCdCache(const CdCacheHeader& header, TTreeNode* root, LocalTimeOffsets& times) {
    std::vector<TTreeNode*> dirs;
    size_t estimate = 256;
    TTree::PreOrder(root, [&](TTreeNode* n) {
        if (n->IsLink() || !n->Logged())
            return true;
        dirs.push_back(n);
        estimate += 16 + n->Text().size();
        for (const TFileClass* f : n->Data()->FileList())
            estimate += 24 + f->FileName().size();
        return true;
    });

    std::string out;
    out.reserve(estimate);
    ccc::Writer w(out);
    w.Text(header.title, false);
    for (const std::string& text : header.info)
        w.Text(text, true);
    for (const std::string& text : header.dates)
        w.Text(text, true);
    w.Integer(static_cast<int64_t>(dirs.size()));
    std::string path;
    for (TTreeNode* n : dirs) {
        path = n->Path();
        w.Text(path, true);
        const TFileList& files = n->Data()->FileList();
        w.Integer(files.Count());
        for (const TFileClass* f : files) {
            w.Text(f->FileName(), true);
            w.Integer(f->FileSize());
            w.Integer(f->Attributes());
            w.DateTime(times.FileTimeToLocalMs(f->LastWriteTime()));
        }
    }
    return out;
}

std::optional<CdCacheContents> ParseCdCache(std::string bytes, LocalTimeOffsets& times,
                                            std::string* error) {
    CdCacheContents c;
    const auto fail = [&](Failure f) -> std::optional<CdCacheContents> {
        if (error)
            *error = std::string(f.what) + " at byte " + std::to_string(f.at);
        return std::nullopt;
    };
    if (bytes.size() > kMaxCdCacheBytes)
        return fail({"file too large", 0});
    ccc::Reader r(bytes.data(), bytes.size());
    const char* base = bytes.data();
    const auto at = [&](std::string_view v) {
        return static_cast<uint32_t>(v.data() - base);
    };

    // Title and the twelve scrambled texts of the disc.
    for (int i = 0; i < 13; ++i) {
        const size_t pos = r.Position();
        const auto text = r.Text(i > 0);
        if (!text)
            return fail({"a text expected", pos});
        if (i == 0)
            c.title = std::string(*text);
    }
    size_t pos = r.Position();
    const auto dirCount = r.Integer();
    if (!dirCount)
        return fail({"the number of directories expected", pos});
    if (*dirCount < 1 || static_cast<uint64_t>(*dirCount) > r.Left() / kMinDirectoryBytes)
        return fail({"a number of directories the file cannot hold", pos});
    c.dirs.reserve(static_cast<size_t>(*dirCount));

    // Paths without their drive letter (":\DOCS\"), by directory.
    std::unordered_map<std::string_view, uint32_t> known;
    known.reserve(static_cast<size_t>(*dirCount));
    for (int64_t d = 0; d < *dirCount; ++d) {
        pos = r.Position();
        const auto path = r.Text(true);
        if (!path)
            return fail({"a directory path expected", pos});
        const std::string_view p = *path;
        if (p.size() < 3 || !isDriveLetter(p[0]) || p[1] != ':' || p[2] != '\\' || p.back() != '\\')
            return fail({"a directory path that is no path on a drive", pos});
        CdCacheContents::Directory dir;
        const std::string_view key = p.substr(1);
        if (p.size() == 3) {
            if (d != 0)
                return fail({"a second drive root", pos});
        } else {
            if (d == 0)
                return fail({"a first directory that is no drive root", pos});
            const std::string_view inner = p.substr(0, p.size() - 1);
            const size_t cut = inner.rfind('\\');
            const std::string_view name = inner.substr(cut + 1);
            if (!isPlainName(name))
                return fail({"a directory path with an empty, \".\" or \"..\" component", pos});
            const auto parent = known.find(key.substr(0, cut));
            if (parent == known.end())
                return fail({"a directory whose parent is not read before it", pos});
            dir.parent = parent->second;
            dir.nameAt = at(name);
            dir.nameLength = static_cast<uint32_t>(name.size());
        }
        if (!known.emplace(key, static_cast<uint32_t>(d)).second)
            return fail({"a directory listed twice", pos});

        pos = r.Position();
        const auto fileCount = r.Integer();
        if (!fileCount)
            return fail({"the number of files expected", pos});
        if (*fileCount < 0 || static_cast<uint64_t>(*fileCount) > r.Left() / kMinFileBytes)
            return fail({"a number of files the file cannot hold", pos});
        dir.firstFile = static_cast<uint32_t>(c.files.size());
        dir.fileCount = static_cast<uint32_t>(*fileCount);
        for (int64_t f = 0; f < *fileCount; ++f) {
            CdCacheContents::File file;
            pos = r.Position();
            const auto name = r.Text(true);
            if (!name)
                return fail({"a file name expected", pos});
            if (!isPlainName(*name))
                return fail({"a file name that is no name", pos});
            file.nameAt = at(*name);
            file.nameLength = static_cast<uint16_t>(name->size());
            dir.fileNameBytes += name->size();
            pos = r.Position();
            const auto size = r.Integer();
            if (!size || *size < 0)
                return fail({"a file size expected", pos});
            file.size = *size;
            pos = r.Position();
            const auto attributes = r.Integer();
            if (!attributes || *attributes < 0 || *attributes > 0xFFFF)
                return fail({"file attributes expected", pos});
            file.attributes = static_cast<uint16_t>(*attributes);
            pos = r.Position();
            const auto time = r.DateTime();
            if (!time)
                return fail({"a date and time expected", pos});
            file.lastWriteTime = times.LocalMsToFileTime(*time);
            c.files.push_back(file);
        }
        c.dirs.push_back(dir);
    }
    if (r.Left() != 0)
        return fail({"more data after the last directory", r.Position()});
    c.m_bytes = std::move(bytes);
    return c;
}

} // namespace zentrix
