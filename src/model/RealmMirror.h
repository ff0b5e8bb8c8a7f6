#pragma once

#include <string>
#include <vector>

class CTxtTable;

// Diablo II: Resurrected keeps two copies of many tables: the expansion's and, under "base",
// the one the classic realm reads. A change made to one copy applies to the other: each cell
// the mod changed against the game's copy is written into the same row (by key, the n-th of a
// repeated key) and the same column (by header) of the other realm's table. What has no
// counterpart there (a row or column one copy lacks, a row the mod added or removed) is named in
// the notes returned, not guessed.
std::vector<std::string> MirrorChanges(const std::string& fileName, const CTxtTable& gameCopy,
                                       const CTxtTable& modCopy, CTxtTable& otherRealm);
