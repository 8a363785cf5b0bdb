// The printer and its setup dialog.
#include "shell/ui/printer_setup.h"

#include <QWidget>

// The print support headers are on the include path only when the program links print support.
#if __has_include(<QPrintDialog>)
#include <QPrintDialog>
#include <QPrinter>
#define TUNARIUM_PRINT_SUPPORT 1
#include "reports/ui/report_printer.h"
#endif

namespace tunarium {

#ifdef TUNARIUM_PRINT_SUPPORT
// The reports' printer: what the user sets up here is what they print on.
struct PrinterSetup::Printer {
    QPrinter& printer = programPrinter();
};

bool PrinterSetup::available() {
    return true;
}

void PrinterSetup::showDialog(QWidget* parent) {
    if (!m_printer) {
        m_printer = std::make_unique<Printer>();
    }
    auto* dialog = new QPrintDialog(&m_printer->printer, parent);
    dialog->setWindowTitle(QWidget::tr("Print Setup"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
#else
struct PrinterSetup::Printer {};

bool PrinterSetup::available() {
    return false;
}

void PrinterSetup::showDialog(QWidget* parent) {
    (void)parent;
}
#endif

PrinterSetup::PrinterSetup() = default;
PrinterSetup::~PrinterSetup() = default;

} // namespace tunarium
