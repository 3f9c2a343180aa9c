#pragma once

#include "shell/gblGlobal.h"

#include "surveys/SurveyStore.h"

#include <QDate>
#include <QIcon>
#include <QWidget>

class FlexGrid;
class ParameterTree;
class QLabel;
class QPushButton;
class QTreeWidgetItem;

// What the composition window and the existing-survey window have in common: the tree of parameters and
// questions, the ordered question grid with its one blank last row, and adding, removing, saving and moving
// questions. Every change is stored at once, in one transaction, and the grid is then reloaded from the
// database. The two windows differ only in where the survey on show comes from.
class SurveyEditor : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = kMessageTitle;

    ParameterTree* trvParameter = nullptr;
    FlexGrid* grdParamAndQuest = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdUpward = nullptr;
    QPushButton* cmdDownward = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdmail = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;

    // Shared with the export, naming and mail of the survey workbook.
    QString mFileName;
    bool mMailMode = false;
    bool mUserDefinedName = false;

    // Run once by whoever loads the window, before it is first shown; and whenever it comes forward.
    virtual void Form_Load() = 0;
    void Form_Activate();

    void toRefreshGrid();
    QString toGetSurveyID(const QDate& date, const QString& customer);
    void toSaveParamAndQuest();
    void toSaveSurveyID();
    void toMoveRowUpward();
    void toMoveRowDownward();

    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdSave_Click();
    void cmdUpward_Click();
    void cmdDownward_Click();
    virtual void cmdCopy_Click() = 0;
    void cmdHelp_Click();
    void cmdClose_Click();
    void cmdExport_Click();
    void cmdPrint_Click();
    void cmdmail_Click();

    void trvParameter_DblClick();
    void trvParameter_KeyDown(int key);
    void trvParameter_OLECompleteDrag();
    void grdParamAndQuest_OLEDragDrop();
    void grdParamAndQuest_DblClick();

    // The survey on show. Its respondent is the one of respondentId (0 when none is known): two respondents of
    // one customer may share a name.
    virtual QString customerName() const = 0;
    virtual QString respondentName() const = 0;
    virtual int respondentId() const = 0;
    virtual QDate surveyDate() const = 0;
    SurveyKey survey() const;

protected:
    explicit SurveyEditor(QWidget* parent = nullptr);

    // Places the tree, the grid and the buttons below `top`; returns the height the window needs.
    int layOutEditor(int top);
    // Form_Load's part that both windows share: state, grid headings and widths, the tree.
    void loadEditor();
    void buildTree();
    void BuildNode(QTreeWidgetItem* parameterItem, const QList<SurveyStore::CatalogueQuestion>& questions);
    void setBlankGrid();
    QList<SurveyStore::Question> gridQuestions() const;
    // The stored id of the respondent on show, 0 when there is none (throws ProviderError).
    int storedRespondentId(int custid) const;

    // Where the windows differ.
    virtual bool toRefreshGridPrecheck() { return true; }
    virtual bool toCheckAddAllowed() { return true; }
    virtual bool refusesParameterItem() const { return false; }
    virtual bool mayStoreEmptyList() const { return true; }
    virtual int helpContext() const = 0;
    virtual QString reportTitle() const = 0;

    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void moveRow(int step);

    QIcon m_scoredIcon;
    QIcon m_descriptiveIcon;
    void refuseAdd();
    bool surveyCanTakeQuestions();
};
