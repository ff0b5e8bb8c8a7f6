// The armour and weapon editors on tables the size of the game's (Armor 203 rows x 164 columns,
// Weapons 307 x 166), offscreen, with an inventory picture for every item, taken from (the
// benchmark's argument):
//  0. the working folder: a PCX in the overrides folder for two items in three, a JPEG in the
//     images folder for the third;
//  1. the game's archives, as most pictures are: the opened Patch_D2.mpq (spelled as the file
//     chooser gives it) and the game folder's Patch_D2.mpq, d2exp.mpq and d2data.mpq, each of
//     10,250 files with a list of names, the pictures in the last two;
//  2. the same archives without a list of names, as the game's own are.
// Measured:
//  - opening: construct, fill the list, show the first item with its picture, run modally,
//    paint once and close;
//  - a selection change: show another item, decode its picture and let the dialog repaint.
// Targets: opening under 50 ms, a selection change under 5 ms (medians).
#include "editors/ArmourDlg.h"
#include "editors/ItemPictureFrame.h"
#include "editors/ModFuncs.h"
#include "editors/WeaponDlg.h"
#include "graphics/BuiltinPalette.h"
#include "graphics/Dc6Converter.h"
#include "table/TxtTable.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QTimer>

#include "LargeArchive.h"
#include "MedianReporter.h"
#include "SilentPrompts.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <type_traits>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Shape {
    int rows;
    int columns;
};
constexpr Shape kArmour = {203, 164};
constexpr Shape kWeapons = {307, 166};

// A working folder with the pictures of every item; removed at exit.
const fs::path& PictureFolder() {
    static const fs::path folder = [] {
        fs::path path =
            fs::temp_directory_path() / ("tarvane-item-bench-" + std::to_string(::getpid()));
        fs::create_directories(path / "overrides");
        fs::create_directories(path / "images");
        CIndexedImage image;
        image.width = 56;
        image.height = 84;
        for (int i = 0; i < image.width * image.height; ++i)
            image.pixels.push_back(static_cast<uint8_t>(i * 7 % 255));
        CDc6Converter converter;
        converter.SetPalette(kBuiltinPalette);
        std::string pcx;
        converter.BuildPcx(image, pcx);
        QImage jpeg(56, 84, QImage::Format_RGB32);
        jpeg.fill(qRgb(120, 80, 40));
        for (int row = 1; row <= kWeapons.rows; ++row) {
            const std::string name = "inv" + std::to_string(row);
            if (row % 3 == 0) {
                jpeg.save(QString::fromStdString((path / "images" / (name + ".jpg")).string()),
                          "JPG");
            } else {
                FILE* file = std::fopen((path / "overrides" / (name + ".pcx")).c_str(), "wb");
                std::fwrite(pcx.data(), 1, pcx.size(), file);
                std::fclose(file);
            }
        }
        std::atexit([] { fs::remove_all(PictureFolder()); });
        return path;
    }();
    return folder;
}

enum class PictureSource { WorkingFolder, ListedArchives, UnlistedArchives };

// A game folder of archives holding a DC6 picture of every item; removed at exit.
std::string GameFolder(bench::Names names) {
    static std::string roots[2];
    std::string& root = roots[static_cast<int>(names)];
    if (!root.empty())
        return root;
    root = bench::MakeTempFolder();
    CIndexedImage image;
    image.width = 56;
    image.height = 84;
    for (int i = 0; i < image.width * image.height; ++i)
        image.pixels.push_back(static_cast<uint8_t>(1 + i * 7 % 254));
    CDc6Converter converter;
    converter.SetTransparency(true, 0);
    std::string dc6;
    converter.WriteDc6(dc6, image);
    std::vector<std::pair<std::string, std::string>> expansion, classic;
    for (int row = 1; row <= kWeapons.rows; ++row)
        (row % 2 ? expansion : classic)
            .emplace_back("data\\global\\items\\inv" + std::to_string(row) + ".dc6", dc6);
    constexpr int kFiles = 10250;
    const int small = kFiles - static_cast<int>(classic.size());
    if (!bench::MakeArchive(root + "/Patch_D2.mpq", {}, names, 0, kFiles) ||
        !bench::MakeArchive(root + "/d2exp.mpq", expansion, names, 0, small) ||
        !bench::MakeArchive(root + "/d2data.mpq", classic, names, 0, small))
        std::fprintf(stderr, "cannot make the archives in %s\n", root.c_str());
    static const int cleanup = std::atexit([] {
        for (const std::string& made : roots)
            if (!made.empty())
                fs::remove_all(made);
    });
    (void)cleanup;
    return root;
}

