#include "config/registrydocument.h"

#include "core/text.h"

#include <unordered_set>

namespace zentrix {

// ---------------------------------------------------------------------------
// The file's text form
//
//   ; comment
//   [Software\Morvane\Zentrix\Options]
//   LastDir=C:\HOME\DOCS (a backslash is an ordinary character)
//   Padded="  text with blanks\r\n"
//   MenuShortcuts=hex:0a,1b,ff
//   @=the key's unnamed value
//
// A plain value is the text after "=" as it stands (backslashes are ordinary
// characters, so paths stay readable); a value that a plain line could not carry
// (control characters, blanks at either end, a leading quote, a "hex:" start) is
// written in double quotes with \\ \" \n \r \t \xHH escapes. Names and key paths
// escape their awkward bytes as %XX.
// ---------------------------------------------------------------------------

namespace {

const char kHex[] = "0123456789abcdef";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string_view trimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

void percent(std::string& out, char c) {
    const auto b = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

// Names and key components: "%" "=" and control bytes always, blanks and the
// characters that start comments or sections only where they would be misread.
void appendName(std::string& out, const std::string& name, bool keyPath) {
    if (!keyPath && name.empty()) {
        out += '@';
        return;
    }
    if (!keyPath && name == "@") {
        out += "%40";
        return;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool edge = i == 0 || i + 1 == name.size();
        if (c == '%' || isControl(c) || (!keyPath && c == '=') || (edge && isBlank(c)) ||
            (i == 0 && !keyPath && (c == '[' || c == ';' || c == '#')))
            percent(out, c);
        else
            out += c;
    }
}

std::string unescapeName(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool startsWithHexTag(std::string_view s) {
    return s.size() >= 4 && EqualsIgnoreCase(s.substr(0, 4), "hex:");
}

void appendString(std::string& out, const std::string& data) {
    bool plain = !data.empty() && data[0] != '"' && !isBlank(data.front()) &&
                 !isBlank(data.back()) && !startsWithHexTag(data);
    for (char c : data)
        if (isControl(c))
            plain = false;
    if (plain || data.empty()) {
        out += data;
        return;
    }
    out += '"';
    for (char c : data) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (isControl(c)) {
                out += "\\x";
                out += kHex[static_cast<unsigned char>(c) >> 4];
                out += kHex[static_cast<unsigned char>(c) & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

// The quoted form; none when it is damaged (no closing quote, a bad escape,
// text after the closing quote).
std::optional<std::string> decodeQuoted(std::string_view s) {
    std::string out;
    size_t i = 1;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"')
            break;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= s.size())
            return std::nullopt;
        switch (s[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x':
            if (i + 2 >= s.size() || HexDigit(s[i + 1]) < 0 || HexDigit(s[i + 2]) < 0)
                return std::nullopt;
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
            break;
        default:
            return std::nullopt;
        }
    }
    if (i >= s.size() || i + 1 != s.size())
        return std::nullopt;
    return out;
}

std::optional<std::string> decodeHex(std::string_view s) {
    std::string out;
    int high = -1;
    for (char c : s) {
        if (c == ',' || isBlank(c))
            continue;
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            out += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return out;
}

void appendHex(std::string& out, const std::string& bytes) {
    out += "hex:";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ',';
        out += kHex[static_cast<unsigned char>(bytes[i]) >> 4];
        out += kHex[static_cast<unsigned char>(bytes[i]) & 15];
    }
}

bool sameKey(const RegistryDocument::Key* a, const RegistryDocument::Key* b) {
    if (!a || !b)
        return a == b;
    return a->sameValues(*b);
}

} // namespace

// --- keys ------------------------------------------------------------------------

const RegistryDocument::Value* RegistryDocument::Key::find(const std::string& upperName) const {
    const auto it = m_index.find(upperName);
    return it == m_index.end() ? nullptr : &values[it->second];
}

RegistryDocument::Value* RegistryDocument::Key::find(const std::string& upperName) {
    const auto it = m_index.find(upperName);
    return it == m_index.end() ? nullptr : &values[it->second];
}

bool RegistryDocument::Key::sameValues(const Key& other) const {
    if (values.size() != other.values.size())
        return false;
    for (size_t i = 0; i < values.size(); ++i) {
        const Value& a = values[i];
        const Value& b = other.values[i];
        if (a.name != b.name || a.data != b.data || a.binary != b.binary)
            return false;
    }
    return true;
}

void RegistryDocument::Key::set(const std::string& name, std::string upperName, std::string data,
                                bool binary) {
    if (Value* v = find(upperName)) {
        v->data = std::move(data);
        v->binary = binary;
        return;
    }
    m_index.emplace(upperName, values.size());
    values.push_back(Value{name, std::move(upperName), std::move(data), binary});
}

bool RegistryDocument::Key::remove(const std::string& upperName) {
    const auto it = m_index.find(upperName);
    if (it == m_index.end())
        return false;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
    reindex();
    return true;
}

void RegistryDocument::Key::reindex() {
    m_index.clear();
    for (size_t i = 0; i < values.size(); ++i)
        m_index.emplace(values[i].upperName, i);
}

// --- the document ------------------------------------------------------------------

RegistryDocument::RegistryDocument(const RegistryDocument& other)
    : m_keys(other.m_keys), m_skippedLines(other.m_skippedLines) {
    reindex();
}

RegistryDocument& RegistryDocument::operator=(const RegistryDocument& other) {
    if (this != &other) {
        m_keys = other.m_keys;
        m_skippedLines = other.m_skippedLines;
        reindex();
    }
    return *this;
}

void RegistryDocument::reindex() {
    m_index.clear();
    m_below.clear();
    for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
        m_index.emplace(it->upperPath, it);
        countBelow(it->upperPath, +1);
    }
}

void RegistryDocument::countBelow(const std::string& upperPath, int delta) {
    for (size_t slash = upperPath.find('\\'); slash != std::string::npos;
         slash = upperPath.find('\\', slash + 1)) {
        const std::string above = upperPath.substr(0, slash);
        if (delta > 0) {
            ++m_below[above];
        } else if (const auto it = m_below.find(above); it != m_below.end() && --it->second == 0) {
            m_below.erase(it);
        }
    }
}

std::string RegistryDocument::NormalizePath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            if (!out.empty())
                out += '\\';
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

RegistryDocument::Key* RegistryDocument::findKey(const std::string& upperPath) {
    const auto it = m_index.find(upperPath);
    return it == m_index.end() ? nullptr : &*it->second;
}

RegistryDocument::Key& RegistryDocument::makeKey(const std::string& path) {
    std::string upper = UpperCase(path);
    if (Key* k = findKey(upper))
        return *k;
    Key& key = m_keys.emplace_back();
    key.path = path;
    key.upperPath = upper;
    countBelow(upper, +1);
    m_index.emplace(std::move(upper), std::prev(m_keys.end()));
    return key;
}

const RegistryDocument::Key* RegistryDocument::FindKey(const std::string& path) const {
    const auto it = m_index.find(UpperCase(path));
    return it == m_index.end() ? nullptr : &*it->second;
}

const RegistryDocument::Value* RegistryDocument::FindValue(const std::string& keyPath,
                                                           const std::string& name) const {
    const Key* key = FindKey(keyPath);
    return key ? key->find(UpperCase(name)) : nullptr;
}

bool RegistryDocument::SetValue(const std::string& keyPath, const std::string& name,
                                std::string data, bool binary) {
    Key& key = makeKey(keyPath);
    std::string upper = UpperCase(name);
    if (const Value* v = key.find(upper); v && v->data == data && v->binary == binary)
        return false;
    key.set(name, std::move(upper), std::move(data), binary);
    return true;
}

bool RegistryDocument::MakeKey(const std::string& keyPath) {
    const size_t before = m_keys.size();
    makeKey(keyPath);
    return m_keys.size() != before;
}

bool RegistryDocument::eraseExactKey(const std::string& upperPath) {
    const auto it = m_index.find(upperPath);
    if (it == m_index.end())
        return false;
    countBelow(upperPath, -1);
    m_keys.erase(it->second);
    m_index.erase(it);
    return true;
}

bool RegistryDocument::EraseKey(const std::string& keyPath) {
    const std::string upper = UpperCase(keyPath);
    bool erased = eraseExactKey(upper);
    // Keys below it are looked for only when there are any: erasing one key
    // after another stays linear in their number.
    if (!m_below.count(upper))
        return erased;
    const std::string below = upper + "\\";
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it->upperPath.compare(0, below.size(), below) == 0) {
            countBelow(it->upperPath, -1);
            m_index.erase(it->upperPath);
            it = m_keys.erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    return erased;
}

bool RegistryDocument::DeleteValue(const std::string& keyPath, const std::string& name) {
    Key* key = findKey(UpperCase(keyPath));
    return key && key->remove(UpperCase(name));
}

std::vector<std::string> RegistryDocument::SubKeys(const std::string& keyPath) const {
    const std::string upper = UpperCase(keyPath);
    std::vector<std::string> names;
    if (!m_below.count(upper))
        return names;
    const std::string below = upper + "\\";
    std::unordered_set<std::string> seen;
    for (const auto& k : m_keys) {
        if (k.upperPath.compare(0, below.size(), below) != 0)
            continue;
        // Upper and original case have the same byte length, so one position
        // serves both.
        const size_t end = k.path.find('\\', below.size());
        const size_t length = (end == std::string::npos ? k.path.size() : end) - below.size();
        if (seen.insert(k.upperPath.substr(below.size(), length)).second)
            names.push_back(k.path.substr(below.size(), length));
    }
    return names;
}

void RegistryDocument::replaceKey(const Key& key) {
    if (Key* existing = findKey(key.upperPath)) {
        existing->values = key.values;
        existing->reindex();
        return;
    }
    m_keys.push_back(key);
    m_keys.back().reindex();
    countBelow(key.upperPath, +1);
    m_index.emplace(key.upperPath, std::prev(m_keys.end()));
}

std::string RegistryDocument::Serialize() const {
    std::string out = "; Zentrix settings: each section is a key path, each line a value.\n";
    for (const auto& k : m_keys) {
        out += "\n[";
        appendName(out, k.path, true);
        out += "]\n";
        for (const auto& v : k.values) {
            appendName(out, v.name, false);
            out += '=';
            if (v.binary)
                appendHex(out, v.data);
            else
                appendString(out, v.data);
            out += '\n';
        }
    }
    return out;
}

RegistryDocument RegistryDocument::Parse(std::string_view text) {
    RegistryDocument doc;
    Key* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const std::string_view line = trimBlanks(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const std::string path =
                line.back() == ']' && line.size() >= 2
                    ? NormalizePath(unescapeName(line.substr(1, line.size() - 2)))
                    : std::string();
            current = path.empty() ? nullptr : &doc.makeKey(path);
            if (!current)
                ++doc.m_skippedLines;
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos || eq == 0) {
            ++doc.m_skippedLines;
            continue;
        }
        const std::string_view rawName = trimBlanks(line.substr(0, eq));
        const std::string name = rawName == "@" ? std::string() : unescapeName(rawName);
        const std::string_view rest = trimBlanks(line.substr(eq + 1));
        std::optional<std::string> data;
        bool binary = false;
        if (startsWithHexTag(rest)) {
            data = decodeHex(rest.substr(4));
            binary = true;
        } else if (!rest.empty() && rest[0] == '"') {
            data = decodeQuoted(rest);
        } else {
            data = std::string(rest);
        }
        if (!data) {
            ++doc.m_skippedLines;
            continue;
        }
        // A name given twice keeps its first place and its last value.
        current->set(name, UpperCase(name), std::move(*data), binary);
    }
    return doc;
}

RegistryDocument RegistryDocument::Merge(const RegistryDocument& base, const RegistryDocument& mine,
                                         const RegistryDocument& fresh) {
    RegistryDocument result = fresh;
    result.m_skippedLines = 0;
    auto apply = [&](const std::string& upperPath) {
        const Key* b = base.m_index.count(upperPath) ? &*base.m_index.at(upperPath) : nullptr;
        const Key* m = mine.m_index.count(upperPath) ? &*mine.m_index.at(upperPath) : nullptr;
        if (sameKey(b, m))
            return; // this writer left the key alone: the file's version stands
        const Key* f = result.findKey(upperPath);
        if (!m) {
            result.eraseExactKey(upperPath);
            return;
        }
        if (sameKey(f, b)) {
            result.replaceKey(*m); // only this writer changed it
            return;
        }
        // Both changed the key: this writer's values win, the other's stay.
        Key& r = result.makeKey(m->path);
        if (b)
            for (const Value& v : b->values)
                if (!m->find(v.upperName))
                    r.remove(v.upperName);
        for (const Value& v : m->values) {
            const Value* old = b ? b->find(v.upperName) : nullptr;
            if (!old || old->data != v.data || old->binary != v.binary || old->name != v.name)
                r.set(v.name, v.upperName, v.data, v.binary);
        }
    };
    for (const Key& k : mine.m_keys)
        apply(k.upperPath);
    for (const Key& k : base.m_keys)
        if (!mine.m_index.count(k.upperPath))
            apply(k.upperPath);
    return result;
}

} // namespace zentrix
