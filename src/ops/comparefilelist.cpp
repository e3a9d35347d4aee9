#include "ops/comparefilelist.h"

#include "catalogue/catalogue.h"
#include "catalogue/fileclass.h"
#include "core/text.h"
#include "filewindow/filewindow.h"
#include "filewindow/filewindowui.h"
#include "platform/casefolding.h"
#include "platform/dirlisting.h"

#include <unordered_map>

namespace zentrix {

CompareFileList::CompareFileList(Catalogue& catalogue, FileWindow& fileWindow)
    : m_cat(catalogue), m_fw(fileWindow) {}

std::string CompareFileList::StartDirectory() {
    const TFileClass* record = m_fw.Record(m_fw.Current());
    return record ? record->FileDirName() : std::string();
}

TypedDirectory CompareFileList::TargetDirectory(const std::string& text) const {
    if (text.empty())
        return {};
    return ResolveTypedDirectory(m_cat.Drives(), text, true);
}

std::optional<int> CompareFileList::Compare(const std::string& targetDirectory,
                                            CompareRelation relation) {
    const auto host = m_cat.Drives().ToHostPath(targetDirectory);
    if (!host)
        return std::nullopt;

    // The target is read once: every entry by its exact name and, where its
    // file system matches names without regard to case, the first of each
    // name folded. Elsewhere "a.txt" and "A.TXT" are different files.
    const bool folds = platform::FoldsCase(*host);
    std::unordered_map<std::string, int64_t> exact;
    std::unordered_map<std::string, int64_t> folded;
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::All);
    if (!listing.Open(*host))
        return std::nullopt;
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (e.name == "." || e.name == "..")
            continue;
        exact.emplace(std::string(e.name), e.lastWriteTime);
        if (folds)
            folded.emplace(UpperCase(e.name), e.lastWriteTime);
    }
    if (listing.Failed())
        return std::nullopt;

    auto find = [&](std::string_view name) -> std::optional<int64_t> {
        if (const auto it = exact.find(std::string(name)); it != exact.end())
            return it->second;
        if (!folds)
            return std::nullopt;
        if (const auto it = folded.find(UpperCase(name)); it != folded.end())
            return it->second;
        return std::nullopt;
    };
    int tagged = 0;
    for (int i = 0, n = m_fw.Count(); i < n; ++i) {
        TFileClass* record = m_fw.Record(i);
        if (!record)
            continue;
        const std::optional<int64_t> other = find(record->FileName());
        bool holds = false;
        switch (relation) {
        case CompareRelation::UniqueNames:
            holds = !other;
            break;
        case CompareRelation::SameNames:
            holds = other.has_value();
            break;
        case CompareRelation::Newer:
            holds = other && *other > record->LastWriteTime();
            break;
        case CompareRelation::ExactDates:
            holds = other && *other == record->LastWriteTime();
            break;
        case CompareRelation::Older:
            holds = other && *other < record->LastWriteTime();
            break;
        }
        if (holds && !record->Tagged()) {
            record->SetTagged(true);
            ++tagged;
        }
    }
    m_fw.Ui().repaintFileWindow();
    m_fw.ResetDiskStatCache();
    m_fw.UpdateStatistics();
    return tagged;
}

} // namespace zentrix
