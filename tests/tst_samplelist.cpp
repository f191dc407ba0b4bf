#include "app/uFrmMain.h"
#include "core/DemoData.h"
#include "core/SqlListModel.h"
#include "register/SampleListQuery.h"
#include "support/ListSettled.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {

struct Sample
{
    QString code;
    QString name;
    QString type;
    QString brand;
    QString secrecy;
    QDate edited;
    QString other3;
};

// Codes chosen so that starts-with and contains differ, and the awkward characters show.
const QList<Sample> kSamples = {
    {"A100", "螺丝A1", "\\\\五金\\螺丝", "华为", "低", {2026, 12, 1}, ""},
    {"XA1", "轴承", "\\\\五金\\轴承", "美的", "高", {2026, 12, 5}, "A1X"},
    {"B_2", "100%棉布", "\\\\纺织品", "华为", "", {2025, 1, 1}, ""},
    {"C'3", "O'Brien 开关", "\\\\五金制品", "", "中", {2026, 12, 9}, ""},
    {"N1", "", "", "", "", {2026, 12, 2}, ""},
};

void insertSamples(TdmData *dm)
{
    for (const Sample &s : kSamples)
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_type, "
                           "F_pinPai, F_BMjibie, F_editDate, F_other3, "
                           "F_CGdate) values(?, ?, ?, ?, ?, ?, ?, ?)"),
            {s.code, s.name, s.type, s.brand, s.secrecy, s.edited, s.other3, QDate(1900, 8, 14)}));
    // A record without a name at all: an empty search value must not list it.
    QVERIFY(dm->ExecSql(
        QStringLiteral("update GoodMain set F_goodName = null where F_goodCode = 'N1'")));
}

QStringList codesFor(TdmData *dm, const SampleListCriteria &criteria)
{
    const SampleListStatements s = SampleListQuery::build(criteria, dm->dialect());
    QSqlQuery q(dm->database());
    q.prepare(s.listSql + QStringLiteral(" order by F_goodCode"));
    for (const QVariant &v : s.values)
        q.addBindValue(v);
    if (!q.exec())
        qWarning() << q.lastError().text();
    QStringList codes;
    while (q.next())
        codes << q.value(QStringLiteral("F_goodCode")).toString();
    return codes;
}

} // namespace

