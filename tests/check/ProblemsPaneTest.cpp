#include "editors/ProblemsPane.h"

#include "QtTestApp.h"

#include <QLabel>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// The pane lists each problem by table, row, column, cell and sentence, counts the problems at
// cells in its caption, and opens a problem's cell on a double click; a rule that could not run
// is one line that opens nothing.
TEST(ProblemsPaneTest, ListsCountsAndOpensProblems) {
    EnsureQApplication();
    std::vector<std::tuple<std::string, int32_t, int32_t>> opened;
    CProblemsPane pane([&](const std::string& fileName, int32_t col, int32_t tableRow) {
        opened.emplace_back(fileName, col, tableRow);
    });
    EXPECT_EQ(pane.Caption()->text(), "&Problems: none");
    pane.SetProblems({{"Levels.txt", 2, 7, "Blood Moor", "mon4", "zombie9",
                       "no monster has the Id \"zombie9\"."},
                      {"Misc.txt", -1, -1, "", "", "",
                       "The mod has no Misc.txt, so the unique items are not checked."}});
    EXPECT_EQ(pane.Caption()->text(), "&Problems: 1");
    ASSERT_EQ(pane.List()->topLevelItemCount(), 2);
    QStringList first;
    for (int col = 0; col < 5; ++col)
        first << pane.List()->topLevelItem(0)->text(col);
    EXPECT_EQ(first, (QStringList{"Levels.txt", "Blood Moor", "mon4", "zombie9",
                                  "no monster has the Id \"zombie9\"."}));
    EXPECT_EQ(pane.List()->topLevelItem(1)->text(4),
              "The mod has no Misc.txt, so the unique items are not checked.");
    pane.OnOpenProblem(1);
    pane.OnOpenProblem(0);
    EXPECT_EQ(opened,
              (std::vector<std::tuple<std::string, int32_t, int32_t>>{{"Levels.txt", 7, 2}}));
}

} // namespace
