#include "app/uFrmMain.h"
#include "core/DataDm.h"
#include "core/DemoData.h"
#include "core/SqlListModel.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/Registers.h"
#include "register/SampleList.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "spreadsheet/ListExport.h"
#include "spreadsheet/SpreadsheetFormat.h"
#include "support/ScriptedPrompt.h"
#include "support/ShellRecorder.h"
#include "support/TestDatabase.h"
#include "support/Workbook.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <sys/stat.h>

namespace {

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Sets an environment variable while it lives.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_previous;
};

// Inserts a sample record: `values` (column → value) over a code, a name and today's edit date.
void addSample(TdmData *dm, const QVariantMap &values)
{
    QVariantMap record{{QStringLiteral("F_goodCode"), QStringLiteral("S1")},
                       {QStringLiteral("F_goodName"), QStringLiteral("样品")},
                       {QStringLiteral("F_editDate"), QDate::currentDate()}};
    for (auto v = values.cbegin(); v != values.cend(); ++v)
        record.insert(v.key(), v.value());
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(%1) values(%2)")
                            .arg(record.keys().join(u','),
                                 QStringList(record.size(), QStringLiteral("?")).join(u',')),
                        record.values()));
}

// The export of the main list's whole register in its built-in columns.
ListExport::Job wholeRegister(TdmData *dm)
{
    ListExport::Job job;
    job.source = dm->source();
    job.query = SampleList::wholeRegister(dm->dialect());
    job.columns = sampleListColumns();
    job.title = kSampleListExportTitle;
    return job;
}

int columnOf(const QList<GridColumn> &columns, const QString &field)
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return -1;
}

QStringList captionsOf(const QList<GridColumn> &columns)
{
    QStringList captions;
    for (const GridColumn &c : columns)
        captions << c.caption;
    return captions;
}

Workbook readBack(const QString &file)
{
    QString error;
    const Workbook workbook = Workbook::read(file, &error);
    if (!error.isEmpty())
        qWarning().noquote() << "unreadable workbook:" << error;
    return workbook;
}

// Every file in the export folder of the test's program folder.
QStringList exported(const TestDatabase &db)
{
    return QDir(QDir(db.home()).filePath(QStringLiteral("export")))
        .entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Overwrites a page in the middle of the sample table's leaves, as a failing disk would.
void damageSampleTable(TdmData *dm)
{
    QSqlQuery q(dm->database());
    QVERIFY(q.exec(QStringLiteral("pragma wal_checkpoint(truncate)")));
    QVERIFY(q.exec(QStringLiteral("pragma page_size")) && q.next());
    const qint64 pageSize = q.value(0).toLongLong();
    QVERIFY(q.exec(QStringLiteral("select pageno from dbstat where name = 'GoodMain' and "
                                  "pagetype = 'leaf' order by pageno")));
    QList<qint64> pages;
    while (q.next())
        pages << q.value(0).toLongLong();
    QVERIFY(pages.size() > 10);
    QFile file(dm->source().sqliteFile);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek((pages.at(pages.size() / 2) - 1) * pageSize);
    file.write(QByteArray(pageSize, '\xA5'));
}

void addRegisterRows()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"client", "supplier", "catalogue"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

const RegisterDescription &registerNamed(const QString &name)
{
    if (name == u"client")
        return clientRegister();
    if (name == u"supplier")
        return supplierRegister();
    return catalogueRegister();
}

} // namespace

