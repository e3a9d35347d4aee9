// Nodes that go while a question is open or events are let through: every
// command that asks or pumps must find its node again or know it went.
#include "cataloguefixture.h"

#include "catalogue/treecommands.h"
#include "core/progress.h"
#include "support/scopedenv.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <pthread.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

// Progress whose event processing runs what the user does meanwhile.
class ScriptedProgress : public Progress {
public:
    ScriptedProgress() { setPumpInterval(std::chrono::milliseconds(0)); }
    std::function<void()> onEvents;
    int pumps = 0;
    void setTotal(int64_t) override {}
    void setPosition(int64_t) override {}
    void showStop(bool) override {}
    bool aborted() const override { return false; }

protected:
    void processEvents() override {
        ++pumps;
        if (onEvents)
            onEvents();
    }
};

// A chain of `depth` directories named "d" below `top`, made and taken apart
// relative to descriptors (the full path is far beyond what a path may hold).
void makeChain(const std::string& top, int depth) {
    int fd = ::open(top.c_str(), O_DIRECTORY | O_RDONLY);
    for (int i = 0; i < depth && fd >= 0; ++i) {
        if (::mkdirat(fd, "d", 0755) != 0)
            throw std::runtime_error(std::string("mkdirat: ") + std::strerror(errno));
        const int next = ::openat(fd, "d", O_DIRECTORY | O_RDONLY);
        ::close(fd);
        fd = next;
    }
    if (fd >= 0) {
        const int file = ::openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0644);
        if (file >= 0)
            ::close(file);
        ::close(fd);
    }
}

void removeChain(const std::string& top) {
    const int fd = ::open(top.c_str(), O_DIRECTORY | O_RDONLY);
    // Lift the second level up beside the first, then the first is empty.
    while (::renameat(fd, "d/d", fd, "up") == 0) {
        ::unlinkat(fd, "d/bottom.txt", 0);
        ::unlinkat(fd, "d", AT_REMOVEDIR);
        ::renameat(fd, "up", fd, "d");
    }
    ::unlinkat(fd, "d/bottom.txt", 0);
    ::unlinkat(fd, "d", AT_REMOVEDIR);
    ::close(fd);
}

// Runs `body` on a thread with a stack of the given size and waits for it.
void runOnSmallStack(size_t bytes, std::function<void()> body) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, &body), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

class NodeLifeTest : public CatalogueTest {
protected:
    std::unique_ptr<TreeCommands> commands;

    void SetUp() override {
        CatalogueTest::SetUp();
        commands =
            std::make_unique<TreeCommands>(*cat, state, settings, *logger, *tabs, prompter, ui);
    }
    void TearDown() override { commands.reset(); }

    /// Logs C and D, then takes D's directory away: D is no longer ready.
    void logCAndLoseD() {
        tmp.mkdir("c/one");
        tmp.mkdir("d/sub/deeper");
        logger->LogDrive('C');
        logger->LogDrive('D');
        RemoveTree(tmp.at("d"));
    }
};

} // namespace

TEST_F(NodeLifeTest, AHandleForgetsItsNodeWhenTheNodeOrItsBranchGoes) {
    tmp.mkdir("d/a/b");
    tmp.mkdir("d/z");
    logger->LogDrive('D');
    TTreeNode* a = node("D:\\a\\");
    logger->LogSubDirs(a);
    TNodeRef refA(a), refB(node("D:\\a\\b\\")), refZ(node("D:\\z\\"));
    TNodeRef copy = refB;
    ASSERT_TRUE(refB && copy);
    tree().DeleteChildren(a);
    EXPECT_FALSE(refB);
    EXPECT_FALSE(copy);
    EXPECT_EQ(refA.get(), a);
    tree().DeleteNode(refZ.get());
    EXPECT_FALSE(refZ);

    // A handle that outlives the whole catalogue reads none and goes quietly.
    TNodeRef root(tree().Top(0));
    commands.reset();
    logger.reset();
    cat.reset();
    EXPECT_FALSE(root);
    EXPECT_FALSE(refA);
}

TEST_F(NodeLifeTest, ExpandingANodeWhoseDiskIsReleasedMeanwhileLeavesItAlone) {
    logCAndLoseD();
    TTreeNode* sub = node("D:\\sub\\");
    ASSERT_TRUE(sub);
    tree().Select(tree().Top(0)); // C; D is not ready any more
    prompter.clear();
    prompter.answer(false).answer(true); // Cancel on "Disk not ready!", OK to release
    EXPECT_FALSE(commands->Expanding(sub));
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Disk not ready!     ", "Release disk D ???"}));
    ASSERT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
    EXPECT_EQ(state.currentDisk, 'C');
}

TEST_F(NodeLifeTest, TabsAndNextAndPreviousDiskSurviveAReleaseOnTheWay) {
    for (const std::string move : {"tab", "next", "previous"}) {
        SCOPED_TRACE(move);
        useDrives("C=" + tmp.at("c") + ";D=" + tmp.at("d"));
        commands =
            std::make_unique<TreeCommands>(*cat, state, settings, *logger, *tabs, prompter, ui);
        tmp.mkdir("d/sub");
        logCAndLoseD();
        tree().Select(tree().Top(0));
        prompter.clear();
        ui.calls.clear();
        prompter.answer(false).answer(true);
        if (move == "tab")
            commands->TabClicked('D');
        else if (move == "next")
            commands->NextDisk();
        else
            commands->PrevDisk();
        EXPECT_EQ(prompter.questions(),
                  (std::vector<std::string>{"Disk not ready!     ", "Release disk D ???"}));
        ASSERT_EQ(tree().TopCount(), 1);
        EXPECT_EQ(tabs->Letters(), "C");
        for (const std::string& call : ui.calls)
            EXPECT_EQ(call.find("D:"), std::string::npos) << call;
    }
}

