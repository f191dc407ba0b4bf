#include "support/BarCodeReader.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

QString toolOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

namespace {

constexpr int kDpi = 300;

QStringList decode(const QString &png)
{
    return toolOutput(QStringLiteral("zbarimg"),
                      {QStringLiteral("--raw"), QStringLiteral("-q"), png})
        .split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

bool barCodeReaderFound()
{
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

QStringList readBarCodes(const QString &pdf, const Report::Prepared &report)
{
    QTemporaryDir folder;
    const double perMm = kDpi / 25.4;
    QStringList codes;
    for (qsizetype page = 0; page < report.pages.size(); ++page) {
        for (const Report::Element &e : report.pages.at(page).elements) {
            if (e.kind != Report::Element::BarCode)
                continue;
            // A little of the label around it, as a reader is aimed at one symbol.
            const QRectF mm = e.rect.adjusted(-2, -2, 2, 2);
            const QString prefix = QDir(folder.path()).filePath(QStringLiteral("symbol"));
            const QString number = QString::number(page + 1);
            toolOutput(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-f"), number,
                        QStringLiteral("-l"), number, QStringLiteral("-singlefile"),
                        QStringLiteral("-x"), QString::number(qMax(0, int(mm.left() * perMm))),
                        QStringLiteral("-y"), QString::number(qMax(0, int(mm.top() * perMm))),
                        QStringLiteral("-W"), QString::number(int(mm.width() * perMm)),
                        QStringLiteral("-H"), QString::number(int(mm.height() * perMm)),
                        QStringLiteral("-png"), pdf, prefix});
            codes << decode(prefix + QStringLiteral(".png")).join(u' ');
            QFile::remove(prefix + QStringLiteral(".png"));
        }
    }
    return codes;
}

QStringList readAllBarCodes(const QString &pdf)
{
    QTemporaryDir folder;
    const QString prefix = QDir(folder.path()).filePath(QStringLiteral("page"));
    toolOutput(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-png"), pdf, prefix});
    QStringList codes;
    QDirIterator pages(folder.path(), {QStringLiteral("page*.png")}, QDir::Files);
    while (pages.hasNext())
        codes << decode(pages.next());
    codes.sort();
    return codes;
}
