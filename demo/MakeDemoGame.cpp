// make_demo_game <demo source folder> <output folder> [<tables folder>]
//
// Builds the stand-in game folder that `make run` opens, so the editor can be tried without a
// game installed. The tables come from <tables folder>, by default the source folder's tables/
// (tables-110/ holds the same game in the columns of game versions 1.10 to 1.14d):
//   <output>/game/d2data.mpq, d2exp.mpq    the nine tables (the game's own archives)
//   <output>/game/Patch_D2.mpq             the nine tables and a compiled Armor.bin, so opening
//                                          it takes the compiled-tables path
//   <output>/game/Diablo II.exe            a shell script standing in for the game's -txt run
//   <output>/work/Tarvane.ini              names the game folder
//   <output>/work/uniq.cfg                 the property descriptions of the unique item editor
//   <output>/work/images/invrsh.jpg        a display picture for the Ring Shirt
//   <output>/work/pictures/quilted-coat.pcx a picture of the Quilted Coat's size to import
// The game archives also hold inventory pictures (DC6) for a few items, drawn here in code.
// The archives are version 1 and compressed with PKWARE only, as the game reads them.

#include "graphics/BuiltinPalette.h"
#include "graphics/Dc6Converter.h"

#include <QImage>
#include <StormLib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The tables the editor works on, under the names the archives hold them.
constexpr const char* kTables[] = {"monstats.txt",    "MonItemPercent.txt",  "Levels.txt",
                                   "Armor.txt",       "Weapons.txt",         "DifficultyLevels.txt",
                                   "UniqueItems.txt", "TreasureClassEx.txt", "Skills.txt"};
// Tables only the game's own archives hold: the patch does not change them.
constexpr const char* kGameOnlyTables[] = {"Runes.txt",      "Gems.txt", "CubeMain.txt",
                                           "Properties.txt", "Misc.txt", "ItemTypes.txt",
                                           "SetItems.txt"};
constexpr std::string_view kExcelFolder = "Data\\Global\\Excel\\";

// Room for the tables, compiled tables and imported pictures that later saves add.
constexpr DWORD kMaxFiles = 1024;

struct ArchivedFile {
    std::string name;
    std::string bytes;
};

bool Fail(const std::string& text) {
    std::fprintf(stderr, "make_demo_game: %s\n", text.c_str());
    return false;
}

bool ReadFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("cannot read " + path.string());
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() || Fail("cannot read " + path.string());
}

bool WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out.good() || Fail("cannot write " + path.string());
}

// A table whose line ends were turned into bare LF (a checkout that converted them) would reach
// the game in a form it does not read; refuse it rather than ship it.
bool HasOnlyCrlfLineEnds(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
    }
    return bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n";
}

bool AddFile(HANDLE archive, const ArchivedFile& file) {
    HANDLE handle = nullptr;
    const auto size = static_cast<DWORD>(file.bytes.size());
    if (!SFileCreateFile(archive, file.name.c_str(), 0, size, 0,
                         MPQ_FILE_COMPRESS | MPQ_FILE_REPLACEEXISTING, &handle))
        return false;
    // PKWARE for every sector: the game cannot read zlib.
    bool written = SFileWriteFile(handle, file.bytes.data(), size, MPQ_COMPRESSION_PKWARE);
    return SFileFinishFile(handle) && written;
}

bool BuildArchive(const fs::path& path, const std::vector<ArchivedFile>& files) {
    // StormLib never creates over an existing file, and a rebuilt demo starts from scratch.
    std::error_code ec;
    fs::remove(path, ec);
    HANDLE archive = nullptr;
    if (!SFileCreateArchive(path.c_str(), MPQ_CREATE_LISTFILE | MPQ_CREATE_ARCHIVE_V1, kMaxFiles,
                            &archive))
        return Fail("cannot create " + path.string() + " (error " + std::to_string(GetLastError()) +
                    ")");
    bool added = true;
    for (const ArchivedFile& file : files) {
        if (!AddFile(archive, file)) {
            added = Fail("cannot add " + file.name + " to " + path.string() + " (error " +
                         std::to_string(GetLastError()) + ")");
            break;
        }
    }
    if (!SFileCloseArchive(archive))
        added = Fail("cannot finish " + path.string());
    if (!added)
        fs::remove(path, ec); // never leave a half-built archive for the editor to open
    return added;
}

// An item picture the demo draws: the item's cells of 28 pixels, and its colours.
struct DemoPicture {
    const char* invfile;
    int cellsWide;
    int cellsHigh;
    uint8_t body;   // palette index of the body
    uint8_t border; // and of its edge
};

