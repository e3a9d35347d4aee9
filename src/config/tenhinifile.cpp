#include "config/tenhinifile.h"

#include "core/text.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <mutex>

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

struct Value {
    std::string name;
    std::string upperName;
    std::string data;
    bool binary = false;
};

struct Key {
    std::string path; // components joined by "\", in the case first written
    std::string upperPath;
    std::vector<Value> values;

    Value* find(const std::string& upperName) {
        for (auto& v : values)
            if (v.upperName == upperName)
                return &v;
        return nullptr;
    }
};


const char kHex[] = "0123456789abcdef";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string trimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

void percent(std::string& out, char c) {
    const auto b = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

// Names and key components: "%" "=" and control bytes always, blanks and the
// characters that start comments or sections only where they would be misread.
std::string escapeName(const std::string& name, bool keyPath) {
    if (!keyPath && name.empty())
        return "@";
    if (!keyPath && name == "@")
        return "%40";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool edge = i == 0 || i + 1 == name.size();
        if (c == '%' || isControl(c) || (!keyPath && c == '=') || (edge && isBlank(c)) ||
            (i == 0 && !keyPath && (c == '[' || c == ';' || c == '#')))
            percent(out, c);
        else
            out += c;
    }
    return out;
}

std::string unescapeName(std::string_view s) {
    std::string out;
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

std::string encodeString(const std::string& data) {
    bool plain = !data.empty() && data[0] != '"' && !isBlank(data.front()) &&
                 !isBlank(data.back()) && !startsWithHexTag(data);
    for (char c : data)
        if (isControl(c))
            plain = false;
    if (plain || data.empty())
        return data;
    std::string out = "\"";
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
    return out + "\"";
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

std::string encodeHex(const std::string& bytes) {
    std::string out = "hex:";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ',';
        out += kHex[static_cast<unsigned char>(bytes[i]) >> 4];
        out += kHex[static_cast<unsigned char>(bytes[i]) & 15];
    }
    return out;
}

// "a\\b\" -> "a\b": empty components are dropped.
std::string normalizePath(std::string_view path) {
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

std::mutex g_handlerMutex;
std::function<void(const platform::FileWriteError&)> g_writeFailureHandler;

} // namespace

// ---------------------------------------------------------------------------

/// One settings file in memory, shared by every TEnhIniFile opened on it.
class RegistryDocument {
public:
    explicit RegistryDocument(std::string storePath) : m_path(std::move(storePath)) {
        if (auto text = platform::ReadWholeFile(m_path))
            parse(*text);
    }

    static std::shared_ptr<RegistryDocument> Open(const std::string& storePath) {
        static std::mutex mutex;
        static std::map<std::string, std::weak_ptr<RegistryDocument>> open;
        std::lock_guard lock(mutex);
        auto& slot = open[storePath];
        if (auto doc = slot.lock())
            return doc;
        auto doc = std::make_shared<RegistryDocument>(storePath);
        slot = doc;
        return doc;
    }

    std::mutex mutex;
    bool modified = false;
    int skippedLines = 0;

    const std::string& path() const { return m_path; }

    Key* findKey(const std::string& upperPath) {
        for (auto& k : m_keys)
            if (k.upperPath == upperPath)
                return &k;
        return nullptr;
    }

    Key& makeKey(const std::string& path) {
        const std::string upper = UpperCase(path);
        if (Key* k = findKey(upper))
            return *k;
        m_keys.push_back(Key{path, upper, {}});
        return m_keys.back();
    }

    void setValue(const std::string& keyPath, const std::string& name, std::string data,
                  bool binary) {
        Key& key = makeKey(keyPath);
        const std::string upper = UpperCase(name);
        if (Value* v = key.find(upper)) {
            if (v->data == data && v->binary == binary)
                return;
            v->data = std::move(data);
            v->binary = binary;
        } else {
            key.values.push_back(Value{name, upper, std::move(data), binary});
        }
        modified = true;
    }

    const Value* value(const std::string& keyPath, const std::string& name) {
        Key* key = findKey(UpperCase(keyPath));
        return key ? key->find(UpperCase(name)) : nullptr;
    }

    void eraseKey(const std::string& keyPath) {
        const std::string upper = UpperCase(keyPath);
        const std::string below = upper + "\\";
        const auto before = m_keys.size();
        std::erase_if(m_keys, [&](const Key& k) {
            return k.upperPath == upper || k.upperPath.compare(0, below.size(), below) == 0;
        });
        modified = modified || m_keys.size() != before;
    }

    void deleteValue(const std::string& keyPath, const std::string& name) {
        if (Key* key = findKey(UpperCase(keyPath))) {
            const std::string upper = UpperCase(name);
            const auto before = key->values.size();
            std::erase_if(key->values, [&](const Value& v) { return v.upperName == upper; });
            modified = modified || key->values.size() != before;
        }
    }

    std::vector<std::string> subKeys(const std::string& keyPath) {
        const std::string below = UpperCase(keyPath) + "\\";
        std::vector<std::string> names;
        std::vector<std::string> seen;
        for (const auto& k : m_keys) {
            if (k.upperPath.compare(0, below.size(), below) != 0)
                continue;
            const std::string rest = k.path.substr(below.size());
            const std::string name = rest.substr(0, rest.find('\\'));
            const std::string upper = UpperCase(name);
            if (std::find(seen.begin(), seen.end(), upper) == seen.end()) {
                seen.push_back(upper);
                names.push_back(name);
            }
        }
        return names;
    }

    std::string serialize() const {
        std::string out = "; Zentrix settings: each section is a key path, each line a value.\n";
        for (const auto& k : m_keys) {
            out += "\n[" + escapeName(k.path, true) + "]\n";
            for (const auto& v : k.values) {
                out += escapeName(v.name, false);
                out += '=';
                out += v.binary ? encodeHex(v.data) : encodeString(v.data);
                out += '\n';
            }
        }
        return out;
    }

private:
    void parse(const std::string& text) {
        Key* current = nullptr;
        bool inBadSection = false;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string_view raw(text.data() + pos, end - pos);
            pos = end + 1;
            if (!raw.empty() && raw.back() == '\r')
                raw.remove_suffix(1);
            const std::string line = trimBlanks(raw);
            if (line.empty() || line[0] == ';' || line[0] == '#')
                continue;
            if (line[0] == '[') {
                const std::string path =
                    line.back() == ']' && line.size() >= 2
                        ? normalizePath(unescapeName(line.substr(1, line.size() - 2)))
                        : std::string();
                inBadSection = path.empty();
                current = inBadSection ? nullptr : &makeKey(path);
                if (inBadSection)
                    ++skippedLines;
                continue;
            }
            const size_t eq = line.find('=');
            if (!current || eq == std::string::npos || eq == 0) {
                ++skippedLines;
                continue;
            }
            std::string name = trimBlanks(std::string_view(line).substr(0, eq));
            name = name == "@" ? std::string() : unescapeName(name);
            const std::string rest = trimBlanks(std::string_view(line).substr(eq + 1));
            std::optional<std::string> data;
            bool binary = false;
            if (startsWithHexTag(rest)) {
                data = decodeHex(std::string_view(rest).substr(4));
                binary = true;
            } else if (!rest.empty() && rest[0] == '"') {
                data = decodeQuoted(rest);
            } else {
                data = rest;
            }
            if (!data) {
                ++skippedLines;
                continue;
            }
            // A name given twice keeps its first place and its last value.
            const std::string upper = UpperCase(name);
            if (Value* v = current->find(upper)) {
                v->data = std::move(*data);
                v->binary = binary;
            } else {
                current->values.push_back(Value{name, upper, std::move(*data), binary});
            }
        }
        modified = false;
    }

    std::string m_path;
    std::vector<Key> m_keys;
};

