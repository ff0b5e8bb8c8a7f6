#pragma once

// A monster table, a levels table and the area locations dialog over them, for the editor tests.

#include "editors/CellEdit.h"
#include "editors/FilterList.h"
#include "editors/ModFuncs.h"
#include "editors/MonsterLocationsDlg.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A levels table laid out as the game's: "name" first, the cells and counts after filler
// columns, every slot "0" unless given. `monsters` and `bosses` are slot values (row - 1).
class LevelsTable {
public:
    LevelsTable() {
        m_rows.push_back({"name", "Id", "MonUMin", "MonUMax"});
        for (int i = 1; i <= 25; ++i)
            m_rows[0].push_back("M" + std::to_string(i));
        m_rows[0].push_back("Mtot");
        for (int i = 1; i <= 25; ++i)
            m_rows[0].push_back("U" + std::to_string(i));
        m_rows[0].push_back("Utot");
        m_rows[0].push_back("Waypoint");
    }

    LevelsTable& Add(const std::string& name, const std::vector<int>& monsters = {},
                     const std::vector<int>& bosses = {}, const std::string& minBosses = "1",
                     const std::string& maxBosses = "3") {
        std::vector<std::string> row = {name, std::to_string(m_rows.size()), minBosses, maxBosses};
        for (const auto* cells : {&monsters, &bosses}) {
            for (size_t i = 0; i < 25; ++i)
                row.push_back(i < cells->size() ? std::to_string((*cells)[i]) : "0");
            row.push_back(std::to_string(cells->size()));
        }
        row.push_back("255");
        m_rows.push_back(row);
        return *this;
    }
    void LoadInto(CTxtTable& table) const { LoadRows(table, m_rows); }

private:
    TableRows m_rows;
};

inline std::string LevelsCell(const CTxtTable& table, const std::string& header, int32_t row) {
    return table.GetCell(table.FindColumn(header, 0), row);
}

// The slot values of an area's first `count` monster ("M") or boss ("U") cells.
inline std::vector<std::string> Slots(const CTxtTable& table, const std::string& kind, int32_t row,
                                      int count = 25) {
    std::vector<std::string> cells;
    for (int i = 1; i <= count; ++i)
        cells.push_back(LevelsCell(table, kind + std::to_string(i), row));
    return cells;
}

class MonsterLocationsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // A dialog on the tables, opened as the main window does but without the modal loop.
    std::unique_ptr<CMonsterLocationsDlg> Open(bool expansion = false) {
        auto dlg = std::make_unique<CMonsterLocationsDlg>(prompts);
        dlg->m_pMonTable = &monsters;
        dlg->m_pLvlTable = &levels;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    static QStringList Texts(const QListWidget& list) {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.item(i)->text();
        return texts;
    }

    static QStringList Areas(const CMonsterLocationsDlg& dlg) {
        QStringList texts;
        for (int i = 0; i < dlg.AreaBox()->count(); ++i)
            texts << dlg.AreaBox()->itemText(i);
        return texts;
    }

    // Makes the `occurrence`-th entry named `name` of a list current, as a click does.
    static void Pick(QListWidget& list, const QString& name, int occurrence = 0) {
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i)->text() == name && occurrence-- == 0) {
                list.setCurrentRow(i);
                return;
            }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }

    static void Type(QLineEdit& edit, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&edit, &press);
        }
    }

    CScriptedPrompts prompts;
    CTxtTable monsters;
    CTxtTable levels;
    CModFuncs funcs;
};
