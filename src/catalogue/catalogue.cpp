#include "catalogue/catalogue.h"

#include "catalogue/extensionkinds.h"
#include "catalogue/filetypedescription.h"
#include "catalogue/icon.h"
#include "platform/drivetable.h"
#include "platform/mimetypes.h"

#include <algorithm>

namespace zentrix {

Catalogue::Catalogue(const platform::DriveTable& drives) : m_drives(drives) {
    // A node that goes while still holding its directory record takes the
    // record with it, so no record is left pointing at a dead node.
    m_tree.OnNodeDestroying = [this](TTreeNode* node) {
        if (OnNodeGoing)
            OnNodeGoing(node);
        if (TLoggedClass* data = node->Data()) {
            m_logged.Take(data);
            ++m_generation;
        }
    };
}

Catalogue::~Catalogue() {
    m_tree.OnNodeDestroying = nullptr;
    m_logged.Clear();
}

void Catalogue::AddRecordObserver(RecordObserver* observer) {
    m_recordObservers.push_back(observer);
}

void Catalogue::RemoveRecordObserver(RecordObserver* observer) {
    m_recordObservers.erase(
        std::remove(m_recordObservers.begin(), m_recordObservers.end(), observer),
        m_recordObservers.end());
}

void Catalogue::RemoveFileRecord(TFileClass* record) {
    for (TLoggedClass* dir : m_logged) {
        if (dir->DirNode() != record->DirNode())
            continue;
        if (dir->FileList().Remove(record))
            ++m_generation;
        return;
    }
}

int32_t Catalogue::CountFiles(bool taggedOnly) const {
    uint32_t count = 0;
    for (const TLoggedClass* dir : m_logged) {
        if (!taggedOnly) {
            count += static_cast<uint32_t>(dir->NumFilesInDir());
            continue;
        }
        for (const TFileClass* f : dir->FileList())
            count += f->Tagged();
    }
    return static_cast<int32_t>(count);
}

namespace {

// Each file's size div 1024, rounded down before it is added.
int64_t kbOf(const TFileClass* f) {
    return f->FileSize() / 1024;
}

} // namespace

int64_t Catalogue::SumKb(bool taggedOnly) const {
    int64_t sum = 0;
    for (const TLoggedClass* dir : m_logged)
        for (const TFileClass* f : dir->FileList())
            if (!taggedOnly || f->Tagged())
                sum += kbOf(f);
    return sum;
}

Catalogue::Figures Catalogue::BranchFigures(const TTreeNode* branch, bool taggedOnly) const {
    uint32_t count = 0;
    int64_t kb = 0;
    for (const TLoggedClass* dir : m_logged) {
        if (!dir->DirNode()->IsInBranchOf(branch))
            continue;
        for (const TFileClass* f : dir->FileList()) {
            if (taggedOnly && !f->Tagged())
                continue;
            ++count;
            kb += kbOf(f);
        }
    }
    return {static_cast<int32_t>(count), kb};
}

bool Catalogue::BranchHasNonPlainFiles(const TTreeNode* branch) const {
    for (const TLoggedClass* dir : m_logged) {
        if (!dir->DirNode()->IsInBranchOf(branch))
            continue;
        for (const TFileClass* f : dir->FileList())
            if (f->Attributes() != 0 && f->Attributes() != 32)
                return true;
    }
    return false;
}

std::optional<std::string> Catalogue::HostPath(const TTreeNode* node) const {
    return m_drives.ToHostPath(node->Path());
}

std::optional<std::string> Catalogue::HostPath(const TFileClass* file) const {
    return m_drives.ToHostPath(file->FullName());
}

std::string Catalogue::FileTypeDescriptionOf(const std::string& hostPath,
                                             std::string_view fileName) const {
    return FileTypeDescription(hostPath, fileName, UserFileTypes);
}

namespace {

std::string cacheKeyOf(std::string_view fileName) {
    std::string ext = ExtensionOf(fileName);
    if (!ext.empty())
        ext.erase(0, 1);
    return ext;
}

} // namespace

int Catalogue::DescCacheIndex(const std::string& hostPath, std::string_view fileName) {
    const std::string ext = cacheKeyOf(fileName);
    const int found = m_descCache.Find(ext);
    if (found >= 0)
        return found;
    auto entry = std::make_unique<TDescClass>();
    entry->Ext = ext;
    entry->DescText = FileTypeDescriptionOf(hostPath, fileName);
    if (m_iconProvider)
        entry->Icon = m_iconProvider->largeIconFor(hostPath, platform::MimeTypeNameFor(fileName));
    return m_descCache.Add(std::move(entry));
}

std::string Catalogue::Description(TFileClass* file) {
    const std::string_view name = file->FileName();
    if (IsOwnDescriptionKind(name)) {
        if (file->DescText().empty())
            file->SetDescText(FileTypeDescriptionOf(HostPath(file).value_or(std::string()), name));
        return file->DescText();
    }
    return DescEntry(file).DescText;
}

// The cache is looked up by extension each time; the file's path is worked
// out only for an extension met for the first time.
TDescClass& Catalogue::DescEntry(const TFileClass* file) {
    const std::string_view name = file->FileName();
    int index = m_descCache.Find(cacheKeyOf(name));
    if (index < 0)
        index = DescCacheIndex(HostPath(file).value_or(std::string()), name);
    return *m_descCache[index];
}

} // namespace zentrix
