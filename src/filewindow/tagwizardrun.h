#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class Progress;

/// Applies the tag wizard's criteria to the whole catalogue: every tag is
/// cleared, the directories the criteria name are logged (with their branches
/// when asked), the files that meet a criterion are tagged, and the file window
/// goes to the global tagged scope. Runs on the main thread without letting
/// events through, so no record can go away while it works.
class TagWizardRun {
public:
    TagWizardRun(Catalogue& catalogue, AppState& state, DiskLogger& logger, FileWindow& fileWindow,
                 CatalogueUi& ui, Progress& progress);

    /// Nothing happens for an empty list (not even the tags are cleared).
    void Apply(const std::vector<std::string>& criterionLines);

    /// The current time as a file time; tests set it.
    std::function<int64_t()> now;

private:
    void firstPass(const std::vector<std::string>& lines);
    void secondPass(const std::vector<std::string>& lines);
    void logUnloggedBelow(const std::string& path);
    void showPosition(int64_t position, bool force = false);

    Catalogue& m_cat;
    AppState& m_state;
    DiskLogger& m_logger;
    FileWindow& m_fw;
    CatalogueUi& m_ui;
    Progress& m_progress;
    int64_t m_lastShown = 0; // steady clock, ms
};

/// "\" appended unless the text ends in one.
std::string WithFinalBackslash(std::string path);

} // namespace zentrix
