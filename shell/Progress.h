#pragma once

#include <QString>

#include <functional>

// The progress convention: a text in the first panel of the main window's status bar and the hourglass cursor.
// The hourglass is a state (on or off), not a stack, as the windows have always set and cleared it.
namespace Progress
{

void setText(const QString& text);
QString text();

void setBusy(bool busy);
bool busy();

// The main window hands in where panel 1 lives; without one the text is only kept (tests, start-up).
void setTextSink(std::function<void(const QString&)> sink);

} // namespace Progress
