#include "core/helpindex.h"

#include "core/text.h"

#include <algorithm>
#include <cstdint>

namespace zentrix {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ':';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Decodes the character reference at `pos` (which holds '&') into `out` and
/// returns the position after it; an unknown reference is kept as text.
size_t DecodeEntity(std::string_view s, size_t pos, std::string& out) {
    // References are short: the ";" is looked for only as far as the longest
    // one reaches (a text full of "&" would be read again and again otherwise).
    constexpr size_t kLongest = 12;
    const size_t end = s.substr(0, std::min(s.size(), pos + kLongest + 1)).find(';', pos + 1);
    if (end == std::string_view::npos) {
        out += '&';
        return pos + 1;
    }
    const std::string_view name = s.substr(pos + 1, end - pos - 1);
    if (!name.empty() && name[0] == '#') {
        uint32_t cp = 0;
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) {
            out += '&';
            return pos + 1;
        }
        for (char c : digits) {
            const int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
            if (d < 0) {
                out += '&';
                return pos + 1;
            }
            cp = std::min<uint32_t>(cp * (hex ? 16 : 10) + static_cast<uint32_t>(d), 0x110000);
        }
        AppendUtf8(out, cp);
        return end + 1;
    }
    static const struct {
        std::string_view name;
        uint32_t cp;
    } kNamed[] = {{"amp", '&'},      {"lt", '<'},       {"gt", '>'},      {"quot", '"'},
                  {"apos", '\''},    {"nbsp", 0xA0},    {"copy", 0xA9},   {"hellip", 0x2026},
                  {"mdash", 0x2014}, {"ndash", 0x2013}, {"rarr", 0x2192}, {"larr", 0x2190}};
    for (const auto& n : kNamed)
        if (n.name == name) {
            AppendUtf8(out, n.cp == 0xA0 ? ' ' : n.cp);
            return end + 1;
        }
    out += '&';
    return pos + 1;
}

/// Tags after which the text reads on a new line.
bool IsBlockTag(std::string_view tag) {
    static const std::string_view kBlocks[] = {
        "p",  "div", "br", "li",  "ul",         "ol",      "dl", "dt",
        "dd", "tr",  "td", "th",  "table",      "h1",      "h2", "h3",
        "h4", "h5",  "h6", "pre", "blockquote", "section", "hr", "title"};
    return std::find(std::begin(kBlocks), std::end(kBlocks), tag) != std::end(kBlocks);
}

struct Tag {
    std::string name; // lower case
    bool closing = false;
    std::string id;
    std::string help; // the data-help words
};

/// Reads the tag that starts at `pos` ('<' followed by a name or '/'); returns
/// the position after its '>' (or the end).
size_t ReadTag(std::string_view s, size_t pos, Tag& tag) {
    size_t i = pos + 1;
    if (i < s.size() && s[i] == '/') {
        tag.closing = true;
        ++i;
    }
    const size_t nameStart = i;
    while (i < s.size() && IsNameChar(s[i]))
        ++i;
    tag.name = AsciiLower(s.substr(nameStart, i - nameStart));
    while (i < s.size() && s[i] != '>') {
        if (IsSpace(s[i]) || s[i] == '/') {
            ++i;
            continue;
        }
        const size_t attrStart = i;
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '=' && s[i] != '>' && s[i] != '/')
            ++i;
        const std::string attr = AsciiLower(s.substr(attrStart, i - attrStart));
        if (i == attrStart) { // a stray character
            ++i;
            continue;
        }
        while (i < s.size() && IsSpace(s[i]))
            ++i;
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            while (i < s.size() && IsSpace(s[i]))
                ++i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                const char quote = s[i++];
                const size_t close = s.find(quote, i);
                const size_t stop = close == std::string_view::npos ? s.size() : close;
                value = std::string(s.substr(i, stop - i));
                i = close == std::string_view::npos ? s.size() : close + 1;
            } else {
                const size_t valueStart = i;
                while (i < s.size() && !IsSpace(s[i]) && s[i] != '>')
                    ++i;
                value = std::string(s.substr(valueStart, i - valueStart));
            }
        }
        if (attr == "id")
            tag.id = value;
        else if (attr == "data-help")
            tag.help = value;
    }
    return i < s.size() ? i + 1 : s.size();
}

