#include "catalogue/filetypedescription.h"

#include "catalogue/fileclass.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "platform/mimetypes.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentrix {
namespace {

// Bounded reads from a file that may be truncated or hostile: every read is
// checked against the file's size and a failed read gives zeros and false.
class FileReader {
public:
    explicit FileReader(const std::string& path) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st{};
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode))
            m_size = static_cast<uint64_t>(st.st_size);
        else if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FileReader() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool ok() const { return m_fd >= 0; }
    uint64_t size() const { return m_size; }

    bool read(uint64_t offset, void* out, size_t n) const {
        if (m_fd < 0 || offset > m_size || n > m_size - offset)
            return false;
        return ::pread(m_fd, out, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
    }
    bool u16(uint64_t offset, uint32_t& v) const {
        unsigned char b[2];
        if (!read(offset, b, 2))
            return false;
        v = b[0] | (b[1] << 8);
        return true;
    }
    bool u32(uint64_t offset, uint32_t& v) const {
        unsigned char b[4];
        if (!read(offset, b, 4))
            return false;
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};

bool startsWithMz(const FileReader& f) {
    char mz[2];
    return f.read(0, mz, 2) && (mz[0] == 'M' || mz[0] == 'm') && (mz[1] == 'Z' || mz[1] == 'z');
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16LE units to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::vector<uint16_t>& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        appendUtf8(out, u);
    }
    return out;
}

// --- the version resource --------------------------------------------------------

// The bytes of the first RT_VERSION resource of a PE file; empty when none.
std::vector<unsigned char> versionResourceBytes(const FileReader& f) {
    uint32_t peOffset = 0, sig = 0;
    if (!startsWithMz(f) || !f.u32(0x3C, peOffset) || !f.u32(peOffset, sig) || sig != 0x00004550)
        return {};
    const uint64_t coff = uint64_t(peOffset) + 4;
    uint32_t sections = 0, optSize = 0, magic = 0;
    if (!f.u16(coff + 2, sections) || !f.u16(coff + 16, optSize) || !f.u16(coff + 20, magic))
        return {};
    const uint64_t opt = coff + 20;
    const uint64_t dirBase = magic == 0x20B ? opt + 112 : magic == 0x10B ? opt + 96 : 0;
    const uint64_t countAt = magic == 0x20B ? opt + 108 : opt + 92;
    uint32_t dirCount = 0, resRva = 0, resSize = 0;
    if (dirBase == 0 || !f.u32(countAt, dirCount) || dirCount < 3 ||
        dirBase + 24 > opt + optSize || !f.u32(dirBase + 16, resRva) ||
        !f.u32(dirBase + 20, resSize) || resRva == 0)
        return {};

    struct Section {
        uint32_t va, vsize, rawSize, rawPtr;
    };
    std::vector<Section> table;
    const uint64_t secBase = opt + optSize;
    for (uint32_t i = 0; i < sections && i < 96; ++i) {
        Section s{};
        const uint64_t at = secBase + uint64_t(i) * 40;
        if (!f.u32(at + 8, s.vsize) || !f.u32(at + 12, s.va) || !f.u32(at + 16, s.rawSize) ||
            !f.u32(at + 20, s.rawPtr))
            return {};
        table.push_back(s);
    }
    auto toOffset = [&](uint32_t rva, uint64_t& off) {
        for (const Section& s : table) {
            const uint32_t span = std::max(s.vsize, s.rawSize);
            if (rva >= s.va && rva - s.va < span && rva - s.va < s.rawSize) {
                off = uint64_t(s.rawPtr) + (rva - s.va);
                return true;
            }
        }
        return false;
    };
    uint64_t resBase = 0;
    if (!toOffset(resRva, resBase))
        return {};

    // Three levels: type, name, language. Take RT_VERSION (16), then the first
    // entry at each further level.
    uint64_t dir = resBase;
    for (int level = 0; level < 3; ++level) {
        uint32_t named = 0, ids = 0;
        if (!f.u16(dir + 12, named) || !f.u16(dir + 14, ids))
            return {};
        const uint32_t total = std::min<uint32_t>(named + ids, 4096);
        bool found = false;
        for (uint32_t i = 0; i < total; ++i) {
            uint32_t nameId = 0, target = 0;
            const uint64_t entry = dir + 16 + uint64_t(i) * 8;
            if (!f.u32(entry, nameId) || !f.u32(entry + 4, target))
                return {};
            if (level == 0 && nameId != 16)
                continue;
            const bool isDir = target & 0x80000000u;
            const uint64_t next = resBase + (target & 0x7FFFFFFFu);
            if (level < 2) {
                if (!isDir)
                    return {};
                dir = next;
            } else {
                if (isDir)
                    return {};
                uint32_t dataRva = 0, dataSize = 0;
                uint64_t dataOff = 0;
                if (!f.u32(next, dataRva) || !f.u32(next + 4, dataSize) ||
                    !toOffset(dataRva, dataOff) || dataSize == 0 || dataSize > (1u << 20))
                    return {};
                std::vector<unsigned char> bytes(dataSize);
                if (!f.read(dataOff, bytes.data(), dataSize))
                    return {};
                return bytes;
            }
            found = true;
            break;
        }
        if (!found)
            return {};
    }
    return {};
}

