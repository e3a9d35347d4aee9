// Any file shown in the viewer: its line index must agree with a plain count
// of line feeds, forming its text and hex lines must never fail, and the search
// on raw bytes must find the line that forming every line finds.
#include "view/lineindex.h"
#include "view/viewerdocument.h"
#include "view/viewerstate.h"
#include "view/viewertext.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The counting loops against a byte loop.
    int64_t plain = 0;
    for (const char c : bytes)
        plain += c == '\n';
    if (zentrix::LineIndex::CountLineFeeds(bytes.data(), bytes.size()) != plain)
        std::abort();
    for (auto encoding : {zentrix::TextEncoding::Utf8, zentrix::TextEncoding::Latin1,
                          zentrix::TextEncoding::Utf16LE, zentrix::TextEncoding::Utf16BE})
        (void)zentrix::FormTextLine(bytes, encoding, true);
    (void)zentrix::DetectEncoding(bytes);
    (void)zentrix::LooksLikeText(bytes);
    (void)zentrix::FormHexLine(0, bytes.substr(0, 255), 16);
    (void)zentrix::DumpLines(bytes);
    (void)zentrix::LineContains(bytes, bytes.substr(0, 3), false);

    // Through a real file: index, lines and a search.
    char path[] = "/tmp/zx-fuzz-viewer-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return 0;
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        ::close(fd);
        ::unlink(path);
        return 0;
    }
    ::close(fd);
    zentrix::ViewerState state;
    zentrix::ViewerDocument doc(state);
    if (doc.Load(path, true) == zentrix::ViewerDocument::LoadResult::Loaded) {
        doc.WaitForIndex();
        if (!doc.HexMode() && doc.Encoding() != zentrix::TextEncoding::Utf16LE &&
            doc.Encoding() != zentrix::TextEncoding::Utf16BE && doc.LineCount() != plain + 1)
            std::abort();
        for (int64_t n = 0; n < doc.LineCount() && n < 64; ++n)
            (void)doc.Line(n);
        // Texts from the file itself, and a few that tabs and controls make.
        std::vector<std::string> texts = {"ab", "a  b", " x", "ab\xC3\xA9"};
        if (size >= 6)
            texts.push_back(bytes.substr(size / 2, 3));
        for (const std::string& text : texts)
            for (bool matchCase : {false, true})
                if (doc.Find(0, text, matchCase) != doc.FindLineByLine(0, text, matchCase))
                    std::abort();
        (void)doc.LineOfOffset(static_cast<int64_t>(size / 2));
        doc.SetHexMode(!doc.HexMode());
        doc.WaitForIndex();
        (void)doc.Line(doc.LineCount() - 1);
        (void)doc.Find(0, "0a", false);
    }
    ::unlink(path);
    return 0;
}