// ---------------------------------------------------------------------------

TEnhIniFile::TEnhIniFile(const std::string& iniName, const std::string& storePath)
    : m_keyPath(KeyPathFor(iniName)),
      m_storePath(storePath.empty() ? platform::AppPaths::SettingsFile() : storePath),
      m_doc(RegistryDocument::Open(m_storePath)) {}

TEnhIniFile::~TEnhIniFile() {
    try {
        UpdateFile();
    } catch (const platform::FileWriteError& e) {
        std::function<void(const platform::FileWriteError&)> handler;
        {
            std::lock_guard lock(g_handlerMutex);
            handler = g_writeFailureHandler;
        }
        if (handler)
            handler(e);
        else
            std::cerr << "zentrix: " << e.what() << '\n';
    } catch (...) {
        // Nothing may leave a destructor.
    }
}

void TEnhIniFile::SetWriteFailureHandler(
    std::function<void(const platform::FileWriteError&)> handler) {
    std::lock_guard lock(g_handlerMutex);
    g_writeFailureHandler = std::move(handler);
}

std::string TEnhIniFile::KeyPathFor(const std::string& iniName) {
    std::string base = iniName;
    const size_t sep = base.find_last_of("/\\");
    if (sep != std::string::npos)
        base = base.substr(sep + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0)
        base = base.substr(0, dot);
    base = LowerCase(base);
    if (!base.empty())
        base = UpperCase(base.substr(0, 1)) + base.substr(1);
    return "Software\\Morvane\\" + base;
}

