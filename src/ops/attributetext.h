#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

/// An attribute text ("+A-R-H-S") applied to an attribute word: the text is
/// read in pairs from its first character, a sign ("+" sets, "-" clears) and a
/// letter (A archive 32, R read-only 1, H hidden 2, S system 4). A pair with
/// another sign or letter changes nothing, and a lone last character is
/// ignored. Letters count as typed: the attribute box lets only capitals in.
uint16_t ApplyAttributePairs(uint16_t start, std::string_view text);

/// The set bits as plus-sign pairs in the order A, R, S, H, V, D ("+A+R" for a
/// read-only archive file): the text the toggle keeps to restore them.
std::string AttributePlusText(uint16_t attributes);

/// A group of the "Select attributes ..." dialog.
enum class AttributeChoice { Set, Unchanged, Unset };

/// What a group shows when the dialog opens on a box text: Unset when the
/// upper-cased text holds "-" and the letter, else Set when it holds "+" and
/// the letter, else Unchanged.
AttributeChoice AttributeChoiceOf(std::string_view boxText, char letter);

/// The text the dialog's OK puts in the box: the groups in the order A, R, H,
/// S, each Set as "+" and its letter, each Unset as "-" and its letter.
std::string AttributeChoicesText(AttributeChoice archive, AttributeChoice readOnly,
                                 AttributeChoice hidden, AttributeChoice system);

} // namespace zentrix
