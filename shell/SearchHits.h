#pragma once

#include <QString>

#include <functional>
#include <optional>

// A row of the search window's hit list, as the windows that open a hit read it.
struct SearchHit {
    QString date;         // column "Date": the survey date or plan date as shown
    QString description;  // column "Description"
    QString customerName; // column "Customer Name"
    QString foundIn;      // column "Found In"
    QString id;           // hidden column "ID"
};

// The hand-over from the search window to the feedback and improvement-tracking windows: they read the hit at
// gSearchItemIndex through here, so neither needs to know the search window itself.
namespace SearchHits
{

// The row at a 1-based index of the hit list; nothing when the search window is not loaded or the row is gone.
std::optional<SearchHit> at(int index);

// The search window hands in how its rows are read while it is loaded, and an empty function when it goes.
void setSource(std::function<std::optional<SearchHit>(int index)> source);

} // namespace SearchHits
