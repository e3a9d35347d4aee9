#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentrix {

/// Tells whether a name is taken where the new name is to be used.
using NameTaken = std::function<bool(const std::string& name)>;

/// The rename mask rule, applied to a file name (rename; copy and move "as"):
///
/// - a mask without "*", "?" and "%" is the new name itself; "*" and "*.*"
///   keep the name whole (also one with several dots);
/// - otherwise "**" counts as "*" and "%%" as "%", and the mask is walked from
///   the left beside a position p in the name (p counts the name characters
///   consumed):
///   - a literal character is copied, p advances by one;
///   - "?" copies the name character at the position of the "?" in the mask
///     (nothing when the name is shorter), p advances by one;
///   - "*" followed by a character c copies the name from the position of the
///     "*" in the mask up to the first character at or after p that equals c
///     (ignoring case), and p stops before that character, so that c consumes
///     it. When c does not occur there, the rest of the name is copied;
///   - "*" at the end copies what follows the last occurrence (ignoring case)
///     in the name of the last character written so far: the whole name when
///     nothing was written yet or that character does not occur in it;
/// - a result with exactly one "%" takes the first of 1, 2, 3 ... for which
///   `taken` says no (without `taken`, 1); several "%" stay as they are.
///
/// The rule is positional: it assumes the name and the mask line up up to the
/// first "*" (REPORT.DOC with NEW?????.* gives NEWORT.D.DOC). It never reads
/// past the end of the name. Characters are Unicode characters of UTF-8 text;
/// bytes that are not UTF-8 count one each and come out unchanged.
std::string ApplyNameMask(std::string_view name, std::string_view mask,
                          const NameTaken& taken = {});

/// The rule as copy, move and rename apply it to a file's name: a name without
/// a full stop meets the mask with an empty extension (README with "*.BAK"
/// gives README.BAK) and keeps no full stop that only that added.
std::string ApplyNameMaskToFile(std::string_view name, std::string_view mask,
                                const NameTaken& taken = {});

} // namespace zentrix
