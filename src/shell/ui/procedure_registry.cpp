// The procedure registry and the program's windows in it.
#include "shell/ui/procedure_registry.h"

#include "catalogue/ui/catalogue_procedures.h"
#include "exchange/ui/exchange_procedures.h"

namespace tunarium {

void ProcedureRegistry::add(const QString& name, ProcedureStarter starter) {
    m_starters.insert(name, std::move(starter));
}

bool ProcedureRegistry::contains(const QString& name) const {
    return !name.isEmpty() && m_starters.contains(name);
}

bool ProcedureRegistry::start(const QString& name, FrameContext& context) const {
    const auto it = m_starters.constFind(name);
    if (it == m_starters.constEnd()) {
        return false;
    }
    it.value()(context);
    return true;
}

void registerProgramProcedures(ProcedureRegistry& registry) {
    // The browses, forms, wizards, reports, import and export, preferences and tips register
    // here as their windows are built.
    registerCatalogueProcedures(registry);
    registerExchangeProcedures(registry);
}

} // namespace tunarium
