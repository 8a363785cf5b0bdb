// A page queue on the printer: the run the printer's settings ask for, and the print dialog
// before it.
#pragma once

#include "reports/page_queue.h"
#include "reports/report_output.h"

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace tunarium {

// The run for the printer's settings: its page range, and its copies when it cannot make them
// itself (then the pages go that many times, whole copies one after the other when collated).
PrintRun printRunFor(const QPrinter& printer);

// Prints the queue as the printer's settings say. The printer's own copy count and page layout
// are as they were afterwards. False, with `error`, when the printer could not take the pages.
bool printPageQueue(const PageQueue& queue, QPrinter& printer, QString* error);

// Shows the print dialog over `parent` (window-modal, answering through `done`) with the queue's
// pages as its range, and prints when the user confirms. `done` gets whether the pages were
// printed and, when printing failed, why.
void printWithDialog(QWidget* parent, std::shared_ptr<const PageQueue> queue, QPrinter& printer,
                     std::function<void(bool printed, const QString& error)> done);

} // namespace tunarium
