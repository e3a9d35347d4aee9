// The memory of a logged disk: nodes, child arrays and directory records lie
// in the disk's arena, keep their addresses while they live, and come back for
// reuse when a branch goes.
#include "cataloguefixture.h"

#include "catalogue/diskarena.h"

#include <cstring>
#include <map>

namespace zentrix::test {
namespace {

TEST(DiskArena, BlocksNeverOverlapAndFreedOnesAreReused) {
    DiskArena arena;
    // Blocks of many sizes, each filled with its own byte: a block handed out
    // twice, or cut wrongly from a larger one, shows as a changed byte.
    std::map<char*, std::pair<size_t, char>> live;
    auto take = [&](size_t bytes, char fill) {
        auto* p = static_cast<char*>(arena.Allocate(bytes));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(void*), 0u);
        std::memset(p, fill, bytes);
        live[p] = {bytes, fill};
    };
    auto intact = [&] {
        for (const auto& [p, info] : live)
            for (size_t i = 0; i < info.first; ++i)
                if (p[i] != info.second)
                    return false;
        return true;
    };
    for (int i = 0; i < 3000; ++i)
        take(1 + size_t(i * 37) % 900, char('a' + i % 26));
    take(3 * DiskArena::kLargeBlock, 'L'); // from the heap
    EXPECT_TRUE(intact());
    const size_t reserved = arena.ReservedBytes();

