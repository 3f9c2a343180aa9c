#pragma once

#include "platform/grid/FlexGrid.h"

#include <QString>

#include <algorithm>

// Row helpers of the master-data grids, whose last column holds the record's key.

// Takes one row out of the grid and leaves every other row as it was typed, so that deleting one record never
// costs the user the rows not saved yet. The current row keeps its number as far as the grid still reaches; a grid
// keeps one data row, blank. The heading row is never taken.
inline void dropGridRow(FlexGrid* grid, int row)
{
    if (row < 1 || row >= grid->rows())
        return;
    if (grid->rows() > 2) {
        const int current = grid->row();
        grid->removeItem(row);
        grid->setRow(std::min(current, grid->rows() - 1));
        return;
    }
    for (int c = 1; c < grid->cols(); ++c)
        grid->setTextMatrix(1, c, QString());
}

// The data row holding the key, or -1.
inline int gridRowOfKey(const FlexGrid* grid, const QString& key)
{
    for (int r = 1; r < grid->rows(); ++r)
        if (!key.isEmpty() && grid->textMatrix(r, grid->cols() - 1) == key)
            return r;
    return -1;
}

// The master row whose detail rows a window's lower grid shows: the details are saved under its key and no other.
struct ShownMaster {
    QString key; // empty for a master row not saved yet
    int row = -1;

    bool isUnsavedRow(int r) const { return r == row && key.isEmpty(); }

    // The unsaved master row shown was stored under newKey: the detail rows typed under it stay and go under that
    // key, and its row is made current again when dropped duplicates above it have moved it up.
    void follow(FlexGrid* grid, const QString& newKey)
    {
        if (newKey.isEmpty())
            return;
        key = newKey;
        row = gridRowOfKey(grid, newKey);
        if (row > 0)
            grid->setRow(row);
    }
};
