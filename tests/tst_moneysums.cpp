#include "app/uFrmMain.h"
#include "core/Money.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "report/ReportEngine.h"
#include "report/SqlReportData.h"
#include "support/ListSettled.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/DBGridEh.h"

#include <QSqlQuery>
#include <QTest>

namespace {

struct Sample
{
    double amount;
    double purchase; // F_CGprice
    const char *purchaseCurrency;
    double sales; // F_XSprice1
    const char *salesCurrency;
};

void addSample(TdmData *dm, const Sample &s)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_amount, F_CGprice, "
                                       "F_CGtype, F_XSprice1, F_XStype1, F_editDate) "
                                       "values('A', ?, ?, ?, ?, ?, ?)"),
                        {s.amount, s.purchase, QString::fromUtf8(s.purchaseCurrency), s.sales,
                         QString::fromUtf8(s.salesCurrency), QDate::currentDate()}));
}

const QList<Sample> kMixed = {{1, 100, "美元", 2, "人民币"},
                              {2, 50, "人民币", 0, ""},
                              {3, 30, "卢布", 0, ""},
                              {4, 0, "", 8, "欧元"}};

// The whole report's texts, summary last.
QString reportText(TdmData *dm, const QString &sql, const QVariantList &values,
                   const QString &summary)
{
    Report::Item item;
    item.rect = QRectF(0, 0, 150, 5);
    item.text = summary;
    Report::Template t;
    t.summary = Report::Band{5, {item}};
    t.data << Report::DataBand{QStringLiteral("list"), {}, {}, {}, Report::Band{1, {}}, {}};
    Report::SqlReportData data(dm->source());
    data.set(QStringLiteral("list"), {sql, values, {}});
    Report::Prepared prepared;
    QString error;
    if (!done(Report::prepare(t, data, &prepared), &error))
        return error;
    QStringList texts;
    for (const Report::Page &page : prepared.pages) {
        for (const Report::Element &e : page.elements)
            texts << prepared.textOf(e);
    }
    return texts.join(u' ');
}

QString footer(DBGridEh *grid, const QString &field, QString *toolTip = nullptr)
{
    const QList<GridColumn> columns = grid->columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].field.compare(field, Qt::CaseInsensitive) != 0)
            continue;
        if (toolTip)
            *toolTip = grid->footerToolTip(i);
        return grid->footerText(i);
    }
    return QStringLiteral("no column");
}

} // namespace