// Lists written to real workbooks and read back as a spreadsheet program reads them.
class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void cellsHoldWhatTheListHolds_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("type"); // empty: no cell
        QTest::addColumn<QVariant>("shown");
        QTest::addColumn<QString>("format");
        const QString text = QStringLiteral("@");
        const auto row = [&](const char *name, const char *field, const QVariant &stored,
                             const char *type, const QVariant &shown, const QString &format) {
            QTest::newRow(name) << QString::fromLatin1(field) << stored << QString::fromLatin1(type)
                                << shown << format;
        };
        const QString zeros = QStringLiteral("000123");
        const QString digits = QStringLiteral("12345678901234567890");
        const QString quotes = QStringLiteral("他说\"好\"，O'Brien");
        const QString formula = QStringLiteral("=SUM(A1:A2)");
        const QString spaced = QStringLiteral("  A 1  ");
        row("leading zeros", "F_goodCode", zeros, "s", zeros, text);
        row("long digits", "F_goodCode", digits, "s", digits, text);
        row("quotes", "F_goodName", quotes, "s", quotes, text);
        row("chinese", "F_goodName", QStringLiteral("不锈钢深沟球轴承"), "s",
            QStringLiteral("不锈钢深沟球轴承"), text);
        row("equals sign stays text", "F_goodName", formula, "s", formula, text);
        row("spaces kept", "F_spec", spaced, "s", spaced, text);
        row("empty text", "F_spec", QString(), "", {}, {});
        row("price", "F_CGprice", 1234.5, "n", 1234.5, QStringLiteral("0.00"));
        row("quantity", "F_amount", 2.5, "n", 2.5, QStringLiteral("General"));
        row("date", "F_CGdate", QDate(2024, 3, 5), "d", QStringLiteral("2024-03-05"),
            QStringLiteral("yyyy-mm-dd"));
        row("no date", "F_XSdate", QDate(1900, 8, 14), "", {}, {});
        row("date before 1901-08-14", "F_XSdate", QDate(1901, 1, 1), "", {}, {});
        row("no date in a text column", "F_memo1", QStringLiteral(" 1900-08-14 "), "", {}, {});
        row("other date in a text column", "F_memo1", QStringLiteral("1900-08-15"), "s",
            QStringLiteral("1900-08-15"), text);
    }

    void cellsHoldWhatTheListHolds()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, field);
        QFETCH(QVariant, stored);
        QFETCH(QString, type);
        QFETCH(QVariant, shown);
        QFETCH(QString, format);
        TestDatabase db(engine);
        addSample(db.dm(), {{field, stored}});
        const QString file = QDir(db.home()).filePath(QStringLiteral("list.xlsx"));
        ListExport::Summary summary;
        const WorkResult written = ListExport::write(wholeRegister(db.dm()), file, &summary);
        QVERIFY2(written.isDone(), qPrintable(written.reason()));
        const Workbook workbook = readBack(file);
        QCOMPARE(workbook.sheets.size(), 1);
        const Workbook::Cell cell =
            workbook.sheets[0].cell(2, columnOf(sampleListColumns(), field));
        QCOMPARE(cell.type, type);
        QCOMPARE(cell.value, shown);
        QCOMPARE(cell.format, format);
    }

    void displayFormatsBecomeNumberFormats_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("spreadsheet");
        QTest::newRow("text") << QString() << QStringLiteral("@");
        QTest::newRow("blank") << QStringLiteral("  ") << QStringLiteral("@");
        QTest::newRow("price") << QStringLiteral("0.00") << QStringLiteral("0.00");
        QTest::newRow("grouped") << QStringLiteral(",0.000") << QStringLiteral("#,##0.000");
        QTest::newRow("whole") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("fixed and optional") << QStringLiteral("0.0#") << QStringLiteral("0.0#");
        // "5." for whole numbers otherwise, where the grid shows "5".
        QTest::newRow("optional decimals") << QStringLiteral("0.###") << QStringLiteral("General");
        QTest::newRow("currency sign")
            << QStringLiteral("¥,0.00") << QStringLiteral("\"¥\"#,##0.00");
        QTest::newRow("negative section")
            << QStringLiteral("0.00;(0.00)") << QStringLiteral("0.00");
        QTest::newRow("date") << QStringLiteral("yyyy-MM-dd") << QStringLiteral("yyyy-mm-dd");
        QTest::newRow("chinese date")
            << QStringLiteral("yyyy年M月d日") << QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
        QTest::newRow("quoted text")
            << QStringLiteral("'on' dd.MM.yy") << QStringLiteral("\"on\" dd.mm.yy");
    }

    void displayFormatsBecomeNumberFormats()
    {
        QFETCH(QString, display);
        QFETCH(QString, spreadsheet);
        QCOMPARE(SpreadsheetFormat::numberFormat(display), spreadsheet);
    }

    // What a spreadsheet program shows for each format, read back from a real workbook.
    void numberFormatsReachTheWorkbook()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addSample(db.dm(), {{QStringLiteral("F_CGprice"), 1234567.891},
                            {QStringLiteral("F_XSdate"), QDate(2026, 12, 10)}});
        ListExport::Job job = wholeRegister(db.dm());
        GridColumn grouped;
        grouped.field = QStringLiteral("F_CGprice");
        grouped.caption = QStringLiteral("单价");
        grouped.displayFormat = QStringLiteral("¥,0.000");
        GridColumn chineseDate;
        chineseDate.field = QStringLiteral("F_XSdate");
        chineseDate.caption = QStringLiteral("日期");
        chineseDate.displayFormat = QStringLiteral("yyyy年MM月dd日");
        job.columns = {grouped, chineseDate};
        const QString file = QDir(db.home()).filePath(QStringLiteral("formats.xlsx"));
        ListExport::Summary summary;
        const WorkResult written = ListExport::write(job, file, &summary);
        QVERIFY2(written.isDone(), qPrintable(written.reason()));
        const Workbook::Sheet sheet = readBack(file).sheets.value(0);
        QCOMPARE(sheet.cell(2, 1).type, QStringLiteral("n"));
        QCOMPARE(sheet.cell(2, 1).value.toDouble(), 1234567.891);
        QCOMPARE(sheet.cell(2, 1).format, QStringLiteral("\"¥\"#,##0.000"));
        QCOMPARE(sheet.cell(2, 2).type, QStringLiteral("d"));
        QCOMPARE(sheet.cell(2, 2).value.toString(), QStringLiteral("2026-12-10"));
        QCOMPARE(sheet.cell(2, 2).format, QStringLiteral("yyyy\"年\"mm\"月\"dd\"日\""));
    }

    // Filter, order, column order and hidden columns as the window shows them, through 导出.
    void mainWindowExportsItsListAsShown()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        const QDate today = QDate::currentDate();
        const QStringList names = {QStringLiteral("轴承 B"), QStringLiteral("螺丝"),
                                   QStringLiteral("轴承 C"), QStringLiteral("轴承 A")};
        for (int i = 0; i < names.size(); ++i)
            addSample(db.dm(), {{QStringLiteral("F_goodCode"), QStringLiteral("0%1").arg(i)},
                                {QStringLiteral("F_goodName"), names[i]},
                                {QStringLiteral("F_spec"), QStringLiteral("规格%1").arg(i)}});
        // Outside this month's default date range.
        addSample(db.dm(), {{QStringLiteral("F_goodName"), QStringLiteral("轴承 去年")},
                            {QStringLiteral("F_editDate"), today.addYears(-1)}});
        TFrmMain main;
        main.show();
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(1);
        emit field->activated(1);
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("轴承"));
        QTRY_COMPARE(main.listModel()->rowCount(), 3);
        DBGridEh *grid = main.grid();
        const int nameColumn = columnOf(grid->columns(), QStringLiteral("F_goodName")) - 1;
        // Descending by name: the second click on its title.
        for (int click = 0; click < 2; ++click)
            emit grid->view()->horizontalHeader()->sectionClicked(nameColumn);
        grid->moveColumn(nameColumn, 0);
        grid->setColumnVisible(columnOf(grid->columns(), QStringLiteral("F_spec")) - 1, false);
        const QList<GridColumn> shownColumns = grid->columns();

        main.action(301)->trigger();

        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join(u'\n')));
        QCOMPARE(shell.opened.size(), 1);
        const QString file = QUrl(shell.opened.first()).toLocalFile();
        QCOMPARE(QFileInfo(file).absolutePath(),
                 QDir(db.home()).filePath(QStringLiteral("export")));
        QVERIFY2(
            QRegularExpression(
                QStringLiteral("^样品档案资料 \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.xlsx$"))
                .match(QFileInfo(file).fileName())
                .hasMatch(),
            qPrintable(file));
        const Workbook workbook = readBack(file);
        QCOMPARE(workbook.sheets.size(), 1);
        const Workbook::Sheet &sheet = workbook.sheets[0];
        QCOMPARE(sheet.name, QStringLiteral("样品档案资料"));
        QCOMPARE(sheet.row(1, shownColumns.size()), captionsOf(shownColumns));
        QCOMPARE(sheet.column(1), (QStringList{QStringLiteral("轴承 C"), QStringLiteral("轴承 B"),
                                               QStringLiteral("轴承 A")}));
        QCOMPARE(sheet.column(columnOf(shownColumns, QStringLiteral("F_spec"))),
                 (QStringList{QStringLiteral("规格2"), QStringLiteral("规格0"),
                              QStringLiteral("规格3")}));
        QCOMPARE(sheet.column(columnOf(shownColumns, QStringLiteral("F_goodCode"))),
                 (QStringList{QStringLiteral("02"), QStringLiteral("00"), QStringLiteral("03")}));
    }

    void registerWindowsExportTheirLists_data() { addRegisterRows(); }

    void registerWindowsExportTheirLists()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        const RegisterDescription &description = registerNamed(name);
        for (const char *code : {"B2", "007", "A1"})
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into %1(F_Code, F_Name) values(?, ?)")
                                         .arg(description.table),
                                     {QString::fromLatin1(code), QStringLiteral("名称")}));
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral("insert into %1(F_Code, F_Name, F_useFlag) values('C3', '停用', ?)")
                .arg(description.table),
            {true}));
        RegisterWindow window(description);
        window.show();
        QTRY_COMPARE(window.list()->rowCount(), 3);
        auto *exportButton = window.findChild<QAction *>(QStringLiteral("tbExport"));
        QVERIFY(exportButton->isEnabled());
        exportButton->trigger();

        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join(u'\n')));
        QCOMPARE(shell.opened.size(), 1);
        const Workbook workbook = readBack(QUrl(shell.opened.first()).toLocalFile());
        const Workbook::Sheet sheet = workbook.sheets.value(0);
        QCOMPARE(sheet.name, description.exportTitle);
        QCOMPARE(sheet.row(1, description.columns.size()), captionsOf(description.columns));
        QCOMPARE(sheet.column(1),
                 (QStringList{QStringLiteral("007"), QStringLiteral("A1"), QStringLiteral("B2")}));
    }

    void emptyListGivesTheTitleRowOnly()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        TFrmMain main;
        main.show();
        main.action(301)->trigger();
        QCOMPARE(shell.opened.size(), 1);
        const Workbook workbook = readBack(QUrl(shell.opened.first()).toLocalFile());
        QCOMPARE(workbook.sheets.size(), 1);
        QCOMPARE(workbook.sheets[0].rows, 1);
        QCOMPARE(workbook.sheets[0].row(1, 24), captionsOf(sampleListColumns()));
    }

    // Without a program for spreadsheets a box says where the file is; without `visible`
    // nothing opens and nothing is said. Two exports in one second keep both files.
    void whereTheFileIsWhenNothingOpensIt()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell(false);
        addSample(db.dm(), {});
        TFrmMain main;
        main.show();
        const QString first = ExportGridToExcel(main.grid(), QStringLiteral("清单"), true);
        QCOMPARE(shell.opened, QStringList{QUrl::fromLocalFile(first).toString()});
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Information));
        QCOMPARE(prompt.shown[0].text,
                 QStringLiteral("没有可以打开电子表格的程序。导出的文件保存在：\n") +
                     QDir::toNativeSeparators(first));
        QCOMPARE(modeOf(first), 0600);
        QCOMPARE(modeOf(QFileInfo(first).path()), 0700);

        prompt.clear();
        const QString second = ExportGridToExcel(main.grid(), QStringLiteral("清单"), false);
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(shell.opened.size(), 1);
        QVERIFY(first != second);
        QVERIFY(QFile::exists(first) && QFile::exists(second));
    }

    void longListsContinueOnFurtherSheets()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        for (int i = 1; i <= 7; ++i)
            addSample(db.dm(), {{QStringLiteral("F_goodCode"), QStringLiteral("S%1").arg(i)}});
        ListExport::Job job = wholeRegister(db.dm());
        job.query.orderBy = QStringLiteral("order by F_goodCode");
        job.rowsPerSheet = 3;
        const QString file = QDir(db.home()).filePath(QStringLiteral("long.xlsx"));
        ListExport::Summary summary;
        const WorkResult written = ListExport::write(job, file, &summary);
        QVERIFY2(written.isDone(), qPrintable(written.reason()));
        QCOMPARE(summary.rows, 7);
        QCOMPARE(summary.sheets, 3);
        const Workbook workbook = readBack(file);
        QCOMPARE(workbook.sheets.size(), 3);
        const QStringList expected[] = {
            {QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")},
            {QStringLiteral("S4"), QStringLiteral("S5"), QStringLiteral("S6")},
            {QStringLiteral("S7")}};
        const QStringList names = {QStringLiteral("样品档案资料"),
                                   QStringLiteral("样品档案资料 (2)"),
                                   QStringLiteral("样品档案资料 (3)")};
        for (int s = 0; s < 3; ++s) {
            QCOMPARE(workbook.sheets[s].name, names[s]);
            QCOMPARE(workbook.sheets[s].row(1, 24), captionsOf(sampleListColumns()));
            QCOMPARE(workbook.sheets[s].column(1), expected[s]);
        }
    }

    void sheetAndFileNamesAreAllowedNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << QStringLiteral("客户资料") << 1 << QStringLiteral("客户资料")
                               << QStringLiteral("客户资料");
        QTest::newRow("second") << QStringLiteral("客户资料") << 2 << QStringLiteral("客户资料 (2)")
                                << QStringLiteral("客户资料");
        QTest::newRow("forbidden")
            << QStringLiteral("a/b:c*d?[e]\\f") << 1 << QStringLiteral("a_b_c_d__e__f")
            << QStringLiteral("a_b_c_d_[e]_f");
        QTest::newRow("quotes") << QStringLiteral("'x'") << 1 << QStringLiteral("x")
                                << QStringLiteral("'x'");
        QTest::newRow("empty") << QString() << 1 << QStringLiteral("Sheet") << QStringLiteral("_");
        const QString long35 = QString(35, u'长');
        QTest::newRow("long") << long35 << 12 << QString(26, u'长') + QStringLiteral(" (12)")
                              << long35;
    }

    void sheetAndFileNamesAreAllowedNames()
    {
        QFETCH(QString, title);
        QFETCH(int, part);
        QFETCH(QString, sheet);
        QFETCH(QString, file);
        QCOMPARE(XlsxListWriter::sheetName(title, part), sheet);
        const QDateTime time(QDate(2026, 12, 10), QTime(14, 3, 22));
        const QTemporaryDir folder;
        const QString name = ListExport::freeFileName(folder.path(), title, time);
        QCOMPARE(name, folder.filePath(file + QStringLiteral(" 2026-12-10 14-03-22.xlsx")));
        // A name that is taken gets a number.
        QFile taken(name);
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();
        QCOMPARE(ListExport::freeFileName(folder.path(), title, time),
                 folder.filePath(file + QStringLiteral(" 2026-12-10 14-03-22 (2).xlsx")));
    }

    void textLongerThanACellHoldsIsCutAndCounted()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QString memo = QString(XlsxListWriter::kMaxText, u'备') + QStringLiteral("尾");
        addSample(db.dm(), {{QStringLiteral("F_Memo2"), memo}});
        ListExport::Job job = wholeRegister(db.dm());
        GridColumn column;
        column.field = QStringLiteral("F_Memo2");
        column.caption = QStringLiteral("备注");
        job.columns = {column};
        const QString file = QDir(db.home()).filePath(QStringLiteral("memo.xlsx"));
        ListExport::Summary summary;
        const WorkResult written = ListExport::write(job, file, &summary);
        QVERIFY2(written.isDone(), qPrintable(written.reason()));
        QCOMPARE(summary.shortenedTexts, 1);
        QCOMPARE(readBack(file).sheets.value(0).cell(2, 1).value.toString(), memo.chopped(1));
    }

    void cancelLeavesNoFile()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 5000, &error), qPrintable(error));
        const QString folder = QDir(db.home()).filePath(QStringLiteral("export"));
        QVERIFY(QDir().mkpath(folder));
        int reports = 0;
        ListExport::Summary summary;
        const WorkResult written = ListExport::write(
            wholeRegister(db.dm()), QDir(folder).filePath(QStringLiteral("x.xlsx")), &summary,
            [&](int) { return ++reports < 3; });
        QVERIFY(written.isCancelled());
        QVERIFY(!summary.failedInDatabase);
        QCOMPARE(reports, 3);
        QCOMPARE(exported(db), QStringList());

        // 取消 in the progress box of the window.
        ScriptedPrompt prompt;
        ShellRecorder shell;
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QTRY_COMPARE(main.listModel()->rowCount(), 5000);
        QTimer::singleShot(0, &main, [&main] {
            if (auto *box = main.findChild<QProgressDialog *>())
                box->findChild<QPushButton *>()->click();
        });
        main.action(301)->trigger();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("导出已取消，没有保存文件。")});
        QVERIFY(shell.opened.isEmpty());
        QCOMPARE(exported(db), QStringList());
    }

    // Qt paints large areas on its global thread pool and waits for a thread there: an export
    // that took one would stop the window from painting.
    void windowKeepsThePaintersPool()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 5000, &error), qPrintable(error));
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QTRY_COMPARE(main.listModel()->rowCount(), 5000);
        QThreadPool *painters = QThreadPool::globalInstance();
        QTRY_COMPARE(painters->activeThreadCount(), 0);
        int busy = -1;
        bool exporting = false;
        QTimer::singleShot(0, &main, [&] {
            exporting = main.findChild<QProgressDialog *>() != nullptr;
            busy = painters->activeThreadCount();
        });
        main.action(301)->trigger();
        QVERIFY(exporting);
        QCOMPARE(busy, 0);
        QCOMPARE(shell.opened.size(), 1);
    }

    void failuresSayWhyAndLeaveNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addSample(db.dm(), {});

        // A statement that fails leaves no file behind.
        ListExport::Job broken = wholeRegister(db.dm());
        broken.query.select = QStringLiteral("select * from NoSuchTable");
        const QString folder = QDir(db.home()).filePath(QStringLiteral("export"));
        QVERIFY(QDir().mkpath(folder));
        ListExport::Summary summary;
        const WorkResult written =
            ListExport::write(broken, QDir(folder).filePath(QStringLiteral("x.xlsx")), &summary);
        QVERIFY(written.isFailed());
        QVERIFY(!written.reason().isEmpty());
        QVERIFY(summary.failedInDatabase);
        QCOMPARE(exported(db), QStringList());

        // A folder that cannot be written.
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ShellRecorder shell;
        TFrmMain main;
        main.show();
        main.action(301)->trigger();
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(prompt.shown[0].text,
                 QStringLiteral("无法建立导出文件夹“%1”。").arg(QDir::toNativeSeparators(folder)));
        QVERIFY(shell.opened.isEmpty());
    }

    // Damage met while reading the list is told as the data module tells it, and stops writes.
    void damagedDatabaseIsToldAsSuch()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != u"sqlite")
            QSKIP("damaged pages are a SQLite file's");
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 3000, &error), qPrintable(error));
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QTRY_COMPARE(main.listModel()->rowCount(), 3000);
        damageSampleTable(db.dm());
        main.action(301)->trigger();
        QVERIFY(db.dm()->isDamaged());
        QVERIFY(!prompt.shown.isEmpty());
        for (const ScriptedPrompt::Shown &shown : std::as_const(prompt.shown))
            QVERIFY2(shown.text.contains(u"已损坏"), qPrintable(shown.text));
        QVERIFY(shell.opened.isEmpty());
        QCOMPARE(exported(db), QStringList());
    }

    // The desktop's opener starts even when no program takes the file: a program counts only
    // when the desktop names one for the type and its entry is there.
    void aProgramForTheFileMustExist_data()
    {
        QTest::addColumn<QString>("named"); // what xdg-mime answers for a workbook
        QTest::addColumn<QString>("entry"); // the desktop entry there is; empty: none
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opens");
        const QString workbook = QUrl::fromLocalFile(QStringLiteral("/tmp/清单.xlsx")).toString();
        const QString sheet = QStringLiteral("quorin-test-sheet.desktop");
        QTest::newRow("none named") << QString() << QString() << workbook << false;
        QTest::newRow("entry gone") << sheet << QString() << workbook << false;
        QTest::newRow("program") << sheet << sheet << workbook << true;
        QTest::newRow("vendor folder") << sheet << "quorin/test-sheet.desktop" << workbook << true;
        QTest::newRow("other type")
            << sheet << sheet << QUrl::fromLocalFile(QStringLiteral("/tmp/a.html")).toString()
            << false;
        QTest::newRow("web link") << sheet << sheet << "https://example.com/" << false;
    }

    void aProgramForTheFileMustExist()
    {
        QFETCH(QString, named);
        QFETCH(QString, entry);
        QFETCH(QString, url);
        QFETCH(bool, opens);
        QTemporaryDir desktop;
        QDir(desktop.path()).mkpath(QStringLiteral("bin"));
        QFile script(desktop.filePath(QStringLiteral("bin/xdg-mime")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n[ \"$1 $2 $3\" = \"query default "
                                    "application/vnd.openxmlformats-officedocument.spreadsheetml."
                                    "sheet\" ] && echo '%1'\nexit 0\n")
                         .arg(named)
                         .toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (!entry.isEmpty()) {
            const QString path = desktop.filePath(QStringLiteral("share/applications/") + entry);
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const ScopedEnv path("PATH", QFile::encodeName(desktop.filePath(QStringLiteral("bin"))) +
                                         ':' + qgetenv("PATH"));
        const ScopedEnv dataHome("XDG_DATA_HOME",
                                 QFile::encodeName(desktop.filePath(QStringLiteral("share"))));
        QCOMPARE(Shell::hasDefaultProgram(QUrl(url)), opens);
    }

    // Help files, the sample workbook and web links that nothing opens say so in a box.
    void nothingOpensItSaysWhere_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("box");
        const QString help = QStringLiteral("/srv/quorin/help.html");
        QTest::newRow("file") << QUrl::fromLocalFile(help).toString()
                              << QStringLiteral("没有能打开“help.html”的程序。文件在：\n") +
                                     QDir::toNativeSeparators(help);
        QTest::newRow("web") << "https://example.com/"
                             << QStringLiteral(
                                    "没有能打开网址的程序。网址：\nhttps://example.com/");
        QTest::newRow("mail") << "mailto:a@example.com"
                              << QStringLiteral("没有能写电子邮件的程序。收件人：a@example.com");
    }

    void nothingOpensItSaysWhere()
    {
        QFETCH(QString, url);
        QFETCH(QString, box);
        ScriptedPrompt prompt;
        ShellRecorder shell(false);
        QVERIFY(!Shell::openOrTell(QUrl(url)));
        QCOMPARE(shell.opened, QStringList{url});
        QCOMPARE(prompt.texts(), QStringList{box});
        ShellRecorder opens;
        prompt.clear();
        QVERIFY(Shell::openOrTell(QUrl(url)));
        QVERIFY(prompt.shown.isEmpty());
    }

    // What a script runs: a whole list without a window, and a plain exit status.
    void commandLine()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addSample(db.dm(), {{QStringLiteral("F_goodCode"), QStringLiteral("0042")}});
        addSample(db.dm(), {{QStringLiteral("F_goodCode"), QStringLiteral("0041")},
                            {QStringLiteral("F_editDate"), QDate(2001, 1, 1)}});
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral("insert into T_client(F_Code, F_Name) values('K1', '客户')")));
        const auto run = [&](const QStringList &arguments, QByteArray *errors) {
            QProcess quorin;
            quorin.start(QStringLiteral(QUORIN_BINARY),
                         QStringList{QStringLiteral("--home"), db.home()} + arguments);
            if (!quorin.waitForFinished(120000))
                return -1;
            *errors = quorin.readAllStandardError();
            return quorin.readAllStandardOutput().isEmpty() ? quorin.exitCode() : -2;
        };
        const QString file = QDir(db.home()).filePath(QStringLiteral("out/samples.xlsx"));
        QByteArray errors;
        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral("samples"), file}, &errors), 0);
        QCOMPARE(errors, QByteArray());
        QCOMPARE(modeOf(file), 0600);
        QCOMPARE(modeOf(QFileInfo(file).path()), 0700);
        Workbook workbook = readBack(file);
        QCOMPARE(workbook.sheets.value(0).name, QStringLiteral("样品档案资料"));
        QCOMPARE(workbook.sheets[0].row(1, 24), captionsOf(sampleListColumns()));
        QStringList codes = workbook.sheets[0].column(1);
        codes.sort();
        QCOMPARE(codes, (QStringList{QStringLiteral("0041"), QStringLiteral("0042")}));

        // The same file again is replaced.
        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral("clients"), file}, &errors), 0);
        workbook = readBack(file);
        QCOMPARE(workbook.sheets.value(0).name, QStringLiteral("客户资料"));
        QCOMPARE(workbook.sheets[0].column(1), QStringList{QStringLiteral("K1")});

        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral("orders"), file}, &errors), 2);
        QVERIFY(errors.contains("samples, clients, suppliers, catalogue"));
        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral("samples")}, &errors), 2);
        QVERIFY(errors.contains("FILE.xlsx"));
        QCOMPARE(run({QStringLiteral("--export"), QStringLiteral("samples"),
                      QDir(db.home()).filePath(QStringLiteral("out.csv"))},
                     &errors),
                 2);
        QCOMPARE(QDir(QDir(db.home()).filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("samples.xlsx")});
    }

    // A disk that fills up: the export stops with the reason and leaves nothing behind.
    void fullDiskLeavesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 3000, &error), qPrintable(error));
        const QString folder = QDir(db.home()).filePath(QStringLiteral("small disk"));
        QVERIFY(QDir().mkpath(folder));
        // Files of the process may grow to 200 KB; the signal that would end it is ignored,
        // so writes fail as on a full disk.
        QProcess quorin;
        quorin.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("trap '' XFSZ; ulimit -f 200; exec \"$0\" \"$@\""),
                      QStringLiteral(QUORIN_BINARY), QStringLiteral("--home"), db.home(),
                      QStringLiteral("--export"), QStringLiteral("samples"),
                      QDir(folder).filePath(QStringLiteral("samples.xlsx"))});
        QVERIFY(quorin.waitForFinished(120000));
        const QByteArray errors = quorin.readAllStandardError();
        QCOMPARE(quorin.exitCode(), 1);
        QVERIFY2(errors.contains("export failed: "), errors.constData());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
