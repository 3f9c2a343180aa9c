#pragma once

class QWidget;

// The help topic of each window that has a Help button, by the window's help context number, and the procedure
// those buttons and the Help menu share.
namespace HelpTopics
{

constexpr int frmCustomer = 1;
constexpr int frmParameter = 2;
constexpr int frmFeedBackObj = 6;
constexpr int frmImprovementPlan = 7;
constexpr int frmDateToDate = 8;
constexpr int frmDtoDSatisfactionOverview = 9;
constexpr int frmDtoDActionPlan = 10;
constexpr int frmSatisfactionIndex = 11;
constexpr int frmPerformanceMatrix = 12;
constexpr int frmSearch = 13;
constexpr int frmReading = 200;
// The new-survey window shares the chooser's topic.
constexpr int frmSelectSurvey = 201;
constexpr int frmNewSurvey = 201;
constexpr int frmEditExistingSurvey = 202;
constexpr int frmLogDetails = 203;

// A window's Help button: the hourglass on the window while the help file opens at the window's topic.
void showTopic(QWidget* window, int contextId);
// Help > Contents: the help file's contents, the hourglass on the window meanwhile.
void showContents(QWidget* window);

} // namespace HelpTopics
