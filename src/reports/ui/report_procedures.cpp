// Every report of the catalogue started by its procedure name.
#include "reports/ui/report_procedures.h"

#include "reports/report_catalogue.h"
#include "reports/ui/label_procedures.h"
#include "reports/ui/report_starter.h"

namespace tunarium {

void registerReportProcedures(ProcedureRegistry& registry) {
    for (const ReportEntry& decl : reportCatalogue()) {
        registry.add(decl.procedure,
                     [&decl](const ProcedureContext& context) { startReport(decl, context); });
    }
    registerLabelProcedures(registry);
}

} // namespace tunarium
