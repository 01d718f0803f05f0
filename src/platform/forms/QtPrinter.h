#pragma once

#include "platform/Printer.h"

// The default printer through QPrinter, in the system's fixed-pitch font so that the blanks that
// place report texts keep their columns. When the environment variable VIGILSTAT_PRINT_PDF names
// a file, every job goes to that PDF file instead (machines without printers, tests, demos).
class QtPrinter : public Printer
{
public:
    bool print(const PrintDocument& document) override;
};
