#pragma once

#include "platform/workbook/SharedStrings.h"
#include "platform/workbook/WorkbookStyles.h"
#include "platform/workbook/Worksheet.h"
#include "platform/workbook/XlsxPackage.h"

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <memory>
#include <optional>
#include <vector>

// An .xlsx workbook, read into memory. Parts this layer does not deal with are written back as they came.
class Workbook
{
public:
    // Nullptr, with the reason, when the file cannot be read as a workbook.
    static std::unique_ptr<Workbook> open(const QString& path, QString* error = nullptr);
    // A workbook with one empty worksheet "Sheet1"; it has no file until saveAs.
    static std::unique_ptr<Workbook> createNew();

    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    QString path() const { return m_path; }
    QStringList sheetNames() const;
    // The worksheet of that name, letter case aside; nullptr, with errorString() saying why, when there is none.
    Worksheet* sheet(const QString& name);
    bool uses1904Dates() const { return m_date1904; }
    void setDefaultFont(const QString& name, double points) { m_styles.setDefaultFont(name, points); }

    // The file is replaced in one step: when saving fails, the file on disk stays as it was.
    bool save();
    bool saveAs(const QString& path);

    QString errorString() const { return m_error; }

private:
    struct SheetEntry {
        QString name;
        QString part;
        std::unique_ptr<Worksheet> sheet;
    };
    struct Relationship {
        QString id;
        QString type;
        QString part;
    };

    Workbook();
    bool load(QString* error);
    bool readPart(const QString& part, QByteArray* xml, QString* error);
    // nullopt, with the reason, when the relationships part is refused; a part that is absent or no sound XML
    // holds none.
    std::optional<std::vector<Relationship>> relationships(const QString& sourcePart, QString* error);
    QString relatedPart(const std::vector<Relationship>& relationships, const char* typeSuffix) const;
    bool loadSharedStrings(const Worksheet& sheet, QString* error);
    void writeParts();
    void addStylesPart();
    void dropCalculationChain();

    XlsxPackage m_package;
    QString m_path;
    QString m_error;
    QString m_workbookPart;
    QString m_relationshipType; // the namespace of relationship types this package uses, with a trailing "/"
    QString m_stylesPart;
    bool m_date1904 = false;
    WorkbookStyles m_styles;
    QString m_sharedStringsPart;
    SharedStrings m_sharedStrings;
    // What is left of the memory that the trees of the parts read may take.
    qint64 m_treeBudget;
    std::vector<SheetEntry> m_sheets;
};
