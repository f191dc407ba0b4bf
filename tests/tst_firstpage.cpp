#include "core/FirstPageReader.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "support/ListSettled.h"
#include "support/TestDatabase.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

Q_DECLARE_METATYPE(FirstPageReader::Way)

namespace {

// More keys than the window, so that a term can be dense only past it.
constexpr int kRows = FirstPageReader::kWindowKeys + 1500;

// Names and codes by key: 前段件 in the first rows, often but fewer than a page; 常见件 in every
// fourth row; 稀有件 in a few rows spread over the table; 后段件 densely after the window only.
// Codes R… everywhere, ZX… in a few rows.
void fillRows(TdmData *dm)
{
    const QString rows =
        dm->dialect().engine() == Engine::PostgreSQL
            ? QStringLiteral("select i from generate_series(1, %1) i").arg(kRows)
            : QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                             "where i < %1) select i from n")
                  .arg(kRows);
    QVERIFY(dm->ExecSql(
        QStringLiteral(
            "insert into GoodMain(F_goodCode, F_goodName, F_editDate) select "
            "case when i % 4000 = 7 then 'ZX' else 'R' end || i, "
            "case when i <= 3500 and i % 25 = 0 then '前段件' when i % 4 = 0 then '常见件' when i "
            "% 3000 = 11 then "
            "'稀有件' "
            "when i > %1 and i % 2 = 1 then '后段件' else '其他' end, '2024-01-01' from (%2) n")
            .arg(FirstPageReader::kWindowKeys)
            .arg(rows)));
    if (dm->dialect().engine() == Engine::PostgreSQL)
        QVERIFY(dm->ExecSql(QStringLiteral("analyze GoodMain")));
}

QList<qint64> plainKeys(TdmData *dm, const QString &condition, const QString &pattern)
{
    QSqlQuery q(dm->database());
    if (!q.prepare(QStringLiteral("select F_ID from GoodMain where %1 like ? order by F_ID")
                       .arg(condition)))
        return {-1};
    q.addBindValue(pattern);
    if (!q.exec())
        return {-1};
    QList<qint64> keys;
    while (q.next())
        keys << q.value(0).toLongLong();
    return keys;
}

} // namespace

// A typed search's first page is read the way its term calls for, and always holds the rows
// the plain statement gives, with the plain statement's count.
class TestFirstPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void eachTermGivesThePlainStatementsRows_data()
    {
        QTest::addColumn<int>("field"); // 0 样品编号 starts with, 1 样品名称 contains
        QTest::addColumn<QString>("term");
        QTest::addColumn<FirstPageReader::Way>("way");
        using Way = FirstPageReader::Way;
        QTest::newRow("frequent") << 1 << QStringLiteral("常见件") << Way::Walked;
        QTest::newRow("one character, frequent") << 1 << QStringLiteral("件") << Way::Walked;
        QTest::newRow("rare") << 1 << QStringLiteral("稀有件") << Way::Sampled;
        QTest::newRow("absent") << 1 << QStringLiteral("无此件") << Way::Sampled;
        QTest::newRow("the first rows only") << 1 << QStringLiteral("前段件") << Way::Fallen;
        QTest::newRow("frequent past the window only")
            << 1 << QStringLiteral("后段件") << Way::Sampled;
        QTest::newRow("starts with, every row") << 0 << QStringLiteral("R") << Way::Walked;
        QTest::newRow("starts with, rare") << 0 << QStringLiteral("ZX") << Way::Sampled;
        QTest::newRow("starts with, absent") << 0 << QStringLiteral("QQ") << Way::Sampled;
    }

    void eachTermGivesThePlainStatementsRows()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, field);
        QFETCH(QString, term);
        QFETCH(FirstPageReader::Way, way);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        fillRows(db.dm());
        const QList<qint64> expected =
            field == 0 ? plainKeys(db.dm(), QStringLiteral("F_goodCode"), term + u'%')
                       : plainKeys(db.dm(), QStringLiteral("F_goodName"), u'%' + term + u'%');
        QVERIFY(!expected.contains(-1));

        SampleList list(*db.dm());
        SampleListCriteria criteria;
        criteria.searchField = field;
        criteria.value = term;
        QVERIFY(list.runCriteria(criteria, SqlListModel::FirstPage::InBackground));
        QTRY_VERIFY(listSettled(list.model()));
        QCOMPARE(list.model()->rowCount(), int(expected.size()));
        QList<qint64> shown;
        for (int row = 0; row < qMin(list.model()->rowCount(), SqlListModel::kPageSize); ++row)
            shown << list.model()->value(row, QStringLiteral("F_ID")).toLongLong();
        QCOMPARE(shown, expected.mid(0, SqlListModel::kPageSize));

        // The way the list took, read again here on the test's connection.
        FirstPageReader reader(list.model()->query(), db.dm()->dialect(), SqlListModel::kPageSize);
        QVariantList rows;
        QStringList fields;
        QString error;
        const auto run = [&db](const PageStatement &statement, QStringList *names,
                               QVariantList *read, QString *failure) {
            QSqlQuery q(db.dm()->database());
            bool ok = q.prepare(statement.sql);
            for (const QVariant &v : statement.values)
                q.addBindValue(v);
            ok = ok && q.exec();
            *failure = ok ? QString() : q.lastError().text();
            names->clear();
            read->clear();
            for (int i = 0; i < q.record().count(); ++i)
                *names << q.record().fieldName(i);
            while (ok && q.next()) {
                QVariantList row;
                for (int i = 0; i < names->size(); ++i)
                    row << q.value(i);
                read->append(QVariant(row));
            }
            return ok;
        };
        QVERIFY2(reader.read(run, &fields, &rows, &error), qPrintable(error));
        QCOMPARE(reader.way(), way);
        const int key = int(fields.indexOf(
            QRegularExpression(QStringLiteral("f_id"), QRegularExpression::CaseInsensitiveOption)));
        QList<qint64> read;
        for (const QVariant &row : std::as_const(rows))
            read << row.toList().at(key).toLongLong();
        QCOMPARE(read, expected.mid(0, SqlListModel::kPageSize));
    }
};

QTEST_GUILESS_MAIN(TestFirstPage)
#include "tst_firstpage.moc"
