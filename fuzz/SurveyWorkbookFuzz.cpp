// Feeds returned survey workbooks through the whole reading road: the reader, the answer tables and the log, on a
// program folder of its own. An input whose first byte is odd is the file itself, so the archive handling is
// exercised; otherwise the rest of the input holds the worksheet, shared strings, styles and workbook parts
// (separated by "\n--part--\n") and is packed into a sound archive first, so that the mutations reach the XML
// instead of stopping at the archive's checksums.

#include "BenchFolder.h"
#include "feedback/ReturnedWorkbookStore.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace
{

const char* const PartNames[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml",
                                 "xl/workbook.xml"};

const char* const ContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";
const char* const RootRelationships =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="xl/workbook.xml"/></Relationships>)";
const char* const WorkbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
    R"(</Relationships>)";

// The data must stay alive until the archive is closed.
bool addPart(zip_t* archive, const char* name, const QByteArray& data)
{
    zip_source_t* source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
    if (!source)
        return false;
    if (zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

bool writePackage(const QString& path, const QByteArray& input)
{
    const QList<QByteArray> parts = input.split('\x01');
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    if (!archive)
        return false;
    bool ok = addPart(archive, "[Content_Types].xml",
                      QByteArray::fromRawData(ContentTypes, qsizetype(std::strlen(ContentTypes)))) &&
              addPart(archive, "_rels/.rels",
                      QByteArray::fromRawData(RootRelationships, qsizetype(std::strlen(RootRelationships)))) &&
              addPart(archive, "xl/_rels/workbook.xml.rels",
                      QByteArray::fromRawData(WorkbookRelationships, qsizetype(std::strlen(WorkbookRelationships))));
    for (qsizetype i = 0; ok && i < parts.size() && i < qsizetype(std::size(PartNames)); ++i)
        ok = addPart(archive, PartNames[i], parts[i]);
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return false;
    }
    return ok;
}

// The ids of the corpus's workbooks: respondent 12 of customer 3, survey 7, questions 1 to 60 (every fifth one
// descriptive), and the log rows the workbooks are marked read in.
bool seed(const QString& databasePath)
{
    SeedDatabase db(databasePath);
    db.exec(QStringLiteral("insert into customer (custid, custname) values (3, 'Harbour Instruments')"));
    db.exec(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (12, 3, 'Ann')"));
    db.exec(QStringLiteral("insert into survey (surveyid, sdate, custid) values (7, '2024-03-15', 3)"));
    db.exec(QStringLiteral("insert into parameter (paramid, parametername) values (1, 'Service')"));
    db.exec(QStringLiteral("insert into log (xlsfilename, respid, surveyid) values ('fuzz.xlsx', 12, 7)"));
    for (int i = 1; i <= 60; ++i)
        db.exec(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (?, ?, ?, 1)"),
                {i, QStringLiteral("Question %1").arg(i), i % 5 != 0});
    return db.commit();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    // The driver's warning for every refused statement would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static QTemporaryDir folder;
    MsgBox::setTestMode(true);
    if (!folder.isValid() || !startProgramIn(folder.path(), seed))
        std::abort();
    // Durability is of no use here; the speed is.
    QSqlQuery(gConnection()).exec(QStringLiteral("pragma journal_mode=wal"));
    QSqlQuery(gConnection()).exec(QStringLiteral("pragma synchronous=off"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = programFile(QStringLiteral("fuzz.xlsx"));
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(rest);
        file.close();
    } else {
        QByteArray parts = rest;
        parts.replace("\n--part--\n", "\x01");
        if (!writePackage(path, parts))
            return 0;
    }
    ReturnedWorkbookStore store;
    store.XLSWrite(path, QStringLiteral("fuzz.xlsx"));
    MsgBox::clearRecords();
    return 0;
}
