#include "ops/networkbrowser.h"

#include "core/text.h"
#include "platform/process.h"

#include <cctype>
#include <string_view>

namespace zentrix {
namespace {

bool isSchemeChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

/// The length of the scheme of a URI ("smb" in "smb://x"), 0 when the text
/// does not begin with one followed by ":".
size_t schemeLength(std::string_view text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    size_t i = 1;
    while (i < text.size() && isSchemeChar(text[i]))
        ++i;
    return i < text.size() && text[i] == ':' ? i : 0;
}

bool isKeyChar(char c) {
    return std::islower(static_cast<unsigned char>(c)) ||
           std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

/// The length of an attribute name with its "=" ("standard::target-uri=") at
/// the start of text, 0 when there is none.
size_t attributeKeyLength(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isKeyChar(text[i]))
        ++i;
    if (i == 0 || text.substr(i, 2) != "::")
        return 0;
    i += 2;
    const size_t keyStart = i;
    while (i < text.size() && isKeyChar(text[i]))
        ++i;
    if (i == keyStart || i >= text.size() || text[i] != '=')
        return 0;
    return i + 1;
}

/// Reads "name=value name=value" where values may hold blanks: a value runs
/// up to the blank before the next attribute name.
void readAttributes(std::string_view text, NetworkEntry& entry) {
    struct Found {
        size_t start;
        size_t keyLength;
    };
    std::vector<Found> found;
    for (size_t pos = 0; pos < text.size();) {
        if (pos == 0 || text[pos - 1] == ' ') {
            if (const size_t n = attributeKeyLength(text.substr(pos))) {
                found.push_back({pos, n});
                pos += n;
                continue;
            }
        }
        ++pos;
    }
    for (size_t i = 0; i < found.size(); ++i) {
        const size_t valueStart = found[i].start + found[i].keyLength;
        const size_t valueEnd = i + 1 < found.size() ? found[i + 1].start - 1 : text.size();
        const std::string_view key = text.substr(found[i].start, found[i].keyLength - 1);
        const std::string value(text.substr(valueStart, valueEnd - valueStart));
        if (key == "standard::display-name")
            entry.name = value;
        else if (key == "standard::target-uri" && schemeLength(value) > 0)
            entry.target = value;
    }
}

/// Percent escapes decoded, except those of control characters: a name
/// shown in a list stays on one line.
std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int value = text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                                  HexDigit(text[i + 2]) >= 0
                              ? HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])
                              : -1;
        if (value >= 0x20 && value != 0x7F) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

/// The last part of a URI's path, decoded; the server when the path is empty.
std::string lastPart(std::string_view uri) {
    while (!uri.empty() && uri.back() == '/')
        uri.remove_suffix(1);
    const size_t slash = uri.rfind('/');
    return percentDecoded(slash == std::string_view::npos ? uri : uri.substr(slash + 1));
}

/// Scheme, server and path of a URI ("smb", "server", "share/dir"), the path
/// without slashes at either end.
struct UriParts {
    std::string scheme;
    std::string host;
    std::string path;
};

UriParts partsOf(std::string_view uri) {
    UriParts parts;
    const size_t colon = schemeLength(uri);
    if (colon == 0)
        return parts;
    parts.scheme = LowerCase(uri.substr(0, colon));
    std::string_view rest = uri.substr(colon + 1);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        parts.host = std::string(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    while (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == '/')
        rest.remove_suffix(1);
    parts.path = std::string(rest);
    return parts;
}

std::string lastLine(const std::string& text) {
    const std::string trimmed = Trim(text);
    const size_t newline = trimmed.rfind('\n');
    return newline == std::string::npos ? trimmed : Trim(trimmed.substr(newline + 1));
}

} // namespace

std::vector<NetworkEntry> NetworkBrowser::ParseList(const std::string& output) {
    std::vector<NetworkEntry> entries;
    for (std::string_view line : SplitLines(output)) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t tab = line.find('\t');
        const std::string_view uri = line.substr(0, tab);
        // gio's complaints ("gio: smb://x/: ...") begin with its name, no URI.
        if (schemeLength(uri) == 0 || uri.find(' ') != std::string_view::npos)
            continue;
        NetworkEntry entry;
        entry.uri = std::string(uri);
        if (tab != std::string_view::npos) {
            // size, "(type)", then the attributes
            std::string_view rest = line.substr(tab + 1);
            const size_t typeTab = rest.find('\t');
            rest =
                typeTab == std::string_view::npos ? std::string_view() : rest.substr(typeTab + 1);
            const size_t attrTab = rest.find('\t');
            std::string_view type = rest.substr(0, attrTab);
            if (type.size() >= 2 && type.front() == '(' && type.back() == ')')
                entry.type = std::string(type.substr(1, type.size() - 2));
            if (attrTab != std::string_view::npos)
                readAttributes(rest.substr(attrTab + 1), entry);
        }
        if (entry.name.empty())
            entry.name = lastPart(entry.uri);
        if (entry.name.empty())
            entry.name = entry.uri;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> NetworkBrowser::ParseMounts(const std::string& output) {
    static constexpr std::string_view arrow = " -> ";
    std::vector<std::string> uris;
    for (std::string_view line : SplitLines(output)) {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.substr(0, 6) != "Mount(" || line.find("): ") == std::string_view::npos)
            continue;
        const size_t at = line.rfind(arrow);
        if (at == std::string_view::npos)
            continue;
        const std::string uri = Trim(line.substr(at + arrow.size()));
        if (schemeLength(uri) > 0 && uri.find("://") != std::string::npos)
            uris.push_back(uri);
    }
    return uris;
}

bool NetworkBrowser::CanOpen(const std::string& uri) {
    const UriParts parts = partsOf(uri);
    if (parts.scheme == "network" || parts.scheme == "dns-sd")
        return true;
    // smb:/// is the Windows network, smb://NAME/ a workgroup or a server:
    // only below them are the shares.
    return parts.scheme == "smb" && parts.path.empty();
}

bool NetworkBrowser::SameLocation(const std::string& a, const std::string& b) {
    const UriParts x = partsOf(a);
    const UriParts y = partsOf(b);
    if (x.scheme.empty() || x.scheme != y.scheme || !EqualsIgnoreCase(x.host, y.host))
        return false;
    return x.scheme == "smb" ? EqualsIgnoreCase(x.path, y.path) : x.path == y.path;
}

NetworkListing NetworkBrowser::List(const std::string& uri) {
    NetworkListing listing;
    std::string output;
    const int status = platform::ListGioLocation(uri, output);
    if (status == -1 && !platform::ProgramExists("gio")) {
        listing.error = "Browsing the network needs gio (package libglib2.0-bin).";
        return listing;
    }
    listing.entries = ParseList(output);
    if (status == platform::kTimedOut)
        listing.error = "No answer from " + uri;
    else if (status != 0 && listing.entries.empty())
        listing.error = lastLine(output).empty() ? "Could not list " + uri : lastLine(output);
    return listing;
}

NetworkListing NetworkBrowser::ListRoot() {
    NetworkListing network = List(kNetworkRoot);
    if (!network.entries.empty())
        return network;
    NetworkListing windows = List(kWindowsNetwork);
    if (!windows.entries.empty() || network.error.empty())
        return windows;
    return network;
}

} // namespace zentrix
