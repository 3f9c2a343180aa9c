#pragma once

#include "masterdata/GridRows.h"
#include "platform/grid/GridEditor.h"

#include <QWidget>

class FlexGrid;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The catalogue of parameters and, for the parameter selected in the upper grid, its questions, both edited in
// place.
class frmParameter : public QWidget
{
    Q_OBJECT

public:
    explicit frmParameter(QWidget* parent = nullptr);

    // Run once when the window has its frame, before it is first shown.
    void Form_Load();

    QGroupBox* fraParameterDtls = nullptr;
    FlexGrid* grdParameterDtls = nullptr;
    QLineEdit* txtParameterDtls = nullptr;
    QPushButton* cmdAddParameter = nullptr;
    QPushButton* cmdSaveParameter = nullptr;
    QPushButton* cmdDeleteParameter = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* fraQuestionDtls = nullptr;
    FlexGrid* grdQuestionDtls = nullptr;
    QLineEdit* txtQuestionDtls = nullptr;
    QComboBox* cmbType = nullptr;
    QPushButton* cmdAddQuestion = nullptr;
    QPushButton* cmdSaveQuestion = nullptr;
    QPushButton* cmdDeleteQuestion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    void cmdAddParameter_Click();
    // False when the save was refused or failed.
    bool cmdSaveParameter_Click();
    void cmdDeleteParameter_Click();
    void cmdAddQuestion_Click();
    void cmdSaveQuestion_Click();
    void cmdDeleteQuestion_Click();
    void cmdHelp_Click();
    void cmdClose_Click();
    void grdParameterDtls_Click();
    void cmbType_Click(int index);

    void SetEditParameterTextBox(int col, int row);
    void SetEditQuestionTextBox(int col, int row);
    void toRefreshPrameterDetails();
    void toRefreshQuestionDtls();

    // The stored type of a Type cell: a scored question unless the cell reads as Descriptive.
    static bool isScoreType(const QString& cell);
    // What the Type cell makes of a typed text: s or d alone become the type's name, other starts are cleared.
    static QString typeRule(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepQuestionsInStep();
    void buildControls();
    void toSetWidthForParamGrid();
    void toSetWidthForQuestionGrid();
    bool toSaveParameterDtls();
    void toSaveQuestionDetails();
    bool toDeleteparameter();
    void toDeleteQuestionDetails();
    void cmbType_KeyDown(int key);

    GridEditor* m_parameters = nullptr;
    GridEditor* m_questions = nullptr;
    // The parameter whose questions the lower grid shows: questions are saved under it and no other.
    ShownMaster m_shownParameter;
};
