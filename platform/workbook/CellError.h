#pragma once

#include <QMetaType>
#include <QString>

// The value of a cell that holds an error such as "#N/A" or "#DIV/0!", kept apart from text that
// happens to read the same.
struct CellError {
    QString code;

    bool operator==(const CellError& other) const = default;
};

Q_DECLARE_METATYPE(CellError)
