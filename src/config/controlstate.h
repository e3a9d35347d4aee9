#pragma once

#include <string>
#include <vector>

namespace zentrix {

class TEnhIniFile;

/// The settings-store name of a persistent control: an empty `iniFileName` means
/// the executable's name with ".INI" for its extension; any other name gets ".INI"
/// for its extension. The store turns either into the program's own key.
std::string StoreNameFor(const std::string& iniFileName);

/// Window placement as stored in its section (the main window's is "MainForm").
/// State 0 is normal, 1 maximised, 2 minimised; the rectangle is the window's
/// normal position.
struct PlacementRecord {
    int X = 0;
    int Y = 0;
    int Width = 630;
    int Height = 470;
    int State = 0;

    static PlacementRecord Read(const TEnhIniFile& store, const std::string& section);
    void Write(TEnhIniFile& store, const std::string& section) const;
};

/// Header widths, stored as Section0Width, Section1Width, ... in the section named
/// after the header control. Read gives the stored width of every section, the
/// current one where none is stored; Write replaces the whole section.
std::vector<int> ReadHeaderWidths(const TEnhIniFile& store, const std::string& section,
                                  const std::vector<int>& currentWidths);
void WriteHeaderWidths(TEnhIniFile& store, const std::string& section,
                       const std::vector<int>& widths);

/// A splitter's one value: the target's name + "Height" for a horizontal bar, +
/// "Width" for a vertical one, in the section named after the splitter.
std::string SplitterValueName(const std::string& targetName, bool horizontalBar);
int ReadSplitterSize(const TEnhIniFile& store, const std::string& splitterName,
                     const std::string& targetName, bool horizontalBar, int currentSize);
void WriteSplitterSize(TEnhIniFile& store, const std::string& splitterName,
                       const std::string& targetName, bool horizontalBar, int size);

} // namespace zentrix
