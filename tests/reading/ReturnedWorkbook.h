#pragma once

#include "platform/workbook/Workbook.h"
#include "shell/gblGlobal.h"

#include <QDate>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>

// A returned workbook laid out as the export lays it out: header ids in column I, blocks from row 14.
class ReturnedWorkbook
{
public:
    ReturnedWorkbook(const QVariant& respondent, const QDate& date, const QVariant& survey)
        : m_book(Workbook::createNew()), m_sheet(m_book->sheet(QStringLiteral("Sheet1")))
    {
        m_sheet->setValue(2, 9, respondent);
        m_sheet->setValue(3, 9, date);
        m_sheet->setValue(5, 9, survey);
    }
    ReturnedWorkbook& scored(const QVariant& id, const QVariant& weightage, const QVariant& score)
    {
        block(id, weightage);
        m_sheet->setValue(m_row, 3, score);
        m_row += 2;
        return *this;
    }
    ReturnedWorkbook& descriptive(const QVariant& id, const QVariant& weightage, const QVariant& answer)
    {
        block(id, weightage);
        m_sheet->setValue(m_row + 1, 2, answer);
        m_row += 3;
        return *this;
    }
    ReturnedWorkbook& cell(int row, int column, const QVariant& value)
    {
        m_sheet->setValue(row, column, value);
        return *this;
    }
    // I4 is the number of blocks unless set with cell().
    QString save(const QString& path)
    {
        if (!m_sheet->value(4, 9).isValid())
            m_sheet->setValue(4, 9, m_blocks);
        m_sheet->protect(QString::fromLatin1(kDatabasePassword));
        EXPECT_TRUE(m_book->saveAs(path)) << m_book->errorString().toStdString();
        return path;
    }

private:
    void block(const QVariant& id, const QVariant& weightage)
    {
        m_sheet->setValue(m_row, 9, id);
        m_sheet->setValue(m_row, 4, weightage);
        ++m_blocks;
    }

    std::unique_ptr<Workbook> m_book;
    Worksheet* m_sheet = nullptr;
    int m_row = 14;
    int m_blocks = 0;
};
