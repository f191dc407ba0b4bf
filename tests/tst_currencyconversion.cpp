#include "app/uFrmMain.h"
#include "register/SampleList.h"
#include "register/uDLGchangeBZ.h"
#include "register/ufrmRevaZezEdit.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/NumberBox.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

void addCurrency(TdmData *dm, const QString &name, const QVariant &rate)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into t_code(F_Name, F_type, F_rate) "
                                       "values(?, 'rate', ?)"),
                        {name, rate}));
}

void chooseTarget(QDialog *dialog, const QString &currency)
{
    dialog->findChild<QComboBox *>(QStringLiteral("cbbType2"))->setEditText(currency);
}

void pressConvert(QDialog *dialog)
{
    dialog->findChild<QPushButton *>(QStringLiteral("btnConvert"))->click();
}

const QString kNoRateA =
    QStringLiteral("币种“A”没有汇率，不能换算！请先在“汇率设置...”中填写它的汇率。");

} // namespace

// Converting a price between currencies by the rates of the currency list.
class TestCurrencyConversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void convert_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("rateLine");
        QTest::addColumn<QStringList>("messages"); // after pressing 转换, answering Yes
        QTest::addColumn<bool>("accepted");
        const QString ask = QStringLiteral("真的要转换当前币种吗？");
        QTest::newRow("A to B") << "A"
                                << "B" << 82.7 << "1A = 8.270B" << QStringList{ask} << true;
        QTest::newRow("same currency") << "A"
                                       << "A" << 10.0 << "1A = 1.000A" << QStringList{ask} << true;
        QTest::newRow("B to A") << "B"
                                << "A" << 10 / 8.27 << "1B = 0.121A" << QStringList{ask} << true;
        QTest::newRow("target not listed")
            << "A"
            << "XYZ" << 0.0 << "1A = 0.000XYZ"
            << QStringList{QStringLiteral(
                   "币种“XYZ”没有汇率，不能换算！请先在“汇率设置...”中填写它的汇率。")}
            << false;
        QTest::newRow("no target")
            << "A"
            << "" << 0.0 << "" << QStringList{QStringLiteral("请先选择要转换成的币种！")} << false;
        QTest::newRow("source without rate")
            << "C"
            << "B" << 0.0 << ""
            << QStringList{QStringLiteral(
                   "币种“C”没有汇率，不能换算！请先在“汇率设置...”中填写它的汇率。")}
            << false;
        QTest::newRow("source of rate 0")
            << "D"
            << "B" << 0.0 << ""
            << QStringList{QStringLiteral(
                   "币种“D”没有汇率，不能换算！请先在“汇率设置...”中填写它的汇率。")}
            << false;
    }

    void convert()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(double, amount);
        QFETCH(QString, rateLine);
        QFETCH(QStringList, messages);
        QFETCH(bool, accepted);
        TestDatabase db(engine);
        addCurrency(db.dm(), QStringLiteral("A"), 1.0);
        addCurrency(db.dm(), QStringLiteral("B"), 8.27);
        addCurrency(db.dm(), QStringLiteral("C"), QVariant());
        addCurrency(db.dm(), QStringLiteral("D"), 0.0);
        ScriptedPrompt prompt;
        TDLGchangeBZ dialog(10, source);
        dialog.show();
        chooseTarget(&dialog, target);
        QCOMPARE(dialog.targetAmount(), amount);
        QCOMPARE(dialog.rateLine(), rateLine);
        prompt.answer({Prompt::Yes});
        pressConvert(&dialog);
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.isVisible(), !accepted);
    }

    // The sign follows each box's currency; money shows with two decimals, while the amount
    // handed back keeps every decimal.
    void amountsShowInTheirCurrency()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TDLGchangeBZ dialog(12.5, QStringLiteral("美元"));
        dialog.show();
        auto *source = dialog.findChild<NumberBox *>(QStringLiteral("cePrice1"));
        auto *target = dialog.findChild<NumberBox *>(QStringLiteral("cePrice2"));
        QCOMPARE(source->text(), QStringLiteral("$12.50"));
        chooseTarget(&dialog, QStringLiteral("人民币"));
        QCOMPARE(target->text(), QStringLiteral("¥88.75"));
        chooseTarget(&dialog, QStringLiteral("欧元"));
        QCOMPARE(target->text(), QStringLiteral("€11.50"));
        chooseTarget(&dialog, QStringLiteral("港币"));
        QCOMPARE(target->text(), QStringLiteral("HK$97.50"));
        chooseTarget(&dialog, QStringLiteral("卢布"));
        QCOMPARE(target->text(), QStringLiteral("0.00"));

        TDLGchangeBZ precise(0.0123, QStringLiteral("美元"));
        chooseTarget(&precise, QStringLiteral("人民币"));
        QCOMPARE(precise.findChild<NumberBox *>(QStringLiteral("cePrice1"))->text(),
                 QStringLiteral("$0.01"));
        QCOMPARE(precise.targetAmount(), 0.0123 * 7.1);
        prompt.answer({Prompt::Yes});
        pressConvert(&precise);
        QCOMPARE(precise.result(), int(QDialog::Accepted));
    }

    void answeringNoKeepsTheDialogOpen()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addCurrency(db.dm(), QStringLiteral("A"), 1.0);
        addCurrency(db.dm(), QStringLiteral("B"), 8.27);
        ScriptedPrompt prompt;
        TDLGchangeBZ dialog(10, QStringLiteral("A"));
        dialog.show();
        chooseTarget(&dialog, QStringLiteral(" B "));
        prompt.answer({Prompt::No});
        pressConvert(&dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.targetAmount(), 82.7);
        QCOMPARE(dialog.targetCurrency(), QStringLiteral("B"));
        // A new source amount converts at once.
        dialog.findChild<NumberBox *>(QStringLiteral("cePrice1"))->setValue(100);
        QCOMPARE(dialog.targetAmount(), 827.0);
    }

    void editorPriceIsReplacedByTheConvertedOne()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addCurrency(db.dm(), QStringLiteral("A"), 1.0);
        addCurrency(db.dm(), QStringLiteral("B"), 8.27);
        ScriptedPrompt prompt;
        TFrmMain main;
        TfrmRevaZezEdit editor(main.samples(), &main);
        editor.show();
        editor.openMode(TfrmRevaZezEdit::New);
        auto *price = editor.findChild<NumberBox *>(QStringLiteral("ceXSprice2"));
        auto *currency = editor.findChild<QComboBox *>(QStringLiteral("cbbXStype2"));
        auto *button = editor.findChild<QToolButton *>(QStringLiteral("btnChangeXS2"));
        int dialogs = 0;
        const auto convertToB = [&] {
            auto *dialog = qobject_cast<TDLGchangeBZ *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++dialogs;
            chooseTarget(dialog, QStringLiteral("B"));
            prompt.answer({Prompt::Yes});
            pressConvert(dialog);
        };
        // Nothing to convert without a price or a currency.
        currency->setEditText(QStringLiteral("A"));
        QTimer::singleShot(0, this, convertToB);
        button->click();
        QTest::qWait(20);
        price->setValue(10);
        currency->setEditText(QStringLiteral(" "));
        QTimer::singleShot(0, this, convertToB);
        button->click();
        QTest::qWait(20);
        QCOMPARE(dialogs, 0);

        currency->setEditText(QStringLiteral("A"));
        QTimer::singleShot(0, this, convertToB);
        button->click();
        QCOMPARE(dialogs, 1);
        QCOMPARE(price->value(), 82.7);
        QCOMPARE(currency->currentText(), QStringLiteral("B"));
    }
};

QTEST_MAIN(TestCurrencyConversion)
#include "tst_currencyconversion.moc"
