// Printing a page queue.
#include "reports/ui/report_printing.h"

#include <QPrintDialog>
#include <QPrinter>

namespace tunarium {

PrintRun printRunFor(const QPrinter& printer) {
    PrintRun run;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        run.firstPage = printer.fromPage();
        run.lastPage = printer.toPage();
    }
    if (!printer.supportsMultipleCopies()) {
        run.copies = std::max(1, printer.copyCount());
        run.collate = printer.collateCopies();
    }
    return run;
}

bool printPageQueue(const PageQueue& queue, QPrinter& printer, QString* error) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // Printing into a file: written like every file of the program, never over the
        // collection's, and named only when whole; the copies go into it one after the other.
        return paintQueueAsPdf(queue, printer.outputFileName(), printRunFor(printer), printer.docName(), error);
    }
    const PrintRun run = printRunFor(printer);
    const int copies = printer.copyCount();
    const QPageLayout layout = printer.pageLayout();
    if (run.copies > 1) {
        // The copies are made here: the printer is sent one.
        printer.setCopyCount(1);
    }
    const bool printed = paintQueue(queue, printer, run, error);
    printer.setCopyCount(copies);
    printer.setPageLayout(layout);
    return printed;
}

void printWithDialog(QWidget* parent, std::shared_ptr<const PageQueue> queue, QPrinter& printer,
                     std::function<void(bool, const QString&)> done) {
    auto* dialog = new QPrintDialog(&printer, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinMax(1, std::max(1, queue->count()));
    dialog->setOption(QAbstractPrintDialog::PrintPageRange);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [queue = std::move(queue), &printer, done = std::move(done)](int result) {
                         if (result != QDialog::Accepted) {
                             if (done) {
                                 done(false, {});
                             }
                             return;
                         }
                         QString error;
                         const bool printed = printPageQueue(*queue, printer, &error);
                         if (done) {
                             done(printed, error);
                         }
                     });
    dialog->open();
}

} // namespace tunarium
