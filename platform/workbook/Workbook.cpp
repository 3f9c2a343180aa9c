#include "platform/workbook/Workbook.h"

#include "platform/files/WholeFile.h"
#include "platform/workbook/CompoundFile.h"
#include "platform/workbook/Xml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace
{

const char* const ContentTypesPart = "[Content_Types].xml";
const char* const StylesContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* const TransitionalRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

const char* const NewContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(</Types>)";
const char* const NewRootRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" )"
    R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="xl/workbook.xml"/></Relationships>)";
const char* const NewWorkbook = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                                R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                                R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                                R"(<bookViews><workbookView/></bookViews>)"
                                R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* const NewWorkbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" )"
    R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" )"
    R"(Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" )"
    R"(Target="styles.xml"/></Relationships>)";
const char* const NewWorksheet =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<dimension ref="A1"/><sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews>)"
    R"(<sheetFormatPr defaultRowHeight="15"/><sheetData/>)"
    R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/></worksheet>)";

// What a part read may hold. The parts of real survey workbooks are far smaller (a sheet of a hundred questions
// takes about 200 KB and a few thousand tags); the bounds keep a crafted workbook from taking more than about
// 100 MB to read, besides the file itself.
constexpr quint64 MaxXmlPartSize = 8 * 1024 * 1024;
constexpr qint64 TreeBudget = 64 * 1024 * 1024;
// Far beyond any workbook; reading more would only exhaust memory.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// At most what building the tree of a part takes: a copy of its text, for each tag a node and one for the text
// before it (and the sheet's index of its rows and cells), and an attribute for each '='.
qint64 treeCost(const QByteArray& xml)
{
    const auto count = [&xml](char c) {
        qint64 n = 0;
        const char* end = xml.cend();
        for (const char* p = xml.cbegin(); (p = static_cast<const char*>(std::memchr(p, c, size_t(end - p)))); ++p)
            ++n;
        return n;
    };
    return xml.size() + count('<') * 192 + count('=') * 48;
}

bool isTrue(pugi::xml_attribute a)
{
    return a && (std::strcmp(a.value(), "1") == 0 || std::strcmp(a.value(), "true") == 0);
}

// Says what the file is when it can tell: password-protected workbooks and .xls workbooks come in a container of
// their own, so the package's reason ("Not a zip archive") would not help the user.
QString notAWorkbook(const QString& path, const QByteArray& bytes, const QString& reason)
{
    const QString name = QDir::toNativeSeparators(path);
    switch (CompoundFile::identify(bytes)) {
    case CompoundFile::Content::EncryptedWorkbook:
        return QStringLiteral("%1 is password-protected and cannot be read.").arg(name);
    case CompoundFile::Content::LegacyWorkbook:
        return QStringLiteral("%1 is an older .xls workbook, not a workbook (.xlsx).").arg(name);
    case CompoundFile::Content::None:
        break;
    }
    return QStringLiteral("%1 is not a workbook (.xlsx): %2").arg(name, reason);
}

// The file as it is on the disk, read only when it is a regular file and none of the database's, and never beyond
// what any workbook holds, whatever size the file claims (a file of the system's own may say 0 and never end).
bool readFile(const QString& path, QByteArray* bytes, QString* reason)
{
    return WholeFile::read(path, bytes, reason, MaxFileSize, QStringLiteral("the file is larger than any workbook"));
}

} // namespace

Workbook::Workbook() : m_treeBudget(TreeBudget) {}
Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const QString& path, QString* error)
{
    QString reason;
    QByteArray bytes;
    if (!readFile(path, &bytes, &reason)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return nullptr;
    }
    std::unique_ptr<Workbook> book(new Workbook);
    if (!book->m_package.load(bytes, &reason) || !book->load(&reason)) {
        if (error)
            *error = notAWorkbook(path, bytes, reason);
        return nullptr;
    }
    book->m_path = QFileInfo(path).absoluteFilePath();
    return book;
}

std::unique_ptr<Workbook> Workbook::createNew()
{
    std::unique_ptr<Workbook> book(new Workbook);
    book->m_package.setData(QString::fromLatin1(ContentTypesPart), NewContentTypes);
    book->m_package.setData(QStringLiteral("_rels/.rels"), NewRootRelationships);
    book->m_package.setData(QStringLiteral("xl/workbook.xml"), NewWorkbook);
    book->m_package.setData(QStringLiteral("xl/_rels/workbook.xml.rels"), NewWorkbookRelationships);
    book->m_package.setData(QStringLiteral("xl/worksheets/sheet1.xml"), NewWorksheet);
    book->m_package.setData(QStringLiteral("xl/styles.xml"), WorkbookStyles().toXml());
    QString error;
    const bool ok = book->load(&error);
    Q_ASSERT(ok);
    Q_UNUSED(ok);
    return book;
}

