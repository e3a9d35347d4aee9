#include "filewindow/quickview.h"

#include "catalogue/fileclass.h"

#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace zentrix {

namespace {

constexpr std::string_view kMediaKinds = ".RMI .MID .KAR .WAV .AVI";
constexpr std::string_view kTextKinds = ".TXT .INF .INI .LST .1ST .2ND .ME .ION .NFO .DIZ .BAT";
constexpr std::string_view kPictureKinds = ".BMP .WMF .ICO .EMF";

// The extension with its full stop, tested as a substring of a kind list.
bool ofKind(const std::string& ext, std::string_view kinds) {
    return !ext.empty() && kinds.find(ext) != std::string_view::npos;
}

} // namespace

std::vector<std::string> QuickViewTextLines(const std::string& hostPath) {
    std::vector<std::string> lines;
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return lines;
    char buf[8192];
    size_t got = 0;
    while (got < sizeof buf) {
        const ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    std::string line;
    for (size_t i = 0; i < got; ++i) {
        if (buf[i] == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (buf[i] != '\r') {
            line.push_back(buf[i]);
        }
    }
    return lines; // what follows the last line feed is left out
}

QuickViewContent BuildQuickView(const std::string& fileName, const std::string& hostPath,
                                const std::function<std::vector<std::string>(const std::string&)>& fileInfo) {
    QuickViewContent content;
    const std::string ext = ExtensionOf(fileName);
    if (ext != ".AVI" && fileInfo)
        content.lines = fileInfo(hostPath);
    content.media = ofKind(ext, kMediaKinds);
    if (ofKind(ext, kTextKinds)) {
        const std::vector<std::string> text = QuickViewTextLines(hostPath);
        content.lines.insert(content.lines.end(), text.begin(), text.end());
    }
    if (ofKind(ext, kPictureKinds))
        content.picture = hostPath;
    return content;
}

} // namespace zentrix