// "name" and "code" first, the record's columns spread over the rest, fillers elsewhere; an
// "Expansion" row about where the game has it.
CTxtTable ItemTable(Shape shape, const char* const* headers, size_t headerCount) {
    std::vector<std::string> columns(static_cast<size_t>(shape.columns));
    for (int col = 0; col < shape.columns; ++col)
        columns[static_cast<size_t>(col)] = "column" + std::to_string(col);
    columns[0] = "name";
    columns[1] = "code";
    for (size_t k = 0; k < headerCount; ++k)
        columns[10 + k * 7] = headers[k];
    std::string bytes;
    auto addRow = [&bytes](const std::vector<std::string>& cells) {
        for (size_t col = 0; col < cells.size(); ++col)
            bytes += (col ? "\t" : "") + cells[col];
        bytes += "\r\n";
    };
    addRow(columns);
    for (int row = 1; row <= shape.rows; ++row) {
        std::vector<std::string> cells(static_cast<size_t>(shape.columns));
        for (int col = 2; col < shape.columns; ++col)
            cells[static_cast<size_t>(col)] = std::to_string((row * 31 + col * 17) % 200);
        cells[0] =
            row == shape.rows / 2 ? "Expansion" : "Item " + std::to_string(row * 7919 % 1000);
        cells[1] = "c" + std::to_string(row);
        for (size_t k = 0; k < headerCount; ++k) {
            const std::string header = headers[k];
            std::string& cell = cells[10 + k * 7];
            if (header == "invfile")
                cell = "inv" + std::to_string(row);
            else if (header == "invwidth")
                cell = "2";
            else if (header == "invheight")
                cell = "3";
        }
        addRow(cells);
    }
    auto path =
        fs::temp_directory_path() / ("tarvane-item-table-" + std::to_string(::getpid()) + ".txt");
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    CTxtTable loaded;
    if (!loaded.Load(path.string()))
        std::fprintf(stderr, "cannot load the generated table\n");
    fs::remove(path);
    return loaded;
}

CTxtTable ArmourTable() {
    return ItemTable(kArmour, ArmourHeaders::kFields.data(), ArmourHeaders::kFields.size());
}

CTxtTable WeaponTable() {
    return ItemTable(kWeapons, WeaponHeaders::kFields.data(), WeaponHeaders::kFields.size());
}

template <class Dialog>
void Prepare(Dialog& dlg, CTxtTable& table, CModFuncs& funcs, PictureSource source) {
    if constexpr (std::is_same_v<Dialog, CArmourDlg>)
        dlg.m_pArmourTable = &table;
    else
        dlg.m_pWeaponTable = &table;
    dlg.m_pFuncs = &funcs;
    dlg.m_bExpansion = true;
    if (source == PictureSource::WorkingFolder) {
        dlg.PictureFrame()->m_strWorkingFolder = PictureFolder().string();
        return;
    }
    const std::string game = GameFolder(
        source == PictureSource::ListedArchives ? bench::Names::Listed : bench::Names::Unlisted);
    // A working folder without pictures of its own.
    dlg.PictureFrame()->m_strWorkingFolder = game;
    dlg.PictureFrame()->m_gameArchives =
        CItemPictureFrame::GameArchives(game + "/Patch_D2.mpq", game);
}

template <class Dialog> void BM_OpenEditor(benchmark::State& state) {
    const auto source = static_cast<PictureSource>(state.range(0));
    CTxtTable table = std::is_same_v<Dialog, CArmourDlg> ? ArmourTable() : WeaponTable();
    CModFuncs funcs;
    CSilentPrompts prompts;
    for (auto _ : state) {
        Dialog dlg(prompts);
        Prepare(dlg, table, funcs, source);
        QTimer::singleShot(0, &dlg, [&dlg] {
            dlg.repaint();
            dlg.reject();
        });
        benchmark::DoNotOptimize(dlg.exec());
    }
    Dialog dlg(prompts);
    Prepare(dlg, table, funcs, source);
    dlg.OnInitDialog();
    state.counters["listed"] = dlg.ItemList()->count();
}

template <class Dialog> void BM_SelectionChange(benchmark::State& state) {
    const auto source = static_cast<PictureSource>(state.range(0));
    CTxtTable table = std::is_same_v<Dialog, CArmourDlg> ? ArmourTable() : WeaponTable();
    CModFuncs funcs;
    CSilentPrompts prompts;
    Dialog dlg(prompts);
    Prepare(dlg, table, funcs, source);
    dlg.OnInitDialog();
    dlg.show();
    QApplication::processEvents();
    const int count = dlg.ItemList()->count();
    int next = 0;
    int shown = 0;
    for (auto _ : state) {
        next = (next + 37) % count;
        dlg.ItemList()->setCurrentRow(next);
        QApplication::processEvents();
        shown += dlg.PictureFrame()->ShownSource() != CItemPictureFrame::Source::None;
    }
    state.counters["with picture"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_OpenEditor<CArmourDlg>)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_OpenEditor<CWeaponDlg>)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SelectionChange<CArmourDlg>)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SelectionChange<CWeaponDlg>)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    const char* sources[] = {"working folder", "archives with list of names",
                             "archives without list of names"};
    for (const char* dialog : {"CArmourDlg", "CWeaponDlg"})
        for (int source = 0; source < 3; ++source) {
            const std::string args = ">/" + std::to_string(source);
            const double open = reporter.MedianMs(std::string("BM_OpenEditor<") + dialog + args);
            const double change =
                reporter.MedianMs(std::string("BM_SelectionChange<") + dialog + args);
            if (open >= 0 && change >= 0)
                std::printf("%s, pictures from the %s: opening %.2f ms (target 50), selection "
                            "change %.2f ms (target 5)\n",
                            dialog, sources[source], open, change);
        }
    return 0;
}
