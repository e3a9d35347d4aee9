#include "view/viewerdocument.h"

#include "view/viewerfile.h"
#include "view/viewerstate.h"
#include "view/viewertextfinder.h"

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace zentrix {

ViewerDocument::ViewerDocument(ViewerState& state) : m_state(state) {}

ViewerDocument::~ViewerDocument() {
    stopIndex();
}

ViewerDocument::LoadResult ViewerDocument::Load(const std::string& hostPath, bool autoHex) {
    stopIndex();
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0)
        return LoadResult::Missing;
    auto file = ViewerFile::Open(hostPath);
    if (!file)
        return LoadResult::CannotOpen;
    m_file = std::move(file);
    std::string start(65536, '\0');
    start.resize(m_file->Read(0, start.data(), start.size()));
    if (autoHex)
        m_state.hexMode = !LooksLikeText(start);
    m_encoding = DetectEncoding(start);
    m_hex = m_state.hexMode;
    startIndex();
    return LoadResult::Loaded;
}

const std::string& ViewerDocument::Path() const {
    static const std::string none;
    return m_file ? m_file->Path() : none;
}

int64_t ViewerDocument::Size() const {
    return m_file ? m_file->Size() : 0;
}

bool ViewerDocument::HexMode() const {
    return m_hex;
}

void ViewerDocument::SetHexMode(bool hex) {
    m_state.hexMode = hex;
    Reindex();
}

void ViewerDocument::Reindex() {
    stopIndex();
    m_hex = m_state.hexMode;
    if (m_file)
        startIndex();
}

void ViewerDocument::startIndex() {
    m_first = std::clamp(m_state.firstHexLineLength, 1, 255);
    m_length = std::clamp(m_state.hexLineLength, 1, 255);
    m_indexedSize = m_file->Size();
    m_index = std::make_unique<LineIndex>(LineFeedUnitOf(m_encoding));
    if (m_hex)
        return; // hex lines follow from the lengths: nothing to read
    m_cancel = false;
    m_builder = std::thread(
        [this, index = m_index.get(), file = m_file.get()] { index->Build(*file, m_cancel); });
}

void ViewerDocument::stopIndex() {
    m_cancel = true;
    if (m_builder.joinable())
        m_builder.join();
}

void ViewerDocument::WaitForIndex() {
    if (m_builder.joinable())
        m_builder.join();
}

int64_t ViewerDocument::hexLineCount() const {
    const int64_t size = m_indexedSize;
    if (size <= 0)
        return 0;
    if (size <= m_first)
        return 1;
    return 1 + (size - m_first + m_length - 1) / m_length;
}

int64_t ViewerDocument::hexLineOffset(int64_t n) const {
    return n == 0 ? 0 : m_first + (n - 1) * m_length;
}

int ViewerDocument::hexLineLength(int64_t n) const {
    return n == 0 ? m_first : m_length;
}

int64_t ViewerDocument::LineCount() const {
    if (!m_file)
        return 0;
    return m_hex ? hexLineCount() : m_index->LineCount();
}

bool ViewerDocument::IndexComplete() const {
    return !m_file || m_hex || m_index->Complete();
}

int ViewerDocument::IndexPermille() const {
    if (IndexComplete())
        return 1000;
    const int64_t total = std::max<int64_t>(1, m_index->TotalBytes());
    return static_cast<int>(std::min<int64_t>(1000, m_index->BytesScanned() * 1000 / total));
}

size_t ViewerDocument::IndexMemoryBytes() const {
    return m_index ? m_index->MemoryBytes() : 0;
}

std::optional<int64_t> ViewerDocument::LineOffset(int64_t n) const {
    if (!m_file || n < 0)
        return std::nullopt;
    if (m_hex)
        return n < LineCount() ? std::optional<int64_t>(hexLineOffset(n)) : std::nullopt;
    return m_index->LineStart(*m_file, n);
}

int64_t ViewerDocument::LineOfOffset(int64_t offset) const {
    if (!m_file || LineCount() == 0)
        return 0;
    offset = std::clamp<int64_t>(offset, 0, std::max<int64_t>(0, Size() - 1));
    if (m_hex)
        return offset < m_first ? 0 : 1 + (offset - m_first) / m_length;
    return m_index->LineAt(*m_file, offset);
}

