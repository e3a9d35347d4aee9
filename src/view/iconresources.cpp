#include "view/iconresources.h"

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {

namespace {

constexpr uint32_t kMaxImage = 16u << 20;
constexpr size_t kMaxEntries = 4096;
constexpr size_t kMaxGroups = 1000;
constexpr size_t kMaxImagesPerGroup = 64;
constexpr uint64_t kMaxTotalBytes = 64u << 20; // all images of a file together

uint16_t u16(std::string_view d, size_t at) {
    if (at + 2 > d.size())
        return 0;
    return static_cast<uint16_t>(static_cast<unsigned char>(d[at]) |
                                 static_cast<unsigned char>(d[at + 1]) << 8);
}

uint32_t u32(std::string_view d, size_t at) {
    if (at + 4 > d.size())
        return 0;
    return static_cast<uint32_t>(u16(d, at)) | static_cast<uint32_t>(u16(d, at + 2)) << 16;
}

void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

struct Section {
    uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

struct ResourceEntry {
    bool named = false;
    uint32_t id = 0; // numeric id, or the name's offset
};

class PeReader {
public:
    PeReader(const ByteReader& read, uint64_t size) : m_read(read), m_size(size) {}

    bool open() {
        const std::string dos = m_read(0, 64);
        if (dos.size() < 64 || dos[0] != 'M' || dos[1] != 'Z')
            return false;
        const uint32_t pe = u32(dos, 0x3C);
        const std::string head = m_read(pe, 24 + 240);
        if (head.size() < 24 || head.compare(0, 4, std::string("PE\0\0", 4)) != 0)
            return false;
        const uint16_t sections = u16(head, 6);
        const uint16_t optionalSize = u16(head, 20);
        const uint16_t magic = u16(head, 24);
        const size_t dirOffset = magic == 0x20B ? 24 + 112 : 24 + 96;
        // Data directory 2: the resources.
        m_resourceRva = u32(head, dirOffset + 2 * 8);
        if (m_resourceRva == 0 || sections == 0 || sections > 96)
            return false;
        const std::string table = m_read(uint64_t{pe} + 24 + optionalSize, size_t{sections} * 40);
        for (size_t i = 0; i + 40 <= table.size(); i += 40)
            m_sections.push_back(
                {u32(table, i + 12), u32(table, i + 8), u32(table, i + 16), u32(table, i + 20)});
        return fileOffset(m_resourceRva, m_resourceBase);
    }

    bool fileOffset(uint32_t rva, uint64_t& offset) const {
        for (const Section& s : m_sections) {
            const uint32_t span = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
                offset = uint64_t{s.rawOffset} + (rva - s.virtualAddress);
                return offset < m_size;
            }
        }
        return false;
    }

    // The entries of the resource directory at `dirOffset` (relative to the
    // resource section's start), at most `limit` of them. Names are not read
    // here: resolving one costs a read, and most entries never need it.
    std::vector<std::pair<ResourceEntry, uint32_t>> directory(uint32_t dirOffset,
                                                              size_t limit = kMaxEntries) const {
        std::vector<std::pair<ResourceEntry, uint32_t>> out;
        const std::string head = m_read(m_resourceBase + dirOffset, 16);
        if (head.size() < 16)
            return out;
        const size_t count = std::min<size_t>(size_t{u16(head, 12)} + u16(head, 14), limit);
        const std::string entries = m_read(m_resourceBase + dirOffset + 16, count * 8);
        for (size_t i = 0; i + 8 <= entries.size(); i += 8) {
            ResourceEntry e;
            const uint32_t nameField = u32(entries, i);
            e.named = (nameField & 0x80000000u) != 0;
            e.id = nameField & 0x7FFFFFFFu;
            out.emplace_back(e, u32(entries, i + 4));
        }
        return out;
    }

    // The name an entry is shown with: its string, or its number.
    std::string nameOf(const ResourceEntry& e) const {
        return e.named ? resourceName(e.id) : std::to_string(e.id);
    }

    // The first leaf below an entry's target (the first language). Each
    // directory is read once, and only its first entry: a damaged directory
    // that points back at itself, or that many entries share, costs no more
    // than one visit.
    bool leaf(uint32_t target, int depth, uint32_t& rva, uint32_t& size) {
        if (depth > 4)
            return false;
        if (target & 0x80000000u) {
            const uint32_t dir = target & 0x7FFFFFFFu;
            if (m_leaves.try_emplace(dir).second) {
                // Marked as failing while it is visited: a loop back to it fails.
                const auto sub = directory(dir, 1);
                Leaf found;
                found.ok =
                    !sub.empty() && leaf(sub.front().second, depth + 1, found.rva, found.size);
                m_leaves[dir] = found;
            }
            const Leaf& known = m_leaves[dir];
            rva = known.rva;
            size = known.size;
            return known.ok;
        }
        const std::string data = m_read(m_resourceBase + target, 8);
        if (data.size() < 8)
            return false;
        rva = u32(data, 0);
        size = u32(data, 4);
        return size > 0 && size <= kMaxImage;
    }

    std::string resourceName(uint32_t offset) const {
        const std::string len = m_read(m_resourceBase + offset, 2);
        const size_t n = std::min<size_t>(u16(len, 0), 256);
        const std::string units = m_read(m_resourceBase + offset + 2, n * 2);
        std::string name;
        for (size_t i = 0; i + 1 < units.size(); i += 2) {
            const uint16_t u = u16(units, i);
            name.push_back(u < 128 && u >= 32 ? static_cast<char>(u) : '?');
        }
        return name;
    }

    std::string data(uint32_t rva, uint32_t size) const {
        uint64_t offset = 0;
        if (!fileOffset(rva, offset))
            return {};
        std::string bytes = m_read(offset, size);
        return bytes.size() == size ? bytes : std::string();
    }

private:
    const ByteReader& m_read;
    uint64_t m_size;
    uint32_t m_resourceRva = 0;
    uint64_t m_resourceBase = 0;
    std::vector<Section> m_sections;
    struct Leaf {
        bool ok = false;
        uint32_t rva = 0;
        uint32_t size = 0;
    };
    std::map<uint32_t, Leaf> m_leaves; // by directory offset: each visited once
};

} // namespace

std::vector<IconGroup> IconsOfIcoFile(std::string_view data) {
    std::vector<IconGroup> icons;
    const uint16_t type = u16(data, 2);
    if (data.size() < 6 || u16(data, 0) != 0 || (type != 1 && type != 2))
        return icons;
    const size_t count = std::min<size_t>(u16(data, 4), kMaxEntries);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 6 + i * 16;
        if (at + 16 > data.size())
            break;
        const uint32_t size = u32(data, at + 8);
        const uint32_t offset = u32(data, at + 12);
        if (size == 0 || offset > data.size() || size > data.size() - offset)
            continue;
        IconGroup icon;
        const int w = static_cast<unsigned char>(data[at]);
        const int h = static_cast<unsigned char>(data[at + 1]);
        icon.name = std::to_string(w == 0 ? 256 : w) + " x " + std::to_string(h == 0 ? 256 : h);
        icon.ico.reserve(22 + size);
        put16(icon.ico, 0);
        put16(icon.ico, 1); // a cursor's image is shown as an icon
        put16(icon.ico, 1);
        icon.ico.append(data.substr(at, 4));
        put16(icon.ico, 1);                                  // planes
        put16(icon.ico, type == 1 ? u16(data, at + 6) : 32); // a cursor stores its hot spot there
        put32(icon.ico, size);
        put32(icon.ico, 22);
        icon.ico.append(data.substr(offset, size));
        icons.push_back(std::move(icon));
    }
    return icons;
}

