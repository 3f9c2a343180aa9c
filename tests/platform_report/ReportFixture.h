#pragma once

#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/DatabaseFile.h"
#include "support/PdfText.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

// A program folder of its own for each test: the report definitions, a database made from the schema, and
// the report control in test mode.
class ReportFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        ASSERT_TRUE(m_dir.isValid());
        const QDir resources(QStringLiteral(QUORVANE_SOURCE_DIR "/resources"));
        for (const QString& name : resources.entryList({QStringLiteral("*.rpt")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(resources.filePath(name), path(name)));
        QString error;
        ASSERT_TRUE(
            DatabaseFile::createFromSchema(databasePath(), resources.filePath(QStringLiteral("schema.sql")), &error))
            << error.toStdString();
        m_connection = QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(databasePath());
        ASSERT_TRUE(db.open());
        ReportControl::setTestMode(true);
        ReportControl::clearRuns();
        MsgBox::clearRecords();
    }

    void TearDown() override
    {
        QSqlDatabase::database(m_connection).close();
        QSqlDatabase::removeDatabase(m_connection);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString databasePath() const { return path(QStringLiteral("Pellorin.mdb")); }

    void exec(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_connection));
        ASSERT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& v : values)
            q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    int count(const QString& table)
    {
        QSqlQuery q(QSqlDatabase::database(m_connection));
        q.exec(QStringLiteral("SELECT count(*) FROM ") + table);
        return q.next() ? q.value(0).toInt() : -1;
    }

    // The control set up as the program's windows set it up.
    void prepare(ReportControl& control, const QString& reportFile, const QString& title,
                 const QString& company = QStringLiteral("Harbour Instruments Ltd"))
    {
        control.setPassword(QStringLiteral("\nwubtej"));
        control.setFormula(0, QStringLiteral("CompanyName='") + company + QLatin1Char('\''));
        control.setDataFile(0, databasePath());
        control.setReportFileName(path(reportFile));
        control.setWindowTitle(title);
        control.setWindowState(ReportControl::Maximized);
    }

    // Runs the report and returns its text as pdftotext reads it (empty when the run failed).
    QString runToText(ReportControl& control)
    {
        const int before = int(ReportControl::runs().size());
        if (!control.setAction(1) || ReportControl::runs().size() != before + 1)
            return QString();
        return pdfText(ReportControl::runs().last().pdf);
    }

    // A chart picture as the analysis windows save it.
    void writePicture(const QString& name)
    {
        QImage image(640, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setPen(QPen(Qt::blue, 4));
        p.drawLine(40, 360, 600, 40);
        p.drawRect(40, 40, 560, 320);
        p.end();
        ASSERT_TRUE(image.save(path(name), "BMP"));
    }

    QTemporaryDir m_dir;
    QString m_connection;
};

// Checks that the texts appear in the given order, each after the one before it.
inline ::testing::AssertionResult appearInOrder(const QString& text, const QStringList& parts)
{
    qsizetype at = 0;
    for (const QString& part : parts) {
        const qsizetype found = text.indexOf(part, at);
        if (found < 0)
            return ::testing::AssertionFailure()
                   << "\"" << part.toStdString() << "\" missing after position " << at << " in:\n"
                   << text.toStdString();
        at = found + part.size();
    }
    return ::testing::AssertionSuccess();
}
