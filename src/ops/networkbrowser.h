#pragma once

#include <string>
#include <vector>

namespace zentrix {

/// One place gio can see on the network: a workgroup, a server, a share, or
/// a shortcut to one of them.
struct NetworkEntry {
    std::string uri;    // as gio listed it ("network:///smb-root", "smb://server/share")
    std::string name;   // the display name, else the last part of the URI
    std::string type;   // gio's file type: "directory", "mountable", "shortcut" ...
    std::string target; // a shortcut's target URI; empty for other entries

    /// Where the entry leads: the target of a shortcut, else its own URI.
    const std::string& Location() const { return target.empty() ? uri : target; }
};

/// What a listing found; `error` says why it found nothing when it failed.
struct NetworkListing {
    std::vector<NetworkEntry> entries;
    std::string error;
};

/// The network as gio sees it (servers, shares), read from gio's listings, and
/// which mapped shares are still mounted. Listing runs gio and blocks (within
/// a time limit); it touches no shared state, so it may run on any thread.
class NetworkBrowser {
public:
    static constexpr const char* kNetworkRoot = "network:///";
    static constexpr const char* kWindowsNetwork = "smb:///";

    /// The top of the network: "network:///", or the Windows network when
    /// that shows nothing (no network browsing on this desktop).
    static NetworkListing ListRoot();
    /// What a location holds (the servers of a workgroup, the shares of a server).
    static NetworkListing List(const std::string& uri);

    /// Entries of "gio list -l -u -a standard::display-name,standard::target-uri"
    /// output (one a line: URI, size, "(type)" and attributes, separated by
    /// tabs); a plain listing of one URI a line is read too. Lines that name
    /// no URI (gio's complaints) are left out.
    static std::vector<NetworkEntry> ParseList(const std::string& output);
    /// The URIs of the mounts in "gio mount -l" output ("Mount(0): share on
    /// server -> smb://server/share/").
    static std::vector<std::string> ParseMounts(const std::string& output);

    /// True when the browser opens the location to show what it holds: the
    /// network itself, the Windows network, a workgroup or a server. A share
    /// or a directory is chosen instead.
    static bool CanOpen(const std::string& uri);
    /// True when both name the same place: scheme and server without regard
    /// to case (Windows shares entirely), a trailing "/" ignored.
    static bool SameLocation(const std::string& a, const std::string& b);
};

} // namespace zentrix
