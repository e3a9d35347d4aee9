// Whole CD-ROM catalogue cache files: any bytes are read without harm; what is
// accepted names only plain entries below directories read before, and written
// back and read again it gives the same file.
#include "catalogue/cdcachefile.h"
#include "catalogue/localtimeoffsets.h"
#include "catalogue/loggedlist.h"
#include "catalogue/tree.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool plain(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

// The contents as a disk's catalogue, written out again.
std::string rewrite(const CdCacheContents& c, LocalTimeOffsets& times) {
    TTree tree;
    TLoggedList logged;
    std::vector<TTreeNode*> nodes;
    for (size_t i = 0; i < c.dirs.size(); ++i) {
        const auto& d = c.dirs[i];
        check(i == 0 ? d.parent == 0 : d.parent < i);
        TTreeNode* node = i == 0 ? tree.InsertTopLevel(0, "F:\\")
                                 : tree.AddChild(nodes[d.parent], std::string(c.Name(d)));
        check(i == 0 || plain(c.Name(d)));
        nodes.push_back(node);
        auto record = std::make_unique<TLoggedClass>(node);
        check(uint64_t(d.firstFile) + d.fileCount <= c.files.size());
        for (uint32_t f = d.firstFile; f < d.firstFile + d.fileCount; ++f) {
            const auto& file = c.files[f];
            check(plain(c.Name(file)) && file.size >= 0);
            record->FileList().Add(c.Name(file), file.size, file.attributes, file.lastWriteTime,
                                   node);
        }
        tree.SetData(node, logged.Add(std::move(record)));
    }
    CdCacheHeader header;
    header.title = c.title;
    return WriteCdCache(header, tree.Top(0), times);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LocalTimeOffsets times;
    std::string error;
    const auto first =
        ParseCdCache(std::string(reinterpret_cast<const char*>(data), size), times, &error);
    if (!first) {
        check(!error.empty());
        return 0;
    }
    check(!first->dirs.empty());
    const std::string once = rewrite(*first, times);
    const auto second = ParseCdCache(once, times, &error);
    check(second.has_value());
    check(second->dirs.size() == first->dirs.size() && second->files.size() == first->files.size());
    check(rewrite(*second, times) == once);
    return 0;
}
