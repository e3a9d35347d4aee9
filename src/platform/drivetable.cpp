#include "platform/drivetable.h"

#include "platform/hostname.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace zentrix::platform {
namespace {

std::string lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The mount table writes blanks, tabs, newlines and backslashes as octal escapes.
std::string unescapeMountField(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            out.push_back(static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 +
                                            (s[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

bool isDirectory(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string normaliseRoot(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool pathHasPrefix(const std::string& path, const std::string& root) {
    if (root == "/")
        return !path.empty() && path[0] == '/';
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

// Mounts under these trees belong to the system itself, not to the user.
bool isSystemMountPoint(const std::string& mp) {
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/snap", "/var/lib/docker"}) {
        if (pathHasPrefix(mp, prefix) && !pathHasPrefix(mp, "/run/media"))
            return true;
    }
    return false;
}

bool deviceIsRemovable(const std::string& source) {
    if (source.rfind("/dev/", 0) != 0)
        return false;
    char resolved[PATH_MAX];
    if (!::realpath(source.c_str(), resolved))
        return false;
    std::string name = resolved;
    name = name.substr(name.rfind('/') + 1);
    std::string sys = "/sys/class/block/" + name;
    char sysResolved[PATH_MAX];
    if (!::realpath(sys.c_str(), sysResolved))
        return false;
    std::string dir = sysResolved;
    if (::access((dir + "/partition").c_str(), F_OK) == 0)
        dir = dir.substr(0, dir.rfind('/'));
    std::ifstream in(dir + "/removable");
    int removable = 0;
    return (in >> removable) && removable == 1;
}

std::optional<DriveKind> kindFromWord(const std::string& word) {
    const std::string w = lower(word);
    if (w == "fixed")
        return DriveKind::Fixed;
    if (w == "floppy" || w == "removable")
        return DriveKind::Floppy;
    if (w == "network")
        return DriveKind::Network;
    if (w == "cdrom" || w == "cd-rom" || w == "cd")
        return DriveKind::CdRom;
    if (w == "ram")
        return DriveKind::Ram;
    if (w == "unknown")
        return DriveKind::Unknown;
    return std::nullopt;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, sep))
        parts.push_back(cur);
    if (!s.empty() && s.back() == sep)
        parts.emplace_back();
    return parts;
}

} // namespace

const char* DriveKindName(DriveKind kind) {
    switch (kind) {
    case DriveKind::Floppy:
        return "Floppy";
    case DriveKind::Fixed:
        return "Fixed";
    case DriveKind::Network:
        return "Network";
    case DriveKind::CdRom:
        return "CD-ROM";
    case DriveKind::Ram:
        return "RAM";
    case DriveKind::Unknown:
        break;
    }
    return "Unknown";
}

bool IsPseudoFileSystem(const std::string& fsType) {
    static const char* const pseudo[] = {
        "proc",     "sysfs",      "cgroup",      "cgroup2",   "devpts",   "devtmpfs",
        "mqueue",   "debugfs",    "tracefs",     "securityfs", "pstore",  "bpf",
        "configfs", "fusectl",    "hugetlbfs",   "autofs",    "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",     "selinuxfs",   "fuse.gvfsd-fuse", "fuse.portal", "nfsd",
        "ramfs-internal", "squashfs"};
    for (const char* p : pseudo)
        if (fsType == p)
            return true;
    return false;
}

DriveKind KindOfMount(const std::string& fsType, const std::string& source) {
    if (fsType == "iso9660" || fsType == "udf")
        return DriveKind::CdRom;
    if (fsType.rfind("nfs", 0) == 0 || fsType == "cifs" || fsType.rfind("smb", 0) == 0 ||
        fsType == "ncpfs" || fsType == "afs" || fsType == "9p" || fsType == "davfs" ||
        fsType == "fuse.sshfs" || fsType == "fuse.rclone" || fsType == "fuse.curlftpfs" ||
        fsType == "ceph" || fsType == "glusterfs")
        return DriveKind::Network;
    if (fsType == "tmpfs" || fsType == "ramfs")
        return DriveKind::Ram;
    if (deviceIsRemovable(source))
        return DriveKind::Floppy;
    return DriveKind::Fixed;
}

AttrSource AttrSourceOf(const std::string& fsType) {
    if (fsType == "vfat" || fsType == "msdos" || fsType == "fat")
        return AttrSource::FatIoctl;
    if (fsType == "ntfs3" || fsType == "ntfs" || fsType == "fuseblk" || fsType == "fuse.ntfs-3g")
        return AttrSource::NtfsXattr;
    return AttrSource::Posix;
}

std::optional<MountEntry> MountHolding(const std::string& hostPath,
                                       const std::vector<MountEntry>& mounts) {
    const MountEntry* best = nullptr;
    for (const auto& m : mounts) {
        if (pathHasPrefix(hostPath, m.mountPoint) &&
            (!best || m.mountPoint.size() >= best->mountPoint.size()))
            best = &m; // later entries of the same point hide earlier ones
    }
    if (!best)
        return std::nullopt;
    return *best;
}

std::vector<MountEntry> DriveTable::ReadMountTable() {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return ParseMountTable(text.str());
}

std::vector<MountEntry> DriveTable::ParseMountTable(const std::string& text) {
    std::vector<MountEntry> mounts;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mountpoint options [optional...] - fstype source super
        std::istringstream fields(line);
        std::vector<std::string> f;
        std::string word;
        while (fields >> word)
            f.push_back(word);
        // The separator follows the six fixed fields; a mount point is an
        // absolute path, without the slashes a garbled table may add to it.
        auto dash = std::find(f.begin() + std::min<size_t>(f.size(), 6), f.end(), "-");
        if (dash == f.end() || std::distance(dash, f.end()) < 3)
            continue;
        MountEntry m;
        m.mountPoint = normaliseRoot(unescapeMountField(f[4]));
        if (m.mountPoint.empty() || m.mountPoint[0] != '/')
            continue;
        m.fsType = *(dash + 1);
        m.source = unescapeMountField(*(dash + 2));
        mounts.push_back(std::move(m));
    }
    return mounts;
}

void DriveTable::add(DriveInfo info) {
    auto pos = std::lower_bound(m_drives.begin(), m_drives.end(), info.letter,
                                [](const DriveInfo& d, char l) { return d.letter < l; });
    m_drives.insert(pos, std::move(info));
}

DriveTable DriveTable::FromMounts(const std::vector<MountEntry>& mounts) {
    DriveTable table;
    // The last mount of a point is the visible one. A container may have
    // thousands of mounts: each point is looked up, never searched for.
    std::vector<MountEntry> visible;
    std::unordered_map<std::string, size_t> seen;
    for (const auto& m : mounts) {
        const auto [at, added] = seen.emplace(m.mountPoint, visible.size());
        if (added)
            visible.push_back(m);
        else
            visible[at->second] = m;
    }
    std::sort(visible.begin(), visible.end(),
              [](const MountEntry& a, const MountEntry& b) { return a.mountPoint < b.mountPoint; });

    DriveInfo c;
    c.letter = 'C';
    c.root = "/";
    if (auto root = MountHolding("/", visible)) {
        c.fsType = root->fsType;
        c.device = root->source;
        c.mountPoint = root->mountPoint;
    } else {
        c.mountPoint = "/";
    }
    c.kind = c.fsType.empty() ? DriveKind::Fixed : KindOfMount(c.fsType, c.device);
    if (c.kind == DriveKind::Ram || c.fsType == "overlay")
        c.kind = DriveKind::Fixed; // a container's root is still its fixed disk
    c.attrSource = AttrSourceOf(c.fsType);
    table.add(c);

    char next = 'D';
    for (const auto& m : visible) {
        if (m.mountPoint == "/" || IsPseudoFileSystem(m.fsType) || m.fsType == "overlay" ||
            isSystemMountPoint(m.mountPoint) || !isDirectory(m.mountPoint))
            continue;
        if (next > 'Z')
            break;
        DriveInfo d;
        d.letter = next++;
        d.root = m.mountPoint;
        d.fsType = m.fsType;
        d.device = m.source;
        d.mountPoint = m.mountPoint;
        d.kind = KindOfMount(m.fsType, m.source);
        d.attrSource = AttrSourceOf(m.fsType);
        table.add(std::move(d));
    }
    return table;
}

DriveTable DriveTable::FromSpec(const std::string& spec, const std::vector<MountEntry>& mounts) {
    DriveTable table;
    auto problem = [&table](const std::string& entry, const std::string& what) {
        table.m_problems.push_back("ZENTRIX_DRIVES: \"" + entry + "\" " + what);
    };
    for (const std::string& entry : split(spec, ';')) {
        if (entry.empty())
            continue; // "C=/a;;D=/b" and a closing ";" are harmless
        const auto eq = entry.find('=');
        if (eq != 1 || entry.size() < 3) {
            problem(entry, "is not LETTER=DIRECTORY; left out");
            continue;
        }
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(entry[0])));
        if (letter < 'A' || letter > 'Z') {
            problem(entry, "does not begin with a drive letter A to Z; left out");
            continue;
        }
        if (table.Find(letter)) {
            problem(entry, std::string("names drive ") + letter + " again; left out");
            continue;
        }
        const auto fields = split(entry.substr(2), ':');
        if (fields.empty() || fields[0].empty() || fields[0][0] != '/') {
            problem(entry,
                    "does not name an absolute directory (one that begins with /); left out");
            continue;
        }
        struct stat st {};
        if (::stat(fields[0].c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
            problem(entry, "names " + fields[0] + ", which is not a directory; left out");
            continue;
        }
        DriveInfo d;
        d.letter = letter;
        d.root = normaliseRoot(fields[0]);
        if (auto m = MountHolding(d.root, mounts)) {
            d.fsType = m->fsType;
            d.device = m->source;
            d.mountPoint = m->mountPoint;
        }
        d.attrSource = AttrSourceOf(d.fsType);
        d.kind = DriveKind::Fixed;
        if (fields.size() > 1 && !fields[1].empty()) {
            if (auto k = kindFromWord(fields[1]))
                d.kind = *k;
            else
                problem(entry, "has the unknown kind \"" + fields[1] + "\"; taken as fixed");
        }
        if (fields.size() > 2)
            d.label = fields[2];
        for (size_t i = 3; i < fields.size(); ++i) {
            const std::string flag = lower(fields[i]);
            if (flag == "dosattrib" || flag == "xattr")
                d.attrSource = AttrSource::DosAttribXattr;
            else if (flag.rfind("dev=", 0) == 0 && fields[i].size() > 4 && fields[i][4] == '/')
                d.device = fields[i].substr(4); // the medium behind the drive (device or image)
            else if (!flag.empty())
                problem(entry, "has the unknown flag \"" + fields[i] + "\"; ignored");
        }
        table.add(std::move(d));
    }
    return table;
}

DriveTable DriveTable::FromEnvironment() {
    const auto mounts = ReadMountTable();
    if (const char* spec = std::getenv("ZENTRIX_DRIVES"); spec && *spec) {
        DriveTable table = FromSpec(spec, mounts);
        if (!table.m_drives.empty())
            return table;
        // Without one usable entry the program would have no drive at all.
        DriveTable fallback = FromMounts(mounts);
        fallback.m_problems = std::move(table.m_problems);
        fallback.m_problems.push_back(
            "ZENTRIX_DRIVES names no usable drive; the mounted file systems are used instead");
        return fallback;
    }
    return FromMounts(mounts);
}

DriveTable& DriveTable::Instance() {
    static DriveTable table = FromEnvironment();
    return table;
}

const DriveInfo* DriveTable::Find(char letter) const {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& d : m_drives)
        if (d.letter == letter)
            return &d;
    return nullptr;
}

std::string DriveTable::FreeLetters() const {
    std::string free;
    for (char l = 'A'; l <= 'Z'; ++l)
        if (!Find(l))
            free.push_back(l);
    return free;
}

bool DriveTable::AddVirtualRoot(char letter, const std::string& hostDir) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (letter < 'A' || letter > 'Z' || Find(letter) || !isDirectory(hostDir))
        return false;
    DriveInfo d;
    d.letter = letter;
    d.root = normaliseRoot(hostDir);
    d.virtualRoot = true;
    const auto mounts = ReadMountTable();
    if (auto m = MountHolding(d.root, mounts)) {
        d.fsType = m->fsType;
        d.device = m->source;
        d.mountPoint = m->mountPoint;
    }
    // A virtual root has the kind of the drive that holds its directory.
    d.kind = DriveKind::Fixed;
    for (const auto& other : m_drives) {
        if (!other.virtualRoot && pathHasPrefix(d.root, other.root)) {
            d.kind = other.kind;
            d.attrSource = other.attrSource;
        }
    }
    add(std::move(d));
    return true;
}

