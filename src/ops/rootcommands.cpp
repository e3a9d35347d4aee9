#include "ops/rootcommands.h"

#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/treenode.h"
#include "config/settings.h"
#include "config/tenhinifile.h"
#include "core/prompter.h"
#include "core/waitindicator.h"
#include "ops/networkbrowser.h"
#include "ops/sharelogin.h"
#include "platform/drivetable.h"
#include "platform/process.h"

#include <atomic>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zentrix {
namespace {

constexpr const char* kCaption = "Zentrix";

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

/// Restores a setting when the scope ends.
class ForcedOn {
public:
    explicit ForcedOn(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~ForcedOn() { m_flag = m_old; }
    ForcedOn(const ForcedOn&) = delete;
    ForcedOn& operator=(const ForcedOn&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace

RootCommands::RootCommands(Catalogue& catalogue, platform::DriveTable& drives, Settings& settings,
                           DiskLogger& logger, Prompter& prompter, CatalogueUi& ui,
                           TEnhIniFile& store)
    : m_cat(catalogue), m_drives(drives), m_settings(settings), m_logger(logger),
      m_prompter(prompter), m_ui(ui), m_store(store) {}

std::string RootCommands::DefaultDriveLetter(const platform::DriveTable& drives) {
    for (char c = 'C'; c <= 'Z'; ++c)
        if (!drives.Find(c))
            return std::string(1, c) + ":";
    return "Z:";
}

std::optional<std::string> RootCommands::ShareUri(const std::string& text) {
    std::string uri = text;
    while (!uri.empty() && uri.back() == ' ')
        uri.pop_back();
    while (!uri.empty() && uri.front() == ' ')
        uri.erase(0, 1);
    if (uri.size() > 2 && uri[0] == '\\' && uri[1] == '\\') {
        uri = "smb://" + uri.substr(2);
        for (char& c : uri)
            if (c == '\\')
                c = '/';
    }
    const size_t colon = uri.find("://");
    if (colon == std::string::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(uri[0])))
        return std::nullopt;
    for (size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(uri[i])) && uri[i] != '+' && uri[i] != '-' &&
            uri[i] != '.')
            return std::nullopt;
    if (uri.find_first_of(std::string("\n\r\0", 3)) != std::string::npos)
        return std::nullopt;
    const std::string scheme = uri.substr(0, colon);
    const std::string rest = uri.substr(colon + 3);
    const size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (host.empty())
        return std::nullopt;
    // A Windows share is a server and a share; a server alone is not a disk.
    if (scheme == "smb") {
        if (slash == std::string::npos || slash + 1 >= rest.size() || rest[slash + 1] == '/')
            return std::nullopt;
    }
    return uri;
}

// --- virtual roots -----------------------------------------------------------------------

void RootCommands::MakeRoot() {
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const std::string dirPath = node->Path();
    const auto host = m_cat.HostPath(node);
    const auto answer =
        m_prompter.inputText(kCaption, "Make virtual root as: ", DefaultDriveLetter(m_drives));
    if (!answer || answer->empty())
        return;
    const char letter = upper((*answer)[0]);
    if (m_drives.Find(letter)) {
        m_prompter.inform("Disk already exists!     ");
        return;
    }
    if (letter < 'A' || letter > 'Z' || !host || !m_drives.AddVirtualRoot(letter, *host)) {
        m_prompter.inform("Could not make virtual root!     ");
        return;
    }
    m_store.WriteString(kRootsSection, std::string(1, letter), *host);
    m_store.UpdateFile();
    // The directory's files are held once, under the new disk.
    if (TTreeNode* again = m_logger.FindNodeByPath(dirPath))
        m_logger.UnlogBranch(again);
    m_ui.refreshDriveList();
    m_logger.LogDrive(letter);
    if (TTreeNode* selected = m_cat.Tree().Selected())
        m_ui.scrollIntoView(selected);
}

void RootCommands::RemoveRoot() {
    if (LoggedDiskCount && LoggedDiskCount() <= 1) {
        m_prompter.inform("There is only one disk logged!     ");
        return;
    }
    TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const char letter = upper(node->Root()->Path()[0]);
    if (!m_settings.SkipRemoveRootOption &&
        !m_prompter.askOkCancel("Remove virtual root " + std::string(1, letter) + ": ?"))
        return;
    ForcedOn noReleaseQuestion(m_settings.SkipReleaseDrvOption);
    const platform::DriveInfo* drive = m_drives.Find(letter);
    if (!drive || !drive->virtualRoot) {
        // An ordinary drive is no virtual root: its removal fails.
        m_prompter.inform("Could not remove virtual root!     ");
        return;
    }
    // Released first: the catalogue lets go of the disk while its letter still
    // leads somewhere.
    m_logger.ReleaseDrive(letter);
    m_drives.RemoveVirtualRoot(letter);
    m_store.DeleteKey(kRootsSection, std::string(1, letter));
    m_store.UpdateFile();
    m_ui.refreshDriveList();
}

void RootCommands::RestoreRoots() {
    for (const auto& [name, dir] : m_store.ReadSectionPairs(kRootsSection))
        if (name.size() == 1)
            m_drives.AddVirtualRoot(upper(name[0]), dir);
}

void RootCommands::RestoreNetworkDisks() {
    const auto kept = m_store.ReadSectionPairs(kNetworkSection);
    if (kept.empty())
        return; // gio is not even asked
    std::string output;
    const int status = platform::ListGioMounts(output);
    // Without an answer nothing is known to be gone: the entries stay for the
    // next start.
    if (status != 0)
        return;
    const std::vector<std::string> mounted = NetworkBrowser::ParseMounts(output);
    bool changed = false;
    for (const auto& [name, uri] : kept) {
        bool present = false;
        for (const std::string& m : mounted)
            present = present || NetworkBrowser::SameLocation(m, uri);
        const char letter = name.size() == 1 ? upper(name[0]) : 0;
        if (!present || letter < 'A' || letter > 'Z') {
            m_store.DeleteKey(kNetworkSection, name);
            changed = true;
            continue;
        }
        if (m_drives.Find(letter))
            continue;
        const std::string dir = platform::GioLocalPath(uri);
        if (dir.empty() || !m_drives.AddMappedShare(letter, dir, uri)) {
            m_store.DeleteKey(kNetworkSection, name);
            changed = true;
        }
    }
    if (changed)
        m_store.UpdateFile();
}

// --- network disks ----------------------------------------------------------------------------

void RootCommands::sbConnectClick() {
    const std::optional<std::string> chosen =
        ChooseShare ? ChooseShare()
                    : m_prompter.inputText(kCaption,
                                           "Network share (smb://server/share, sftp://host/dir, "
                                           "dav://host/dir):",
                                           std::string());
    if (!chosen)
        return;
    const auto uri = ShareUri(*chosen);
    if (!uri) {
        m_prompter.inform("Must select a shared disk resource!     ");
        return;
    }
    const std::string local = DefaultDriveLetter(m_drives);
    const auto password = m_prompter.inputText(kCaption, "Enter password (if required):", "");
    if (!password)
        return;

    // gio runs on a worker, within its time limit and until the user stops it;
    // a question for the user name comes back here, where the user is asked.
    struct Exchange {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<std::string> suggestion; // a user name is wanted
        std::optional<std::optional<std::string>> reply;
        bool done = false;
    } exchange;
    std::atomic<bool> cancel{false};
    ShareLogin login(*uri, *password, [&](const std::string& suggestion) {
        std::unique_lock lock(exchange.mutex);
        exchange.suggestion = suggestion;
        exchange.reply.reset();
        exchange.changed.notify_all();
        exchange.changed.wait(lock, [&] { return exchange.reply.has_value() || cancel; });
        exchange.suggestion.reset();
        return exchange.reply ? *exchange.reply : std::nullopt;
    });
    std::string dir;
    std::string error;
    bool mounted = false;
    std::thread worker([&] {
        mounted = platform::MountShare(
            *uri, [&login](const std::string& prompt) { return login.Answer(prompt); }, dir, error,
            cancel);
        std::lock_guard lock(exchange.mutex);
        exchange.done = true;
        exchange.changed.notify_all();
    });
    if (MountWait)
        MountWait->Begin("Map a network disk", "Connecting to " + *uri + " ...");
    for (;;) {
        std::optional<std::string> wanted;
        {
            std::unique_lock lock(exchange.mutex);
            if (!MountWait)
                exchange.changed.wait_for(lock, std::chrono::milliseconds(50));
            if (exchange.done)
                break;
            if (exchange.suggestion && !exchange.reply)
                wanted = exchange.suggestion;
        }
        if (wanted) {
            auto user = m_prompter.inputText(kCaption, "User name for " + *uri + ":", *wanted);
            std::lock_guard lock(exchange.mutex);
            exchange.reply.emplace(std::move(user));
            exchange.changed.notify_all();
            continue;
        }
        if (MountWait) {
            MountWait->Pump(50);
            if (MountWait->Cancelled() && !cancel) {
                std::lock_guard lock(exchange.mutex);
                cancel = true;
                exchange.changed.notify_all();
            }
        }
    }
    worker.join();
    if (MountWait)
        MountWait->End();
    if (cancel || login.UserCancelled())
        return; // stopped by the user: nothing to say
    if (login.PasswordRefused())
        error = "The server did not accept the user name and password for " + *uri + ".";
    if (!mounted || !m_drives.AddMappedShare(local[0], dir, *uri)) {
        m_prompter.inform(error.empty() ? "error" : error);
        return;
    }
    m_store.WriteString(kNetworkSection, local.substr(0, 1), *uri);
    m_store.UpdateFile();
    m_ui.refreshDriveList();
    m_logger.LogDrive(local[0]);
}

void RootCommands::sbDisconnectClick() {
    std::vector<std::pair<char, std::string>> mapped;
    for (const platform::DriveInfo& d : m_drives.Drives())
        if (d.kind == platform::DriveKind::Network)
            mapped.emplace_back(d.letter, d.label.empty() ? d.device : d.label);
    std::optional<char> letter;
    if (ChooseMappedDisk) {
        letter = ChooseMappedDisk(mapped);
    } else {
        const auto text = m_prompter.inputText(
            kCaption, "Unmap a network disk:",
            mapped.empty() ? std::string() : std::string(1, mapped[0].first) + ":");
        if (text && !text->empty())
            letter = upper((*text)[0]);
    }
    if (!letter)
        return; // cancelled: nothing to say
    const platform::DriveInfo* drive = m_drives.Find(*letter);
    if (!drive || drive->kind != platform::DriveKind::Network ||
        !platform::UnmountShare(drive->mountPoint.empty() ? drive->root : drive->mountPoint)) {
        m_prompter.inform("Error unmapping a network disk!     ");
        return;
    }
    m_drives.RemoveMappedShare(*letter);
    if (m_store.ValueExists(kNetworkSection, std::string(1, *letter))) {
        m_store.DeleteKey(kNetworkSection, std::string(1, *letter));
        m_store.UpdateFile();
    }
    m_ui.refreshDriveList();
}

} // namespace zentrix
