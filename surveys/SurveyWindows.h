#pragma once

#include <QPointer>

#include <functional>

class QWidget;
class frmSelectSurvey;
class frmNewSurvey;
class frmEditExistingSurvey;
class frmPasteSurvey;

// How the survey windows reach each other's one instance. Each window registers itself while it is loaded; the
// hooks answer from that registry unless the main window points them at its own (show as a child window, load
// on first touch, unload). Tests drive whole flows through the same hooks, without a main window.
class SurveyWindows
{
public:
    // The loaded instance, or nullptr: the windows never load these just to talk to them.
    static std::function<frmSelectSurvey*()> selectSurvey;
    static std::function<frmEditExistingSurvey*()> editExistingSurvey;
    static std::function<frmNewSurvey*()> loadedNewSurvey;
    // The composition window, loaded when it is not (setting its caption loads it).
    static std::function<frmNewSurvey*()> newSurvey;
    // Shows a loaded window non-modally and brings it forward; unloads (closes and destroys) one.
    static std::function<void(QWidget*)> show;
    static std::function<void(QWidget*)> unload;
    // Shows the copy window modally and returns when it has closed.
    static std::function<void(frmPasteSurvey&)> runPaste;

    // Back to the window's own registry and plain top-level windows.
    static void useDefaults();

    static void registerInstance(frmSelectSurvey* window);
    static void registerInstance(frmNewSurvey* window);
    static void registerInstance(frmEditExistingSurvey* window);
    static void unregisterInstance(QWidget* window);

private:
    static QPointer<frmSelectSurvey> s_select;
    static QPointer<frmNewSurvey> s_new;
    static QPointer<frmEditExistingSurvey> s_edit;
};
