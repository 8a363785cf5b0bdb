// The program's printer.
#include "reports/ui/report_printer.h"

#include <QPrinter>

namespace tunarium {

QPrinter& programPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace tunarium