// Padded Vest and Hatchet show their game picture; Ring Shirt gets the images folder's JPEG;
// Quilted Coat gets the picture to import.
constexpr DemoPicture kGamePictures[] = {
    {"invpvt", 2, 3, 0x8A, 0x1F},
    {"invhtc", 1, 3, 0x64, 0x1F},
    {"invbax", 2, 3, 0x97, 0x1F},
};
constexpr DemoPicture kImportPicture = {"invqct", 2, 3, 0xB0, 0x0C};
constexpr DemoPicture kImagesPicture = {"invrsh", 2, 3, 0x5A, 0x1F};

// A rounded body with an edge and a band across, on a transparent ground (index 0), so that a
// user tells the pictures apart at a glance.
CIndexedImage DrawPicture(const DemoPicture& picture) {
    CIndexedImage image;
    image.width = picture.cellsWide * 28;
    image.height = picture.cellsHigh * 28;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    const int margin = 3;
    for (int y = margin; y < image.height - margin; ++y)
        for (int x = margin; x < image.width - margin; ++x) {
            const int dx = std::min(x - margin, image.width - margin - 1 - x);
            const int dy = std::min(y - margin, image.height - margin - 1 - y);
            if (dx + dy < 4)
                continue; // the rounded corners
            const bool edge = dx < 2 || dy < 2 || dx + dy < 6;
            const bool band = y >= image.height / 3 && y < image.height / 3 + 4;
            image.Row(y)[x] = edge || band ? picture.border : picture.body;
        }
    return image;
}

std::string Dc6Of(const CIndexedImage& image) {
    CDc6Converter converter;
    converter.SetTransparency(true, 0);
    std::string file;
    converter.WriteDc6(file, image);
    return file;
}

// The images folder's JPEG and the PCX to import, in the act 1 palette.
bool WritePictures(const fs::path& work) {
    std::error_code ec;
    fs::create_directories(work / "images", ec);
    fs::create_directories(work / "pictures", ec);

    CDc6Converter converter;
    converter.SetPalette(kBuiltinPalette);
    std::string pcx;
    if (!converter.BuildPcx(DrawPicture(kImportPicture), pcx) ||
        !WriteFile(work / "pictures" / "quilted-coat.pcx", pcx))
        return Fail("cannot write the demo picture to import");

    const CIndexedImage indexed = DrawPicture(kImagesPicture);
    QImage jpeg(indexed.width, indexed.height, QImage::Format_RGB32);
    for (int y = 0; y < indexed.height; ++y)
        for (int x = 0; x < indexed.width; ++x) {
            const size_t at = size_t{indexed.Row(y)[x]} * 3; // blue, green, red
            jpeg.setPixel(
                x, y, qRgb(kBuiltinPalette[at + 2], kBuiltinPalette[at + 1], kBuiltinPalette[at]));
        }
    const fs::path jpegPath = work / "images" / (std::string(kImagesPicture.invfile) + ".jpg");
    if (!jpeg.save(QString::fromStdString(jpegPath.string()), "JPG", 90))
        return Fail("cannot write " + jpegPath.string());
    return true;
}

