#include "app/ProblemsCommands.h"

#include "app/AllTablesCommands.h"
#include "app/ModEngineDlg.h"
#include "app/TableGrids.h"
#include "check/ProblemChecker.h"
#include "data/MpqArchive.h"
#include "editors/ProblemsPane.h"
#include "model/TableChanges.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

CProblemsCommands::CProblemsCommands(CModEngineDlg& window) : QObject(&window), m_window(window) {
    m_pPane = new CProblemsPane(
        [this](const std::string& fileName, int32_t col, int32_t tableRow) {
            QWidget* modal = QApplication::activeModalWidget();
            m_window.AllTables().OpenGrid(fileName, col, tableRow, modal ? modal : &m_window);
        },
        &window);
}

CProblemsCommands::~CProblemsCommands() = default;

void CProblemsCommands::Restart() {
    m_heard.clear();
    m_pChecker.reset();
    if (m_window.m_pArchive) {
        std::vector<std::string> fileNames;
        for (const CModTables::Entry& entry : m_window.AllTables().Tables().Entries())
            fileNames.push_back(entry.fileName);
        m_pChecker = std::make_unique<CProblemChecker>(
            fileNames, [this](const std::string& fileName) { return Lookup(fileName); },
            [this](const std::string& fileName) {
                return m_window.AllTables().Tables().Base(fileName);
            });
    }
    TableChanged("");
}

const CTxtTable* CProblemsCommands::Lookup(const std::string& fileName) {
    CTxtTable* table = m_window.AllTables().TableQuietly(fileName);
    if (table == nullptr || !table->IsLoaded())
        return nullptr;
    if (m_heard.insert(table).second) {
        CTableChanges& changes = m_window.Grids().ChangesOf(*table);
        auto changed = [this, fileName] { TableChanged(fileName); };
        connect(&changes, &CTableChanges::tableChanged, this, changed);
        connect(&changes, &CTableChanges::tableReplaced, this, changed);
        connect(&changes, &QObject::destroyed, this, [this, table] { m_heard.erase(table); });
    }
    return table;
}

void CProblemsCommands::TableChanged(const std::string& fileName) {
    if (m_pChecker && !fileName.empty())
        m_pChecker->TableChanged(fileName);
    // Many changes in one go (an Apply, a reload) are checked once, when the program is idle.
    if (m_bRefreshQueued)
        return;
    m_bRefreshQueued = true;
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void CProblemsCommands::Refresh() {
    m_bRefreshQueued = false;
    if (!m_pChecker) {
        m_pPane->SetProblems({});
        return;
    }
    if (m_pChecker->Update())
        m_pPane->SetProblems(m_pChecker->Problems());
}

std::string CProblemsCommands::SaveSentence() {
    Refresh();
    if (!m_pChecker)
        return "";
    const std::vector<CProblem> problems = m_pChecker->Problems();
    const auto found = std::count_if(problems.begin(), problems.end(),
                                     [](const CProblem& problem) { return problem.tableRow >= 0; });
    if (found == 0)
        return "";
    return std::to_string(found) + (found == 1 ? " problem" : " problems") +
           " found (see Problems)";
}