std::vector<IconGroup> IconsOfPeFile(const ByteReader& read, uint64_t fileSize) {
    std::vector<IconGroup> groups;
    PeReader pe(read, fileSize);
    if (!pe.open())
        return groups;
    const auto types = pe.directory(0);
    uint32_t iconDir = 0, groupDir = 0;
    for (const auto& [entry, target] : types) {
        if (entry.named || !(target & 0x80000000u))
            continue;
        if (entry.id == 3)
            iconDir = target & 0x7FFFFFFFu;
        else if (entry.id == 14)
            groupDir = target & 0x7FFFFFFFu;
    }
    if (!iconDir || !groupDir)
        return groups;
    // The single images by their number.
    std::map<uint32_t, uint32_t> imageTargets;
    uint64_t total = 0;
    for (const auto& [entry, target] : pe.directory(iconDir))
        if (!entry.named)
            imageTargets.emplace(entry.id, target);
    for (const auto& [entry, target] : pe.directory(groupDir)) {
        if (groups.size() >= kMaxGroups)
            break;
        uint32_t rva = 0, size = 0;
        if (!pe.leaf(target, 0, rva, size))
            continue;
        // Only the heads of the images a group may use are read.
        const std::string dir = pe.data(rva, std::min<uint32_t>(size, 6 + 14 * kMaxImagesPerGroup));
        if (dir.size() < 6)
            continue;
        const size_t count =
            std::min<size_t>({u16(dir, 4), (dir.size() - 6) / 14, kMaxImagesPerGroup});
        std::vector<std::pair<std::string, std::string>> images; // entry head, image
        for (size_t i = 0; i < count; ++i) {
            const size_t at = 6 + i * 14;
            const auto it = imageTargets.find(u16(dir, at + 12));
            if (it == imageTargets.end())
                continue;
            uint32_t irva = 0, isize = 0;
            if (!pe.leaf(it->second, 0, irva, isize) || total + isize > kMaxTotalBytes)
                continue;
            total += isize;
            std::string image = pe.data(irva, isize);
            if (image.empty())
                continue;
            images.emplace_back(dir.substr(at, 8), std::move(image)); // w h colours 0 planes bpp
        }
        if (images.empty())
            continue;
        IconGroup group;
        group.name = pe.nameOf(entry);
        put16(group.ico, 0);
        put16(group.ico, 1);
        put16(group.ico, static_cast<uint16_t>(images.size()));
        uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
        for (const auto& [head, image] : images) {
            group.ico += head;
            put32(group.ico, static_cast<uint32_t>(image.size()));
            put32(group.ico, offset);
            offset += static_cast<uint32_t>(image.size());
        }
        for (const auto& [head, image] : images)
            group.ico += image;
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<IconGroup> IconsOfFile(const std::string& hostPath) {
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const ByteReader read = [fd, size](uint64_t offset, size_t count) {
        std::string bytes;
        if (offset >= size)
            return bytes;
        bytes.resize(static_cast<size_t>(std::min<uint64_t>(count, size - offset)));
        const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return bytes;
    };
    std::vector<IconGroup> icons;
    const std::string magic = read(0, 2);
    if (magic == "MZ") {
        icons = IconsOfPeFile(read, size);
    } else if (size <= kMaxImage * 4) {
        icons = IconsOfIcoFile(read(0, static_cast<size_t>(size)));
    }
    ::close(fd);
    return icons;
}

} // namespace zentrix
