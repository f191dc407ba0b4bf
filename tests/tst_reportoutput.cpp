#include "core/AppHome.h"
#include "output/MainReports.h"
#include "report/ReportEngine.h"
#include "report/ReportOutputs.h"
#include "report/ReportRun.h"
#include "report/SqlReportData.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

Band textBand(double height, const QStringList &texts)
{
    Band band{height, {}};
    double x = 0;
    for (const QString &text : texts) {
        Item item;
        item.rect = QRectF(x, 0, 40, height);
        item.text = text;
        band.items << item;
        x += 40;
    }
    return band;
}

// Clients with their samples, as the by-client report lists them.
Template byClient()
{
    Template t;
    t.title = textBand(12, {QStringLiteral("样品客户统计表")});
    t.pageFooter = textBand(8, {QStringLiteral("第 [Page] 页 / 共 [PageCount] 页")});
    DataBand clients{
        QStringLiteral("frDBDataSet1"),
        {},
        {},
        {},
        textBand(8, {QStringLiteral("[F_XSclient]"), QStringLiteral("[F_XSprice1:0.00]")}),
        {}};
    clients.details << DataBand{
        QStringLiteral("frDBDataSet2"),
        {},
        {},
        {},
        textBand(6, {QStringLiteral("[F_goodCode]"), QStringLiteral("[F_goodName]")}),
        {}};
    t.data << clients;
    return t;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// Reports over the database, written to files.
class TestReportOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void masterDetailAndOutputs()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QList<QVariantList> samples = {{"S1", "轴承", "A客户", 1.5},
                                             {"S2", "弹簧", "B客户", 2.0},
                                             {"S3", "螺丝;钉", "A客户", 3.25},
                                             {"S4", "不在清单", "B客户", 9.0}};
        for (const QVariantList &s : samples)
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                                    "F_XSclient, F_XSprice1) values(?, ?, ?, ?)"),
                                     s));
        // The list's filter leaves S4 out; each client lists exactly its samples of the list.
        const QString where = QStringLiteral("where F_goodCode <> ?");
        SqlReportData data(db.dm()->source());
        data.set(
            QStringLiteral("frDBDataSet1"),
            {QStringLiteral("select F_XSclient, sum(F_XSprice1) as F_XSprice1 from GoodMain ") +
                 where + QStringLiteral(" group by F_XSclient order by F_XSclient"),
             {QStringLiteral("S4")},
             {}});
        data.set(QStringLiteral("frDBDataSet2"),
                 {QStringLiteral("select * from GoodMain ") + where +
                      QStringLiteral(" and (F_XSclient = ?) order by F_goodCode"),
                  {QStringLiteral("S4")},
                  {QStringLiteral("F_XSclient")}});
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(byClient(), data, &prepared), &error), qPrintable(error));

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("r.csv"));
        QVERIFY2(done(writeCsv(prepared, csv), &error), qPrintable(error));
        QFile csvFile(csv);
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        QCOMPARE(
            csvFile.readAll(),
            QByteArray("\xEF\xBB\xBF样品客户统计表\r\nA客户;4.75\r\nS1;轴承\r\nS3;\"螺丝;钉\"\r\n"
                       "B客户;2.00\r\nS2;弹簧\r\n第 1 页 / 共 1 页\r\n"));

        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QVERIFY2(done(writePdf(prepared, pdf), &error), qPrintable(error));
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        // Characters that some CJK fonts share with radicals (户, 页) read back as themselves.
        // (pdftotext reads the narrow blanks of CJK lines as nothing.)
        const QString compact = QString(text).remove(u' ');
        for (const char *expected :
             {"样品客户统计表", "A客户", "S1", "螺丝;钉", "4.75", "第1页/共1页"})
            QVERIFY2(compact.contains(QString::fromUtf8(expected)), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("不在清单")));
        // Every font is embedded, so the page reads the same on any machine.
        const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf}).split(u'\n').mid(2);
        QVERIFY(!fonts.filter(QStringLiteral("CID")).isEmpty());
        for (const QString &font : fonts) {
            if (!font.trimmed().isEmpty())
                QVERIFY2(font.contains(QStringLiteral(" yes ")), qPrintable(font));
        }

        const QString rtf = dir.filePath(QStringLiteral("r.rtf"));
        QVERIFY(done(writeRtf(prepared, rtf), &error));
        QFile rtfFile(rtf);
        QVERIFY(rtfFile.open(QIODevice::ReadOnly));
        const QByteArray rtfBytes = rtfFile.readAll();
        QVERIFY(rtfBytes.startsWith("{\\rtf1"));
        // 螺丝;钉 in its line, after a tab stop: S3 at 0 mm, the name at 40 mm × 1.3; characters
        // past U+7FFF as RTF writes them, negative.
        QVERIFY2(rtfBytes.contains("\\tx2948 S3\\tab \\u-30790?\\u19997?;\\u-27511?\\par"),
                 rtfBytes.constData());

        const QString html = dir.filePath(QStringLiteral("r.html"));
        QVERIFY(done(writeHtml(prepared, html), &error));
        const QString txt = dir.filePath(QStringLiteral("r.txt"));
        QVERIFY(done(writeText(prepared, txt), &error));
        QFile txtFile(txt);
        QVERIFY(txtFile.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(txtFile.readAll()).contains(QStringLiteral("S3\t螺丝;钉\n")));
    }

    // The by-client report of the main list: under each client exactly its samples of the
    // list's filter; every main report prepares from its shipped template.
    void mainListReports()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        const QList<QVariantList> samples = {{"S1", "轴承甲", "A客户"},
                                             {"S2", "轴承乙", "B客户"},
                                             {"S3", "轴承丙", "A客户"},
                                             {"S4", "弹簧", "A客户"},
                                             {"S5", "无客户的轴承", QVariant()}};
        for (const QVariantList &s : samples)
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                                    "F_XSclient, F_editDate) values(?, ?, ?, ?)"),
                                     s + QVariantList{QDate::currentDate()}));
        SampleListCriteria criteria;
        criteria.searchField =
            SampleListQuery::searchFieldCaptions().indexOf(QStringLiteral("样品名称"));
        criteria.value = QStringLiteral("轴承");
        const SampleListStatements statements =
            SampleListQuery::build(criteria, db.dm()->dialect());
        ListQuery list;
        list.select = statements.listSql;
        list.values = statements.values;
        for (const MainReports::Info &report : MainReports::all()) {
            Prepared prepared;
            QString error;
            QVERIFY2(done(prepareJob(MainReports::job(report.kind, list, statements),
                                     db.dm()->source(), &prepared),
                          &error),
                     qPrintable(report.templateName + u' ' + error));
            QStringList texts;
            for (const Page &page : prepared.pages) {
                for (const Element &e : page.elements)
                    texts << prepared.textOf(e);
            }
            QVERIFY2(!texts.contains(QStringLiteral("S4")), qPrintable(report.templateName));
            if (report.kind == MainReports::DetailSheet)
                QCOMPARE(prepared.pages.size(), 4); // a page per sample
            if (report.kind != MainReports::ByClient)
                continue;
            QStringList order;
            for (const QString &t : texts) {
                if (t.startsWith(u'S') || t.endsWith(QStringLiteral("A客户")) ||
                    t.endsWith(QStringLiteral("B客户")))
                    order << t;
            }
            // The samples without a client come first, under an empty name.
            QCOMPARE(order, (QStringList{"S5", "A客户", "S1", "S3", "B客户", "S2"}));
        }
    }

    // What a scheduled print runs: a template over its default data to a PDF, and a plain exit
    // status.
    void commandLine()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into T_client(F_Code, F_Name) "
                                                "values('K1', 'Quorin Client')")));
        const auto quorin = [&](const QStringList &arguments) {
            QProcess quorin;
            quorin.start(QStringLiteral(QUORIN_BINARY),
                         QStringList{QStringLiteral("--home"), db.home()} + arguments);
            return quorin.waitForFinished(120000) ? quorin.exitCode() : -1;
        };
        const QString pdf = QDir(db.home()).filePath(QStringLiteral("out/clients.pdf"));
        QCOMPARE(quorin({QStringLiteral("--report"), QStringLiteral("FRCLIENTLIST.FRF"), pdf}), 0);
        QVERIFY(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                    .contains(QStringLiteral("Quorin Client")));
        const QString named = QDir(db.home()).filePath(QStringLiteral("named.pdf"));
        QCOMPARE(quorin({QStringLiteral("--report"), QStringLiteral("frClientList.frf"),
                         QStringLiteral("--pdf"), named}),
                 0);
        QVERIFY(QFileInfo(named).size() > 0);
        // Reports are the owner's only; a link where the PDF goes is replaced, and the file it
        // pointed to stays as it was.
        const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner |
                                                   QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                                   QFileDevice::WriteUser;
        QCOMPARE(QFile(pdf).permissions(), ownerOnly);
        const QString victim = QDir(db.home()).filePath(QStringLiteral("config-copy.txt"));
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("keep me") == 7);
        kept.close();
        const QString link = QDir(db.home()).filePath(QStringLiteral("linked.pdf"));
        QVERIFY(QFile::link(victim, link));
        QCOMPARE(quorin({QStringLiteral("--report"), QStringLiteral("frClientList.frf"),
                         QStringLiteral("--pdf"), link}),
                 0);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(run(QStringLiteral("pdftotext"), {link, QStringLiteral("-")})
                    .contains(QStringLiteral("Quorin Client")));
        QCOMPARE(QFile(link).permissions(), ownerOnly);
        QCOMPARE(QDir(db.home()).entryList({QStringLiteral("*.part")}), QStringList());

        QCOMPARE(quorin({QStringLiteral("--report"), QStringLiteral("frStatFx.frf"), pdf}), 2);
        QCOMPARE(quorin({QStringLiteral("--report"), QStringLiteral("frClientList.frf")}), 2);
    }

    // A sum too wide for its cell is drawn smaller, whole and inside the cell, not cut.
    void numberWiderThanItsBoxShrinks()
    {
        Prepared report;
        Style right;
        right.align = Item::Right;
        report.styles << right;
        Element sum;
        sum.text = QStringLiteral("1234567890123.45");
        sum.rect = QRectF(10, 10, 20, 6);
        report.pages.append(Page{{sum}});
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sum.pdf"));
        QString error;
        QVERIFY2(done(writePdf(report, pdf), &error), qPrintable(error));
        const QString words =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpression word(
            QStringLiteral("xMin=\"([0-9.]+)\".*xMax=\"([0-9.]+)\".*>1234567890123.45<"));
        const QRegularExpressionMatch found = word.match(words);
        QVERIFY2(found.hasMatch(), qPrintable(words));
        const double pointsPerMm = 72 / 25.4;
        QVERIFY(found.captured(1).toDouble() >= 10 * pointsPerMm);
        QVERIFY(found.captured(2).toDouble() <= 30 * pointsPerMm);
    }

    void failingStatementIsReported()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        SqlReportData data(db.dm()->source());
        data.set(QStringLiteral("frDBDataSet1"),
                 {QStringLiteral("select nothing from nowhere"), {}, {}});
        Prepared prepared;
        QString error;
        QVERIFY(!done(prepare(byClient(), data, &prepared), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
