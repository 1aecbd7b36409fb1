// The check-box grid: its five states, the toggle rule, and the mouse and the space key as the user
// uses them.
#include "TControlStringgrid.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using State = TControlStringgrid::State;

class ControlStringgrid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.resize(400, 200);
        grid.setColCount(4);
        grid.setRowCount(4);
        grid.setFixedRows(2);
        grid.OnToggle = [this](TControlStringgrid&, int col, int row) {
            toggled.append({col, row});
        };
    }
    QPoint centreOf(int col, int row) { return grid.visualRect(grid.model()->index(row, col)).center(); }

    TControlStringgrid grid;
    QList<QPair<int, int>> toggled;
};

struct Transition {
    int before;
    int after;
    bool notified;
};

class ToggleRule : public ::testing::TestWithParam<Transition> {};

} // namespace

// Ticked (normal or grayed) becomes unticked and normal; anything else becomes ticked.
TEST_P(ToggleRule, ToggleGivesTheNextStateAndReportsOnlyAChange) {
    TControlStringgrid grid;
    grid.setColCount(3);
    grid.setRowCount(3);
    int calls = 0;
    grid.OnToggle = [&calls](TControlStringgrid&, int, int) {
        ++calls;
    };
    grid.setState(2, 2, GetParam().before);
    grid.Toggle(2, 2);
    EXPECT_EQ(grid.state(2, 2), GetParam().after);
    EXPECT_EQ(calls, GetParam().notified ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(States, ToggleRule,
                         ::testing::Values(Transition{State::Ticked, State::Unticked, true},
                                           Transition{State::TickedGrayed, State::Unticked, true},
                                           Transition{State::Unticked, State::Ticked, true},
                                           Transition{State::UntickedGrayed, State::Ticked, true},
                                           Transition{State::NoBox, State::Ticked, true}));

TEST_F(ControlStringgrid, CheckedGrayedAndBoxOperations) {
    grid.SetCheckBox(2, 2, true);
    EXPECT_EQ(grid.state(2, 2), State::Unticked);
    EXPECT_TRUE(grid.HasCheckBox(2, 2));
    grid.SetChecked(2, 2, true);
    grid.SetGrayed(2, 2, false);
    EXPECT_EQ(grid.state(2, 2), State::TickedGrayed);
    EXPECT_FALSE(grid.IsChecked(2, 2)) << "a grayed tick does not count";
    grid.SetGrayed(2, 2, true);
    EXPECT_EQ(grid.state(2, 2), State::Ticked);
    grid.SetChecked(2, 2, false);
    grid.SetGrayed(2, 2, false);
    EXPECT_EQ(grid.state(2, 2), State::UntickedGrayed);
    grid.SetCheckBox(2, 2, false);
    grid.SetGrayed(2, 2, false);
    EXPECT_EQ(grid.state(2, 2), State::NoBox) << "a cell without a box stays without one";
    EXPECT_FALSE(grid.HasCheckBox(2, 2));
}

// A click on a box cell toggles it; a click on a text cell or a fixed row does nothing; the space
// key toggles the current box cell.
TEST_F(ControlStringgrid, MouseAndSpaceToggleOnlyBoxCells) {
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.SetCheckBox(2, 2, true);
    grid.SetCheckBox(3, 1, true); // in a fixed row
    grid.setCell(1, 2, "Поверки");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(2, 2));
    EXPECT_EQ(grid.state(2, 2), State::Ticked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(1, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(3, 1));
    EXPECT_EQ(grid.state(3, 1), State::Unticked);
    EXPECT_EQ(toggled, (QList<QPair<int, int>>{{2, 2}}));
    grid.setCurrentCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.state(2, 2), State::Unticked);
    grid.setCurrentCell(2, 3);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.state(3, 2), State::NoBox);
    EXPECT_EQ(toggled.size(), 2);
}

// With AutoSize the box columns fill the width the name column leaves.
TEST_F(ControlStringgrid, AutoSizeFillsTheWidth) {
    grid.AutoSize = true;
    grid.setColumnWidth(1, 150);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.layoutColumns();
    EXPECT_EQ(grid.columnWidth(1), 150);
    EXPECT_EQ(grid.columnWidth(1) + grid.columnWidth(2) + grid.columnWidth(3), grid.viewport()->width());
}
