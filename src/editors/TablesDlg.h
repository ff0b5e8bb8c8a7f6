#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The Tables window: every table of the opened mod, where it comes from and how far it differs
// from the game's own copy. A double click (or Open) opens a table in its grid; Find in All
// Tables... and Changes... open those windows.
class CTablesDlg : public QDialog {
    Q_OBJECT
public:
    struct Line {
        std::string fileName;
        std::string origin;  // "this archive", "a game archive"
        std::string differs; // "12 cells, 1 row added", "none", ...
    };
    struct Commands {
        // The lines, read afresh each time the window is refreshed.
        std::function<std::vector<Line>()> lines;
        std::function<void(const std::string& fileName)> open;
        std::function<void()> findInAll;
        std::function<void()> changes;
    };

    CTablesDlg(Commands commands, QWidget* parent = nullptr);

    // Reads the lines again, keeping the selected table selected.
    void Refresh();
    // Opens the selected table's grid; the window is refreshed when the grid closes.
    void OnOpen();

    QTreeWidget* List() const { return m_pList; }
    // Selects the table of that file name; false when it is not listed.
    bool Select(const std::string& fileName);

private:
    Commands m_commands;
    QTreeWidget* m_pList = nullptr;
    QLabel* m_labelCount = nullptr;
};
