#pragma once

#include "support/AppFixture.h"
#include "surveys/export/SurveyExportContext.h"

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// A program folder with one customer, respondent and survey to export, and openpyxl as the second reader.
class ExportFixture : public AppFixture
{
protected:
    void SetUp() override;

    int addCustomer(const QString& name, int id = 0);
    int addRespondent(int custid, const QString& name, int id = 0);
    int addParameter(const QString& name);
    int addQuestion(int paramid, const QString& text, bool scored);
    int addSurvey(int custid, const QDate& date, int id = 0);
    // Appends the questions to the respondent's survey, in this order.
    void addToSurvey(int respid, int surveyid, const QList<int>& questionIds);
    void addObjective(int respid, int questionid, const QDate& date, const QVariant& weightage, const QVariant& score);
    void addDescriptive(int respid, int questionid, const QDate& date, const QVariant& weightage);

    SurveyExportContext context(bool userDefined = false) const;
    // The whole export as the Export button runs it; true when the workbook was saved.
    bool exportSurvey(bool userDefined = false);
    QString workbook(const QString& name) const;
    QStringList messages() const;

    // openpyxl's view of a workbook: {"cells": {"A1": {"v":..., "locked":..., "font":..., "border":...}},
    // "protected": bool, "password": hash, "hidden_i": bool}.
    static QJsonObject openpyxl(const QString& path);
    static QByteArray python(const QString& script, const QStringList& arguments = {});
    // Standard output of a program that must succeed.
    static QByteArray output(const QString& program, const QStringList& arguments);
    // The file LibreOffice converts the workbook to ("xlsx", "pdf") in outDir; "" when it is not installed.
    static QString convertWithLibreOffice(const QString& path, const QString& format, const QString& outDir);

    // The default survey: customer "Harbour Instruments", respondent "Ann Lee", 2024-03-15.
    QString m_customer = QStringLiteral("Harbour Instruments");
    QString m_respondent = QStringLiteral("Ann Lee");
    QDate m_date = QDate(2024, 3, 15);
    int m_custid = 0;
    int m_respid = 0;
    int m_surveyid = 0;
    QString m_lastFileName;
};
