#pragma once

#include "view/lineindex.h"
#include "view/viewertext.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace zentrix {

class ViewerFile;
struct ViewerState;

/// The file a viewer window shows and its lines, in text or hex form. The text
/// line index is built on a worker thread that Load starts; everything else
/// runs on the caller's thread, and lines known so far can be shown at once.
class ViewerDocument {
public:
    explicit ViewerDocument(ViewerState& state);
    ~ViewerDocument();
    ViewerDocument(const ViewerDocument&) = delete;
    ViewerDocument& operator=(const ViewerDocument&) = delete;

    enum class LoadResult { Loaded, Missing, CannotOpen };
    /// Loads a host path. A missing file loads nothing; with `autoHex` the hex
    /// mode becomes the opposite of the text test first.
    LoadResult Load(const std::string& hostPath, bool autoHex);
    bool Loaded() const { return m_file != nullptr; }
    const std::string& Path() const;
    int64_t Size() const;
    TextEncoding Encoding() const { return m_encoding; }

    bool HexMode() const;
    /// Switches the mode (the shared state's) and indexes again.
    void SetHexMode(bool hex);
    /// Indexes again after the shared hex line lengths changed.
    void Reindex();

    /// Display lines known so far (all once IndexComplete()).
    int64_t LineCount() const;
    bool IndexComplete() const;
    /// 0..1000: how much of the file the index has read.
    int IndexPermille() const;
    size_t IndexMemoryBytes() const;
    /// Waits for the index (tests and the benchmark).
    void WaitForIndex();

    /// The display form of line n ("" past the end).
    std::string Line(int64_t n) const;
    /// The offset where line n starts (none past what is known).
    std::optional<int64_t> LineOffset(int64_t n) const;
    /// The line holding a byte offset.
    int64_t LineOfOffset(int64_t offset) const;

    /// Looks for `text` in the display lines from `fromLine` on. `keepGoing` is
    /// asked now and then with the byte offset reached (false stops). The hit's
    /// line. Text lines in byte encodings are found by a scan of the raw bytes
    /// that forms only the lines that may hold the text.
    std::optional<int64_t> Find(int64_t fromLine, const std::string& text, bool matchCase,
                                const std::function<bool(int64_t)>& keepGoing = {}) const;
    /// The same answer by forming every line from `fromLine` on and looking in
    /// it (what Find does for hex lines and UTF-16 text; tests hold the two
    /// ways against each other).
    std::optional<int64_t> FindLineByLine(int64_t fromLine, const std::string& text, bool matchCase,
                                          const std::function<bool(int64_t)>& keepGoing = {}) const;

    /// Notices a file that shrank (or grew) since it was indexed; then indexes
    /// again and returns true. Lines already drawn beyond the end read empty.
    bool CheckSize();

private:
    void startIndex();
    void stopIndex();
    int64_t hexLineCount() const;
    int64_t hexLineOffset(int64_t n) const;
    int hexLineLength(int64_t n) const;

    ViewerState& m_state;
    std::unique_ptr<ViewerFile> m_file;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::unique_ptr<LineIndex> m_index;
    std::thread m_builder;
    std::atomic<bool> m_cancel{false};
    int64_t m_indexedSize = 0;
    // This window's mode and lengths (taken from the shared state when set).
    bool m_hex = false;
    int m_first = 16;
    int m_length = 16;
};

} // namespace zentrix
