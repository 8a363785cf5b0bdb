// The procedure registry.
#include "ui/procedure_registry.h"

namespace tunarium {

void ProcedureRegistry::add(const QString& name, ProcedureStarter starter) {
    m_starters.insert(name, std::move(starter));
}

bool ProcedureRegistry::contains(const QString& name) const {
    return !name.isEmpty() && m_starters.contains(name);
}

bool ProcedureRegistry::start(const QString& name, const ProcedureContext& context) const {
    const auto it = m_starters.constFind(name);
    if (it == m_starters.constEnd()) {
        return false;
    }
    it.value()(context);
    return true;
}

} // namespace tunarium