std::string ViewerDocument::Line(int64_t n) const {
    const auto start = LineOffset(n);
    if (!start)
        return {};
    if (m_hex) {
        const int length = hexLineLength(n);
        std::string bytes(static_cast<size_t>(length), '\0');
        bytes.resize(m_file->Read(*start, bytes.data(), bytes.size()));
        if (bytes.empty())
            return {}; // truncated meanwhile
        // A short last line is padded to the hex line length.
        return FormHexLine(*start, bytes, length);
    }
    // Most lines are short: a small read first, the long one only when needed.
    std::string bytes(8192, '\0');
    bytes.resize(m_file->Read(*start, bytes.data(), bytes.size()));
    if (bytes.size() == 8192 && bytes.find('\n') == std::string::npos) {
        bytes.resize(kLineReadLimit);
        bytes.resize(m_file->Read(*start, bytes.data(), bytes.size()));
    }
    return FormTextLine(bytes, m_encoding, *start == 0);
}

std::optional<int64_t> ViewerDocument::Find(int64_t fromLine, const std::string& text,
                                            bool matchCase,
                                            const std::function<bool(int64_t)>& keepGoing) const {
    if (!m_file || text.empty() || m_hex)
        return FindLineByLine(fromLine, text, matchCase, keepGoing);
    ViewerTextFinder finder(*m_file, m_encoding, text, matchCase);
    if (!finder.Usable())
        return FindLineByLine(fromLine, text, matchCase, keepGoing);
    fromLine = std::max<int64_t>(0, fromLine);
    const auto startOffset = LineOffset(fromLine);
    if (!startOffset)
        return std::nullopt;
    // Lines are counted on the way only while the index has not read the file
    // to its end; afterwards it names the hit's line at once.
    const bool indexed = m_index->Complete();
    const auto hit = finder.Find(*startOffset, !indexed, keepGoing);
    if (!hit)
        return std::nullopt;
    if (!indexed)
        return fromLine + hit->feeds;
    return m_index->LineAt(*m_file, hit->lineStart);
}

std::optional<int64_t>
ViewerDocument::FindLineByLine(int64_t fromLine, const std::string& text, bool matchCase,
                               const std::function<bool(int64_t)>& keepGoing) const {
    if (!m_file || text.empty())
        return std::nullopt;
    if (m_hex) {
        for (int64_t n = std::max<int64_t>(0, fromLine); n < LineCount(); ++n) {
            if ((n & 1023) == 0 && keepGoing && !keepGoing(hexLineOffset(n)))
                return std::nullopt;
            if (LineContains(Line(n), text, matchCase))
                return n;
        }
        return std::nullopt;
    }
    // Text: read forward in large blocks and form each line from them, instead
    // of looking every line up in the index.
    const auto startOffset = LineOffset(std::max<int64_t>(0, fromLine));
    if (!startOffset)
        return std::nullopt;
    const LineFeedUnit unit = LineFeedUnitOf(m_encoding);
    const size_t feed = unit == LineFeedUnit::Byte ? 1 : 2;
    constexpr size_t kBlock = size_t{4} << 20;
    std::string block;
    int64_t line = std::max<int64_t>(0, fromLine);
    int64_t offset = *startOffset;
    while (offset < m_file->Size()) {
        if (keepGoing && !keepGoing(offset))
            return std::nullopt;
        block.resize(kBlock);
        block.resize(m_file->Read(offset, block.data(), block.size()));
        if (block.empty())
            break;
        size_t pos = 0;
        while (pos < block.size()) {
            // The end of this line within the block.
            size_t end = pos;
            bool found = false;
            while (end < block.size()) {
                const size_t q = block.find('\n', end);
                if (q == std::string::npos) {
                    end = block.size();
                    break;
                }
                if (unit == LineFeedUnit::Byte ||
                    (unit == LineFeedUnit::Utf16LE && (offset + q) % 2 == 0 &&
                     q + 1 < block.size() && block[q + 1] == 0) ||
                    (unit == LineFeedUnit::Utf16BE && (offset + q) % 2 == 1 && block[q - 1] == 0)) {
                    end = unit == LineFeedUnit::Utf16BE ? q - 1 : q;
                    found = true;
                    break;
                }
                end = q + 1;
            }
            const bool last = offset + static_cast<int64_t>(block.size()) >= m_file->Size();
            if (!found && !last && pos > 0)
                break; // the line runs past the block: read it again from its start
            const std::string_view raw(block.data() + pos, end - pos);
            if (LineContains(FormTextLine(raw, m_encoding, offset + static_cast<int64_t>(pos) == 0),
                             text, matchCase))
                return line;
            if (!found) {
                pos = block.size();
                break;
            }
            pos = end + feed;
            ++line;
        }
        if (pos == 0)
            break;
        offset += static_cast<int64_t>(pos);
        if (pos >= block.size() && offset >= m_file->Size())
            break;
    }
    return std::nullopt;
}

bool ViewerDocument::CheckSize() {
    if (!m_file)
        return false;
    const int64_t before = m_indexedSize;
    if (m_file->RefreshSize() == before)
        return false;
    Reindex();
    return true;
}

} // namespace zentrix