// One block of a version resource: length, value length, type, key, value, children.
struct VersionBlock {
    size_t start = 0, end = 0; // [start, end) in the buffer
    std::string key;
    size_t valueStart = 0, valueBytes = 0;
    size_t childrenStart = 0;
    bool textValue = false;
};

bool parseBlock(const std::vector<unsigned char>& b, size_t at, size_t limit, VersionBlock& out) {
    auto u16 = [&](size_t off) -> uint32_t { return b[off] | (b[off + 1] << 8); };
    if (at + 6 > limit)
        return false;
    const size_t length = u16(at);
    const size_t valueLength = u16(at + 2);
    const uint32_t type = u16(at + 4);
    if (length < 6 || at + length > limit)
        return false;
    out.start = at;
    out.end = at + length;
    size_t p = at + 6;
    std::vector<uint16_t> key;
    while (p + 2 <= out.end && u16(p) != 0) {
        key.push_back(static_cast<uint16_t>(u16(p)));
        p += 2;
    }
    p += 2;
    out.key = utf16ToUtf8(key);
    p = (p + 3) & ~size_t(3);
    out.textValue = type == 1;
    out.valueStart = p;
    out.valueBytes = out.textValue ? valueLength * 2 : valueLength;
    if (out.valueStart + out.valueBytes > out.end)
        out.valueBytes = out.valueStart < out.end ? out.end - out.valueStart : 0;
    out.childrenStart = (out.valueStart + out.valueBytes + 3) & ~size_t(3);
    return true;
}

// Finds the child of `parent` whose key equals `key` (without regard to case).
bool findChild(const std::vector<unsigned char>& b, const VersionBlock& parent,
               const std::string& key, VersionBlock& out) {
    size_t at = parent.childrenStart;
    int guard = 0;
    while (at + 6 <= parent.end && guard++ < 4096) {
        VersionBlock child;
        if (!parseBlock(b, at, parent.end, child))
            return false;
        if (EqualsIgnoreCase(child.key, key)) {
            out = child;
            return true;
        }
        at = (child.end + 3) & ~size_t(3);
    }
    return false;
}

} // namespace