// Sums of prices in the list footers are in 人民币 at the currency list's rates, never across
// currencies; a price whose currency has no rate is left out and counted.
class TestMoneySums : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void mainListSumsPricesInYuan_data()
    {
        QTest::addColumn<int>("copies"); // of the mixed rows: a short list, and one whose
                                         // count and sums come from the background
        QTest::newRow("one page") << 1;
        QTest::newRow("many pages") << 120;
    }

    void mainListSumsPricesInYuan()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, copies);
        TestDatabase db(engine);
        // Seeded rates per US dollar: 美元 1, 人民币 7.1, 欧元 0.92.
        for (int i = 0; i < copies; ++i) {
            for (const Sample &s : kMixed)
                addSample(db.dm(), s);
        }
        TFrmMain main;
        main.show();
        QTRY_VERIFY(listSettled(main.listModel()));
        DBGridEh *grid = main.grid();
        QString purchaseTip, salesTip, amountTip;
        const double purchase = copies * (100 * 7.1 + 50);
        const double sales = copies * (2 + 8 * 7.1 / 0.92);
        QCOMPARE(footer(grid, QStringLiteral("F_CGprice"), &purchaseTip),
                 QString::number(purchase, 'f', 2));
        QCOMPARE(footer(grid, QStringLiteral("F_XSprice1"), &salesTip),
                 QString::number(sales, 'f', 2));
        QCOMPARE(footer(grid, QStringLiteral("F_amount"), &amountTip),
                 QString::number(copies * 10));
        QCOMPARE(footer(grid, QStringLiteral("F_goodCode")), QStringLiteral("合计(人民币)"));
        // Only the rouble price is left out; a price of 0 without a currency is not.
        QVERIFY2(purchaseTip.contains(QStringLiteral("%1 条记录的币种没有汇率").arg(copies)),
                 qPrintable(purchaseTip));
        QVERIFY2(!salesTip.contains(QStringLiteral("没有汇率")), qPrintable(salesTip));
        QVERIFY(salesTip.contains(QStringLiteral("人民币")));
        QVERIFY(amountTip.isEmpty());
    }

    void yuanNeedsNoRateOfItsOwn()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addSample(db.dm(), {1, 12.5, "人民币", 0, ""});
        addSample(db.dm(), {1, 3, "美元", 0, ""});
        // The first of two rows of one name is the rate, as in the conversion dialog.
        QVERIFY(db.dm()->ExecSql(QStringLiteral(
            "insert into t_code(F_Name, F_type, F_rate) values('美元', 'rate', 2)")));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from t_code where F_type = 'rate' and "
                                                "F_Name = '人民币'")));
        TFrmMain main;
        main.show();
        QTRY_VERIFY(listSettled(main.listModel()));
        QString tip;
        QCOMPARE(footer(main.grid(), QStringLiteral("F_CGprice"), &tip), QStringLiteral("12.50"));
        QVERIFY2(tip.contains(QStringLiteral("1 条记录的币种没有汇率")), qPrintable(tip));

        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into t_code(F_Name, F_type, F_rate) "
                                                "values('人民币', 'rate', 7)")));
        main.RunListQuery();
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(footer(main.grid(), QStringLiteral("F_CGprice"), &tip), QStringLiteral("33.50"));
        QVERIFY(!tip.contains(QStringLiteral("没有汇率")));
    }

    void reportsSumPricesInYuan()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        for (const Sample &s : kMixed)
            addSample(db.dm(), s);
        const double sales = 2 + 8 * 7.1 / 0.92;
        QCOMPARE(reportText(db.dm(), QStringLiteral("select * from GoodMain"), {},
                            QStringLiteral("[SUM(F_CGprice):0.00] [NORATE(F_CGprice)] "
                                           "[SUM(F_XSprice1):0.00] [NORATE(F_XSprice1)] "
                                           "[SUM(F_amount)]")),
                 QStringLiteral("760.00 1 %1 0 10").arg(sales, 0, 'f', 2));

        // The grouped reports' rows come summed in 人民币, with the prices they left out.
        TFrmMain main;
        main.show();
        QTRY_VERIFY(listSettled(main.listModel()));
        const SampleListStatements &statements = main.samples().statements();
        QSqlQuery q(db.dm()->database());
        QVERIFY(db.dm()->OpenSql(q,
                                 QStringLiteral("select F_CGprice, F_XSprice1, F_norate, F_amount "
                                                "from (%1) grouped")
                                     .arg(statements.byTypeSql),
                                 statements.values));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 760.0);
        QCOMPARE(q.value(1).toDouble(), sales);
        QCOMPARE(q.value(2).toInt(), 1);
        QCOMPARE(q.value(3).toDouble(), 10.0);
        QCOMPARE(reportText(db.dm(), statements.byTypeSql, statements.values,
                            QStringLiteral("[SUM(F_CGprice):0.00] [SUM(F_norate)]")),
                 QStringLiteral("760.00 1"));
    }

    void ratesConvertAsTheSums()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        Money::Rates rates;
        QString error;
        QVERIFY2(rates.read(db.dm()->database(), &error), qPrintable(error));
        QCOMPARE(rates.toHome(100, QStringLiteral("美元")).value(), 710.0);
        QCOMPARE(rates.toHome(5, QStringLiteral("人民币")).value(), 5.0);
        QVERIFY(!rates.toHome(5, QStringLiteral("卢布")));
        QVERIFY(!rates.toHome(5, QString()));
        QVERIFY(!Money::convert(1, 0.0, 7.1));
        QCOMPARE(Money::currencyColumnOf(QStringLiteral("f_xsprice2")),
                 QStringLiteral("F_XStype2"));
        QVERIFY(Money::currencyColumnOf(QStringLiteral("F_amount")).isEmpty());
    }
};

QTEST_MAIN(TestMoneySums)
#include "tst_moneysums.moc"