TEST_F(NodeLifeTest, ReleasingOntoADiskThatIsNotReadyReleasesThatOneToo) {
    // C, D and E; E's directory goes; D is released while in D: the selection
    // moves on to E, which is not ready, and the user releases E as well.
    tmp.mkdir("e/x");
    logger->LogDrive('C');
    logger->LogDrive('E');
    logger->LogDrive('D');
    RemoveTree(tmp.at("e"));
    prompter.clear();
    ui.calls.clear();
    prompter.answer(true).answer(false).answer(true); // release D, Cancel on E, release E
    EXPECT_TRUE(logger->ReleaseDrive('D'));
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Release disk D ???", "Disk not ready!     ",
                                        "Release disk E ???"}));
    ASSERT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
    for (const std::string& call : ui.calls)
        EXPECT_EQ(call.find("scroll:E"), std::string::npos) << call;
}

TEST_F(NodeLifeTest, ADiskReleasedWhileItsReleaseIsAskedIsNotTouchedAgain) {
    tmp.mkdir("d/a");
    logger->LogDrive('C');
    logger->LogDrive('D');
    prompter.clear();
    // While "Release disk D ???" is open, the user releases D another way.
    prompter.whileAsking = [&](const std::string&) {
        settings.SkipReleaseDrvOption = true;
        logger->ReleaseDrive('D');
        settings.SkipReleaseDrvOption = false;
    };
    prompter.answer(true);
    logger->ReleaseDrive('D');
    ASSERT_EQ(tree().TopCount(), 1);
    EXPECT_EQ(tree().Top(0)->Text(), "C:\\");
    EXPECT_EQ(tabs->Letters(), "C");
}

TEST_F(NodeLifeTest, RefreshAllGoesOnWhenEventsCloseTheBranchItStandsIn) {
    for (const char* d : {"d/a/x", "d/a/y", "d/b", "d/c"})
        tmp.mkdir(d);
    logger->LogDrive('D');
    tree().Select(tree().Top(0));
    logger->LogDirBranch();
    tmp.write("d/c/new.txt");
    tmp.write("d/a/x/new.txt");

    // Events run before each directory: D:\, a, x ... While the walk stands
    // on D:\a\x, the user closes D:\a.
    ScriptedProgress progress;
    progress.onEvents = [&] {
        if (progress.pumps == 3)
            logger->UnlogBranch(node("D:\\a\\"));
    };
    logger->RefreshAllDirectories(progress);
    EXPECT_EQ(progress.pumps, 4); // D:\, a, x (gone meanwhile; b follows at once), c
    EXPECT_FALSE(node("D:\\a\\")->Logged());
    EXPECT_EQ(node("D:\\a\\")->Count(), 0);
    // The directories after the closed branch were still read again.
    EXPECT_EQ(files(node("D:\\c\\")), (std::vector<std::string>{"new.txt"}));
}

// Walks that recurse once per level run out of stack on deep trees. Depth is
// relative to the stack: a chain of ten thousand levels on a stack of 512 KB
// stands for what a deeper tree does to the program's own stack.
TEST_F(NodeLifeTest, BranchesDeeperThanTheStackLogUnlogAndGo) {
    // The walk's own depth is what matters here, not reading ahead on other
    // threads (each level of a chain would wait for a thread switch).
    const ScopedEnv noReadAhead("ZENTRIX_READ_THREADS", "0");
    const int depth = 10000;
    makeChain(tmp.at("d"), depth);
    struct ChainRemover {
        std::string top;
        ~ChainRemover() { removeChain(top); }
    } remover{tmp.at("d")};

    runOnSmallStack(512 * 1024, [&] {
        logger->LogDrive('D');
        tree().Select(tree().Top(0));
        logger->LogDirBranch();
        EXPECT_EQ(cat->LoggedDirs().Count(), depth + 1);
        TTreeNode* n = tree().Top(0);
        int levels = 0;
        while (n->Count() > 0) {
            n = n->Item(0);
            ++levels;
        }
        EXPECT_EQ(levels, depth);
        EXPECT_EQ(files(n), (std::vector<std::string>{"bottom.txt"}));
        EXPECT_TRUE(n->Parent()->Expanded());

        int visited = 0;
        TTree::PreOrder(tree().Top(0), [&](TTreeNode*) { return ++visited > 0; });
        EXPECT_EQ(visited, depth + 1);
        EXPECT_EQ(tree().NextInPreOrder(n), nullptr);

        const TNodeRef bottom(n);
        logger->UnlogBranch(tree().Top(0));
        EXPECT_FALSE(bottom);
        EXPECT_EQ(cat->LoggedDirs().Count(), 0);

        tree().Select(tree().Top(0));
        logger->LogDirBranch();
        EXPECT_EQ(cat->LoggedDirs().Count(), depth + 1);
        // The catalogue goes with the whole chain still in it.
        commands.reset();
        logger.reset();
        cat.reset();
    });
}
