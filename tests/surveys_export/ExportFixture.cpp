#include "ExportFixture.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"
#include "surveys/export/SurveyExport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

void ExportFixture::SetUp()
{
    AppFixture::SetUp();
    MsgBox::clearRecords();
    Desktop::setToday(QDate(2024, 4, 2));
    gCompanyName = QStringLiteral("Quorvane Test Ltd");
    m_custid = addCustomer(m_customer);
    m_respid = addRespondent(m_custid, m_respondent);
    m_surveyid = addSurvey(m_custid, m_date);
}

int ExportFixture::addCustomer(const QString& name, int id)
{
    run(QStringLiteral("insert into customer (custid, custname) values (?, ?)"),
        {id ? QVariant(id) : QVariant(QMetaType(QMetaType::Int)), name});
    return value(QStringLiteral("select max(custid) from customer where custname=?"), {name}).toInt();
}

int ExportFixture::addRespondent(int custid, const QString& name, int id)
{
    run(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (?, ?, ?)"),
        {id ? QVariant(id) : QVariant(QMetaType(QMetaType::Int)), custid, name});
    return value(QStringLiteral("select max(respondentid) from respondent where custid=?"), {custid}).toInt();
}

int ExportFixture::addParameter(const QString& name)
{
    run(QStringLiteral("insert into parameter (parametername) values (?)"), {name});
    return value(QStringLiteral("select max(paramid) from parameter")).toInt();
}

int ExportFixture::addQuestion(int paramid, const QString& text, bool scored)
{
    run(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
        {text, scored ? 1 : 0, paramid});
    return value(QStringLiteral("select max(questionid) from questions")).toInt();
}

int ExportFixture::addSurvey(int custid, const QDate& date, int id)
{
    run(QStringLiteral("insert into survey (surveyid, sdate, custid) values (?, ?, ?)"),
        {id ? QVariant(id) : QVariant(QMetaType(QMetaType::Int)), date.toString(Qt::ISODate), custid});
    return value(QStringLiteral("select max(surveyid) from survey where custid=?"), {custid}).toInt();
}

void ExportFixture::addToSurvey(int respid, int surveyid, const QList<int>& questionIds)
{
    int order = value(QStringLiteral("select count(*) from responquesindex where respondentid=? and surveyid=?"),
                      {respid, surveyid})
                    .toInt();
    for (int id : questionIds)
        run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                           "values (?, ?, ?, ?)"),
            {respid, id, surveyid, ++order});
}

void ExportFixture::addObjective(int respid, int questionid, const QDate& date, const QVariant& weightage,
                                 const QVariant& score)
{
    run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) values (?, ?, 0, ?, ?, ?)"),
        {respid, questionid, date.toString(Qt::ISODate), weightage, score});
}

void ExportFixture::addDescriptive(int respid, int questionid, const QDate& date, const QVariant& weightage)
{
    run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, surveydate, weightage) "
                       "values (?, ?, 0, ?, ?)"),
        {respid, questionid, date.toString(Qt::ISODate), weightage});
}

SurveyExportContext ExportFixture::context(bool userDefined) const
{
    SurveyExportContext c;
    c.customer = m_customer;
    c.respondent = m_respondent;
    c.surveyDate = m_date;
    c.userDefinedName = userDefined;
    return c;
}

bool ExportFixture::exportSurvey(bool userDefined)
{
    SurveyExportContext c = context(userDefined);
    const bool ok = SurveyExport(c).toWriteToExcelSheet();
    m_lastFileName = c.fileName;
    return ok;
}

QString ExportFixture::workbook(const QString& name) const
{
    return QDir(folder()).filePath(name);
}

QStringList ExportFixture::messages() const
{
    QStringList texts;
    for (const MsgBox::Shown& s : MsgBox::shown())
        texts << s.text;
    return texts;
}

QByteArray ExportFixture::python(const QString& script, const QStringList& arguments)
{
    return output(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
}

QByteArray ExportFixture::output(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    const bool finished = p.waitForFinished(120000);
    EXPECT_TRUE(finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

QString ExportFixture::convertWithLibreOffice(const QString& path, const QString& format, const QString& outDir)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return QString();
    // A profile of its own, so that conversions running side by side do not wait for each other.
    QTemporaryDir profile;
    output(soffice, {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                     QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, path});
    const QString out = QDir(outDir).filePath(QFileInfo(path).completeBaseName() + u'.' + format);
    EXPECT_TRUE(QFileInfo::exists(out)) << out.toStdString();
    return out;
}

QJsonObject ExportFixture::openpyxl(const QString& path)
{
    static const char* const script = R"(
import sys, json, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb['Sheet1']
def colour(c):
    return c.rgb if c is not None and isinstance(c.rgb, str) else None
cells = {}
for row in ws.iter_rows(min_row=1, max_row=max(ws.max_row, 40), max_col=9):
    for c in row:
        v = c.value
        if isinstance(v, datetime.datetime):
            v = v.date().isoformat()
        b = c.border
        cells[c.coordinate] = {'v': v, 'locked': c.protection.locked, 'wrap': bool(c.alignment.wrap_text),
                               'font': colour(c.font.color),
                               'border': colour(b.left.color) if b.left.style else None}
print(json.dumps({'cells': cells, 'protected': ws.protection.sheet, 'password': ws.protection.password,
                  'hidden_i': ws.column_dimensions['I'].hidden, 'max_row': ws.max_row}))
)";
    return QJsonDocument::fromJson(python(QString::fromLatin1(script), {path})).object();
}
