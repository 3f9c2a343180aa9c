#include "shell/SearchHits.h"

namespace SearchHits
{

namespace
{

std::function<std::optional<SearchHit>(int)>& source()
{
    static std::function<std::optional<SearchHit>(int)> s;
    return s;
}

} // namespace

std::optional<SearchHit> at(int index)
{
    if (!source())
        return std::nullopt;
    return source()(index);
}

void setSource(std::function<std::optional<SearchHit>(int index)> s)
{
    source() = std::move(s);
}

} // namespace SearchHits
