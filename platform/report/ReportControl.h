#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

// The report control a window prints through. The window sets the properties and then Action = 1: the
// control reads its definition file, reads the rows of the definition's table from the database file (by
// path, read-only), applies the selection formula, puts the formulas' texts (the company name) in place and
// shows the report in a print preview, from which the user prints or saves a PDF. A failure shows a message
// with its reason. After each run the selection formula is empty again, ready for the next run.
class ReportControl : public QObject
{
    Q_OBJECT

public:
    enum WindowStateValue { Normal = 0, Minimized = 1, Maximized = 2 };

    // What a run produced, kept in test mode instead of showing the preview.
    struct Run {
        QString reportFileName;
        QString dataFile;
        QString selectionFormula;
        QString windowTitle;
        int windowState = Normal;
        QByteArray pdf;
        QStringList lines; // the report as text lines, as laid out
        int rowCount = 0;
        int pageCount = 0;
    };

    explicit ReportControl(QWidget* owner = nullptr);

    // The database password, as the program hands it over; the database file carries none, so it is kept only.
    void setPassword(const QString& password) { m_password = password; }
    QString password() const { return m_password; }
    // Formulas(index), written "Name='text'": the definition shows the text where it names {Name}.
    void setFormula(int index, const QString& formula) { m_formulas[index] = formula; }
    QString formula(int index) const { return m_formulas.value(index); }
    // DataFiles(index): the database file; the report reads DataFiles(0).
    void setDataFile(int index, const QString& path) { m_dataFiles[index] = path; }
    QString dataFile(int index) const { return m_dataFiles.value(index); }
    void setReportFileName(const QString& path) { m_reportFileName = path; }
    QString reportFileName() const { return m_reportFileName; }
    void setSelectionFormula(const QString& formula) { m_selectionFormula = formula; }
    QString selectionFormula() const { return m_selectionFormula; }
    void setWindowTitle(const QString& title) { m_windowTitle = title; }
    QString windowTitle() const { return m_windowTitle; }
    void setWindowState(int state) { m_windowState = state; }
    int windowState() const { return m_windowState; }
    // Action = 1 runs the report into the preview; true when the report was shown.
    bool setAction(int action);

    // Runs the report into a PDF file without showing anything; false with the reason.
    bool renderToPdf(const QString& pdfPath, QString* error);

    // "Name='text'" split into name and text; the text is everything between the outer quotes, so
    // apostrophes inside it stay as they are.
    static bool splitFormula(const QString& formula, QString* name, QString* text);

    // The seam: in test mode Action renders the report to PDF and keeps the run instead of showing it.
    static void setTestMode(bool on);
    static bool testMode();
    static QList<Run> runs();
    static void clearRuns();

private:
    struct Prepared;
    bool prepare(Prepared* prepared, QString* error) const;
    void showPreview(std::shared_ptr<Prepared> prepared);

    QString m_password;
    QMap<int, QString> m_formulas;
    QMap<int, QString> m_dataFiles;
    QString m_reportFileName;
    QString m_selectionFormula;
    QString m_windowTitle;
    int m_windowState = Normal;
    QPointer<QWidget> m_owner;
};
