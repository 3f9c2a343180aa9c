#include "platform/desktop/Desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace Desktop
{
namespace
{

struct SeamState {
    bool testMode = false;
    bool openResult = true;
    QStringList opened;
    QDate today;
};

SeamState& seam()
{
    static SeamState s;
    return s;
}

} // namespace

bool openFile(const QString& path)
{
    if (seam().testMode) {
        seam().opened.append(path);
        return seam().openResult;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QDate today()
{
    return seam().today.isValid() ? seam().today : QDate::currentDate();
}

void setTestMode(bool on)
{
    seam() = SeamState();
    seam().testMode = on;
}

void setOpenResult(bool ok)
{
    seam().openResult = ok;
}
QStringList openedFiles()
{
    return seam().opened;
}
void setToday(const QDate& date)
{
    seam().today = date;
}

} // namespace Desktop
