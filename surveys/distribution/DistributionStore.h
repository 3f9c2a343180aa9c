#pragma once

#include "shell/gblGlobal.h"

#include <QString>

// The look-ups and the one write behind mailing survey workbooks: the customers' standard messages and the
// respondents' addresses. Each shows the connection's errors itself and then gives its empty value.
class DistributionStore
{
public:
    static constexpr const char* kTitle = kMessageTitle;
    static constexpr const char* kSubject = "Pellorin Survey";
    static constexpr const char* kNoMailClient =
        "Cannot send E-Mail....There is no Default Mail Client Installed on your PC...";
    // A stored address that is not one plain address is not handed over; %1 is the respondent's name.
    static constexpr const char* kNotPlainAddress =
        "Cannot send E-Mail....The email address of %1 is not one plain address...";

    // The customer's standard message without its outer blanks; "" when it has none.
    static QString toGetStandardMessage(const QString& customerName);
    // Stores the text as the customer's one standard message: a text with an apostrophe keeps its outer blanks
    // and has each apostrophe turned into U+2019; any other text loses its outer blanks. Nothing is stored for
    // a name that is no customer's.
    static void toWriteStandardMessage(const QString& customerName, const QString& text);
    // The respondent's stored address; "" when it has none or the customer has no such respondent. A respondent
    // id other than 0 picks the respondent, as two of one customer may share a name.
    static QString toGetRespondentEmail(const QString& respondentName, const QString& customerName,
                                        int respondentId = 0);

    // Leading and trailing blanks removed; other white space (line breaks) is part of the text.
    static QString trimBlanks(const QString& text);
};
