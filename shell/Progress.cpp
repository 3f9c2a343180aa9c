#include "shell/Progress.h"

#include <QApplication>

namespace Progress
{
namespace
{

struct State {
    QString text;
    bool busy = false;
    std::function<void(const QString&)> sink;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

void setText(const QString& text)
{
    state().text = text;
    if (state().sink)
        state().sink(text);
}

QString text()
{
    return state().text;
}

void setBusy(bool busy)
{
    if (busy == state().busy)
        return;
    state().busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool busy()
{
    return state().busy;
}

void setTextSink(std::function<void(const QString&)> sink)
{
    state().sink = std::move(sink);
}

} // namespace Progress
