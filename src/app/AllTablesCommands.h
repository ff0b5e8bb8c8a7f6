#pragma once

#include "data/ArchiveReadStore.h"
#include "data/ModTables.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CModEngineDlg;
class CTxtTable;
class QDialog;
class QWidget;

// The commands on every table of the opened mod: the Tables window, Find in All Tables, the
// changes against the game's own tables, and the grids they open. The tables are found when one
// of them is first needed, and forgotten when another archive opens.
class CAllTablesCommands : public QObject {
    Q_OBJECT
public:
    explicit CAllTablesCommands(CModEngineDlg& window);

    // The tables, found when first asked for: in the stores given by UseStores, else in the
    // opened archive and the game's archives in the game folder.
    CModTables& Tables();
    // Another archive is open, or other tables were loaded: every table beyond the nine is
    // forgotten and the tables are found anew when next needed.
    void Forget();
    // The mod's store and the game's, for a mod that is no archive; they must outlive the tables
    // (until the next Forget).
    void UseStores(const CModStore* mod, std::vector<const CModStore*> game);

    std::unique_ptr<QDialog> MakeTablesDialog(QWidget* parent);
    std::unique_ptr<QDialog> MakeFindDialog(QWidget* parent);
    std::unique_ptr<QDialog> MakeChangesDialog(QWidget* parent);
    // The table of that file name (any case), read now if it was not yet; null, with no message,
    // when the mod has none or it cannot be read. The problem rules read the tables so.
    CTxtTable* TableQuietly(const std::string& fileName);
    // Runs the grid of a table with the cell selected (the whole row for a negative column).
    void OpenGrid(const std::string& fileName, int32_t col, int32_t tableRow, QWidget* parent);

    // File > Save into `archivePath`: the tables beyond the nine that changed, and every table of
    // the opened archive when the save goes into another (Save As), so that none is left behind.
    std::vector<std::pair<std::string, const CTxtTable*>>
    TablesToSave(const std::string& archivePath);
    // After a save into `archivePath`: its tables are this archive's from now on.
    void Saved(const std::string& archivePath);
    // The notes' sentence on how far the mod differs from the game's tables.
    std::string ChangesSummary();

private:
    // The entry's table, read now if it was not yet; null when it cannot be, after a message
    // unless `quiet`.
    CTxtTable* Open(CModTables::Entry& entry, bool quiet = false);
    // Reads every table (the archive's own only, or all): a find or the changes look at them.
    void OpenAll(bool thisArchiveOnly);

    CModEngineDlg& m_window;
    // The stores the tables were found in: the opened archive and the game's, or those given.
    std::unique_ptr<CArchiveReadStore> m_pArchiveStore;
    std::vector<std::unique_ptr<CModStore>> m_gameStores;
    const CModStore* m_pGivenMod = nullptr;
    std::vector<const CModStore*> m_givenGame;
    CModTables m_tables;
};
