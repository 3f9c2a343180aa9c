#include "surveys/SurveyWindows.h"

#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmPasteSurvey.h"
#include "surveys/frmSelectSurvey.h"

QPointer<frmSelectSurvey> SurveyWindows::s_select;
QPointer<frmNewSurvey> SurveyWindows::s_new;
QPointer<frmEditExistingSurvey> SurveyWindows::s_edit;

std::function<frmSelectSurvey*()> SurveyWindows::selectSurvey;
std::function<frmEditExistingSurvey*()> SurveyWindows::editExistingSurvey;
std::function<frmNewSurvey*()> SurveyWindows::loadedNewSurvey;
std::function<frmNewSurvey*()> SurveyWindows::newSurvey;
std::function<void(QWidget*)> SurveyWindows::show;
std::function<void(QWidget*)> SurveyWindows::unload;
std::function<void(frmPasteSurvey&)> SurveyWindows::runPaste;

namespace
{

const bool kDefaultsSet = [] {
    SurveyWindows::useDefaults();
    return true;
}();

} // namespace

void SurveyWindows::useDefaults()
{
    selectSurvey = [] { return s_select.data(); };
    editExistingSurvey = [] { return s_edit.data(); };
    loadedNewSurvey = [] { return s_new.data(); };
    newSurvey = [] {
        if (!s_new)
            (new frmNewSurvey())->Form_Load(); // registers itself
        return s_new.data();
    };
    show = [](QWidget* w) {
        w->show();
        w->raise();
        w->activateWindow();
    };
    unload = [](QWidget* w) { w->close(); };
    runPaste = [](frmPasteSurvey& dialog) { dialog.exec(); };
}

void SurveyWindows::registerInstance(frmSelectSurvey* window)
{
    s_select = window;
}

void SurveyWindows::registerInstance(frmNewSurvey* window)
{
    s_new = window;
}

void SurveyWindows::registerInstance(frmEditExistingSurvey* window)
{
    s_edit = window;
}

void SurveyWindows::unregisterInstance(QWidget* window)
{
    if (s_select == window)
        s_select = nullptr;
    if (s_new == window)
        s_new = nullptr;
    if (s_edit == window)
        s_edit = nullptr;
}
