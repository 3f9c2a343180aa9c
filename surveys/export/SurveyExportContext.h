#pragma once

#include <QDate>
#include <QString>

#include <functional>

// What a survey window hands to the workbook export: the survey on show and the window's export state
// (mFileName, mMailMode, mUserDefinedName). The export writes the chosen file name back into fileName.
struct SurveyExportContext {
    QString customer;
    QString respondent;
    QDate surveyDate;
    bool userDefinedName = false; // the window's mUserDefinedName
    bool mailMode = false;        // the window's mMailMode: the export ends in e-mailing the workbook
    QString fileName;             // the window's mFileName: "" at the start, the workbook's name after
    // Mails the workbook just saved (mail mode only); receives its file name, without folder.
    std::function<void(const QString& fileName)> sendmail;
    // The respondent's id (0: found from the name); two respondents of one customer may share a name.
    int respondentId = 0;
};
