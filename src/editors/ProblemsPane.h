#pragma once

#include "check/Problem.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QTreeWidget;

// The pane of the main window that lists what the game would trip over in the mod's tables:
// table, row, column, cell and what is wrong. A double click on a problem opens its cell.
class CProblemsPane : public QWidget {
    Q_OBJECT
public:
    using OpenCell =
        std::function<void(const std::string& fileName, int32_t col, int32_t tableRow)>;

    explicit CProblemsPane(OpenCell open, QWidget* parent = nullptr);

    void SetProblems(const std::vector<CProblem>& problems);
    // The handler of a double click on the listed problem at that index, public for tests.
    void OnOpenProblem(int index);

    QTreeWidget* List() const { return m_pList; }
    QLabel* Caption() const { return m_labelCaption; }

private:
    OpenCell m_open;
    std::vector<CProblem> m_problems;
    QLabel* m_labelCaption = nullptr;
    QTreeWidget* m_pList = nullptr;
};
