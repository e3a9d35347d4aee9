// The tree's rows against the catalogue: after any change of the tree, the
// model lists exactly the nodes whose ancestors are open, in display order,
// and tells views of it in signals a view can follow.
#include "catalogue/noderef.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "gui/tree/cataloguetreemodel.h"
#include "guitestapp.h"
#include "shownrows.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>

#include <random>
#include <string>
#include <vector>

using namespace zentrix;

namespace {

std::vector<TTreeNode*> allNodes(TTree& tree) {
    std::vector<TTreeNode*> out;
    for (int i = 0; i < tree.TopCount(); ++i)
        TTree::PreOrder(tree.Top(i), [&](TTreeNode* n) {
            out.push_back(n);
            return true;
        });
    return out;
}

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << text;
}

} // namespace

TEST(TreeRows, FollowTheCatalogueThroughAddsRemovalsSortsOpensClosesAndBatches) {
    test::GuiApp();
    TTree tree;
    CatalogueTreeModel model(tree);
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    // Qt's own checker of what a model tells its views (row counts before and
    // after each insert and removal, indexes, parents).
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);

    std::mt19937 random(20261210);
    auto pick = [&](int n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    auto name = [&] {
        return std::string(1, static_cast<char>('a' + pick(6))) + std::to_string(pick(50));
    };
    tree.InsertTopLevel(0, "D:");

    // One row the user is on, held as views hold theirs.
    QPersistentModelIndex held;
    TNodeRef heldNode;
    bool heldValid = false;

    for (int step = 0; step < 4000; ++step) {
        std::vector<TTreeNode*> nodes = allNodes(tree);
        TTreeNode* n = nodes[static_cast<size_t>(pick(static_cast<int>(nodes.size())))];
        bool reset = false;
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            tree.AddChild(n, name());
            break;
        case 3:
            tree.SortChildren(pick(4) == 0 ? nullptr : n);
            break;
        case 4:
            if (n->Parent() || tree.TopCount() > 1)
                tree.DeleteNode(n);
            break;
        case 5:
            if (pick(3) == 0)
                tree.DeleteChildren(n);
            break;
        case 6:
        case 7:
            tree.SetExpanded(n, pick(3) != 0);
            break;
        case 8:
            if (pick(4) == 0) {
                tree.ExpandAll(n);
                reset = true;
            } else {
                tree.InsertTopLevel(pick(tree.TopCount() + 1), name() + ":");
            }
            break;
        default:
            // A batch: views hear of it once, at its end.
            tree.BeginUpdate();
            for (int i = 0; i < 5; ++i)
                tree.AddChild(n, name());
            tree.SortChildren(n);
            tree.SetExpanded(n, true);
            tree.EndUpdate();
            reset = true;
            break;
        }

        const std::vector<const TTreeNode*> expected = test::ShownRows(tree);
        ASSERT_EQ(model.rowCount(), static_cast<int>(expected.size())) << "step " << step;
        for (int row = 0; row < model.rowCount(); ++row) {
            ASSERT_EQ(CatalogueTreeModel::nodeOf(model.index(row, 0)),
                      expected[static_cast<size_t>(row)])
                << "step " << step << " row " << row;
            ASSERT_EQ(model.indexOf(expected[static_cast<size_t>(row)]).row(), row)
                << "step " << step;
        }
        // A node under a closed one has no row.
        for (TTreeNode* node : allNodes(tree)) {
            if (node->Parent() && !node->Parent()->Expanded()) {
                ASSERT_FALSE(model.indexOf(node).isValid()) << "step " << step;
            }
        }

        // The held row moves with its node through inserts, removals and
        // sorts; it goes when its node goes or is hidden, and with a batch.
        if (heldValid && !reset) {
            if (heldNode && model.indexOf(heldNode.get()).isValid()) {
                ASSERT_TRUE(held.isValid()) << "step " << step;
                ASSERT_EQ(CatalogueTreeModel::nodeOf(held), heldNode.get()) << "step " << step;
            } else {
                ASSERT_FALSE(held.isValid()) << "step " << step;
            }
        }
        if (!held.isValid() || reset || pick(20) == 0) {
            const int row = pick(model.rowCount());
            held = model.index(row, 0);
            heldNode = TNodeRef(CatalogueTreeModel::nodeOf(held));
            heldValid = true;
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join('\n').toStdString();
}
