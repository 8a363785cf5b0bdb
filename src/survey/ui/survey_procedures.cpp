// The survey room's procedures.
#include "survey/ui/survey_procedures.h"

#include "survey/procedure_names.h"
#include "survey/ui/statistics_window.h"

namespace tunarium {

void registerSurveyProcedures(ProcedureRegistry& registry) {
    registry.add(QString::fromLatin1(procedure::kCollectionStatistics),
                 [](const ProcedureContext& context) { StatisticsWindow::open(context); });
}

} // namespace tunarium