std::string VersionResourceDescription(const std::string& hostPath) {
    FileReader f(hostPath);
    if (!f.ok())
        return {};
    const std::vector<unsigned char> res = versionResourceBytes(f);
    VersionBlock root;
    if (res.empty() || !parseBlock(res, 0, res.size(), root))
        return {};

    // The translation: the first with language 1033, else the last; without a
    // table, language 1033 and code page 0.
    uint32_t language = 1033, codePage = 0;
    VersionBlock varInfo, translation;
    if (findChild(res, root, "VarFileInfo", varInfo) &&
        findChild(res, varInfo, "Translation", translation) && translation.valueBytes >= 4) {
        bool chosen = false;
        for (size_t p = translation.valueStart; p + 4 <= translation.valueStart + translation.valueBytes;
             p += 4) {
            const uint32_t lang = res[p] | (res[p + 1] << 8);
            const uint32_t cp = res[p + 2] | (res[p + 3] << 8);
            if (!chosen && lang == 1033) {
                language = lang;
                codePage = cp;
                chosen = true;
            } else if (!chosen) {
                language = lang;
                codePage = cp;
            }
        }
    }
    char tableKey[16];
    std::snprintf(tableKey, sizeof tableKey, "%04X%04X", language & 0xFFFF, codePage & 0xFFFF);

    VersionBlock stringInfo, table, entry;
    if (!findChild(res, root, "StringFileInfo", stringInfo) ||
        !findChild(res, stringInfo, tableKey, table) ||
        !findChild(res, table, "FileDescription", entry))
        return {};
    std::vector<uint16_t> units;
    for (size_t p = entry.valueStart; p + 2 <= entry.valueStart + entry.valueBytes; p += 2) {
        const uint16_t u = static_cast<uint16_t>(res[p] | (res[p + 1] << 8));
        if (u == 0)
            break;
        units.push_back(u);
    }
    std::string text = utf16ToUtf8(units);
    // A text with the control character 4 is the remains of a failed query.
    if (text.find('\x04') != std::string::npos || text.rfind("\\StringFileInfo\\", 0) == 0)
        return {};
    return text;
}

std::string NeModuleDescription(const std::string& hostPath) {
    FileReader f(hostPath);
    uint32_t neOffset = 0, tableOffset = 0;
    char ne[2];
    if (!f.ok() || !startsWithMz(f) || !f.u32(60, neOffset) || !f.read(neOffset, ne, 2) ||
        ne[0] != 'N' || ne[1] != 'E' || !f.u32(uint64_t(neOffset) + 44, tableOffset))
        return {};
    unsigned char length = 0;
    if (!f.read(tableOffset, &length, 1) || length == 0)
        return {};
    std::string raw(length, '\0');
    if (!f.read(uint64_t(tableOffset) + 1, raw.data(), length))
        return {};
    // The names of 16-bit programs are in the Windows code page; the upper half
    // of Latin-1 is the closest mapping without tables.
    std::string text;
    for (unsigned char c : raw)
        appendUtf8(text, c);
    return text;
}

std::string UserTypeDescription(std::string_view fileName,
                                const std::vector<std::string>& userFileTypes) {
    std::string ext = ExtensionOf(fileName);
    const std::string dotExt = "." + (ext.empty() ? std::string() : ext.substr(1));
    for (const std::string& entry : userFileTypes) {
        const auto open = entry.find('(');
        if (open == std::string::npos || entry.size() < open + 2)
            continue;
        const std::string masks = UpperCase(entry.substr(open + 1, entry.size() - open - 2));
        size_t pos = 0;
        bool matched = false;
        while (pos < masks.size() && !matched) {
            const size_t end = std::min(masks.find(' ', pos), masks.size());
            const std::string mask = Trim(std::string_view(masks).substr(pos, end - pos));
            if (!mask.empty() && WildcardMatch(mask, dotExt))
                matched = true;
            pos = end + 1;
        }
        if (matched) {
            std::string desc = entry.substr(0, open);
            while (!desc.empty() && desc.back() == ' ')
                desc.pop_back(); // the blank that separates the masks
            return desc;
        }
    }
    return {};
}

std::string ExtensionFallbackDescription(std::string_view fileName) {
    const std::string ext = ExtensionOf(fileName);
    if (ext.size() < 2)
        return "??? file";
    return ext.substr(1) + " file";
}

std::string FileTypeDescription(const std::string& hostPath, std::string_view fileName,
                                const std::vector<std::string>& userFileTypes) {
    if (!hostPath.empty() && ::access(hostPath.c_str(), F_OK) == 0) {
        std::string text = VersionResourceDescription(hostPath);
        if (text.empty())
            text = NeModuleDescription(hostPath);
        if (!text.empty())
            return text;
    }
    std::string text = UserTypeDescription(fileName, userFileTypes);
    if (text.empty())
        text = platform::RegisteredTypeDescription(fileName);
    if (text.empty())
        text = ExtensionFallbackDescription(fileName);
    return text;
}

} // namespace zentrix
