#include "core/DisplayFormat.h"

#include <QTest>

// Values as grids and reports show them under a display format.
class TestDisplayFormat : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        const QString rate = ",0.000;-,0.000";
        QTest::newRow("thousands") << QVariant(1350.5) << rate << "1,350.500";
        QTest::newRow("negative millions") << QVariant(-1234567.891) << rate << "-1,234,567.891";
        QTest::newRow("zero") << QVariant(0.0) << rate << "0.000";
        QTest::newRow("no value") << QVariant() << rate << "";
        QTest::newRow("without grouping") << QVariant(1234.5) << "0.00"
                                          << "1234.50";
        QTest::newRow("optional decimals") << QVariant(1234.5) << "0.###"
                                           << "1234.5";
    }

    void numbers()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(DisplayFormat::format(value, format), expected);
    }
};

QTEST_MAIN(TestDisplayFormat)
#include "tst_displayformat.moc"