/// Plain text built with runs of white space folded into one blank and block
/// ends into one line break.
class TextBuilder {
public:
    explicit TextBuilder(std::string& out) : m_out(out) {}
    void character(char c) {
        if (IsSpace(c)) {
            m_pendingSpace = !m_out.empty();
            return;
        }
        flush();
        m_out += c;
    }
    void decoded(const std::string& s) {
        for (char c : s)
            character(c);
    }
    void lineBreak() {
        if (!m_out.empty())
            m_pendingBreak = true;
    }
    size_t size() const { return m_out.size() + (m_pendingBreak || m_pendingSpace ? 1 : 0); }

private:
    void flush() {
        if (m_pendingBreak)
            m_out += '\n';
        else if (m_pendingSpace)
            m_out += ' ';
        m_pendingBreak = m_pendingSpace = false;
    }
    std::string& m_out;
    bool m_pendingSpace = false;
    bool m_pendingBreak = false;
};

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSpace(s[i]))
            ++i;
        const size_t start = i;
        while (i < s.size() && !IsSpace(s[i]))
            ++i;
        if (i > start)
            words.emplace_back(s.substr(start, i - start));
    }
    return words;
}

/// The start of the UTF-8 character at or before `pos`.
size_t CharStart(std::string_view s, size_t pos) {
    pos = std::min(pos, s.size());
    while (pos > 0 && pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
        --pos;
    return pos;
}

/// Up to `maxBytes` of `text` from `from`, ending at a sentence or word end.
std::string Clip(std::string_view text, size_t from, size_t maxBytes) {
    from = CharStart(text, from);
    // An excerpt from inside the text starts at a word.
    if (from > 0 && from < text.size() && !IsSpace(text[from - 1])) {
        const size_t blank = text.find_first_of(" \n", from);
        if (blank != std::string_view::npos && blank - from < 20)
            from = blank + 1;
    }
    std::string_view rest = text.substr(from);
    if (rest.size() <= maxBytes)
        return Trim(rest);
    std::string_view cut = rest.substr(0, CharStart(rest, maxBytes));
    const size_t sentence = cut.rfind(". ");
    if (sentence != std::string_view::npos && sentence > maxBytes / 2)
        return Trim(cut.substr(0, sentence + 1));
    const size_t blank = cut.find_last_of(" \n");
    if (blank != std::string_view::npos && blank > 0)
        cut = cut.substr(0, blank);
    return Trim(cut) + " ...";
}

} // namespace

HelpTopic ReadHelpTopic(std::string file, std::string_view html) {
    HelpTopic topic;
    topic.file = std::move(file);
    html = html.substr(0, std::min(html.size(), kMaxHelpTopicBytes));
    TextBuilder text(topic.text);
    std::string title;
    TextBuilder titleText(title);
    bool inTitle = false;
    size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const size_t end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            if (i + 1 < html.size() && (html[i + 1] == '!' || html[i + 1] == '?')) {
                const size_t end = html.find('>', i);
                i = end == std::string_view::npos ? html.size() : end + 1;
                continue;
            }
            if (i + 1 < html.size() && (IsNameChar(html[i + 1]) || html[i + 1] == '/')) {
                Tag tag;
                i = ReadTag(html, i, tag);
                if (tag.name == "title")
                    inTitle = !tag.closing;
                if (!tag.closing && (tag.name == "script" || tag.name == "style")) {
                    // Their contents are not words of the topic.
                    const std::string close = "</" + tag.name;
                    size_t end = i;
                    while (true) {
                        end = html.find("</", end);
                        if (end == std::string_view::npos ||
                            AsciiLower(html.substr(end, close.size())) == close)
                            break;
                        end += 2;
                    }
                    i = end == std::string_view::npos ? html.size() : end;
                    continue;
                }
                if (IsBlockTag(tag.name))
                    text.lineBreak();
                if (!tag.closing && !tag.help.empty()) {
                    const bool whole = tag.name == "body" || tag.name == "html" || tag.id.empty();
                    for (std::string& word : Words(tag.help))
                        topic.targets.push_back({std::move(word), whole ? std::string() : tag.id,
                                                 whole ? 0 : text.size()});
                }
                continue;
            }
        }
        TextBuilder& into = inTitle ? titleText : text;
        if (c == '&') {
            std::string decoded;
            i = DecodeEntity(html, i, decoded);
            into.decoded(decoded);
            continue;
        }
        into.character(c);
        ++i;
    }
    // A section declared at the very end starts where the text ends.
    for (HelpTopic::Target& target : topic.targets)
        target.offset = std::min(target.offset, topic.text.size());
    topic.title = title.empty() ? topic.file : title;
    return topic;
}

