// Every report of the catalogue started by its procedure name.
#include "reports/ui/report_procedures.h"

#include "reports/report_catalogue.h"
#include "reports/ui/report_starter.h"

namespace tunarium {

void registerReportProcedures(ProcedureRegistry& registry) {
    for (const ReportSpec& spec : reportCatalogue()) {
        registry.add(spec.procedure,
                     [&spec](const ProcedureContext& context) { startReport(spec, context); });
    }
}

} // namespace tunarium
