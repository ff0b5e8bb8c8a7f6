#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The list of renames a mod folder save still has to do. A save writes every file to a
// temporary beside its target, then this journal, then renames; a save killed after the journal
// is finished from it at the next open. Paths are relative to the mod's .mpq folder, with "/".
//
//   Tarvane mod folder journal 1
//   <temporary>\t<target>        one line per file
//   end <count> <checksum>       16 hex digits over everything above
//
// The checksum and the strict form refuse a journal that was cut or changed: renaming from a
// damaged one could put the wrong file in place.
class CModFolderJournal {
public:
    struct Rename {
        std::string temporary;
        std::string target;
        bool operator==(const Rename&) const = default;
    };

    static std::string Write(const std::vector<Rename>& renames);
    // Nothing, with `error` saying what is wrong, for anything but a whole journal whose paths
    // all stay inside the folder and whose temporaries belong to their targets.
    static std::optional<std::vector<Rename>> Read(std::string_view bytes, std::string& error);

    // True for "a/b/c" with no empty, "." or ".." part, no "\" and no control character: a path
    // that cannot leave the folder it is taken in.
    static bool IsSafeRelativePath(std::string_view path);
};
