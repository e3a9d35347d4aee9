#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

namespace platform {
class DriveTable;
}
class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class Prompter;
class TEnhIniFile;
class WaitIndicator;
struct Settings;

/// Virtual roots (a free drive letter standing for the current directory,
/// kept in the settings and made again at the next start) and network disks
/// (a share mounted with gio, its directory given a free letter). Main thread
/// only; the drive table is the one the catalogue reads.
class RootCommands {
public:
    /// All references must outlive the object.
    RootCommands(Catalogue& catalogue, platform::DriveTable& drives, Settings& settings,
                 DiskLogger& logger, Prompter& prompter, CatalogueUi& ui, TEnhIniFile& store);
    RootCommands(const RootCommands&) = delete;
    RootCommands& operator=(const RootCommands&) = delete;

    /// Ctrl+M on the tree: the current directory becomes a drive of its own.
    void MakeRoot();
    /// Ctrl+R on the tree: the current disk's virtual root goes.
    void RemoveRoot();
    /// "Map a network disk": gio mounts the share on a worker, within its time
    /// limit, while MountWait shows it and lets the user stop it; gio's
    /// questions are answered one at a time (ShareLogin), the user name asked
    /// here when the address names none.
    void sbConnectClick();
    /// "Unmap a network disk".
    void sbDisconnectClick();

    /// The virtual roots kept in the settings, made again (at start, before
    /// the start-up drives are logged). Those whose directory is gone or whose
    /// letter is taken now are left out (and stay in the settings).
    void RestoreRoots();
    /// The network disks mapped in an earlier run given their letters again
    /// (at start, like the virtual roots): those whose share gio still has
    /// mounted. A share no longer mounted is dropped from the settings without
    /// a word; one whose letter is taken now is left out (and stays).
    void RestoreNetworkDisks();

    /// The first letter from C upward that no drive uses, followed by ":".
    static std::string DefaultDriveLetter(const platform::DriveTable& drives);
    /// A share name as gio takes it: "\\SERVER\SHARE" becomes
    /// "smb://SERVER/SHARE". None when the text names no share (a server
    /// alone, no scheme, or a name that could pass for an option).
    static std::optional<std::string> ShareUri(const std::string& text);

    /// The number of logged disks (the disk tabs).
    std::function<int()> LoggedDiskCount;
    /// The share to map; none when the user cancelled. Without it the
    /// prompter's input box asks.
    std::function<std::optional<std::string>()> ChooseShare;
    /// The letter of the mapped disk to unmap, from the list of mapped network
    /// disks; none when cancelled. Without it the prompter's input box asks.
    std::function<std::optional<char>(const std::vector<std::pair<char, std::string>>&)>
        ChooseMappedDisk;
    /// Shown while a share is being mounted, with "Cancel"; without it nothing
    /// is shown and only the time limit ends a mount that hangs.
    WaitIndicator* MountWait = nullptr;

    static constexpr const char* kRootsSection = "VirtualRoots";
    /// Letter = the address of the share mapped to it.
    static constexpr const char* kNetworkSection = "NetworkDisks";

private:
    Catalogue& m_cat;
    platform::DriveTable& m_drives;
    Settings& m_settings;
    DiskLogger& m_logger;
    Prompter& m_prompter;
    CatalogueUi& m_ui;
    TEnhIniFile& m_store;
};

} // namespace zentrix
