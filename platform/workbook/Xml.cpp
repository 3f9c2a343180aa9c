#include "platform/workbook/Xml.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace Xml
{
namespace
{

class ByteArrayWriter : public pugi::xml_writer
{
public:
    explicit ByteArrayWriter(QByteArray& out) : m_out(out) {}
    void write(const void* data, size_t size) override
    {
        m_out.append(static_cast<const char*>(data), qsizetype(size));
    }

private:
    QByteArray& m_out;
};

bool isHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool isEscapeAt(const QString& text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!isHex(text[k]))
            return false;
    }
    return true;
}

char16_t escapedUnit(const QString& text, qsizetype i)
{
    return char16_t(QStringView(text).sliced(i + 2, 4).toUShort(nullptr, 16));
}

// Text fit to store and show: a NUL (which no one can type into a cell) is dropped, since everything after it would
// be lost on the way to the database, and a half of a surrogate pair that stands alone becomes U+FFFD.
QString soundText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isNull())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

const char* localName(const char* qualifiedName)
{
    const char* colon = std::strrchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

bool is(pugi::xml_node node, const char* local)
{
    if (node.type() != pugi::node_element)
        return false;
    // Most names carry no prefix: compare them whole before looking for a colon.
    const char* name = node.name();
    const char* l = local;
    while (*name && *name == *l) {
        ++name;
        ++l;
    }
    if (*name == '\0' && *l == '\0')
        return true;
    return std::strcmp(localName(node.name()), local) == 0;
}

pugi::xml_node child(pugi::xml_node parent, const char* local)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (is(n, local))
            return n;
    }
    return pugi::xml_node();
}

pugi::xml_attribute attribute(pugi::xml_node node, const char* local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(localName(a.name()), local) == 0)
            return a;
    }
    return pugi::xml_attribute();
}

pugi::xml_node orderedChild(pugi::xml_node parent, std::span<const char* const> order, const std::string& name)
{
    const char* local = localName(name.c_str());
    if (pugi::xml_node existing = child(parent, local))
        return existing;
    auto rank = [order](const char* l) {
        for (size_t i = 0; i < order.size(); ++i) {
            if (std::strcmp(order[i], l) == 0)
                return i;
        }
        return order.size();
    };
    const size_t wanted = rank(local);
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && rank(localName(n.name())) > wanted)
            return parent.insert_child_before(name.c_str(), n);
    }
    return parent.append_child(name.c_str());
}

std::string prefixOf(pugi::xml_node node)
{
    const char* name = node.name();
    const char* local = localName(name);
    return std::string(name, size_t(local - name));
}

QByteArray numberText(double d)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), d);
    return QByteArray(buffer, result.ptr - buffer);
}

std::optional<double> parseNumber(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    const char* first = text.data();
    const char* last = first + text.size();
    while (first < last && blank(*first))
        ++first;
    while (last > first && blank(last[-1]))
        --last;
    // The format allows a leading plus, which from_chars does not take.
    if (last - first > 1 && *first == '+' && first[1] != '-')
        ++first;
    double d = 0;
    const auto [end, ec] = std::from_chars(first, last, d);
    if (first == last || ec != std::errc() || end != last || !std::isfinite(d))
        return std::nullopt;
    return d;
}

double number(pugi::xml_attribute attribute, double fallback)
{
    return parseNumber(attribute.value()).value_or(fallback);
}

void setNumber(pugi::xml_attribute attribute, double d)
{
    attribute.set_value(numberText(d).constData());
}

QString text(pugi::xml_node node)
{
    return QString::fromUtf8(node.child_value());
}

QString value(pugi::xml_attribute attribute)
{
    return QString::fromUtf8(attribute.value());
}

void setValue(pugi::xml_attribute attribute, const QString& value)
{
    attribute.set_value(value.toUtf8().constData());
}

QString stringItemText(pugi::xml_node item)
{
    QString result;
    for (pugi::xml_node n = item.first_child(); n; n = n.next_sibling()) {
        if (is(n, "t"))
            result += text(n);
        else if (is(n, "r"))
            result += text(child(n, "t"));
    }
    return decodeEscapes(result);
}

QString decodeEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapeAt(text, i)) {
            out += escapedUnit(text, i);
            i += 6;
        } else {
            out += text[i];
        }
    }
    return soundText(out);
}

QString encodeEscapes(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool control = c < 0x20 && c != u'\t' && c != u'\n';
        if (control || c == 0xFFFE || c == 0xFFFF || isEscapeAt(text, i))
            out += QLatin1String("_x") + QString::number(uint(c), 16).rightJustified(4, u'0').toUpper() + u'_';
        else
            out += text[i];
    }
    return out;
}

bool parse(pugi::xml_document& doc, const QByteArray& data, QString* error)
{
    // A lone blank between tags is kept: it is the whole content of a text like " ".
    const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result result = doc.load_buffer(data.constData(), size_t(data.size()), options);
    if (!result && error)
        *error = QString::fromUtf8(result.description());
    return bool(result);
}

QByteArray serialize(const pugi::xml_document& doc)
{
    QByteArray out;
    ByteArrayWriter writer(out);
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

void addDeclaration(pugi::xml_document& doc)
{
    pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
}

} // namespace Xml
