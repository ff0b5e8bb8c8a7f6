#pragma once

#include <QString>
#include <QUndoCommand>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTableChanges;
class CTxtTable;

// The cells one user action changed (an edit, a pasted block, a fill, a dialog's Apply), as one
// undo step. It holds the table itself and, optionally, the table's change signal: no grid needs
// to be open, and every grid open when it is undone or redone hears of it (see CTableChanges).
// The table and the change signal must outlive the command (they live as long as the opened mod,
// as does its undo stack).
class CCellsCommand : public QUndoCommand {
public:
    struct Cell {
        int32_t col = 0;
        int32_t tableRow = 0;
        std::string oldText;
        std::string newText;
    };

    // `cells` hold texts a cell can take (no tab, CR or LF). The first redo() writes them.
    CCellsCommand(CTxtTable& table, CTableChanges* changes, std::vector<Cell> cells,
                  const QString& text, QUndoCommand* parent = nullptr);

    // A command for cells already changed: every cell of `table` that differs from `before`
    // (compared over the rows and columns both have), with `table`'s texts as the new ones.
    // Its first redo() only announces the change, since the cells hold the new texts already;
    // so pushing it after a dialog's Apply makes the Apply one undo step. Null when nothing
    // differs.
    static std::unique_ptr<CCellsCommand> FromDifference(CTxtTable& table, CTableChanges* changes,
                                                         const CTxtTable& before,
                                                         const QString& text,
                                                         QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;

    const std::vector<Cell>& Cells() const { return m_cells; }

private:
    void Write(bool newTexts);
    void Announce() const;

    CTxtTable& m_table;
    CTableChanges* m_pChanges;
    std::vector<Cell> m_cells;
    bool m_bApplied = false; // the cells hold the new texts
};
