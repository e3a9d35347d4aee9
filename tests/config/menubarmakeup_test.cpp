#include "config/menubarmakeup.h"

#include <gtest/gtest.h>

using namespace zentrix;

namespace {

using Bar = std::vector<std::string>;

const Bar kDesign{"miZentrix", "miDirectory", "miFile", "miVolume", "miTools", "miHelp"};
const Bar kTreeBar{"miZentrix", "miDirectory", "miVolume", "miTools", "miHelp"};
const Bar kFileBar{"miZentrix", "miFile", "miTools", "miHelp"};
const Bar kNeither{"miZentrix", "miTools", "miHelp"};

enum Event { Tree, FileIn, FileOut, BoxIn, BoxOut };

void Apply(MenuBarMakeUp& makeUp, Event e) {
    switch (e) {
    case Tree:
        makeUp.TreeGainedFocus();
        break;
    case FileIn:
        makeUp.FileWindowGainedFocus();
        break;
    case FileOut:
        makeUp.FileWindowLostFocus();
        break;
    case BoxIn:
        makeUp.SetInputBoxFocused(true);
        break;
    case BoxOut:
        makeUp.SetInputBoxFocused(false);
        break;
    }
}

struct Sequence {
    const char* what;
    std::vector<Event> events;
    Bar visible;
};

TEST(MenuBarMakeUp, FollowsTheFocusInAnyOrder) {
    MenuBarMakeUp fresh;
    EXPECT_EQ(fresh.Visible(), kDesign);

    const Sequence sequences[] = {
        {"tree first", {Tree}, kTreeBar},
        // The design bar holds both window menus; the file window takes "Directory"
        // and "Volume" off and keeps its "File" where it is.
        {"file window first", {FileIn}, kFileBar},
        {"file window to tree", {FileIn, FileOut, Tree}, kTreeBar},
        {"tree to file window", {Tree, FileIn}, kFileBar},
        {"file window to elsewhere", {Tree, FileIn, FileOut}, kNeither},
        {"elsewhere back to file window", {Tree, FileIn, FileOut, FileIn}, kFileBar},
        {"to and fro", {Tree, FileIn, FileOut, Tree, FileIn, FileOut, Tree}, kTreeBar},
        {"repeated gains", {Tree, Tree, FileIn, FileIn}, kFileBar},
        {"losing without having", {FileOut, FileOut, Tree}, kTreeBar},
        {"tree while the file window still counts as focused", {FileIn, Tree}, kTreeBar},
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.what);
        MenuBarMakeUp makeUp;
        for (Event e : s.events)
            Apply(makeUp, e);
        EXPECT_EQ(makeUp.Visible(), s.visible);
        EXPECT_EQ(makeUp.Bar(), s.visible);
    }
}

TEST(MenuBarMakeUp, InputBoxesTakeTheSingleKeyMenusOffUntilTheyLoseTheFocus) {
    const Sequence sequences[] = {
        {"box from the tree", {Tree, BoxIn}, kNeither},
        {"box from the file window", {Tree, FileIn, FileOut, BoxIn}, kNeither},
        {"box back to the tree", {Tree, BoxIn, BoxOut, Tree}, kTreeBar},
        {"box back to the file window", {Tree, FileIn, FileOut, BoxIn, BoxOut, FileIn}, kFileBar},
        // Focus events may arrive in either order around the box.
        {"file window gains before the box lets go", {Tree, BoxIn, FileIn, BoxOut}, kFileBar},
        {"tree gains before the box lets go", {FileIn, FileOut, BoxIn, Tree, BoxOut}, kTreeBar},
        {"box to a button", {Tree, BoxIn, BoxOut}, kTreeBar},
        {"box to box", {Tree, BoxIn, BoxIn}, kNeither},
        {"box before any window", {BoxIn}, kNeither},
        {"design bar after the box", {BoxIn, BoxOut}, kDesign},
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.what);
        MenuBarMakeUp makeUp;
        for (Event e : s.events)
            Apply(makeUp, e);
        EXPECT_EQ(makeUp.Visible(), s.visible);
    }

    MenuBarMakeUp makeUp;
    makeUp.TreeGainedFocus();
    makeUp.SetInputBoxFocused(true);
    EXPECT_TRUE(makeUp.InputBoxFocused());
    EXPECT_EQ(makeUp.Bar(), kTreeBar); // what comes back when the box lets go
}

} // namespace
