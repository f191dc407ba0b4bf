#include "widgets/PrintChooser.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QString>
#include <optional>

namespace {
std::optional<QString> g_next;
} // namespace

bool PrintChooser::choose(QWidget *parent, QPrinter *printer, int pageCount)
{
    if (g_next) {
        const QString file = *g_next;
        g_next.reset();
        if (file.isEmpty())
            return false;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return true;
    }
    printer->setFromTo(1, pageCount);
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, pageCount);
    return dialog.exec() == QDialog::Accepted;
}

void PrintChooser::setNextAnswer(const char *pdfFile)
{
    g_next = QString::fromUtf8(pdfFile);
}
