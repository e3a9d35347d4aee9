#pragma once

#include "catalogue/typeddirectory.h"

#include <optional>
#include <string>

namespace zentrix {

class Catalogue;
class FileWindow;

/// What a compare looks for in the target directory (rgCompareWhat's index).
enum class CompareRelation : int {
    UniqueNames = 0, // no entry of the same name there
    SameNames = 1,   // an entry of the same name there
    Newer = 2,       // ... whose last-write time is later than the file's
    ExactDates = 3,  // ... whose last-write time equals the file's
    Older = 4,       // ... whose last-write time is earlier than the file's
};

/// "Compare file&list": tags the files of the file window that stand in a
/// relation to the entries of a second directory on disk. Names are matched
/// exactly; only where the target's file system ignores case (FAT, exFAT, a
/// case-folding directory or mount) does "Readme.txt" find "README.TXT", an
/// exact twin still coming first. A compare only adds tags. Main thread only.
class CompareFileList {
public:
    /// Both must outlive the object.
    CompareFileList(Catalogue& catalogue, FileWindow& fileWindow);
    CompareFileList(const CompareFileList&) = delete;
    CompareFileList& operator=(const CompareFileList&) = delete;

    /// The directory the dialog starts with: that of the current file; empty
    /// when the window has none.
    std::string StartDirectory();

    /// The directory a typed text names, as a catalogue path ending in a
    /// backslash with each name as the disk has it; none, with the reason, when
    /// the text is empty or names no existing directory. A host path
    /// ("/srv/data", "~/x") is taken too when a drive holds it.
    TypedDirectory TargetDirectory(const std::string& text) const;

    /// Tags the entries of the window that meet the relation against the
    /// directory (catalogue path), then repaints the window and its
    /// statistics. The number of entries newly tagged; none, with no tag
    /// changed, when the directory cannot be read whole (a partial listing
    /// would make every file look unique).
    std::optional<int> Compare(const std::string& targetDirectory, CompareRelation relation);

    static constexpr const char* kInvalidDirectory = "Invalid directory entered!     ";

private:
    Catalogue& m_cat;
    FileWindow& m_fw;
};

} // namespace zentrix
