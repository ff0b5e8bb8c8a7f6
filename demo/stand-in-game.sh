#!/bin/sh
# Stand-in for "Diablo II.exe" in the demo game folder, so that saving on the demo runs the whole
# compile path without a game installed. Run with -txt in the editor's working folder, it leaves
# one compiled table per text table under data/global/excel of its current folder. Some names are
# spelt in other letter cases, as a game folder copied from Windows may spell them: the editor
# must find them all the same. The "compiled" bytes are a marker line and a checksum of the text
# table: enough to show that a run happened and which table it saw. The editor's save writes the
# edited tables as tmp<name> beside the working copies, so those are preferred.

if [ "$1" != "-txt" ]; then
    echo "Diablo II stand-in: this demo folder holds no real game; run with -txt to compile tables."
    exit 0
fi

# How a run that produces nothing looks, without a broken game at hand:
#   TARVANE_STAND_IN=silent  ends at once with status 0 and writes nothing, as a Wine that runs
#                            only 64-bit programs does with the 32-bit game;
#   TARVANE_STAND_IN=fail    ends with an error status.
case "${TARVANE_STAND_IN:-}" in
silent) exit 0 ;;
fail)
    echo "Diablo II stand-in: failing, as TARVANE_STAND_IN asks."
    exit 3
    ;;
esac

mkdir -p data/global/excel || exit 1

compile() {
    table=""
    for candidate in "tmp$1" "$1"; do
        if [ -f "$candidate" ]; then
            table=$candidate
            break
        fi
    done
    {
        echo "TARVANE-DEMO-BIN $1"
        if [ -n "$table" ]; then
            cksum <"$table"
        else
            echo "no source table"
        fi
    } >"data/global/excel/$2" || exit 1
}

compile Armor.txt ARMOR.BIN
compile DifficultyLevels.txt difficultylevels.bin
compile Levels.txt levels.bin
compile MonItemPercent.txt MonItemPercent.bin
compile monstats.txt Monstats.bin
compile UniqueItems.txt UniqueItems.bin
compile Weapons.txt Weapons.bin
compile Skills.txt Skills.bin
compile TreasureClassEx.txt TreasureClassEx.bin

echo "Diablo II stand-in: compiled 9 tables into data/global/excel"
exit 0
