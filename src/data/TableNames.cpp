#include "data/TableNames.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Whether `name` can stand for a file of its own in any folder: no separator, no drive colon, no
// control byte, and not a dot name.
bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name.front() == '.')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20;
    });
}

} // namespace

const std::vector<std::string>& KnownTableNames() {
    // Compiled from the names a 1.14d d2data.mpq lists for itself (shown in the documentation of
    // a public MPQ reader), the Phrozen Keep's file guides for 1.10 to 1.14d, the 1.13c tables and
    // the catalogue of an archive built from them, and the data paths of a public reimplementation
    // of the game. Archive names ignore case: the spelling is that of the 1.13c files, except where
    // the program keeps its copies under another ("monstats.txt"). TreasureClass.txt and
    // MonItemPercent.txt are the drop tables of 1.00 to 1.06, still carried by later archives.
    // clang-format off
    static const std::vector<std::string> names = {
        "Aiparms.txt",         "Arena.txt",           "Armor.txt",           "ArmType.txt",
        "AutoMagic.txt",       "AutoMap.txt",         "Belts.txt",           "BodyLocs.txt",
        "Books.txt",           "CharStats.txt",       "CharTemplate.txt",    "Colors.txt",
        "CompCode.txt",        "Composit.txt",        "CubeMain.txt",        "CubeMod.txt",
        "CubeType.txt",        "DifficultyLevels.txt", "ElemTypes.txt",       "Events.txt",
        "Experience.txt",      "Gamble.txt",          "Gems.txt",            "HireDesc.txt",
        "Hireling.txt",        "HitClass.txt",        "Inventory.txt",       "ItemRatio.txt",
        "ItemStatCost.txt",    "ItemTypes.txt",       "Levels.txt",          "LowQualityItems.txt",
        "LvlMaze.txt",         "LvlPrest.txt",        "LvlSub.txt",          "LvlTypes.txt",
        "LvlWarp.txt",         "MagicPrefix.txt",     "MagicSuffix.txt",     "Misc.txt",
        "MissCalc.txt",        "Missiles.txt",        "MonAi.txt",           "MonEquip.txt",
        "MonItemPercent.txt",  "MonLvl.txt",          "MonMode.txt",         "MonName.txt",
        "MonPlace.txt",        "MonPreset.txt",       "MonProp.txt",         "MonSeq.txt",
        "MonSounds.txt",       "monstats.txt",        "MonStats2.txt",       "MonType.txt",
        "MonUMod.txt",         "Npc.txt",             "ObjGroup.txt",        "ObjMode.txt",
        "Objects.txt",         "ObjType.txt",         "Overlay.txt",         "PetType.txt",
        "PlayerClass.txt",     "PlrMode.txt",         "PlrType.txt",         "Properties.txt",
        "QualityItems.txt",    "RarePrefix.txt",      "RareSuffix.txt",      "Runes.txt",
        "SetItems.txt",        "Sets.txt",            "Shrines.txt",         "SkillCalc.txt",
        "SkillDesc.txt",       "Skills.txt",          "SoundEnviron.txt",    "Sounds.txt",
        "States.txt",          "StorePage.txt",       "SuperUniques.txt",    "TreasureClass.txt",
        "TreasureClassEx.txt", "UniqueAppellation.txt", "UniqueItems.txt",     "UniquePrefix.txt",
        "UniqueSuffix.txt",    "UniqueTitle.txt",     "WeaponClass.txt",     "Weapons.txt",
    };
    // clang-format on
    return names;
}

std::vector<std::string> ExcelNamesInListfile(std::string_view listfile) {
    constexpr std::string_view kFolder = "data\\global\\excel\\", kExtension = ".txt";
    std::vector<std::string> names;
    std::unordered_set<std::string> seen; // lower-cased
    size_t begin = 0;
    while (begin < listfile.size()) {
        // Listfiles put one name on a line; some separate them with semicolons.
        size_t end = listfile.find_first_of("\r\n;", begin);
        if (end == std::string_view::npos)
            end = listfile.size();
        std::string path(listfile.substr(begin, end - begin));
        begin = end + 1;
        std::replace(path.begin(), path.end(), '/', '\\');
        if (path.size() <= kFolder.size() + kExtension.size() ||
            !EqualsIgnoringAsciiCase(std::string_view(path).substr(0, kFolder.size()), kFolder) ||
            !EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - kExtension.size()),
                                     kExtension))
            continue;
        std::string name = path.substr(kFolder.size()), lowered = name;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiToLower);
        if (IsPlainFileName(name) && seen.insert(std::move(lowered)).second)
            names.push_back(std::move(name));
    }
    return names;
}
