#include "config/tenhinifile.h"

#include "core/text.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"

#include "config/registrydocument.h"
#include "platform/filelock.h"

#include <iostream>
#include <map>
#include <mutex>

namespace zentrix {

namespace {

std::mutex g_handlerMutex;
std::function<void(const platform::FileWriteError&)> g_writeFailureHandler;

} // namespace

/// One settings file in memory, shared by every TEnhIniFile of this process
/// opened on it. `lastText` is the file as this process last read or wrote it,
/// so that a save can tell its own changes from those other instances of the
/// program made since.
struct SharedSettingsFile {
    explicit SharedSettingsFile(std::string storePath) : path(std::move(storePath)) {
        if (auto text = platform::ReadWholeFile(path)) {
            doc = RegistryDocument::Parse(*text);
            skippedLines = doc.SkippedLines();
            lastText = std::move(*text);
        }
    }

    static std::shared_ptr<SharedSettingsFile> Open(const std::string& storePath) {
        static std::mutex mutex;
        static std::map<std::string, std::weak_ptr<SharedSettingsFile>> open;
        std::lock_guard lock(mutex);
        auto& slot = open[storePath];
        if (auto file = slot.lock())
            return file;
        auto file = std::make_shared<SharedSettingsFile>(storePath);
        slot = file;
        return file;
    }

    // Under the lock, read the file again and apply only this process's
    // changes to what it holds now, then replace it in one step.
    void save() {
        const std::string target = platform::LinkTarget(path);
        const platform::FileLock lock(target);
        const std::optional<std::string> text = platform::ReadWholeFile(target);
        if (!text || *text == lastText) {
            std::string out = doc.Serialize();
            platform::WriteFileAtomically(target, out);
            lastText = std::move(out);
        } else {
            RegistryDocument merged = RegistryDocument::Merge(RegistryDocument::Parse(lastText),
                                                              doc, RegistryDocument::Parse(*text));
            std::string out = merged.Serialize();
            platform::WriteFileAtomically(target, out);
            doc = std::move(merged);
            lastText = std::move(out);
        }
        modified = false;
    }

    std::mutex mutex;
    std::string path;
    RegistryDocument doc;
    std::string lastText;
    bool modified = false;
    int skippedLines = 0;
};

// ---------------------------------------------------------------------------

TEnhIniFile::TEnhIniFile(const std::string& iniName, const std::string& storePath)
    : m_keyPath(KeyPathFor(iniName)),
      m_storePath(storePath.empty() ? platform::AppPaths::SettingsFile() : storePath),
      m_file(SharedSettingsFile::Open(m_storePath)) {}

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
        std::string p = RegistryDocument::NormalizePath(section);
        return p.empty() ? m_keyPath : p;
    }
    return RegistryDocument::NormalizePath(m_keyPath + "\\" + section);
}

std::string TEnhIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& def) const {
    std::lock_guard lock(m_file->mutex);
    const auto* v = m_file->doc.FindValue(path(section), ident);
    return v && !v->binary ? v->data : def;
}

void TEnhIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    std::lock_guard lock(m_file->mutex);
    if (m_file->doc.SetValue(path(section), ident, value, false))
        m_file->modified = true;
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
    std::lock_guard lock(m_file->mutex);
    const auto* v = m_file->doc.FindValue(path(section), ident);
    if (!v || !v->binary)
        return std::nullopt;
    return std::vector<uint8_t>(v->data.begin(), v->data.end());
}

void TEnhIniFile::WriteBinary(const std::string& section, const std::string& ident,
                              const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(m_file->mutex);
    if (m_file->doc.SetValue(path(section), ident, std::string(bytes.begin(), bytes.end()), true))
        m_file->modified = true;
}

std::vector<std::string> TEnhIniFile::ReadSection(const std::string& section) const {
    std::lock_guard lock(m_file->mutex);
    std::vector<std::string> names;
    if (const auto* key = m_file->doc.FindKey(path(section)))
        for (const auto& v : key->values)
            names.push_back(v.name);
    return names;
}

std::vector<std::pair<std::string, std::string>>
TEnhIniFile::ReadSectionPairs(const std::string& section) const {
    std::lock_guard lock(m_file->mutex);
    std::vector<std::pair<std::string, std::string>> pairs;
    if (const auto* key = m_file->doc.FindKey(path(section)))
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
    std::lock_guard lock(m_file->mutex);
    return m_file->doc.SubKeys(path(section));
}

bool TEnhIniFile::SectionExists(const std::string& section) const {
    std::lock_guard lock(m_file->mutex);
    return m_file->doc.FindKey(path(section)) != nullptr;
}

bool TEnhIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    std::lock_guard lock(m_file->mutex);
    return m_file->doc.FindValue(path(section), ident) != nullptr;
}

void TEnhIniFile::EraseSection(const std::string& section) {
    std::lock_guard lock(m_file->mutex);
    if (m_file->doc.EraseKey(path(section)))
        m_file->modified = true;
}

void TEnhIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    std::lock_guard lock(m_file->mutex);
    if (m_file->doc.DeleteValue(path(section), ident))
        m_file->modified = true;
}

void TEnhIniFile::UpdateFile() {
    std::lock_guard lock(m_file->mutex);
    if (m_file->modified)
        m_file->save();
}

bool TEnhIniFile::Modified() const {
    std::lock_guard lock(m_file->mutex);
    return m_file->modified;
}

int TEnhIniFile::SkippedLines() const {
    std::lock_guard lock(m_file->mutex);
    return m_file->skippedLines;
}

} // namespace zentrix
