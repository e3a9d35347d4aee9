#include "catalogue/diskaudit.h"

#include "catalogue/catalogue.h"
#include "platform/dirlisting.h"
#include "platform/drivetable.h"

#include <climits>
#include <map>
#include <set>
#include <tuple>

namespace zentrix {

namespace {

using Facts = std::tuple<int64_t, int64_t, uint16_t>; // size, time, attributes

} // namespace

std::vector<std::string> DiskAudit(const Catalogue& catalogue, const TTreeNode* branch,
                                   bool hiddenDirs) {
    std::vector<std::string> out;
    TTree::PreOrder(const_cast<TTreeNode*>(branch), [&](TTreeNode* node) {
        if (!node->Logged())
            return true;
        const std::string path = node->Path();
        const auto host = catalogue.HostPath(node);
        const platform::DriveInfo* drive = catalogue.Drives().Find(node->DriveLetter());
        platform::DirListing listing(drive ? drive->attrSource : platform::AttrSource::Posix,
                                     platform::StatMode::FilesOnly);
        if (!host || !listing.Open(*host)) {
            out.push_back(path + ": cannot be listed");
            return true;
        }
        std::map<std::string, Facts> files;
        std::set<std::string> dirs, hidden;
        platform::DirEntry e;
        while (listing.Next(e)) {
            if (e.IsDirectory()) {
                if (e.name != "." && e.name != "..")
                    (hiddenDirs || e.name[0] != '.' ? dirs : hidden).emplace(e.name);
                continue;
            }
            const int64_t size =
                e.size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : int64_t(e.size);
            files.emplace(std::string(e.name),
                          Facts{size, e.lastWriteTime, uint16_t(e.attributes & 0xFFFF)});
        }
        for (const TFileClass* r : node->Data()->FileList()) {
            const std::string name(r->FileName());
            auto it = files.find(name);
            if (it == files.end()) {
                out.push_back(path + name + ": in the catalogue, not on disk");
                continue;
            }
            if (it->second != Facts{r->FileSize(), r->LastWriteTime(), r->Attributes()})
                out.push_back(path + name + ": differs from the disk");
            files.erase(it);
        }
        for (const auto& [name, facts] : files)
            out.push_back(path + name + ": on disk, not in the catalogue");
        for (int i = 0; i < node->Count(); ++i) {
            const std::string text(node->Item(i)->Text());
            // A hidden directory may be a node though hidden ones are not shown.
            if (!dirs.erase(text) && !hidden.count(text))
                out.push_back(path + text + "\\: a node, not on disk");
        }
        for (const std::string& name : dirs)
            out.push_back(path + name + "\\: on disk, not a node");
        return true;
    });
    return out;
}

} // namespace zentrix
