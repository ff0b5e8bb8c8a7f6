#pragma once

// A monster table and the monster editor over it, for the editor tests.

#include "editors/ModFuncs.h"
#include "editors/MonsterEditorDlg.h"
#include "platform/ProfileFile.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

// Every edit of the dialog as a user reads it, top to bottom, with the column it edits. Spelled
// out here rather than taken from the program, so that a wrong binding shows.
inline const std::vector<std::pair<std::string, std::string>>& FieldColumns() {
    static const std::vector<std::pair<std::string, std::string>> fields = [] {
        std::vector<std::pair<std::string, std::string>> list = {
            {"Spawned", "Spawned"},
            {"Blocking %", "ToBlock"},
            {"Minimum", "MinGrp"},
            {"Maximum", "MaxGrp"},
        };
        const std::pair<std::string, std::string> grid[] = {
            {"Experience Value", "Exp"},       {"Defense rating", "AC"},
            {"Base min health", "MinHP"},      {"Base max health", "MaxHP"},
            {"To hit Attack 1", "A1ToHit"},    {"Min Damage attack 1", "A1MinD"},
            {"Max Damage attack 1", "A1MaxD"}, {"To hit Attack 2", "A2ToHit"},
            {"Min Damage attack 2", "A2MinD"}, {"Max Damage attack 2", "A2MaxD"},
            {"Resist damage", "DamageResist"}, {"Resist magic", "MagicResist"},
            {"Resist fire", "FireResist"},     {"Resist lightning", "LightResist"},
            {"Resist cold", "ColdResist"},     {"Resist poison", "PoisonResist"},
        };
        for (const auto& [caption, header] : grid) {
            list.push_back({caption + " (Normal)", header});
            list.push_back({caption + " (Nightmare)", header + "(N)"});
            list.push_back({caption + " (Hell)", header + "(H)"});
        }
        return list;
    }();
    return fields;
}

// A monster table with "Class" and "namco" first and the statistics after a filler column in
// reverse order; every statistic cell holds a number unique to its row and column.
class MonsterTable {
public:
    MonsterTable() {
        m_rows.push_back({"Class", "namco", "Level"});
        for (auto it = FieldColumns().rbegin(); it != FieldColumns().rend(); ++it)
            m_rows[0].push_back(it->second);
    }

    MonsterTable& Add(const std::string& monsterClass, const std::string& name) {
        const size_t row = m_rows.size();
        m_rows.push_back({monsterClass, name, "lvl"});
        for (size_t col = 3; col < m_rows[0].size(); ++col)
            m_rows.back().push_back(std::to_string(row * 1000 + col));
        return *this;
    }
    // Changes one cell of the last row added.
    MonsterTable& Set(const std::string& header, const std::string& text) {
        for (size_t col = 0; col < m_rows[0].size(); ++col)
            if (m_rows[0][col] == header)
                m_rows.back()[col] = text;
        return *this;
    }
    void LoadInto(CTxtTable& table) const { LoadRows(table, m_rows); }

private:
    TableRows m_rows;
};

inline std::string Cell(const CTxtTable& table, const std::string& header, int32_t row) {
    return table.GetCell(table.FindColumn(header, 0), row);
}

class MonsterEditorTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // A dialog on `table`, opened as the main window does but without the modal loop.
    std::unique_ptr<CMonsterEditorDlg> Open(bool expansion = false) {
        auto dlg = std::make_unique<CMonsterEditorDlg>(prompts);
        dlg->m_pMonTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    static QLineEdit* Edit(CMonsterEditorDlg& dlg, const std::string& name) {
        for (QLineEdit* edit : dlg.findChildren<QLineEdit*>())
            if (edit->accessibleName() == QString::fromStdString(name))
                return edit;
        ADD_FAILURE() << "no edit named " << name;
        static QLineEdit none;
        return &none;
    }

    static QPushButton* Button(CMonsterEditorDlg& dlg, const QString& caption) {
        for (QPushButton* button : dlg.findChildren<QPushButton*>())
            if (button->text() == caption)
                return button;
        ADD_FAILURE() << "no button " << caption.toStdString();
        static QPushButton none;
        return &none;
    }

    static QStringList Listed(CMonsterEditorDlg& dlg) {
        QStringList names;
        for (int i = 0; i < dlg.MonsterList()->count(); ++i)
            names << dlg.MonsterList()->item(i)->text();
        return names;
    }

    static void Select(CMonsterEditorDlg& dlg, const QString& name, int occurrence = 0) {
        for (int i = 0; i < dlg.MonsterList()->count(); ++i)
            if (dlg.MonsterList()->item(i)->text() == name && occurrence-- == 0) {
                dlg.MonsterList()->setCurrentRow(i);
                return;
            }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }

    // Expects every edit to show the cells of `row`.
    void ExpectShows(CMonsterEditorDlg& dlg, int32_t row) {
        for (const auto& [name, header] : FieldColumns())
            EXPECT_EQ(Edit(dlg, name)->text().toLatin1().toStdString(), Cell(table, header, row))
                << name;
    }

    CScriptedPrompts prompts;
    CTxtTable table;
    CModFuncs funcs;
};
