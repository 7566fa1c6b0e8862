// The document's edits: each one undo step, undone and redone exactly.
#include "studio/StudioDocument.h"

#include <gtest/gtest.h>

#include <functional>

namespace fenra::studio {
namespace {

MapList threeMaps()
{
    return {{AffineMap{{0.5, 0, 0, 0, 0.5, 0}}, 1},
            {AffineMap{{0.5, 0, 0.5, 0, 0.5, 0}}, 1},
            {AffineMap{{0.5, 0, 0.25, 0, 0.5, 0.5}}, 2}};
}

TEST(StudioDocument, EveryEditIsOneStepThatUndoesAndRedoesExactly)
{
    StudioDocument document;
    document.reset(threeMaps());
    using Edit = std::function<void(StudioDocument&)>;
    const std::vector<std::pair<const char*, Edit>> edits{
        {"move", [](StudioDocument& d) { d.moveSelected(0.01, -0.02); }},
        {"delete",
         [](StudioDocument& d) {
             d.select(1);
             d.removeSelected();
         }},
        {"duplicate", [](StudioDocument& d) { d.duplicateSelected(); }},
        {"add", [](StudioDocument& d) { d.addSmallMap(); }},
        {"drag of many moves",
         [](StudioDocument& d) {
             StudioMap m = d.maps()[0];
             for (int step = 1; step <= 5; ++step) {
                 m.map.c[0] += 0.01;
                 d.preview(0, m);
             }
             d.endPreview("drag");
         }},
        {"edit of a value",
         [](StudioDocument& d) {
             MapList m = d.maps();
             m[1].weight = 3;
             d.edit("weight", m, 1);
         }},
    };
    std::vector<MapList> states{document.maps()};
    std::vector<int> selections{document.selected()};
    for (const auto& [what, edit] : edits) {
        edit(document);
        EXPECT_EQ(document.undoStack().count(), int(states.size())) << what << " is one step";
        EXPECT_NE(document.maps(), states.back()) << what;
        states.push_back(document.maps());
        selections.push_back(document.selected());
    }
    for (std::size_t k = states.size() - 1; k-- > 0;) {
        document.undoStack().undo();
        EXPECT_EQ(document.maps(), states[k]) << "undo to state " << k;
        EXPECT_EQ(document.shownFlags().size(), document.maps().size());
    }
    EXPECT_TRUE(document.undoStack().isClean());
    for (std::size_t k = 1; k < states.size(); ++k) {
        document.undoStack().redo();
        EXPECT_EQ(document.maps(), states[k]) << "redo to state " << k;
        EXPECT_EQ(document.selected(), selections[k]) << "redo to state " << k;
    }
}

TEST(StudioDocument, ShownIsViewStateThatFollowsItsMapAndIsNeverAStep)
{
    StudioDocument document;
    document.reset(threeMaps());
    document.setShown(2, false);
    EXPECT_EQ(document.undoStack().count(), 0);
    document.select(1);
    document.removeSelected();
    EXPECT_EQ(document.shownFlags(), std::vector<bool>({true, false}));   // map 3 is now second
    document.moveSelected(1, 0);
    document.undoStack().undo();
    document.undoStack().undo();
    EXPECT_EQ(document.shownFlags(), std::vector<bool>({true, true, false}));
    // A drag that comes back where it began is no step at all.
    StudioMap m = document.maps()[0];
    const StudioMap start = m;
    m.map.c[2] = 5;
    document.preview(0, m);
    document.preview(0, start);
    document.endPreview("drag");
    EXPECT_EQ(document.undoStack().index(), 0);
}

}   // namespace
}   // namespace fenra::studio
