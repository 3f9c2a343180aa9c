#pragma once

#include "platform/lists/ChoiceList.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QWidget>

class FlexGrid;
class GridEditor;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Enter Survey Feedback": one respondent's answers to the survey of one date, typed into the grid through its
// floating editor, saved, and shown again from the answer tables.
class frmFeedBackObj : public QWidget
{
    Q_OBJECT

public:
    // Grid columns.
    enum Column { ColQuestion = 1, ColWeightage = 2, ColScore = 3, ColDescription = 4, ColType = 5 };

    explicit frmFeedBackObj(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbCusName = nullptr;
    QLabel* Label4 = nullptr;
    ChoiceList* lstSurveyDates = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    ChoiceList* lstRespname = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblSDate = nullptr;
    QLabel* lblXLSFile = nullptr;
    FlexGrid* grdDtls = nullptr;
    QLineEdit* txtDtls = nullptr;

    // State of reading a returned workbook, cleared on every activation.
    bool LogFound = false;
    bool FullPath = false;
    // The workbook logged for the chosen survey, and the one to read: a file of the program's folder, or a full
    // path when it was located elsewhere.
    QString LoggedFile;
    QString FileName;

    void cmbCusName_Click();
    void lstRespname_Click();
    void lstSurveyDates_Click();
    void cmdSave_Click();
    void cmdHelp_Click();
    void cmdClose_Click();
    void cmdRead_Click();

    void toFillcmbCustomername();
    void toFillListView();
    void toFilllstRespondentName();
    void toSetWidthForGrid();
    void toFillGrid();
    void SetEditTextBox(int col, int row);

    // Stored answers of the chosen respondent and date into the grid's answer cells.
    void tofillscoreandweightage();
    // The workbook logged for the chosen customer, respondent and date, into lblXLSFile.
    void toShowXlsFileName();
    // Read In: the logged workbook from the program's folder, or located by the user, into the answer tables and
    // the grid.
    void toreadFromXlsFile();
    // The logged workbook's name ("" when there is none); sets LoggedFile and LogFound.
    QString toGetLogFileName();
    // Whether that file lies in the program's folder; sets FileName and FullPath.
    bool toCheckFileExists(const QString& name);
    void toLocateXlsFile();
    void toSaveDtls();

    // "" when the chosen customer has no survey on that date.
    QString toGetSurveyID(const QDate& surveydate);
    // The question a grid row was filled with (0 for none).
    int questionIdOfRow(int row) const;

    QString chosenCustomer() const;
    // The respondent of the entry chosen in lstRespname (0 for none): names may repeat, the entry's id does not.
    int chosenRespondentId() const;
    QDate chosenSurveyDate() const;

    // A weightage or score the grid keeps: a whole number from 0 to 10, blanks around it allowed.
    static bool isAnswerValue(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeInMainWindow();
    void fitColumns();
    bool takesAnswer(int row, int col) const;
    QString columnRule(int row, int col, const QString& typed) const;
    void setEmptyGrid();
    void showSurveyDate(const QDate& date);
    void selectHitRespondent(const QString& foundIn, const QString& id);
    void clickOnEveryPress(QListWidget* list, void (frmFeedBackObj::*handler)());
    // The log row of the chosen customer, respondent and date: its file name, invalid when there is none.
    QVariant loggedFileName();
    void readWorkbook();

    GridEditor* m_editor = nullptr;
    QList<int> m_questionIds; // by grid row, from row 1
    QDate m_shownDate;
    // Selection changes of the lists, so that a press on the entry already selected still counts as a click.
    int m_selectionChanges = 0;
    int m_selectionChangesAtPress = 0;
};
