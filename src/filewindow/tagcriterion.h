#pragma once

#include <string>
#include <string_view>

namespace zentrix {

/// One criterion of the tag wizard: a directory (optionally with its whole
/// branch) and optional conditions on the file specification, the age and the
/// size. Kept as a line of five fields joined by " | ":
///   directory | Y or N | [\]specification | <days or >days | <Kb or >Kb
/// where an empty field is no condition and a leading "\" inverts the
/// specification.
struct TagCriterion {
    std::string directory; ///< as typed (may lack the final backslash)
    bool recurse = false;
    std::string fileSpec; ///< empty, or the specification ("\" first when inverted)
    std::string age;      ///< empty, "<" + days (newer than) or ">" + days (older than)
    std::string size;     ///< empty, "<" + Kb (smaller than) or ">" + Kb (larger than)

    /// Splits a line at "|" (a run of bars is one separator) and trims each
    /// field; missing fields are empty and fields past the fifth are ignored.
    static TagCriterion Parse(std::string_view line);
    /// The stored line.
    std::string Line() const;

    bool operator==(const TagCriterion&) const = default;
};

/// The five columns of the criteria list as the wizard draws them: the
/// directory; "Yes" or "No"; the specification ("All files" when empty, "NOT "
/// and the specification when inverted); "< 5 days" / "> 5 days"; "< 10 Kb" /
/// "> 10 Kb" (empty when there is no condition).
struct CriterionColumns {
    std::string directory, recurse, fileSpec, age, size;
};
CriterionColumns DisplayColumns(const TagCriterion& criterion);

/// What the wizard's controls hold when a criterion is built from them or loaded
/// into them.
struct CriterionFields {
    std::string directory;
    bool recurse = false;
    bool useFileSpec = false;
    std::string fileSpec;
    bool invert = false;
    bool useAge = false;
    std::string age;
    bool olderThan = false; ///< "Older than" (else "Newer than")
    bool useSize = false;
    std::string size;
    bool largerThan = false; ///< "Larger than" (else "Smaller than")

    bool operator==(const CriterionFields&) const = default;
};

/// The criterion the controls describe: a condition counts only when its box is
/// checked and its text is not empty.
TagCriterion CriterionFromFields(const CriterionFields& fields);
/// The controls for a criterion: each empty condition unchecks its box (and
/// keeps the text the box had, from `current`).
CriterionFields FieldsFromCriterion(const TagCriterion& criterion,
                                    const CriterionFields& current = {});

} // namespace zentrix
