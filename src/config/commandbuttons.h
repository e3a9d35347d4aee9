#pragma once

#include "config/menutable.h"

#include <cstdint>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// A command bar's buttons: the command numbers (positions in
/// MenuTable::entries()) of the menu items they run, each at most once.
class TCommandList {
public:
    const std::vector<int>& Commands() const { return m_commands; }
    int Count() const { return static_cast<int>(m_commands.size()); }
    bool Contains(int command) const;
    /// Appends a command that is not in the list yet; false when it was.
    bool Add(int command);
    void Remove(int index);
    /// Moves the command at `from` to the place `to` (both in 0..Count()-1).
    void Move(int from, int to);
    void Clear() { m_commands.clear(); }

    bool operator==(const TCommandList&) const = default;

private:
    std::vector<int> m_commands;
};

/// The two bars as stored in the binary value "CommandButtons" under the
/// program's key: a count and that many command numbers for the directory
/// buttons, then the same for the file buttons.
namespace CommandButtons {

inline constexpr const char* kValueName = "CommandButtons";
inline constexpr size_t kStoredLimit = 1024;

std::vector<uint8_t> Encode(const TCommandList& dirButtons, const TCommandList& fileButtons);
/// Takes stored bytes. Command numbers that name no command of the menu (or a
/// menu of its own) and repeats are dropped; data that cannot be read leaves
/// both lists empty. False when the data was unreadable.
bool Decode(const std::vector<uint8_t>& bytes, const MenuTable& table, TCommandList& dirButtons,
            TCommandList& fileButtons);

/// Both lists from the store (empty when nothing is stored).
void Load(const TEnhIniFile& store, const MenuTable& table, TCommandList& dirButtons,
          TCommandList& fileButtons);
void Save(TEnhIniFile& store, const TCommandList& dirButtons, const TCommandList& fileButtons);

/// True when the entry with that command number runs a command.
bool IsCommand(const MenuTable& table, int command);

} // namespace CommandButtons
} // namespace zentrix
