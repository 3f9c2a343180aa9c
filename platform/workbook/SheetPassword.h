#pragma once

#include <QString>

#include <pugixml.hpp>

// Passwords of worksheet protection.
namespace SheetPassword
{

// The 16-bit hash of the "password" attribute, four upper-case hex digits; every spreadsheet program
// accepts it and keeps it on re-saving.
QString legacyHash(const QString& password);

// Whether the password opens a <sheetProtection> element: its legacy hash, or the salted hash
// (algorithmName, hashValue, saltValue, spinCount) of newer writers. No hash at all opens with any password. A salted
// hash of more rounds than spreadsheet programs write (100,000) opens with none.
bool matches(pugi::xml_node protection, const QString& password);

} // namespace SheetPassword
