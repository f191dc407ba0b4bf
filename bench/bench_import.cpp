// Imports a generated workbook of 100 000 clients × 15 columns, as .xlsx and as .csv: opening
// and previewing (reading the sheet, applying the mapping, checking every value) against
// openpyxl reading the same .xlsx in read-only mode (and Python's csv module the .csv) in the
// same run, each in a process of its own for its peak resident memory; then storing the preview
// into an empty SQLite register, and again into the register that now holds every code (skipped,
// then updating the entries); with a server, the same stores into an empty PostgreSQL register
// against psql's \copy of the same rows into the same table (indexes included) in the same run;
// then the whole road through the wizard, reporting the longest pause of the window's event loop.
//
//   quorin_import_bench DIR [SERVER_URL]   (the workbooks are generated into DIR once and kept)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataDm.h"
#include "input/ImportPreview.h"
#include "input/ImportStore.h"
#include "input/SampleWorkbooks.h"
#include "input/uFrmExcelImport.h"
#include "spreadsheet/WorkbookReader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace {

constexpr int kRows = 100000;
const QString kTable = QStringLiteral("T_client");

QString cell(int row, int column)
{
    switch (column) {
    case 0:
        return QStringLiteral("%1").arg(row, 6, 10, QLatin1Char('0'));
    case 1:
        return QStringLiteral("客户有限公司%1").arg(row);
    case 2:
        return QStringLiteral("\\\\华东\\上海");
    case 4:
    case 5:
        return QString::number(13800000000LL + row);
    case 8:
        return QStringLiteral("上海市南京路%1号").arg(row % 1000);
    case 13:
        return QStringLiteral("c%1@example.com").arg(row);
    default:
        return QStringLiteral("值%1-%2").arg(column).arg(row % 97);
    }
}

void generate(const QString &xlsx, const QString &csv)
{
    const QStringList headings = SampleWorkbooks::headings(kTable);
    if (!QFile::exists(xlsx)) {
        std::printf("generating %s ...\n", qPrintable(xlsx));
        lxw_workbook *wb = workbook_new(QFile::encodeName(xlsx).constData());
        lxw_worksheet *ws = workbook_add_worksheet(wb, "clients");
        for (int c = 0; c < headings.size(); ++c)
            worksheet_write_string(ws, 0, lxw_col_t(c), headings.at(c).toUtf8().constData(),
                                   nullptr);
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 0; c < headings.size(); ++c) {
                if (c == 6) // 传真 as a number, as spreadsheets keep digits typed in
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), 62000000 + r, nullptr);
                else
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c),
                                           cell(r, c).toUtf8().constData(), nullptr);
            }
        }
        workbook_close(wb);
    }
    if (!QFile::exists(csv)) {
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(headings.join(u',').toUtf8() + '\n');
        for (int r = 1; r <= kRows; ++r) {
            QStringList cells;
            for (int c = 0; c < headings.size(); ++c)
                cells << (c == 6 ? QString::number(62000000 + r) : cell(r, c));
            file.write(cells.join(u',').toUtf8() + '\n');
        }
    }
}

QList<ImportField> mapping()
{
    QList<ImportField> fields;
    const QStringList headings = SampleWorkbooks::headings(kTable);
    const QStringList columns = {"F_Code",      "F_Name",     "F_Type",     "F_LinkMan", "F_Phone",
                                 "F_handPhone", "F_fax",      "F_Postcode", "F_Address", "F_bank",
                                 "F_account",   "F_ratecode", "F_homepage", "F_Email",   "F_Memo1"};
    for (int i = 0; i < headings.size(); ++i)
        fields.append({columns.value(i), headings.at(i), headings.at(i)});
    return fields;
}

bool readAndPreview(const QString &file, ImportPreview *preview)
{
    QString error;
    const std::unique_ptr<WorkbookReader> reader = WorkbookReader::open(file, &error);
    SheetTable sheet;
    PreviewFault fault;
    if (!reader) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(error));
        return false;
    }
    if (const WorkResult read = reader->readSheet(0, &sheet, {}); !read.isDone()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(read.reason()));
        return false;
    }
    if (!preview->build(sheet, kTable, mapping(), &fault)) {
        std::fprintf(stderr, "%s: %s row %d\n", qPrintable(fault.sheetColumn),
                     qPrintable(fault.reason), fault.sheetRow);
        return false;
    }
    return preview->rows.size() == size_t(kRows);
}

BenchTools::ProgramRun best(const QStringList &arguments, int times)
{
    BenchTools::ProgramRun fastest;
    for (int i = 0; i < times; ++i) {
        const BenchTools::ProgramRun run = BenchTools::runProgram(arguments);
        if (run.ms < 0)
            return run;
        if (fastest.ms < 0 || run.ms < fastest.ms)
            fastest = run;
    }
    return fastest;
}

bool hasOpenpyxl()
{
    return BenchTools::runProgram({"/usr/bin/python3", "-c", "import openpyxl"}).ms >= 0;
}

