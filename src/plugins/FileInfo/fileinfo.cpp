#include "fileinfo.h"

#include "archiveinfo.h"
#include "executableinfo.h"
#include "numbertext.h"

#include <QImageReader>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::fileinfo {
namespace {

constexpr auto kArchiveBudget = std::chrono::milliseconds(200); // the quick view asks per file
constexpr uint64_t kArchiveEntryLimit = 200000;

std::string timeText(const struct statx_timestamp& ts) {
    const time_t t = static_cast<time_t>(ts.tv_sec);
    struct tm local {};
    if (!localtime_r(&t, &local))
        return "?";
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

std::string userName(uid_t uid) {
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(uid, &pw, buf, sizeof buf, &found) == 0 && found)
        return std::string(found->pw_name) + " (" + std::to_string(uid) + ")";
    return std::to_string(uid);
}

std::string groupName(gid_t gid) {
    struct group gr {};
    struct group* found = nullptr;
    char buf[4096];
    if (getgrgid_r(gid, &gr, buf, sizeof buf, &found) == 0 && found)
        return std::string(found->gr_name) + " (" + std::to_string(gid) + ")";
    return std::to_string(gid);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isArchiveType(const QMimeType& type) {
    static const char* const kArchives[] = {"application/zip",
                                            "application/x-tar",
                                            "application/x-compressed-tar",
                                            "application/x-bzip-compressed-tar",
                                            "application/x-xz-compressed-tar",
                                            "application/x-zstd-compressed-tar",
                                            "application/x-lzma-compressed-tar",
                                            "application/x-7z-compressed",
                                            "application/vnd.rar",
                                            "application/x-rar",
                                            "application/x-cpio",
                                            "application/x-archive",
                                            "application/x-iso9660-image",
                                            "application/vnd.debian.binary-package",
                                            "application/x-rpm",
                                            "application/x-lha",
                                            "application/x-xar",
                                            "application/x-cd-image",
                                            "application/x-ms-wim",
                                            "application/vnd.ms-cab-compressed"};
    for (const char* name : kArchives)
        if (type.name() == QLatin1String(name) || type.inherits(QLatin1String(name)))
            return true;
    return false;
}

void appendImageLines(const std::string& path, std::vector<std::string>& lines) {
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return;
    const QSize size = reader.size();
    std::string line = "Picture: " + reader.format().toUpper().toStdString();
    if (size.isValid())
        line +=
            ", " + std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels";
    lines.push_back(line);
    const int frames = reader.imageCount();
    if (frames > 1)
        lines.push_back("Frames: " + std::to_string(frames));
}

} // namespace

std::string PermissionText(unsigned mode) {
    std::string text(10, '-');
    switch (mode & S_IFMT) {
    case S_IFDIR:
        text[0] = 'd';
        break;
    case S_IFLNK:
        text[0] = 'l';
        break;
    case S_IFCHR:
        text[0] = 'c';
        break;
    case S_IFBLK:
        text[0] = 'b';
        break;
    case S_IFIFO:
        text[0] = 'p';
        break;
    case S_IFSOCK:
        text[0] = 's';
        break;
    default:
        break;
    }
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (mode & (0400u >> i))
            text[1 + i] = letters[i];
    if (mode & S_ISUID)
        text[3] = (mode & S_IXUSR) ? 's' : 'S';
    if (mode & S_ISGID)
        text[6] = (mode & S_IXGRP) ? 's' : 'S';
    if (mode & S_ISVTX)
        text[9] = (mode & S_IXOTH) ? 't' : 'T';
    return text;
}

std::vector<std::string> DescribeFile(const std::string& path) {
    std::vector<std::string> lines;
    struct statx sx {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, mask, &sx) != 0) {
        lines.push_back("Cannot examine " + baseName(path) + ": " + std::strerror(errno));
        return lines;
    }
    lines.push_back("Name: " + baseName(path));

    if (S_ISLNK(sx.stx_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        lines.push_back("Link to: " +
                        (n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string("?")));
        // The rest describes what the link points at, when it exists.
        struct statx followed {};
        if (::statx(AT_FDCWD, path.c_str(), 0, mask, &followed) == 0)
            sx = followed;
        else
            lines.push_back("Target: missing");
    }

    const QMimeDatabase db;
    const QMimeType mime = S_ISREG(sx.stx_mode) ? db.mimeTypeForFile(QString::fromStdString(path))
                                                : db.mimeTypeForFile(QString::fromStdString(path),
                                                                     QMimeDatabase::MatchExtension);
    if (S_ISDIR(sx.stx_mode))
        lines.push_back("Type: folder (inode/directory)");
    else if (mime.isValid())
        lines.push_back("Type: " + mime.comment().toStdString() + " (" + mime.name().toStdString() +
                        ")");

    if (S_ISREG(sx.stx_mode))
        lines.push_back("Size: " + GroupedNumber(sx.stx_size) + " bytes");
    lines.push_back("Modified: " + timeText(sx.stx_mtime));
    if (sx.stx_mask & STATX_BTIME)
        lines.push_back("Created: " + timeText(sx.stx_btime));
    lines.push_back("Accessed: " + timeText(sx.stx_atime));
    lines.push_back("Owner: " + userName(sx.stx_uid) + ", group: " + groupName(sx.stx_gid));
    char octal[8];
    std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(sx.stx_mode & 07777));
    lines.push_back("Permissions: " + PermissionText(sx.stx_mode) + " (" + octal + ")");
    if (sx.stx_nlink > 1 && !S_ISDIR(sx.stx_mode))
        lines.push_back("Hard links: " + std::to_string(sx.stx_nlink));

    if (!S_ISREG(sx.stx_mode))
        return lines;

    // What the kind of file adds. The checks read headers only.
    if (!DescribeElf(path, lines) && !mime.inherits("text/plain"))
        DescribeWindowsExecutable(path, lines);
    if (mime.name().startsWith("image/"))
        appendImageLines(path, lines);
    if (isArchiveType(mime))
        AppendArchiveLines(ReadArchiveFacts(path, kArchiveBudget, kArchiveEntryLimit), lines);
    return lines;
}

} // namespace zentrix::fileinfo
