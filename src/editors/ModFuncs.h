#pragma once

// The record service the editors share: operations that move a group of cells between a table
// row and a record of strings, and answer list questions about the tables. It holds no data;
// the main window makes one and hands it to every editor. Each editor adds its operations.
class CModFuncs {
public:
    CModFuncs() = default;
};
