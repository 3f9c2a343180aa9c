#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <optional>
#include <span>
#include <string>
#include <string_view>

// Helpers over pugixml for the parts of a workbook package. Writers differ in namespace prefixes
// ("x:c" as well as "c"), so elements and attributes are matched by their local names.
namespace Xml
{

const char* localName(const char* qualifiedName);
bool is(pugi::xml_node node, const char* local);
pugi::xml_node child(pugi::xml_node parent, const char* local);
pugi::xml_attribute attribute(pugi::xml_node node, const char* local);

// The child of that name, added where the order of the parent's children puts it when there is none.
// Spreadsheet programs refuse parts whose children stand in another order than the format's.
pugi::xml_node orderedChild(pugi::xml_node parent, std::span<const char* const> order, const std::string& name);

// The prefix of an element's name with its colon ("x:"), "" when it has none. New elements of a part are
// given the prefix its root uses.
std::string prefixOf(pugi::xml_node node);

// Numbers in a part, the same under every locale. The C library's conversions, which pugixml's own number
// functions use, follow the locale Qt takes from the environment at start-up and would write "140,25".
// Written in the shortest form that reads back as the same double; read only when the whole text, blanks
// around it aside, is a finite number.
QByteArray numberText(double d);
std::optional<double> parseNumber(std::string_view text);
double number(pugi::xml_attribute attribute, double fallback = 0);
void setNumber(pugi::xml_attribute attribute, double d);

QString text(pugi::xml_node node);
QString value(pugi::xml_attribute attribute);
void setValue(pugi::xml_attribute attribute, const QString& value);

// Text of a string item (<si> or <is>): the plain <t> and the <t> of each rich text run, without the
// phonetic guides.
QString stringItemText(pugi::xml_node item);

// Spreadsheet strings carry characters that XML cannot hold as "_xHHHH_".
QString decodeEscapes(const QString& text);
QString encodeEscapes(const QString& text);

bool parse(pugi::xml_document& doc, const QByteArray& data, QString* error);
QByteArray serialize(const pugi::xml_document& doc);

// A declaration with standalone="yes", as spreadsheet programs expect at the top of each part.
void addDeclaration(pugi::xml_document& doc);

} // namespace Xml