void HelpIndex::Add(HelpTopic topic) {
    m_lowered.push_back(LowerCase(topic.title + "\n" + topic.text));
    m_topics.push_back(std::move(topic));
}

const HelpTopic::Target* HelpIndex::find(std::string_view key, const HelpTopic** topic) const {
    // Component names compare without regard to case, as the rest of the
    // program's names do; the first topic that declares a key answers it.
    for (const HelpTopic& t : m_topics)
        for (const HelpTopic::Target& target : t.targets)
            if (EqualsIgnoreCase(target.key, key)) {
                *topic = &t;
                return &target;
            }
    return nullptr;
}

std::string HelpIndex::TopicFor(std::string_view key) const {
    const HelpTopic* topic = nullptr;
    const HelpTopic::Target* target = key.empty() ? nullptr : find(key, &topic);
    if (!target)
        return {};
    return target->anchor.empty() ? topic->file : topic->file + "#" + target->anchor;
}

std::string HelpIndex::SummaryFor(std::string_view key, size_t maxBytes) const {
    const HelpTopic* topic = nullptr;
    const HelpTopic::Target* target = key.empty() ? nullptr : find(key, &topic);
    if (!target)
        return {};
    // From the section's start to the next section that starts later.
    size_t end = topic->text.size();
    for (const HelpTopic::Target& other : topic->targets)
        if (other.offset > target->offset && other.offset < end)
            end = other.offset;
    const std::string_view section =
        std::string_view(topic->text).substr(0, std::max(end, target->offset));
    return Clip(section, target->offset, maxBytes);
}

std::string HelpIndex::TitleOf(std::string_view file) const {
    for (const HelpTopic& t : m_topics)
        if (t.file == file)
            return t.title;
    return {};
}

std::vector<HelpHit> HelpIndex::Search(std::string_view query, size_t limit) const {
    std::vector<HelpHit> hits;
    const std::vector<std::string> words = Words(LowerCase(query));
    if (words.empty())
        return hits;
    for (size_t t = 0; t < m_topics.size(); ++t) {
        const HelpTopic& topic = m_topics[t];
        const std::string& lowered = m_lowered[t];
        const size_t textStart = lowered.find('\n') + 1; // the title ends at the first line break
        int score = 0;
        bool all = true;
        for (const std::string& word : words) {
            int count = 0;
            for (size_t at = lowered.find(word); at != std::string::npos && count < 50;
                 at = lowered.find(word, at + word.size()), ++count)
                score += at < textStart ? 10 : 1;
            if (count == 0) {
                all = false;
                break;
            }
        }
        if (!all)
            continue;
        HelpHit hit{topic.file, topic.title, score, {}};
        // The words around the first match of the first word in the text.
        if (const size_t at = lowered.find(words.front(), textStart); at != std::string::npos) {
            const size_t offset = at - textStart;
            hit.excerpt = Clip(topic.text, offset > 40 ? offset - 40 : 0, 160);
        }
        hits.push_back(std::move(hit));
    }
    std::stable_sort(hits.begin(), hits.end(), [](const HelpHit& a, const HelpHit& b) {
        return a.score != b.score ? a.score > b.score : a.title < b.title;
    });
    if (hits.size() > limit)
        hits.resize(limit);
    return hits;
}

std::vector<std::string> HelpDirectoryCandidates(const std::string& executableDir) {
    std::string dir = executableDir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return {dir + "/help", dir + "/../share/zentrix/help"};
}

} // namespace zentrix
