#pragma once

class QPrinter;
class QWidget;

// The system's print dialog behind one seam: a test primes the next answer (the printer then
// writes a PDF file) instead of a modal dialog appearing.
class PrintChooser
{
public:
    // Lets the user choose the printer, pages and copies for `printer`; false when cancelled.
    static bool choose(QWidget *parent, QPrinter *printer, int pageCount);
    // The next call answers without a dialog: cancelled when `pdfFile` is empty, else printed
    // into that PDF file.
    static void setNextAnswer(const char *pdfFile);
};