// A part's XML for reading: false, with the reason, when it is larger than any workbook's part or its tree would
// take more than is left of the memory for the workbook's parts. An absent part reads as "".
bool Workbook::readPart(const QString& part, QByteArray* xml, QString* error)
{
    QString reason;
    *xml = m_package.read(part, MaxXmlPartSize, &reason);
    if (reason.isEmpty()) {
        const qint64 cost = treeCost(*xml);
        if (cost <= m_treeBudget) {
            m_treeBudget -= cost;
            return true;
        }
        reason = QStringLiteral("its parts hold more than a workbook can");
    }
    xml->clear();
    if (error)
        *error = reason;
    return false;
}

std::optional<std::vector<Workbook::Relationship>> Workbook::relationships(const QString& sourcePart, QString* error)
{
    QByteArray data;
    if (!readPart(XlsxPackage::relationshipsPart(sourcePart), &data, error))
        return std::nullopt;
    std::vector<Relationship> result;
    pugi::xml_document doc;
    if (data.isEmpty() || !Xml::parse(doc, data, error))
        return result;
    for (pugi::xml_node r : doc.document_element().children()) {
        if (!Xml::is(r, "Relationship") || Xml::value(r.attribute("TargetMode")) == QLatin1String("External"))
            continue;
        const QString part = XlsxPackage::resolveTarget(sourcePart, Xml::value(r.attribute("Target")));
        result.push_back({Xml::value(r.attribute("Id")), Xml::value(r.attribute("Type")), m_package.find(part)});
    }
    return result;
}

QString Workbook::relatedPart(const std::vector<Relationship>& relationships, const char* typeSuffix) const
{
    for (const Relationship& r : relationships) {
        if (r.type.endsWith(QLatin1String(typeSuffix)) && !r.part.isEmpty())
            return r.part;
    }
    return QString();
}

bool Workbook::load(QString* error)
{
    const std::optional<std::vector<Relationship>> root = relationships(QString(), error);
    if (!root)
        return false;
    m_workbookPart = relatedPart(*root, "/officeDocument");
    if (m_workbookPart.isEmpty()) {
        *error = QStringLiteral("it has no workbook part");
        return false;
    }
    for (const Relationship& r : *root) {
        if (r.type.endsWith(QLatin1String("/officeDocument")))
            m_relationshipType = r.type.left(r.type.size() - int(std::strlen("officeDocument")));
    }

    QByteArray xml;
    pugi::xml_document workbook;
    if (!readPart(m_workbookPart, &xml, error) || !Xml::parse(workbook, xml, error))
        return false;
    const pugi::xml_node top = workbook.document_element();
    m_date1904 = isTrue(Xml::child(top, "workbookPr").attribute("date1904"));

    const std::optional<std::vector<Relationship>> related = relationships(m_workbookPart, error);
    if (!related)
        return false;
    m_stylesPart = relatedPart(*related, "/styles");
    if (!m_stylesPart.isEmpty() && (!readPart(m_stylesPart, &xml, error) || !m_styles.load(xml, error)))
        return false;
    m_sharedStringsPart = relatedPart(*related, "/sharedStrings");

    // The worksheet relationships by id, so that a workbook with many sheets is not read in quadratic time.
    QMultiHash<QString, const Relationship*> worksheets;
    for (const Relationship& r : *related) {
        if (r.type.endsWith(QLatin1String("/worksheet")) && !r.part.isEmpty())
            worksheets.insert(r.id, &r);
    }
    for (pugi::xml_node s : Xml::child(top, "sheets").children()) {
        if (!Xml::is(s, "sheet"))
            continue;
        const QList<const Relationship*> matches = worksheets.values(Xml::value(Xml::attribute(s, "id")));
        // The hash gives them last first; the relationships part's order is kept.
        for (auto r = matches.crbegin(); r != matches.crend(); ++r)
            m_sheets.push_back({Xml::value(s.attribute("name")), (*r)->part, nullptr});
    }
    return true;
}

bool Workbook::loadSharedStrings(const Worksheet& sheet, QString* error)
{
    if (m_sharedStringsPart.isEmpty())
        return true;
    std::vector<int> wanted = sheet.sharedStringIndexes();
    if (!m_sharedStrings.onlyNew(wanted))
        return true;
    // Streamed rather than built into a tree, so only its size is bounded.
    error->clear();
    const QByteArray xml = m_package.read(m_sharedStringsPart, MaxXmlPartSize, error);
    if (!error->isEmpty())
        return false;
    // The usual small table is read through a tree, which is quicker; the tree is gone once the entries are taken.
    if (treeCost(xml) <= m_treeBudget)
        m_sharedStrings.loadTree(xml, wanted);
    else
        m_sharedStrings.load(xml, wanted);
    return true;
}

QStringList Workbook::sheetNames() const
{
    QStringList names;
    for (const SheetEntry& e : m_sheets)
        names << e.name;
    return names;
}