// The sample list: its statements against a real database, and the main window's list.
class TestSampleList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void statementFindsTheRightRecords_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("listType");
        QTest::addColumn<QString>("listValue");
        QTest::addColumn<QStringList>("codes");
        const QStringList all{"A100", "B_2", "C'3", "N1", "XA1"};
        QTest::newRow("no field chosen") << -1 << "A1"
                                         << "" << 0 << "" << all;
        QTest::newRow("code starts with") << 0 << "a1"
                                          << "" << 0 << "" << QStringList{"A100"};
        QTest::newRow("name contains") << 1 << "A1"
                                       << "" << 0 << "" << QStringList{"A100"};
        QTest::newRow("empty value excludes nulls")
            << 1 << ""
            << "" << 0 << "" << QStringList{"A100", "B_2", "C'3", "XA1"};
        QTest::newRow("percent is literal") << 1 << "100%"
                                            << "" << 0 << "" << QStringList{"B_2"};
        QTest::newRow("underscore is literal") << 0 << "B_"
                                               << "" << 0 << "" << QStringList{"B_2"};
        QTest::newRow("quote is literal") << 1 << "o'brien"
                                          << "" << 0 << "" << QStringList{"C'3"};
        QTest::newRow("other properties start with") << 6 << "A1"
                                                     << "" << 0 << "" << QStringList{"XA1"};
        // Its subtypes, but not a sibling whose name merely starts the same.
        QTest::newRow("type node with subtypes")
            << -1 << ""
            << "\\\\五金" << 0 << "" << QStringList{"A100", "XA1"};
        QTest::newRow("type leaf") << -1 << ""
                                   << "\\\\五金\\螺丝" << 0 << "" << QStringList{"A100"};
        QTest::newRow("brand") << -1 << ""
                               << "" << 0 << "华为" << QStringList{"A100", "B_2"};
        QTest::newRow("secrecy low") << -1 << ""
                                     << "" << 5 << "低" << QStringList{"A100"};
    }

    void statementFindsTheRightRecords()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, type);
        QFETCH(int, listType);
        QFETCH(QString, listValue);
        QFETCH(QStringList, codes);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        insertSamples(db.dm());
        SampleListCriteria c;
        c.searchField = field;
        c.value = value;
        c.typeLikeCode = type;
        c.listType = listType;
        c.listValue = listValue;
        QCOMPARE(codesFor(db.dm(), c), codes);
        QVERIFY(prompt.shown.isEmpty());
    }

    // The search index follows every change of a record.
    void searchIndexFollowsChanges()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        insertSamples(dm);
        SampleListCriteria c;
        c.searchField = 1;
        c.value = QStringLiteral("轴承");
        QCOMPARE(codesFor(dm, c), QStringList{"XA1"});
        QVERIFY(
            dm->ExecSql(QStringLiteral("update GoodMain set F_goodName = ? where F_goodCode = ?"),
                        {QStringLiteral("滚珠轴承座"), QStringLiteral("A100")}));
        QCOMPARE(codesFor(dm, c), (QStringList{"A100", "XA1"}));
        c.value = QStringLiteral("螺丝");
        QCOMPARE(codesFor(dm, c), QStringList());
        QVERIFY(dm->ExecSql(QStringLiteral("delete from GoodMain where F_goodCode = 'XA1'")));
        c.value = QStringLiteral("轴承座");
        QCOMPARE(codesFor(dm, c), QStringList{"A100"});
        c.value = QStringLiteral("轴承");
        QCOMPARE(codesFor(dm, c), QStringList{"A100"});
    }

    // More rows than one page: the first rows come at once, the count follows.
    void longListCountsInTheBackground()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 450, &error), qPrintable(error));
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QTRY_COMPARE(main.statusPanel(2), QStringLiteral("样品总数：450"));
        QCOMPARE(main.listModel()->rowCount(), 450);
        QVERIFY(!main.listModel()->value(449, QStringLiteral("F_goodCode")).toString().isEmpty());
        QVERIFY(prompt.shown.isEmpty());
    }

    // A one-character term with rare matches needs a scan of the whole table: the keystroke
    // returns to the window at once, the previous rows staying until the new ones arrive, and
    // those equal the plain statement's, in the list's order.
    void keystrokeReadsItsFirstPageOffTheWindowsThread()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 450, &error), qPrintable(error));
        insertSamples(db.dm());
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
        QTRY_VERIFY(listSettled(main.listModel()));
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(1);
        emit field->activated(1);
        QTRY_VERIFY(listSettled(main.listModel()));
        const int before = main.listModel()->rowCount();
        const QVariant firstBefore = main.listModel()->value(0, QStringLiteral("F_ID"));
        // As an input method commits a character.
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->insert(QStringLiteral("棉"));
        QVERIFY(main.listModel()->isPending());
        QCOMPARE(main.listModel()->rowCount(), before);
        QCOMPARE(main.listModel()->value(0, QStringLiteral("F_ID")), firstBefore);
        QTRY_VERIFY(listSettled(main.listModel()));
        QSqlQuery plain(db.dm()->database());
        QVERIFY(plain.exec(QStringLiteral(
            "select F_ID from GoodMain where F_goodName like '%棉%' order by F_ID")));
        QList<qint64> expected;
        while (plain.next())
            expected << plain.value(0).toLongLong();
        QVERIFY(!expected.isEmpty());
        QList<qint64> shown;
        for (int row = 0; row < main.listModel()->rowCount(); ++row)
            shown << main.listModel()->value(row, QStringLiteral("F_ID")).toLongLong();
        QCOMPARE(shown, expected);
        QVERIFY(prompt.shown.isEmpty());
    }

    void dateRangeIsInclusive()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        insertSamples(db.dm());
        SampleListCriteria c;
        c.from = QDate(2026, 12, 1);
        c.to = QDate(2026, 12, 5);
        QCOMPARE(codesFor(db.dm(), c), (QStringList{"A100", "N1", "XA1"}));
        c.from = QDate();
        QCOMPARE(codesFor(db.dm(), c), (QStringList{"A100", "B_2", "N1", "XA1"}));
    }

    void groupedStatementsRun()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        insertSamples(db.dm());
        SampleListCriteria c;
        c.typeLikeCode = QStringLiteral("\\\\五金");
        const SampleListStatements s = SampleListQuery::build(c, db.dm()->dialect());
        for (const QString &sql : {s.byClientSql, s.bySupplierSql, s.byTypeSql}) {
            QSqlQuery q(db.dm()->database());
            q.prepare(sql);
            for (const QVariant &v : s.values)
                q.addBindValue(v);
            QVERIFY2(q.exec(), qPrintable(sql));
            QVERIFY(q.next());
        }
    }

    // The window lists at once, empties sentinel dates, counts, and sorts by title clicks.
    // A new list whose first row is another record shows that record's details, though the
    // current row number stays 0.
    void detailsFollowTheListWhenTheRowNumberStays()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        insertSamples(db.dm());
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(0);
        emit field->activated(0);
        auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        auto *shownCode = main.findChild<QLineEdit *>(QStringLiteral("dbegoodCode"));
        for (const QString &code :
             {QStringLiteral("XA1"), QStringLiteral("A100"), QStringLiteral("N1")}) {
            value->setText(code);
            QTRY_VERIFY(listSettled(main.listModel()));
            QCOMPARE(main.listModel()->rowCount(), 1);
            QCOMPARE(main.grid()->currentRow(), 0);
            QCOMPARE(shownCode->text(), code);
        }
        value->setText(QStringLiteral("nothing"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(shownCode->text(), QString());
    }

    void mainWindowListsFiltersAndSorts()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        insertSamples(db.dm());
        QVERIFY(db.dm()->ExecSql(QStringLiteral(
            "insert into t_code(F_Name, F_type) values('华为', 'pinpai'), ('美的', 'pinpai')")));
        db.dm()->setCurOperName(QStringLiteral("admin"));
        TFrmMain main;
        main.show();
        QTRY_VERIFY(listSettled(main.listModel()));
        // This month's records, by the default date range.
        const QDate today = QDate::currentDate();
        int thisMonth = 0;
        for (const Sample &s : kSamples)
            thisMonth += s.edited >= QDate(today.year(), today.month(), 1) && s.edited <= today;
        QCOMPARE(main.listModel()->rowCount(), thisMonth);
        QCOMPARE(main.statusPanel(2), QStringLiteral("样品总数：%1").arg(thisMonth));

        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 5);
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(0);
        emit field->activated(0);
        auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QTest::keyClicks(value, QStringLiteral("a1"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 1);
        QCOMPARE(main.statusPanel(2), QStringLiteral("样品总数：1"));
        // Delete edits the text; it does not reach the delete command.
        QTest::keyClick(value, Qt::Key_Backspace);
        QCOMPARE(value->text(), QStringLiteral("a"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 1);
        value->clear();
        QTRY_VERIFY(listSettled(main.listModel()));

        // Sentinel purchase dates show as empty cells.
        QTableView *view = main.grid()->view();
        int cgDate = -1;
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            if (view->model()->headerData(c, Qt::Horizontal).toString() == u"采购日期")
                cgDate = c;
        }
        QVERIFY(cgDate >= 0);
        QCOMPARE(view->model()->index(0, cgDate).data().toString(), QString());

        // Title clicks: ascending, descending, ascending; memo titles do not sort.
        const auto codes = [&] {
            QStringList list;
            for (int r = 0; r < main.listModel()->rowCount(); ++r)
                list << main.listModel()->value(r, QStringLiteral("F_goodCode")).toString();
            return list;
        };
        main.grid()->view()->horizontalHeader()->sectionClicked(0);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(codes(), (QStringList{"A100", "B_2", "C'3", "N1", "XA1"}));
        main.grid()->view()->horizontalHeader()->sectionClicked(0);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(codes(), (QStringList{"XA1", "N1", "C'3", "B_2", "A100"}));
        // The remarks are the last column.
        main.grid()->view()->horizontalHeader()->sectionClicked(main.grid()->columns().size() - 1);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(codes(), (QStringList{"XA1", "N1", "C'3", "B_2", "A100"}));
        QCOMPARE(main.grid()->marker(QStringLiteral("F_memo1")), DBGridEh::Marker::Up);
        main.grid()->view()->horizontalHeader()->sectionClicked(0);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(codes().first(), QStringLiteral("A100"));

        // The value list filters by brand.
        auto *values = main.findChild<QTableWidget *>(QStringLiteral("vleList"));
        int huawei = -1;
        for (int r = 0; r < values->rowCount(); ++r) {
            if (values->item(r, 1)->text() == u"华为")
                huawei = r;
        }
        QVERIFY(huawei > 0);
        values->setCurrentCell(huawei, 1);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 2);
        // A click on the value that is already chosen lists again.
        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_pinPai, "
                                                "F_editDate) values('H3', '华为', ?)"),
                                 {today}));
        const QRect chosen = values->visualItemRect(values->item(huawei, 1));
        QTest::mouseClick(values->viewport(), Qt::LeftButton, {}, chosen.center());
        QTRY_VERIFY(listSettled(main.listModel()));
        QTRY_COMPARE(main.listModel()->rowCount(), 3);
        values->setCurrentCell(0, 1);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 6);
        QVERIFY(prompt.shown.isEmpty());
    }
};

QTEST_MAIN(TestSampleList)
#include "tst_samplelist.moc"
