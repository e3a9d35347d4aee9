#pragma once

#include "catalogue/cdcachefile.h"
#include "catalogue/discinforecord.h"
#include "catalogue/disklogger.h"

#include <functional>
#include <optional>
#include <string>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class Progress;
class Prompter;
struct Settings;

/// The CD-ROM catalogue cache: a fully logged CD-ROM is archived to a ".ccc"
/// file named after an identification of the disc, and logging a CD-ROM drive
/// later loads the catalogue from that file instead of reading the disc. The
/// disk logger asks it (it is the logger's CdCacheLoader once installed).
class CdCache : public CdCacheLoader {
public:
    CdCache(Catalogue& catalogue, AppState& state, const Settings& settings, DiskLogger& logger,
            Prompter& prompter, Progress& progress, CatalogueUi& ui);

    /// Where cache files live, in host form ending in "/": "Cache" in the
    /// program's directory, made when missing; the program's directory itself
    /// when that can neither be found nor made.
    static std::string CacheDirectory();

    /// The identification of a disk by its shown volume label and its root
    /// listing; none when the root cannot be listed.
    std::optional<std::string> DiscIdentification(char letter, const std::string& label) const;

    /// "&Archive CD-ROM disk": writes the catalogue of the current disk (a
    /// fully logged CD-ROM) to its cache file, asking for a title.
    void ArchiveCDROMDisk();

    /// Logging a CD-ROM drive: when the disc has a cache file, loads it (asking
    /// first unless the settings say not to). False to read the disc instead.
    bool LoadFromCache(char letter) override;

    /// Replaces the drive's catalogue by the file's. A file that cannot be read
    /// or is damaged is reported and changes nothing (false).
    bool LoadCacheFile(const std::string& hostPath, char letter);

    /// The window shows only its title while a cache loads (true), and its
    /// usual panes again afterwards (false).
    std::function<void(bool)> ShowTitleView;
    /// How the disc information record is read (a test reads its own image).
    std::function<DiscInfoRecord(const platform::DriveInfo&)> ReadDiscInfo = ReadDiscInfoRecord;

private:
    void archiveTo(char letter, const std::string& id, const CdCacheHeader& header);
    bool wholeDiskLogged(TTreeNode* root) const;

    Catalogue& m_cat;
    AppState& m_state;
    const Settings& m_settings;
    DiskLogger& m_logger;
    Prompter& m_prompter;
    Progress& m_progress;
    CatalogueUi& m_ui;
};

} // namespace zentrix
