// The area locations dialog on tables the size of the game's (a monster table of 735 rows and a
// levels table of 150 areas x 140 columns), offscreen:
//  - opening: construct, fill the lists, load the first area, run modally, paint once, close;
//  - an area change: load another area and let the dialog repaint;
//  - one Add of a monster already used elsewhere (the matching Remove is not timed).
#include "editors/FilterList.h"
#include "editors/ModFuncs.h"
#include "editors/MonsterLocationsDlg.h"
#include "table/TxtTable.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTimer>

#include "SilentPrompts.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kMonsters = 735;
constexpr int kMonsterColumns = 255;
constexpr int kAreas = 150;
constexpr int kLevelColumns = 140;
// Where the game's levels table keeps its columns.
constexpr int kMinBosses = 35;
constexpr int kFirstMonster = 40;
constexpr int kFirstBoss = 66;

std::string Row(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t col = 0; col < cells.size(); ++col)
        line += (col ? "\t" : "") + cells[col];
    return line + "\r\n";
}

CTxtTable Load(const std::string& bytes) {
    CTxtTable table;
    if (!table.LoadFromBytes(bytes))
        std::fprintf(stderr, "cannot load a generated table\n");
    return table;
}

const CTxtTable& MonsterTable() {
    static const CTxtTable table = [] {
        std::vector<std::string> headers(kMonsterColumns);
        for (int col = 0; col < kMonsterColumns; ++col)
            headers[static_cast<size_t>(col)] = "column" + std::to_string(col);
        headers[0] = "Class";
        headers[1] = "namco";
        headers[12] = "Spawned";
        std::string bytes = Row(headers);
        for (int row = 1; row <= kMonsters; ++row) {
            std::vector<std::string> cells(kMonsterColumns, "7");
            cells[0] = "class" + std::to_string(row);
            // Names in no particular order, so that the list has sorting to do.
            cells[1] = "Monster " + std::to_string((row * 7919) % 1000);
            if (row == 411)
                cells[0] = cells[1] = "Expansion";
            else if (row % 50 == 0)
                cells[0] = "unused";
            bytes += Row(cells);
        }
        return Load(bytes);
    }();
    return table;
}

// Every area holds 12 monster types and 4 boss types; an "Expansion" row two thirds down.
const CTxtTable& LevelsTable() {
    static const CTxtTable table = [] {
        std::vector<std::string> headers(kLevelColumns);
        for (int col = 0; col < kLevelColumns; ++col)
            headers[static_cast<size_t>(col)] = "column" + std::to_string(col);
        headers[0] = "name";
        headers[kMinBosses] = "MonUMin";
        headers[kMinBosses + 1] = "MonUMax";
        for (int i = 0; i < 25; ++i) {
            headers[static_cast<size_t>(kFirstMonster + i)] = "M" + std::to_string(i + 1);
            headers[static_cast<size_t>(kFirstBoss + i)] = "U" + std::to_string(i + 1);
        }
        headers[kFirstMonster + 25] = "Mtot";
        headers[kFirstBoss + 25] = "Utot";
        std::string bytes = Row(headers);
        for (int area = 1; area <= kAreas; ++area) {
            std::vector<std::string> cells(kLevelColumns, "1");
            cells[0] = area == 100 ? "Expansion" : "Area " + std::to_string(area);
            for (int i = 0; i < 25; ++i) {
                cells[static_cast<size_t>(kFirstMonster + i)] =
                    i < 12 ? std::to_string((area * 37 + i * 53) % 700) : "0";
                cells[static_cast<size_t>(kFirstBoss + i)] =
                    i < 4 ? std::to_string((area * 41 + i * 59) % 700) : "0";
            }
            cells[kFirstMonster + 25] = "12";
            cells[kFirstBoss + 25] = "4";
            bytes += Row(cells);
        }
        return Load(bytes);
    }();
    return table;
}

struct Tables {
    CTxtTable monsters = MonsterTable();
    CTxtTable levels = LevelsTable();
    CModFuncs funcs;
    CSilentPrompts prompts;

    void Fill(CMonsterLocationsDlg& dlg) {
        dlg.m_pMonTable = &monsters;
        dlg.m_pLvlTable = &levels;
        dlg.m_pFuncs = &funcs;
        dlg.m_bExpansion = true;
    }
};

void BM_OpenLocations(benchmark::State& state) {
    Tables tables;
    for (auto _ : state) {
        CMonsterLocationsDlg dlg(tables.prompts);
        tables.Fill(dlg);
        QTimer::singleShot(0, &dlg, [&dlg] {
            dlg.repaint();
            dlg.reject();
        });
        benchmark::DoNotOptimize(dlg.exec());
    }
    CMonsterLocationsDlg dlg(tables.prompts);
    tables.Fill(dlg);
    dlg.OnInitDialog();
    state.counters["areas"] = dlg.AreaBox()->count();
    state.counters["listed"] = dlg.MonsterList()->List()->count();
    state.counters["messages"] = tables.prompts.messages;
}

void BM_AreaChange(benchmark::State& state) {
    Tables tables;
    CMonsterLocationsDlg dlg(tables.prompts);
    tables.Fill(dlg);
    dlg.OnInitDialog();
    dlg.show();
    QApplication::processEvents();
    const int count = dlg.AreaBox()->count();
    int next = 0;
    for (auto _ : state) {
        next = (next + 37) % count;
        dlg.AreaBox()->setCurrentIndex(next);
        QApplication::processEvents();
    }
}

void BM_AddMonster(benchmark::State& state) {
    Tables tables;
    CMonsterLocationsDlg dlg(tables.prompts);
    tables.Fill(dlg);
    dlg.OnInitDialog();
    dlg.show();
    // A monster the first area already holds: no first-use warning.
    for (int i = 0; i < 12; ++i)
        if (dlg.MonsterList()->SelectRow((37 + i * 53) % 700 + 1))
            break;
    QApplication::processEvents();
    for (auto _ : state) {
        dlg.OnAddMonster();
        QApplication::processEvents();
        state.PauseTiming();
        // The entry just added follows the others of its name.
        for (int i = 0; i < dlg.AreaMonsters()->count(); ++i)
            if (dlg.AreaMonsters()->item(i)->text() == dlg.MonsterList()->CurrentName())
                dlg.AreaMonsters()->setCurrentRow(i);
        dlg.OnRemoveMonster();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["messages"] = tables.prompts.messages;
}

BENCHMARK(BM_OpenLocations)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_AreaChange)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_AddMonster)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
