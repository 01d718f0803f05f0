#pragma once

class PrintDocument;

// The default printer.
class Printer
{
public:
    virtual ~Printer() = default;

    // Prints the document as one job, starting a new page whenever one is full. False when it
    // could not be printed, for instance because no printer is installed.
    virtual bool print(const PrintDocument& document) = 0;
};
