#include "config/commandbuttons.h"

#include "config/componentstream.h"
#include "config/tenhinifile.h"

#include <algorithm>

namespace zentrix {

bool TCommandList::Contains(int command) const {
    return std::find(m_commands.begin(), m_commands.end(), command) != m_commands.end();
}

bool TCommandList::Add(int command) {
    if (Contains(command))
        return false;
    m_commands.push_back(command);
    return true;
}

void TCommandList::Remove(int index) {
    if (index >= 0 && index < Count())
        m_commands.erase(m_commands.begin() + index);
}

void TCommandList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
        return;
    const int command = m_commands[static_cast<size_t>(from)];
    m_commands.erase(m_commands.begin() + from);
    m_commands.insert(m_commands.begin() + to, command);
}

namespace CommandButtons {

bool IsCommand(const MenuTable& table, int command) {
    const auto entries = table.entries();
    if (command < 0 || command >= static_cast<int>(entries.size()))
        return false;
    const MenuItem* item = entries[static_cast<size_t>(command)];
    return !item->hasItems() && !item->command.empty();
}

std::vector<uint8_t> Encode(const TCommandList& dirButtons, const TCommandList& fileButtons) {
    ComponentStreamWriter out;
    for (const TCommandList* list : {&dirButtons, &fileButtons}) {
        out.WriteInteger(list->Count());
        for (int command : list->Commands())
            out.WriteInteger(command);
    }
    return out.Bytes();
}

bool Decode(const std::vector<uint8_t>& bytes, const MenuTable& table, TCommandList& dirButtons,
            TCommandList& fileButtons) {
    dirButtons.Clear();
    fileButtons.Clear();
    if (bytes.size() > kStoredLimit)
        return false;
    ComponentStreamReader in(bytes);
    std::vector<int> lists[2];
    for (auto& list : lists) {
        const auto count = in.ReadInteger();
        // Each number takes two bytes at least.
        if (!count || *count < 0 || static_cast<size_t>(*count) > in.Remaining() / 2)
            return false;
        for (int32_t i = 0; i < *count; ++i) {
            const auto command = in.ReadInteger();
            if (!command)
                return false;
            list.push_back(*command);
        }
    }
    // The menu may have changed since the numbers were stored: numbers that no
    // longer name a command go.
    for (int command : lists[0])
        if (IsCommand(table, command))
            dirButtons.Add(command);
    for (int command : lists[1])
        if (IsCommand(table, command))
            fileButtons.Add(command);
    return true;
}

void Load(const TEnhIniFile& store, const MenuTable& table, TCommandList& dirButtons,
          TCommandList& fileButtons) {
    dirButtons.Clear();
    fileButtons.Clear();
    if (const auto bytes = store.ReadBinary({}, kValueName))
        Decode(*bytes, table, dirButtons, fileButtons);
}

void Save(TEnhIniFile& store, const TCommandList& dirButtons, const TCommandList& fileButtons) {
    store.WriteBinary({}, kValueName, Encode(dirButtons, fileButtons));
}

} // namespace CommandButtons
} // namespace zentrix
