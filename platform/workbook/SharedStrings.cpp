#include "platform/workbook/SharedStrings.h"

#include "platform/workbook/Xml.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace
{

// The text of the first <t> of a rich text run; the reader stands on the run's start and ends on its end.
QString runText(QXmlStreamReader& reader)
{
    QString text;
    bool found = false;
    while (reader.readNextStartElement()) {
        if (!found && reader.name() == QLatin1String("t")) {
            text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            found = true;
        } else {
            reader.skipCurrentElement();
        }
    }
    return text;
}

// The text of a string item: its plain <t> and the <t> of each rich text run, without the phonetic guides.
QString itemText(QXmlStreamReader& reader)
{
    QString text;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("t"))
            text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (reader.name() == QLatin1String("r"))
            text += runText(reader);
        else
            reader.skipCurrentElement();
    }
    return Xml::decodeEscapes(text);
}

} // namespace

void SharedStrings::loadTree(const QByteArray& xml, const std::vector<int>& wanted)
{
    pugi::xml_document doc;
    if (!Xml::parse(doc, xml, nullptr))
        return;
    int index = -1;
    auto next = wanted.cbegin();
    for (pugi::xml_node si = doc.document_element().first_child(); si && next != wanted.cend();
         si = si.next_sibling()) {
        if (!Xml::is(si, "si") || ++index != *next)
            continue;
        m_strings.insert(index, Xml::stringItemText(si));
        ++next;
    }
}

bool SharedStrings::onlyNew(std::vector<int>& wanted) const
{
    std::erase_if(wanted, [this](int i) { return i < 0 || m_strings.contains(i); });
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    return !wanted.empty();
}

void SharedStrings::load(const QByteArray& xml, const std::vector<int>& wanted)
{
    QHash<int, QString> found;
    QXmlStreamReader reader(xml);
    if (reader.readNextStartElement()) {
        int index = -1;
        auto next = wanted.cbegin();
        // The table is read no further than its last wanted entry.
        while (next != wanted.cend() && reader.readNextStartElement()) {
            if (reader.name() != QLatin1String("si")) {
                reader.skipCurrentElement();
                continue;
            }
            if (++index == *next) {
                found.insert(index, itemText(reader));
                ++next;
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    if (reader.hasError())
        return;
    m_strings.insert(found);
}