bool BuildDemo(const fs::path& source, const fs::path& output, const fs::path& tableFolder) {
    std::vector<ArchivedFile> tables, gameOnly;
    auto readTables = [&](const auto& names, std::vector<ArchivedFile>& into) {
        for (const char* table : names) {
            ArchivedFile file{std::string(kExcelFolder) + table, {}};
            if (!ReadFile(tableFolder / table, file.bytes))
                return false;
            if (!HasOnlyCrlfLineEnds(file.bytes))
                return Fail((tableFolder / table).string() +
                            " must end every line with CR LF (is git converting line ends?)");
            into.push_back(std::move(file));
        }
        return true;
    };
    if (!readTables(kTables, tables) || !readTables(kGameOnlyTables, gameOnly))
        return false;
    std::string uniqueConfig, standIn;
    if (!ReadFile(source / "uniq.cfg", uniqueConfig) ||
        !ReadFile(source / "stand-in-game.sh", standIn))
        return false;

    std::error_code ec;
    const fs::path root = fs::absolute(output, ec).lexically_normal();
    if (ec)
        return Fail("cannot resolve " + output.string());
    const fs::path game = root / "game";
    const fs::path work = root / "work";
    fs::create_directories(game, ec);
    fs::create_directories(work, ec);
    if (!fs::is_directory(game) || !fs::is_directory(work))
        return Fail("cannot create the folders under " + output.string());

    // The game's own pictures live in its archives, not in the patch.
    for (const DemoPicture& picture : kGamePictures)
        tables.push_back({"data\\global\\items\\" + std::string(picture.invfile) + ".dc6",
                          Dc6Of(DrawPicture(picture))});

    std::vector<ArchivedFile> patch = tables;
    // Only its presence matters: it tells the editor that the game reads compiled tables.
    patch.push_back({std::string(kExcelFolder) + "Armor.bin", "TARVANE-DEMO-BIN Armor.txt\n"});
    tables.insert(tables.end(), gameOnly.begin(), gameOnly.end());
    if (!BuildArchive(game / "d2data.mpq", tables) || !BuildArchive(game / "d2exp.mpq", tables) ||
        !BuildArchive(game / "Patch_D2.mpq", patch))
        return false;

    const fs::path exe = game / "Diablo II.exe";
    if (!WriteFile(exe, standIn))
        return false;
    fs::permissions(exe,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace, ec);
    if (ec)
        return Fail("cannot make " + exe.string() + " executable");

    // A fresh settings file: the archives are new, so the base copies must be extracted again.
    std::string folder = game.string();
    while (folder.size() > 1 && folder.back() == fs::path::preferred_separator)
        folder.pop_back();
    if (!WriteFile(work / "Tarvane.ini", "[Diablo II]\r\nFolder=" + folder + "\r\n") ||
        !WriteFile(work / "uniq.cfg", uniqueConfig))
        return false;

    if (!WritePictures(work))
        return false;

    std::printf("make_demo_game: demo game in %s, working folder %s\n", folder.c_str(),
                work.string().c_str());
    return true;
}

// A stand-in Diablo II: Resurrected game folder: the game's tables as a user extracts them (with
// the classic realm's copies under base/), an empty mod folder and a stand-in D2R.exe; and a
// working folder whose settings name the tables.
bool BuildResurrectedDemo(const fs::path& source, const fs::path& output,
                          const fs::path& tableFolder) {
    std::error_code ec;
    const fs::path root = fs::absolute(output, ec).lexically_normal();
    const fs::path game = root / "game";
    const fs::path excel = game / "tables" / "data" / "global" / "excel";
    const fs::path work = root / "work";
    fs::create_directories(excel / "base", ec);
    fs::create_directories(game / "mods" / "demo" / "demo.mpq", ec);
    fs::create_directories(work, ec);
    if (ec)
        return Fail("cannot create the folders under " + output.string());
    for (const auto& entry : fs::directory_iterator(tableFolder, ec)) {
        std::string bytes;
        const std::string name = entry.path().filename().string();
        if (!ReadFile(entry.path(), bytes) || !WriteFile(excel / name, bytes))
            return false;
        // The classic realm reads its own copies of the monsters and unique items.
        if ((name == "monstats.txt" || name == "UniqueItems.txt") &&
            !WriteFile(excel / "base" / name, bytes))
            return false;
    }
    std::string uniqueConfig, standIn;
    if (ec || !ReadFile(source / "uniq.cfg", uniqueConfig) ||
        !ReadFile(source / "stand-in-d2r.sh", standIn) ||
        !WriteFile(game / "mods" / "demo" / "demo.mpq" / "modinfo.json",
                   "{\"name\": \"demo\", \"savepath\": \"demo/\"}") ||
        !WriteFile(game / "D2R.exe", standIn) || !WriteFile(work / "uniq.cfg", uniqueConfig) ||
        !WriteFile(work / "Tarvane.ini",
                   "[Resurrected]\r\nTablesFolder=" + (game / "tables").string() + "\r\n"))
        return false;
    fs::permissions(game / "D2R.exe", fs::perms::owner_all, fs::perm_options::add, ec);
    std::printf("make_demo_game: Resurrected demo in %s, working folder %s\n",
                game.string().c_str(), work.string().c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The Resurrected demo: make_demo_game <source> <output> <tables folder> resurrected
    if (argc == 5 && std::string_view(argv[4]) == "resurrected")
        return BuildResurrectedDemo(argv[1], argv[2], argv[3]) ? 0 : 1;
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_demo_game <demo source folder> <output folder> "
                             "[<tables folder>]\n");
        return 2;
    }
    const fs::path source = argv[1];
    return BuildDemo(source, argv[2], argc == 4 ? fs::path(argv[3]) : source / "tables") ? 0 : 1;
}