    // Every other block goes; the same sizes again take no new memory.
    std::vector<std::pair<size_t, char>> gone;
    bool odd = false;
    for (auto it = live.begin(); it != live.end();) {
        if ((odd = !odd)) {
            gone.push_back(it->second);
            arena.Free(it->first, it->second.first);
            it = live.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [bytes, fill] : gone)
        take(bytes, char(fill + 1));
    EXPECT_TRUE(intact());
    EXPECT_EQ(arena.ReservedBytes(), reserved);

    // Smaller blocks are cut from freed larger ones before the arena grows.
    for (auto it = live.begin(); it != live.end();) {
        if (it->second.first > 600) {
            arena.Free(it->first, it->second.first);
            it = live.erase(it);
        } else {
            ++it;
        }
    }
    const size_t before = arena.ReservedBytes();
    for (int i = 0; i < 500; ++i)
        take(40, 'x');
    EXPECT_TRUE(intact());
    EXPECT_EQ(arena.ReservedBytes(), before);

    // With its last block gone the arena holds nothing.
    for (const auto& [p, info] : live)
        arena.Free(p, info.first);
    EXPECT_EQ(arena.LiveBytes(), 0u);
    EXPECT_EQ(arena.ReservedBytes(), 0u);
}

class DiskMemoryTest : public CatalogueTest {
protected:
    void makeTree() {
        for (int a = 0; a < 6; ++a)
            for (int b = 0; b < 5; ++b) {
                const std::string dir =
                    "d/dir" + std::to_string(a) + "/sub" + std::to_string(b) + "/";
                tmp.mkdir(dir + "leaf");
                for (int f = 0; f < 4 + a * b; ++f)
                    tmp.write(dir + "file" + std::to_string(f) + ".txt", "x");
                tmp.write(dir + "leaf/only.dat", "yy");
            }
    }
};

TEST_F(DiskMemoryTest, ABranchLoggedAgainAndAgainReusesItsMemory) {
    makeTree();
    logger->LogDrive('D');
    TTreeNode* root = tree().Top(0);
    logger->LogBranchRecursive(root);
    const int dirs = cat->LoggedDirs().Count();
    const int32_t fileCount = cat->CountFiles(false);
    ASSERT_EQ(dirs, 1 + 6 + 30 + 30);
    DiskArena* arena = root->Arena();
    const size_t reserved = arena->ReservedBytes();
    const size_t liveBytes = arena->LiveBytes();
    EXPECT_GT(liveBytes, 0u);

    for (int round = 0; round < 20; ++round) {
        logger->UnlogBranch(root->Item(round % 6));
        logger->LogBranchRecursive(root->Item(round % 6));
        logger->UnlogBranch(root);
        logger->LogBranchRecursive(root);
        // A directory read again in place, and a subdirectory that comes and goes.
        TTreeNode* sub = logger->FindNodeByPath("D:\\dir2\\sub3\\");
        ASSERT_NE(sub, nullptr);
        tmp.write("d/dir2/sub3/new" + std::to_string(round) + ".txt", "z");
        if (round % 2 == 0)
            tmp.mkdir("d/dir2/sub3/passing");
        else
            tmp.remove("d/dir2/sub3/passing");
        logger->RefreshDir(sub);
        tmp.remove("d/dir2/sub3/new" + std::to_string(round) + ".txt");
        logger->RefreshDir(sub);
    }
    tmp.remove("d/dir2/sub3/passing");
    logger->RefreshDir(logger->FindNodeByPath("D:\\dir2\\sub3\\"));
    EXPECT_EQ(cat->LoggedDirs().Count(), dirs);
    EXPECT_EQ(cat->CountFiles(false), fileCount);
    EXPECT_EQ(root->Arena(), arena);
    EXPECT_EQ(arena->ReservedBytes(), reserved);
    EXPECT_LE(arena->LiveBytes(), liveBytes + 1024);

    // Each record names its own directory, and the files are all there.
    for (const TLoggedClass* d : cat->LoggedDirs()) {
        ASSERT_EQ(d->DirNode()->Data(), d);
        for (const TFileClass* f : d->FileList())
            EXPECT_EQ(f->DirNode(), d->DirNode());
    }
    EXPECT_EQ(files(logger->FindNodeByPath("D:\\dir5\\sub4\\leaf\\")),
              (std::vector<std::string>{"only.dat"}));
    EXPECT_EQ(files(logger->FindNodeByPath("D:\\dir5\\sub4\\")).size(), 24u);
}

TEST_F(DiskMemoryTest, RenamedNodesKeepTheirAddressesAndTheirNames) {
    TTreeNode* top = tree().InsertTopLevel(0, "D:\\");
    TTreeNode* a = tree().AddChild(top, "short");
    TTreeNode* b = tree().AddChild(a, "b");
    const TNodeRef refA(a);

    tree().SetText(a, "a name much longer than the room behind the node");
    EXPECT_EQ(a->Text(), "a name much longer than the room behind the node");
    EXPECT_EQ(b->Path(), "D:\\a name much longer than the room behind the node\\b\\");
    tree().SetText(a, "tiny");
    EXPECT_EQ(a->Text(), "tiny");
    tree().SetText(a, "again a rather long name");
    EXPECT_EQ(top->Item(0), a);
    EXPECT_EQ(b->Path(), "D:\\again a rather long name\\b\\");
    tree().SetText(top, "E:\\");
    EXPECT_EQ(b->Path(), "E:\\again a rather long name\\b\\");
    EXPECT_EQ(b->DriveLetter(), 'E');

    // Many siblings added one by one, sorted, then some deleted: the others
    // keep their places and numbers.
    for (int i = 40; i-- > 0;)
        tree().AddChild(b, "n" + std::to_string(100 + i));
    tree().SortChildren(b);
    ASSERT_EQ(b->Count(), 40);
    EXPECT_EQ(b->Item(0)->Text(), "n100");
    tree().DeleteNode(b->Item(10));
    tree().DeleteNode(b->Item(0));
    ASSERT_EQ(b->Count(), 38);
    for (int i = 0; i < b->Count(); ++i)
        EXPECT_EQ(b->Item(i)->Index(), i);
    EXPECT_EQ(b->Item(0)->Text(), "n101");
    EXPECT_EQ(b->Item(9)->Text(), "n111");

    tree().DeleteNode(a);
    EXPECT_FALSE(refA);
    EXPECT_EQ(top->Count(), 0);
    EXPECT_EQ(top->Arena()->LiveBytes(), 0u);
}

TEST_F(DiskMemoryTest, ARecordMadeInADisksMemoryMayOutliveItsDisk) {
    auto record = std::unique_ptr<TLoggedClass>();
    {
        TTree own;
        TTreeNode* top = own.InsertTopLevel(0, "D:\\");
        TTreeNode* dir = own.AddChild(top, "dir");
        record = TLoggedClass::Make(dir, 3, 12);
        TFileList& list = record->FileList();
        list.Reserve(3, 12);
        for (const char* name : {"one.txt", "two", "xy"})
            list.Add(name, 7, 0, 0, dir);
        // A fourth file is more than was reserved: it goes to a run of its own.
        list.Add("four", 8, 0, 0, dir);
        EXPECT_EQ(record->NumFilesInDir(), 4);
        EXPECT_EQ(record->DirSize(), 29);
        EXPECT_EQ(record->FileList().First()->FileName(), "one.txt");
        // The tree (and the disk) go first; the record's block keeps the
        // arena until the record goes too.
    }
    EXPECT_EQ(record->NumFilesInDir(), 4);
    record.reset();
}

TEST(FileList, AttributeWordsOfEveryWidthReadBackWhole) {
    TTree tree;
    TTreeNode* top = tree.InsertTopLevel(0, "D:\\");
    TTreeNode* dir = tree.AddChild(top, "dir");
    std::unique_ptr<TLoggedClass> record = TLoggedClass::Make(dir, 3, 3);
    tree.SetData(dir, record.get());
    TFileList& list = record->FileList();
    // The record holds the lowest eight bits; the rest of a word (attributes
    // other systems' volumes carry) lives aside and must come back whole.
    TFileClass* plain = list.Add("a", 1, 0x21, 5, dir);
    TFileClass* wide = list.Add("b", 2, 0x2820, 6, dir);
    TFileClass* later = list.Add("c", 3, 0x01, 7, dir);
    EXPECT_EQ(plain->Attributes(), 0x21);
    EXPECT_EQ(wide->Attributes(), 0x2820);
    later->SetAttributes(0x4101);
    EXPECT_EQ(later->Attributes(), 0x4101);
    later->SetAttributes(0x20);
    EXPECT_EQ(later->Attributes(), 0x20);
    EXPECT_EQ(wide->FileSize(), 2);
    EXPECT_EQ(wide->LastWriteTime(), 6);

    // A copy into a list that replaces the directory's takes the whole word.
    TFileList fresh;
    TFileClass* copy = fresh.AdoptCopy(list, wide);
    list.Swap(fresh);
    EXPECT_EQ(copy->Attributes(), 0x2820);
    EXPECT_EQ(copy->FileName(), "b");
    tree.SetData(dir, nullptr);
}

} // namespace
} // namespace zentrix::test
