// What the list engine's files share and no one else uses.
#pragma once

#include "catalogue/list_engine.h"
#include "data/date_time.h"

namespace tunarium::engine {

// The host is told the list is busy while a read on the window's thread lasts.
class BusyScope {
public:
    explicit BusyScope(ListHost& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyScope() { m_host.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ListHost& m_host;
};

inline Direction opposite(Direction d) {
    return d == Direction::Forward ? Direction::Backward : Direction::Forward;
}

// The value a scroll thumb's steps are spread over: a release date's order value, so that a bare
// year stands among its year's dates on the thumb as in the list; any other field's own value.
inline QVariant thumbValue(const FieldDef& field, const QVariant& value) {
    return field.mayHoldBareYear ? QVariant(releaseOrderValue(value.toLongLong())) : value;
}

} // namespace tunarium::engine
