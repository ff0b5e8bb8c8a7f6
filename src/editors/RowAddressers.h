#pragma once

#include <QStringList>

#include <string>

class CTxtTable;

// The tables that name rows of the table `fileName` by their position, so that inserting or
// deleting a row there makes them point at other rows. In the 1.07-1.09 layout the levels
// table's monster slots (M1..M25, U1..U25) hold row numbers of monstats.txt; later versions name
// monsters by their Id instead. `levels` is the levels table in memory, or null.
QStringList TablesAddressingRowsOf(const std::string& fileName, const CTxtTable* levels);
