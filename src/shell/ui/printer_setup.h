// The printer the program prints on and the printer setup dialog. Printing needs Qt's print
// support; a program built without it has no printer and offers no setup.
#pragma once

#include <memory>

class QWidget;

namespace tunarium {

class PrinterSetup {
public:
    PrinterSetup();
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup&) = delete;
    PrinterSetup& operator=(const PrinterSetup&) = delete;

    static bool available();
    // Opens the platform's printer setup dialog over `parent`; the choice is kept for the reports.
    void showDialog(QWidget* parent);

private:
    struct Printer;
    std::unique_ptr<Printer> m_printer;
};

} // namespace tunarium
