#include "Types.h"

#include <algorithm>

namespace platform {

Rect Rect::intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    if (r.is_empty())
        return {};
    return r;
}

Rect Rect::unite(const Rect& o) const {
    if (is_empty())
        return o;
    if (o.is_empty())
        return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

} // namespace platform
