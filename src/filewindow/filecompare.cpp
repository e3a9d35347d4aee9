#include "filewindow/filecompare.h"

#include "catalogue/fileclass.h"
#include "platform/collation.h"

namespace zentrix {
namespace {

template <typename T> int order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

std::string_view ExtensionView(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

int CompareFileRecords(const TFileClass& a, const TFileClass& b, int key) {
    int r = 0;
    switch (key) {
    case kSortByExtension:
        r = platform::CompareNamesIgnoreCase(ExtensionView(a.FileName()),
                                             ExtensionView(b.FileName()));
        break;
    case kSortBySize:
        r = order(a.FileSize(), b.FileSize());
        break;
    case kSortByDate:
        r = order(a.LastWriteTime(), b.LastWriteTime());
        break;
    case kSortByAttributes:
        r = order(a.Attributes(), b.Attributes());
        break;
    default: // the name alone, no tie-break
        return platform::CompareNamesIgnoreCase(a.FileName(), b.FileName());
    }
    return r != 0 ? r : platform::CompareNamesIgnoreCase(a.FileName(), b.FileName());
}

} // namespace zentrix
