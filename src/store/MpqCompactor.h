#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Copies an MPQ archive without the space its replaced files left: the header, every file's
// bytes moved down over the gaps in file order, then the tables. Block numbers stay, so the hash
// table and an "(attributes)" file stay valid, and no file name is needed, except for a file
// encrypted with a key that depends on its place: it is encrypted anew for its new place, with
// the key its name gives (when the name is among the known ones) or its sector offset table
// gives. A file whose key cannot be found keeps its place and the copy is compacted around it.
class CMpqCompactor {
public:
    struct Result {
        // The archive's reader refused it (damaged, or not of version 1): why, as a clause.
        std::string refusal;
        // errno of the read or write that failed; 0 when none did.
        int error = 0;
        // Bytes the copy is smaller than the archive.
        std::uint64_t takenOut = 0;
        // Bytes of the copy still unused: gaps in front of the files that kept their place.
        std::uint64_t deadLeft = 0;
        // Encrypted files of unknown name that kept their place with a gap in front.
        unsigned keptInPlace = 0;
        // Size of the copy.
        std::uint64_t size = 0;

        bool Ok() const { return refusal.empty() && error == 0; }
    };

    // Copies the archive at `source` into the new file `target`, which must not exist. On
    // failure nothing is left at `target`.
    static Result Copy(const std::string& source, const std::string& target,
                       const std::vector<std::string>& knownNames);
};
