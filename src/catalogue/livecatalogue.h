#pragma once

#include "catalogue/treenode.h"
#include "catalogue/watchmap.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zentrix {

namespace platform {
enum class AttrSource;
class DirWatcher;
struct WatchBatch;
struct WatchedMove;
} // namespace platform

class AppState;
class Catalogue;
class DiskLogger;
class TFileClass;
class TLoggedClass;
struct Settings;

/// Keeps every logged directory in step with the disk: one watch per logged
/// directory, the changes that settled applied on the main thread as the
/// smallest change to the catalogue (a record added, removed or updated in
/// place; a tree node added, renamed or removed), the record observers told
/// one record at a time. What the catalogue shows already (the program's own
/// operations keep it in step) changes nothing and tells nobody.
///
/// Watches are a limited resource: the budget bounds how many this follower
/// holds. When it runs out, the directories on screen keep theirs (others
/// give theirs up) and the rest are marked as possibly stale.
class LiveCatalogue {
public:
    /// `ready` runs on the watcher's worker thread when changes have settled:
    /// it should arrange for Apply to run on the main thread. A budget of 0
    /// means DefaultBudget().
    LiveCatalogue(Catalogue& catalogue, DiskLogger& logger, const Settings& settings,
                  AppState& state, std::function<void()> ready, size_t budget = 0);
    ~LiveCatalogue();
    LiveCatalogue(const LiveCatalogue&) = delete;
    LiveCatalogue& operator=(const LiveCatalogue&) = delete;

    /// Three quarters of the system's limit of watches (other programs need
    /// some too).
    static size_t DefaultBudget();

    /// False when the system gave no watcher: nothing is followed.
    bool Available() const;
    /// Follows every logged directory (on) or none (off). Switched on again,
    /// the logged directories are brought in step first.
    void SetEnabled(bool on);
    bool Enabled() const { return m_enabled; }

    size_t Budget() const { return m_budget; }
    /// A smaller budget gives watches back (directories off screen first).
    void SetBudget(size_t budget);
    size_t Watches() const { return m_byWatch.size(); }

    /// Applies what settled. Main thread, never while a fill, an operation or
    /// anything else that holds records runs. True when anything changed.
    bool Apply();
    /// True when changes wait for Apply.
    bool HasPending() const;
    /// How many batches of changes Apply has taken so far.
    uint64_t Batches() const { return m_batches; }
    /// The watcher itself (its queue can be held, as a busy system would).
    platform::DirWatcher& Watcher() { return *m_watcher; }

    /// The directories on screen, the most important first (the selected one,
    /// its ancestors, the rows shown): they keep their watches when watches run
    /// short, taking them from directories off screen or further down the list,
    /// and one without a watch gets one (and is read again) now.
    void SetOnScreen(const std::vector<TTreeNode*>& nodes);

    /// Runs once, the first time watches run out.
    std::function<void()> OnWatchesExhausted;
    /// What the status line says then.
    static const char* const kLimitHint;

    /// How a disk's changes are followed, in a sentence (Disk properties).
    std::string FollowText(const TTreeNode* root) const;

private:
    struct DirSync;
    void dataChanged(TTreeNode* node);
    void nodeGoing(TTreeNode* node);
    void dirRead(TTreeNode* node);
    FollowState inherentState(const TTreeNode* node, const std::string& host) const;
    bool watch(TTreeNode* node);
    void unwatch(TTreeNode* node, FollowState state);
    void noRoom(TTreeNode* node);
    bool evictBelow(size_t rank);
    void watchAllLogged();
    TTreeNode* nodeOf(int watch) const;

    void applyMove(const platform::WatchedMove& move);
    platform::AttrSource attrSourceOf(const TTreeNode* node) const;
    void syncNames(TTreeNode* node, const std::vector<std::string>& hostNames);
    void syncDir(TTreeNode* node);
    void syncAll();
    void removeBranch(TTreeNode* node);
    void removeRecord(TLoggedClass& dir, TFileClass* record);
    void compact(TLoggedClass& dir);
    void beginBatch();
    void endBatch();

    Catalogue& m_cat;
    DiskLogger& m_logger;
    const Settings& m_settings;
    AppState& m_state;
    std::unique_ptr<platform::DirWatcher> m_watcher;
    size_t m_budget;
    bool m_enabled = false;
    bool m_wasOn = false; // followed before: switching on again reads what changed
    bool m_toldExhausted = false;
    bool m_changed = false;
    uint64_t m_batches = 0;
    WatchMap m_byWatch;
    std::unordered_map<TTreeNode*, size_t> m_onScreen; // by rank: the first matters most
    /// Records removed per directory since it was last packed.
    std::unordered_map<const TTreeNode*, uint32_t> m_dead;
    /// Host paths of mounts whose changes cannot be seen (pseudo and network
    /// file systems): no watch there or below.
    std::unordered_set<std::string> m_unseenMounts;
};

} // namespace zentrix
