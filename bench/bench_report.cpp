// Times the list report (frRevaZezList.frf) over a database of demonstration records to PDF,
// against a bare QPainter on QPdfWriter drawing the same texts at the same positions in the same
// run, and reports the memory the prepared report holds.
//
// With a second folder, also the time until the first page of the same report over that
// database is made, which is when the preview shows it.
//
//   quorin_report_bench HOME [BIGHOME]   (each holds data/RevaZez.db, from quorin --demo-data N)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "output/MainReports.h"
#include "register/SampleList.h"
#include "report/ReportOutputs.h"
#include "report/ReportText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <cstdio>

namespace {

// The reference: every text of the prepared pages drawn plainly where the report puts it, the
// pages taken into memory beforehand.
double barePdfMs(const Report::Prepared &report, const QString &path)
{
    QList<Report::Page> pages;
    for (const Report::Page &page : report.pages)
        pages << page;
    QElapsedTimer timer;
    timer.start();
    QPdfWriter pdf(path);
    pdf.setResolution(600);
    pdf.setPageSize(
        QPageSize(QSizeF(report.page.width, report.page.height), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&pdf);
    const double perMm = 600 / 25.4;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            pdf.newPage();
        for (const Report::Element &e : pages.at(i).elements) {
            if (e.kind != Report::Element::Text)
                continue;
            painter.setFont(Report::qFont(report.styleOf(e).font));
            painter.drawText(QRectF(e.rect.x() * perMm, e.rect.y() * perMm, e.rect.width() * perMm,
                                    e.rect.height() * perMm),
                             Qt::AlignLeft | Qt::AlignVCenter, report.textOf(e));
        }
    }
    painter.end();
    return timer.nsecsElapsed() / 1e6;
}

// The main list's report (frRevaZezList.frf) over the whole register.
Report::Job wholeRegisterList(const TdmData &dm)
{
    return MainReports::job(MainReports::List, SampleList::wholeRegister(dm.dialect()),
                            SampleListQuery::build(SampleListCriteria{}, dm.dialect()));
}

// The time until the list report's first page over the whole register of `home` is made.
int firstPage(const QString &home)
{
    AppHome::set(home);
    // A home made by --demo-data alone has no templates yet.
    AppHome::installShippedFiles();
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    const Report::Job job = wholeRegisterList(dm);
    QElapsedTimer timer;
    timer.start();
    double firstMs = -1;
    Report::Prepared prepared;
    const WorkResult made =
        Report::prepareJob(job, dm.source(), &prepared, [&](const Report::Prepared &soFar) {
            if (soFar.pages.size() < 2)
                return true;
            firstMs = timer.nsecsElapsed() / 1e6;
            return false;
        });
    if (firstMs < 0)
        std::fprintf(stderr, "no first page: %s\n", qPrintable(made.reason()));
    std::printf("%d records: the first page made after %.0f ms\n", records, firstMs);
    return firstMs >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_report_bench HOME\n");
        return 2;
    }
    AppHome::set(QString::fromLocal8Bit(argv[1]));
    AppHome::installShippedFiles();
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    const long before = BenchTools::residentKb();
    QElapsedTimer timer;
    timer.start();
    Report::Prepared prepared;
    const Report::Job job = wholeRegisterList(dm);
    if (const WorkResult made = Report::prepareJob(job, dm.source(), &prepared); !made.isDone()) {
        std::fprintf(stderr, "report failed: %s\n", qPrintable(made.reason()));
        return 1;
    }
    const double prepareMs = timer.nsecsElapsed() / 1e6;
    const long held = BenchTools::residentKb() - before;
    QElapsedTimer reading;
    reading.start();
    qsizetype elements = 0;
    for (const Report::Page &page : prepared.pages)
        elements += page.elements.size();
    const double readMs = reading.nsecsElapsed() / 1e6;
    timer.start();
    const QString ours = AppHome::path(QStringLiteral("bench-report.pdf"));
    if (const WorkResult written = Report::writePdf(prepared, ours); !written.isDone()) {
        std::fprintf(stderr, "pdf failed: %s\n", qPrintable(written.reason()));
        return 1;
    }
    const double totalMs = prepareMs + timer.nsecsElapsed() / 1e6;
    const double bare = barePdfMs(prepared, AppHome::path(QStringLiteral("bench-bare.pdf")));
    std::printf("\n%d records, %lld pages\n", records, qlonglong(prepared.pages.size()));
    std::printf("prepare %.0f ms, prepare + PDF %.0f ms, bare QPdfWriter %.0f ms, ratio %.2f\n",
                prepareMs, totalMs, bare, totalMs / bare);
    std::printf("memory held by the prepared report: %.0f MB (%lld of %lld pages on disk, "
                "%lld elements, all read back in %.0f ms)\n",
                held / 1024.0, qlonglong(prepared.pages.pagesOnDisk()),
                qlonglong(prepared.pages.size()), qlonglong(elements), readMs);
    if (argc > 2)
        return firstPage(QString::fromLocal8Bit(argv[2]));
    return 0;
}
