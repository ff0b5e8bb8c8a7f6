#pragma once

#include <QObject>

#include <memory>
#include <set>
#include <string>

class CModEngineDlg;
class CProblemChecker;
class CProblemsPane;
class CTxtTable;

// Keeps the Problems pane of the main window current: the rules run over the opened mod's
// tables, and again, through the event loop, for the tables each change touched.
class CProblemsCommands : public QObject {
    Q_OBJECT
public:
    explicit CProblemsCommands(CModEngineDlg& window);
    ~CProblemsCommands() override;

    CProblemsPane& Pane() const { return *m_pPane; }
    // Another mod is open: every rule runs over its tables.
    void Restart();
    // Checks what is stale now and shows it.
    void Refresh();
    // The notes' sentence of a save, "3 problems found (see Problems)"; empty when there are none.
    std::string SaveSentence();

private:
    // The mod's table, heard from its first look-up on: each change makes its rules stale.
    const CTxtTable* Lookup(const std::string& fileName);
    void TableChanged(const std::string& fileName);

    CModEngineDlg& m_window;
    CProblemsPane* m_pPane = nullptr;
    std::unique_ptr<CProblemChecker> m_pChecker;
    std::set<const CTxtTable*> m_heard;
    bool m_bRefreshQueued = false;
};