Worksheet* Workbook::sheet(const QString& name)
{
    for (SheetEntry& e : m_sheets) {
        if (e.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!e.sheet) {
            std::unique_ptr<Worksheet> sheet(new Worksheet(e.name, m_styles, m_sharedStrings, m_date1904));
            QString reason;
            QByteArray xml;
            if (!readPart(e.part, &xml, &reason) || !sheet->load(xml, &reason) || !loadSharedStrings(*sheet, &reason)) {
                m_error = QStringLiteral("The worksheet \"%1\" cannot be read: %2").arg(e.name, reason);
                return nullptr;
            }
            e.sheet = std::move(sheet);
        }
        return e.sheet.get();
    }
    m_error = QStringLiteral("The workbook has no worksheet named \"%1\".").arg(name);
    return nullptr;
}

bool Workbook::save()
{
    if (m_path.isEmpty()) {
        m_error = QStringLiteral("The workbook has no file name yet.");
        return false;
    }
    return saveAs(m_path);
}

bool Workbook::saveAs(const QString& path)
{
    writeParts();
    QByteArray zip;
    QString reason;
    if (!m_package.toZip(&zip, &reason)) {
        m_error = QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    if (!WholeFile::write(path, zip, &reason)) {
        m_error = QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    return true;
}

void Workbook::writeParts()
{
    bool formulaRemoved = false;
    for (SheetEntry& e : m_sheets) {
        if (e.sheet && e.sheet->m_modified) {
            m_package.setData(e.part, e.sheet->toXml());
            formulaRemoved = formulaRemoved || e.sheet->m_formulaRemoved;
        }
    }
    if (m_styles.isModified()) {
        if (m_stylesPart.isEmpty())
            addStylesPart();
        m_package.setData(m_stylesPart, m_styles.toXml());
    }
    // The calculation chain lists the cells with formulas; one that names a cell without one makes
    // spreadsheet programs call the file damaged. They rebuild the chain when it is missing.
    if (formulaRemoved)
        dropCalculationChain();
}

void Workbook::addStylesPart()
{
    const QString folder = m_workbookPart.left(m_workbookPart.lastIndexOf(u'/') + 1);
    m_stylesPart = folder + QLatin1String("styles.xml");

    const QString relsPart = XlsxPackage::relationshipsPart(m_workbookPart);
    pugi::xml_document rels;
    if (!Xml::parse(rels, m_package.data(relsPart), nullptr) || !rels.document_element()) {
        rels.reset();
        Xml::addDeclaration(rels);
        rels.append_child("Relationships").append_attribute("xmlns") =
            "http://schemas.openxmlformats.org/package/2006/relationships";
    }
    pugi::xml_node top = rels.document_element();
    QSet<QString> ids;
    for (pugi::xml_node r : top.children())
        ids.insert(Xml::value(r.attribute("Id")));
    int n = 1;
    while (ids.contains(QStringLiteral("rId%1").arg(n)))
        ++n;
    pugi::xml_node r = top.append_child((Xml::prefixOf(top) + "Relationship").c_str());
    r.append_attribute("Id") = QStringLiteral("rId%1").arg(n).toLatin1().constData();
    const QString type =
        (m_relationshipType.isEmpty() ? QString::fromLatin1(TransitionalRelationships) : m_relationshipType) +
        QLatin1String("styles");
    r.append_attribute("Type") = type.toLatin1().constData();
    r.append_attribute("Target") = "styles.xml";
    m_package.setData(relsPart, Xml::serialize(rels));

    pugi::xml_document types;
    if (Xml::parse(types, m_package.data(QString::fromLatin1(ContentTypesPart)), nullptr)) {
        pugi::xml_node top = types.document_element();
        pugi::xml_node o = top.append_child((Xml::prefixOf(top) + "Override").c_str());
        o.append_attribute("PartName") = (u'/' + m_stylesPart).toUtf8().constData();
        o.append_attribute("ContentType") = StylesContentType;
        m_package.setData(QString::fromLatin1(ContentTypesPart), Xml::serialize(types));
    }
}

void Workbook::dropCalculationChain()
{
    const QString relsPart = XlsxPackage::relationshipsPart(m_workbookPart);
    pugi::xml_document rels;
    if (!Xml::parse(rels, m_package.data(relsPart), nullptr))
        return;
    QString chain;
    for (pugi::xml_node r : rels.document_element().children()) {
        if (Xml::value(r.attribute("Type")).endsWith(QLatin1String("/calcChain"))) {
            chain = m_package.find(XlsxPackage::resolveTarget(m_workbookPart, Xml::value(r.attribute("Target"))));
            rels.document_element().remove_child(r);
            break;
        }
    }
    if (chain.isEmpty())
        return;
    m_package.setData(relsPart, Xml::serialize(rels));
    m_package.remove(chain);

    pugi::xml_document types;
    if (!Xml::parse(types, m_package.data(QString::fromLatin1(ContentTypesPart)), nullptr))
        return;
    for (pugi::xml_node o : types.document_element().children()) {
        if (Xml::value(o.attribute("PartName")).compare(u'/' + chain, Qt::CaseInsensitive) == 0) {
            types.document_element().remove_child(o);
            break;
        }
    }
    m_package.setData(QString::fromLatin1(ContentTypesPart), Xml::serialize(types));
}