std::string TEnhIniFile::path(const std::string& section) const {
    // The user's root itself holds nothing of ours: "\\" means the program's key.
    if (!section.empty() && section[0] == '\\') {
        std::string p = normalizePath(section);
        return p.empty() ? m_keyPath : p;
    }
    return normalizePath(m_keyPath + "\\" + section);
}

std::string TEnhIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& def) const {
    std::lock_guard lock(m_doc->mutex);
    const Value* v = m_doc->value(path(section), ident);
    return v && !v->binary ? v->data : def;
}

void TEnhIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    std::lock_guard lock(m_doc->mutex);
    m_doc->setValue(path(section), ident, value, false);
}

int TEnhIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const {
    const std::string t = Trim(ReadString(section, ident, {}));
    if (t.empty())
        return def;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        if (t.size() > 10)
            return def;
        uint32_t v = 0;
        for (size_t i = 2; i < t.size(); ++i) {
            const int d = HexDigit(t[i]);
            if (d < 0)
                return def;
            v = (v << 4) | static_cast<uint32_t>(d);
        }
        return static_cast<int>(static_cast<int32_t>(v));
    }
    size_t i = 0;
    bool negative = false;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i >= t.size())
        return def;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return def;
        v = v * 10 + (t[i] - '0');
        if (v > 0x80000000LL)
            return def;
    }
    v = negative ? -v : v;
    return v > INT32_MAX ? def : static_cast<int>(v);
}

void TEnhIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, std::to_string(value));
}

bool TEnhIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TEnhIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

FontFields TEnhIniFile::ReadFont(const std::string& section, const std::string& ident,
                               FontFields font) const {
    ApplyFontText(ReadString(section, ident, ",,,,"), font);
    return font;
}

void TEnhIniFile::WriteFont(const std::string& section, const std::string& ident,
                            const FontFields& font) {
    WriteString(section, ident, FontToText(font));
}

std::optional<std::vector<uint8_t>> TEnhIniFile::ReadBinary(const std::string& section,
                                                            const std::string& ident) const {
    std::lock_guard lock(m_doc->mutex);
    const Value* v = m_doc->value(path(section), ident);
    if (!v || !v->binary)
        return std::nullopt;
    return std::vector<uint8_t>(v->data.begin(), v->data.end());
}

void TEnhIniFile::WriteBinary(const std::string& section, const std::string& ident,
                              const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(m_doc->mutex);
    m_doc->setValue(path(section), ident, std::string(bytes.begin(), bytes.end()), true);
}

std::vector<std::string> TEnhIniFile::ReadSection(const std::string& section) const {
    std::lock_guard lock(m_doc->mutex);
    std::vector<std::string> names;
    if (Key* key = m_doc->findKey(UpperCase(path(section))))
        for (const auto& v : key->values)
            names.push_back(v.name);
    return names;
}

std::vector<std::pair<std::string, std::string>>
TEnhIniFile::ReadSectionPairs(const std::string& section) const {
    std::lock_guard lock(m_doc->mutex);
    std::vector<std::pair<std::string, std::string>> pairs;
    if (Key* key = m_doc->findKey(UpperCase(path(section))))
        for (const auto& v : key->values)
            if (!v.binary)
                pairs.emplace_back(v.name, v.data);
    return pairs;
}

std::vector<std::string> TEnhIniFile::ReadSectionValues(const std::string& section) const {
    std::vector<std::string> lines;
    for (const auto& [name, value] : ReadSectionPairs(section))
        lines.push_back(name + "=" + value);
    return lines;
}

std::vector<std::string> TEnhIniFile::ReadSubSections(const std::string& section) const {
    std::lock_guard lock(m_doc->mutex);
    return m_doc->subKeys(path(section));
}

bool TEnhIniFile::SectionExists(const std::string& section) const {
    std::lock_guard lock(m_doc->mutex);
    return m_doc->findKey(UpperCase(path(section))) != nullptr;
}

bool TEnhIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    std::lock_guard lock(m_doc->mutex);
    return m_doc->value(path(section), ident) != nullptr;
}

void TEnhIniFile::EraseSection(const std::string& section) {
    std::lock_guard lock(m_doc->mutex);
    m_doc->eraseKey(path(section));
}

void TEnhIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    std::lock_guard lock(m_doc->mutex);
    m_doc->deleteValue(path(section), ident);
}

void TEnhIniFile::UpdateFile() {
    std::lock_guard lock(m_doc->mutex);
    if (!m_doc->modified)
        return;
    platform::WriteFileAtomically(m_doc->path(), m_doc->serialize());
    m_doc->modified = false;
}

bool TEnhIniFile::Modified() const {
    std::lock_guard lock(m_doc->mutex);
    return m_doc->modified;
}

int TEnhIniFile::SkippedLines() const {
    std::lock_guard lock(m_doc->mutex);
    return m_doc->skippedLines;
}

} // namespace zentrix