// The whole road through the wizard on `file`: its time and the longest pause of the event loop.
double wizardPauseMs(const QString &file, double *totalMs)
{
    TfrmExcelImport window(kTable);
    window.show();
    window.findChild<QLineEdit *>("edtXlsFileName")->setText(file);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    ticks.start(5);
    sinceTick.start();
    QElapsedTimer timer;
    timer.start();
    auto *next = window.findChild<QPushButton *>("Button4");
    for (int i = 0; i < 4 && window.isVisible(); ++i) {
        next->click();
        QCoreApplication::processEvents();
    }
    *totalMs = timer.nsecsElapsed() / 1e6;
    ticks.stop();
    return window.isVisible() ? -1 : longest;
}

// Runs psql's `command` on `url`: its time, or -1 (told on standard error) when it failed.
double psqlRun(const QString &url, const QString &command)
{
    const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    const double ms =
        BenchTools::runProgram({psql, "-X", "-q", "-v", "ON_ERROR_STOP=1", url, "-c", command}).ms;
    if (ms < 0)
        std::fprintf(stderr, "psql failed: %s\n", qPrintable(command));
    return ms;
}

bool psql(const QString &url, const QString &command)
{
    return psqlRun(url, command) >= 0;
}

// The stores of `preview` into an empty register on the server `serverUrl`, best of three,
// against psql's \copy of the same rows into the same table.
bool serverBench(const QString &serverUrl, const QString &dir, const ImportPreview &preview)
{
    const DataSource server = DataSource::fromDs(serverUrl, QString());
    const QString name = QStringLiteral("quorin_import_bench");
    const QString url =
        DataSource::serverUrl(server.host, server.port, name, server.user, server.password);
    {
        QSqlDatabase maintenance;
        QString error;
        if (!Connection::open(server, QStringLiteral("bench-admin"), &maintenance, &error)) {
            std::fprintf(stderr, "no server: %s\n", qPrintable(error));
            return false;
        }
        QSqlQuery(maintenance).exec(QStringLiteral("drop database if exists ") + name);
        QSqlQuery(maintenance).exec(QStringLiteral("create database ") + name);
        maintenance.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
    TdmData dm(AppHome::path(QStringLiteral("server.ini")));
    QString error;
    if (!dm.open(url, &error)) {
        std::fprintf(stderr, "no server database: %s\n", qPrintable(error));
        return false;
    }
    const QString empty = QStringLiteral("truncate T_client; truncate cfg_importrow");
    double storeMs = -1;
    ImportStore::Counts counts;
    for (int run = 0; run < 3; ++run) {
        if (!psql(url, empty))
            return false;
        QElapsedTimer timer;
        timer.start();
        const WorkResult stored = ImportStore::store(dm.source(), kTable, preview, "admin",
                                                     ImportCodes::Duplicates::Skip, &counts);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!stored.isDone() || counts.added != kRows) {
            std::fprintf(stderr, "server store failed: %s\n", qPrintable(stored.reason()));
            return false;
        }
        storeMs = storeMs < 0 ? ms : std::min(storeMs, ms);
    }
    // The very rows the store wrote, as psql reads them back.
    const QString rows = dir + QStringLiteral("/clients100k.copy");
    const QString columns = QStringLiteral(
        "F_Code, F_Name, F_Type, F_LinkMan, F_Phone, F_handPhone, F_fax, F_Postcode, F_Address, "
        "F_bank, F_account, F_ratecode, F_homepage, F_Email, F_Memo1");
    if (!psql(url, QStringLiteral("\\copy (select %1 from T_client order by F_ID) to '%2'")
                       .arg(columns, rows)))
        return false;
    double copyMs = -1;
    for (int run = 0; run < 3; ++run) {
        if (!psql(url, empty))
            return false;
        const double copied =
            psqlRun(url, QStringLiteral("\\copy T_client(%1) from '%2'").arg(columns, rows));
        if (copied < 0)
            return false;
        copyMs = copyMs < 0 ? copied : std::min(copyMs, copied);
    }
    QFile::remove(rows);
    std::printf("%-34s %10.0f %21.0f rows/s\n", "store into PostgreSQL", storeMs,
                kRows / (storeMs / 1000.0));
    std::printf("%-34s %10.0f %21.0f rows/s (the store takes %.2fx)\n",
                "psql \\copy, same rows and table", copyMs, kRows / (copyMs / 1000.0),
                storeMs / copyMs);
    // The register now holds every code once (psql's copy): skipped, then updated.
    for (const auto duplicates : {ImportCodes::Duplicates::Skip, ImportCodes::Duplicates::Update}) {
        QElapsedTimer timer;
        timer.start();
        const WorkResult stored =
            ImportStore::store(dm.source(), kTable, preview, "admin", duplicates, &counts);
        if (!stored.isDone() || counts.skipped() + counts.updated != kRows) {
            std::fprintf(stderr, "server store again failed: %s\n", qPrintable(stored.reason()));
            return false;
        }
        const double againMs = timer.nsecsElapsed() / 1e6;
        std::printf("%-34s %10.0f %21.0f rows/s (%.2fx the first store)\n",
                    duplicates == ImportCodes::Duplicates::Skip ? "server again: skip"
                                                                : "server again: update",
                    againMs, kRows / (againMs / 1000.0), againMs / storeMs);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // The workbooks are written in a process of their own: the export library holds a whole
    // workbook in memory, which would count in every later child's peak.
    if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        generate(dir + "/clients100k.xlsx", dir + "/clients100k.csv");
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
        ImportPreview preview;
        return readAndPreview(QString::fromLocal8Bit(argv[2]), &preview) ? 0 : 1;
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_import_bench DIR\n");
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(dir);
    const QString xlsx = dir + "/clients100k.xlsx";
    const QString csv = dir + "/clients100k.csv";
    const QString self = QCoreApplication::applicationFilePath();
    BenchTools::runProgram({self, "--generate", dir});

    std::printf("\nimport of %d clients x 15 columns (best of 3; peak resident memory)\n", kRows);
    std::printf("%-34s %10s %10s %8s\n", "", "ms", "MB", "ratio");
    const bool openpyxl = hasOpenpyxl();
    const struct
    {
        const char *name;
        QString file;
        QString reference;
        const char *referenceName;
    } cases[] = {
        {".xlsx open + preview", xlsx,
         "import openpyxl,sys\nwb=openpyxl.load_workbook(sys.argv[1],read_only=True)\nn=0\n"
         "for r in wb.worksheets[0].iter_rows(values_only=True): n+=len([v for v in r if v is not "
         "None])\n",
         "openpyxl read-only, same file"},
        {".csv open + preview", csv,
         "import csv,sys\nn=0\nfor r in csv.reader(open(sys.argv[1],encoding='utf-8')): "
         "n+=len(r)\n",
         "python csv module, same file"},
    };
    for (const auto &c : cases) {
        const BenchTools::ProgramRun ours = best({self, "--read", c.file}, 3);
        const bool reference = openpyxl || QLatin1String(c.name).contains(u"csv");
        const BenchTools::ProgramRun theirs =
            reference ? best({"/usr/bin/python3", "-c", c.reference, c.file}, 3)
                      : BenchTools::ProgramRun();
        std::printf("%-34s %10.0f %10.0f\n", c.name, ours.ms, ours.peakMb);
        if (theirs.ms > 0)
            std::printf("%-34s %10.0f %10.0f %7.1fx\n", c.referenceName, theirs.ms, theirs.peakMb,
                        theirs.ms / ours.ms);
        else
            std::printf("%-34s (openpyxl is not installed: no comparison)\n", c.referenceName);
    }

    QTemporaryDir home(dir + "/store-XXXXXX");
    AppHome::set(home.path());
    TdmData dm(home.filePath("config.ini"));
    dmData = &dm;
    QString error;
    if (!dm.open(QString(), &error)) {
        std::fprintf(stderr, "no database: %s\n", qPrintable(error));
        return 1;
    }
    ImportPreview preview;
    if (!readAndPreview(xlsx, &preview))
        return 1;
    QElapsedTimer timer;
    timer.start();
    ImportStore::Counts counts;
    if (const WorkResult stored = ImportStore::store(dm.source(), kTable, preview, "admin",
                                                     ImportCodes::Duplicates::Skip, &counts);
        !stored.isDone()) {
        std::fprintf(stderr, "store failed: %s\n", qPrintable(stored.reason()));
        return 1;
    }
    const double storeMs = timer.nsecsElapsed() / 1e6;
    std::printf("%-34s %10.0f %21.0f rows/s\n", "store into SQLite (one transaction)", storeMs,
                kRows / (storeMs / 1000.0));
    // The same rows again: every code is held, so they are skipped, then update their entries.
    for (const auto duplicates : {ImportCodes::Duplicates::Skip, ImportCodes::Duplicates::Update}) {
        timer.restart();
        const WorkResult stored =
            ImportStore::store(dm.source(), kTable, preview, "admin", duplicates, &counts);
        if (!stored.isDone() || counts.skipped() + counts.updated != kRows) {
            std::fprintf(stderr, "store again failed: %s\n", qPrintable(stored.reason()));
            return 1;
        }
        const double againMs = timer.nsecsElapsed() / 1e6;
        std::printf("%-34s %10.0f %21.0f rows/s (%.2fx the first store)\n",
                    duplicates == ImportCodes::Duplicates::Skip ? "again, every code held: skip"
                                                                : "again, every code held: update",
                    againMs, kRows / (againMs / 1000.0), againMs / storeMs);
    }

    if (argc > 2 && !serverBench(QString::fromLocal8Bit(argv[2]), dir, preview))
        return 1;

    double totalMs = 0;
    const double pause = wizardPauseMs(xlsx, &totalMs);
    std::printf("%-34s %10.0f   longest pause of the window %.0f ms\n",
                "the wizard, .xlsx to stored rows", totalMs, pause);
    return 0;
}
