#include "filewindow/tagcriterion.h"

#include "core/text.h"

#include <array>

namespace zentrix {

TagCriterion TagCriterion::Parse(std::string_view line) {
    std::array<std::string, 5> fields;
    size_t field = 0;
    size_t pos = 0;
    while (field < fields.size() && pos <= line.size()) {
        const size_t bar = std::min(line.find('|', pos), line.size());
        fields[field++] = Trim(line.substr(pos, bar - pos));
        pos = bar;
        while (pos < line.size() && line[pos] == '|')
            ++pos;
        if (bar == line.size())
            break;
    }
    TagCriterion c;
    c.directory = fields[0];
    c.recurse = fields[1] == "Y";
    c.fileSpec = fields[2];
    c.age = fields[3];
    c.size = fields[4];
    return c;
}

std::string TagCriterion::Line() const {
    return directory + " | " + (recurse ? "Y" : "N") + " | " + fileSpec + " | " + age + " | " +
           size;
}

CriterionColumns DisplayColumns(const TagCriterion& c) {
    CriterionColumns cols;
    cols.directory = c.directory;
    cols.recurse = c.recurse ? "Yes" : "No";
    if (c.fileSpec.empty())
        cols.fileSpec = "All files";
    else if (c.fileSpec[0] == '\\')
        cols.fileSpec = "NOT " + c.fileSpec.substr(1);
    else
        cols.fileSpec = c.fileSpec;
    if (!c.age.empty())
        cols.age = std::string(c.age[0] == '<' ? "< " : "> ") + c.age.substr(1) + " days";
    if (!c.size.empty())
        cols.size = std::string(c.size[0] == '<' ? "< " : "> ") + c.size.substr(1) + " Kb";
    return cols;
}

TagCriterion CriterionFromFields(const CriterionFields& f) {
    TagCriterion c;
    c.directory = f.directory;
    c.recurse = f.recurse;
    if (f.useFileSpec && !f.fileSpec.empty())
        c.fileSpec = (f.invert ? "\\" : "") + f.fileSpec;
    if (f.useAge && !f.age.empty())
        c.age = (f.olderThan ? ">" : "<") + f.age;
    if (f.useSize && !f.size.empty())
        c.size = (f.largerThan ? ">" : "<") + f.size;
    return c;
}

CriterionFields FieldsFromCriterion(const TagCriterion& c, const CriterionFields& current) {
    CriterionFields f = current;
    f.directory = c.directory;
    f.recurse = c.recurse;
    f.useFileSpec = !c.fileSpec.empty();
    if (f.useFileSpec) {
        f.invert = c.fileSpec[0] == '\\';
        f.fileSpec = f.invert ? c.fileSpec.substr(1) : c.fileSpec;
    }
    f.useAge = !c.age.empty();
    if (f.useAge) {
        f.olderThan = c.age[0] != '<';
        f.age = Trim(c.age.substr(1));
    }
    f.useSize = !c.size.empty();
    if (f.useSize) {
        f.largerThan = c.size[0] != '<';
        f.size = Trim(c.size.substr(1));
    }
    return f;
}

} // namespace zentrix