bool DriveTable::RemoveVirtualRoot(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    auto it = std::find_if(m_drives.begin(), m_drives.end(),
                           [&](const DriveInfo& d) { return d.letter == letter && d.virtualRoot; });
    if (it == m_drives.end())
        return false;
    m_drives.erase(it);
    return true;
}

bool DriveTable::AddMappedShare(char letter, const std::string& hostDir,
                                const std::string& remoteName) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (letter < 'A' || letter > 'Z' || Find(letter) || !isDirectory(hostDir))
        return false;
    DriveInfo d;
    d.letter = letter;
    d.root = normaliseRoot(hostDir);
    d.kind = DriveKind::Network;
    d.label = remoteName;
    d.mountPoint = d.root; // what "gio mount -u" takes back
    d.fsType = "fuse";
    d.device = remoteName;
    d.mappedShare = true;
    add(std::move(d));
    return true;
}

bool DriveTable::RemoveMappedShare(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    auto it = std::find_if(m_drives.begin(), m_drives.end(),
                           [&](const DriveInfo& d) { return d.letter == letter && d.mappedShare; });
    if (it == m_drives.end())
        return false;
    m_drives.erase(it);
    return true;
}

bool DriveTable::IsReady(char letter) const {
    const DriveInfo* d = Find(letter);
    if (!d)
        return false;
    DIR* dir = ::opendir(d->root.c_str());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

std::optional<std::string> DriveTable::ToHostPath(const std::string& path) const {
    if (path.size() < 2 || path[1] != ':')
        return std::nullopt;
    const DriveInfo* d = Find(path[0]);
    if (!d)
        return std::nullopt;
    std::string host = d->root;
    size_t pos = 2;
    while (pos < path.size()) {
        if (path[pos] == '\\') {
            ++pos;
            continue;
        }
        const size_t end = std::min(path.find('\\', pos), path.size());
        const std::string component = UnescapeName(std::string_view(path).substr(pos, end - pos));
        if (component == "." || component == ".." || component.find('/') != std::string::npos ||
            component.find('\0') != std::string::npos)
            return std::nullopt;
        if (host.back() != '/')
            host.push_back('/');
        host += component;
        pos = end;
    }
    return host;
}

std::optional<std::string> DriveTable::ToCataloguePath(const std::string& hostPath,
                                                       bool directory) const {
    const DriveInfo* best = nullptr;
    for (const auto& d : m_drives)
        if (pathHasPrefix(hostPath, d.root) && (!best || d.root.size() > best->root.size()))
            best = &d;
    if (!best)
        return std::nullopt;
    std::string out;
    out.push_back(best->letter);
    out += ":\\";
    std::string rest = best->root == "/" ? hostPath.substr(1) : hostPath.substr(best->root.size());
    size_t pos = 0;
    bool first = true;
    while (pos <= rest.size()) {
        const size_t end = std::min(rest.find('/', pos), rest.size());
        if (end > pos) {
            if (!first)
                out.push_back('\\');
            out += EscapeHostName(std::string_view(rest).substr(pos, end - pos));
            first = false;
        }
        pos = end + 1;
    }
    if (directory && out.back() != '\\')
        out.push_back('\\');
    return out;
}

} // namespace zentrix::platform
