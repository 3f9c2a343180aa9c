#pragma once

#include <QByteArray>

// Files in the older binary container that spreadsheet programs also use for password-protected workbooks. Only
// enough of it is read to say what a file that is no .xlsx package holds.
namespace CompoundFile
{

enum class Content {
    None,              // not such a file, or nothing this reader knows
    EncryptedWorkbook, // a workbook saved with a password to open it
    LegacyWorkbook,    // a workbook of the .xls format
};

Content identify(const QByteArray& file);

} // namespace CompoundFile
