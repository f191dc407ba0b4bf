#include "core/SortText.h"
#include "register/ufrmRowArrangeGl.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

using Columns = QList<QPair<QString, QString>>;

const Columns kColumns = {{QStringLiteral("F_goodCode"), QStringLiteral("样品编号")},
                          {QStringLiteral("F_spec"), QStringLiteral("规格型号")},
                          {QStringLiteral("F_goodName"), QStringLiteral("样品名称")},
                          {QStringLiteral("F_Memo1"), QStringLiteral("备注")}};

QTableWidget *rows(QDialog *dialog)
{
    return dialog->findChild<QTableWidget *>(QStringLiteral("vleSort"));
}

void click(QDialog *dialog, const char *name)
{
    dialog->findChild<QPushButton *>(QString::fromLatin1(name))->click();
}

void doubleClickValue(QTableWidget *table, int row)
{
    // Sent straight to the view: QTest's synthesised double-clicks are not reliably paired.
    const QPointF at = table->visualRect(table->model()->index(row, 1)).center();
    const QPointF global = table->viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(table->viewport(), &event);
    }
}

void pickValue(QTableWidget *table, int row, const QString &value)
{
    table->setCurrentCell(row, 1);
    QTest::keyClick(table, Qt::Key_F2);
    auto *box = qobject_cast<QComboBox *>(table->indexWidget(table->currentIndex()));
    QVERIFY(box);
    box->setCurrentIndex(box->findText(value));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_COMPARE(table->item(row, 1)->text(), value);
    // Enter in the pick list is not the dialog's OK.
    QVERIFY(table->window()->isVisible());
}

// Runs a script such as "dclick 1; select 1; up" on the open dialog.
void play(TfrmRowArrangeGl *dialog, const QString &script)
{
    QTableWidget *table = rows(dialog);
    for (const QString &step : script.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
        const int row = words.value(1).toInt();
        if (words[0] == u"dclick")
            doubleClickValue(table, row);
        else if (words[0] == u"pick")
            pickValue(table, row, words.value(2));
        else if (words[0] == u"select")
            table->setCurrentCell(row, 1);
        else if (words[0] == u"up")
            click(dialog, "btnUp");
        else if (words[0] == u"down")
            click(dialog, "btnDown");
    }
}

// Answers the next sort dialog with `script` and then the button named `finish`.
void answerDialog(QObject *scope, const QString &script, const char *finish)
{
    QTimer::singleShot(0, scope, [=] {
        auto *dialog = qobject_cast<TfrmRowArrangeGl *>(QApplication::activeModalWidget());
        if (!dialog) {
            answerDialog(scope, script, finish);
            return;
        }
        play(dialog, script);
        if (qstrcmp(finish, "Esc") == 0)
            QTest::keyClick(rows(dialog), Qt::Key_Escape);
        else if (qstrcmp(finish, "Enter") == 0)
            QTest::keyClick(rows(dialog), Qt::Key_Return);
        else
            click(dialog, finish);
        // A dialog left open would hang the test.
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

// The sort dialog, the title-click rule and the order clause made from a sort text.
class TestRowArrange : public QObject
{
    Q_OBJECT

private slots:
    void opensWithEveryColumnUndirected()
    {
        TfrmRowArrangeGl dialog(kColumns);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("排序对话框"));
        QCOMPARE(
            dialog.findChild<QLabel *>(QStringLiteral("lblTip"))->text(),
            QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"));
        QTableWidget *table = rows(&dialog);
        QStringList keys, values;
        for (int row = 0; row < table->rowCount(); ++row) {
            keys << table->item(row, 0)->text();
            values << table->item(row, 1)->text();
        }
        QCOMPARE(keys, (QStringList{"样品编号", "规格型号", "样品名称", "备注"}));
        QCOMPARE(values, QStringList(4, QString()));
        QCOMPARE(dialog.sortText(), QString());
    }

    void sortTextFollowsTheRows_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second descending moved above first ascending")
            << "dclick 1; dclick 1; dclick 0; select 1; up"
            << "f_spec DESC,f_goodcode ASC,";
        QTest::newRow("not moved") << "dclick 1; dclick 1; dclick 0"
                                   << "f_goodcode ASC,f_spec DESC,";
        QTest::newRow("third double-click clears") << "dclick 2; dclick 2; dclick 2"
                                                   << "";
        QTest::newRow("from the pick list") << "pick 3 降序; pick 0 升序; pick 0 降序"
                                            << "f_goodcode DESC,f_memo1 DESC,";
        QTest::newRow("up on the first row stays") << "dclick 0; select 0; up; dclick 1"
                                                   << "f_goodcode ASC,f_spec ASC,";
        QTest::newRow("down on the last row stays") << "dclick 3; select 3; down; dclick 2"
                                                    << "f_goodname ASC,f_memo1 ASC,";
        QTest::newRow("down twice") << "dclick 0; select 0; down; down; dclick 0"
                                    << "f_spec ASC,f_goodcode ASC,";
    }

    void sortTextFollowsTheRows()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        TfrmRowArrangeGl dialog(kColumns);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        play(&dialog, script);
        QCOMPARE(dialog.sortText(), expected);
    }

    void columnsSharingACaptionKeepTheirFields()
    {
        TfrmRowArrangeGl dialog({{"F_XSprice1", "价格"}, {"F_XSprice2", "价格"}});
        dialog.cycleRow(1);
        QCOMPARE(dialog.sortText(), QStringLiteral("f_xsprice2 ASC,"));
    }

    void answer_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("finish");
        QTest::addColumn<QString>("expected");
        const QString moved = "dclick 1; dclick 1; dclick 0; select 1; up";
        QTest::newRow("确定") << moved << QByteArray("btnOK") << "f_spec DESC,f_goodcode ASC,";
        QTest::newRow("取消") << moved << QByteArray("btnCancel") << "";
        QTest::newRow("Esc") << moved << QByteArray("Esc") << "";
        // The first Enter takes the pick, the second confirms.
        QTest::newRow("Enter") << "pick 1 降序" << QByteArray("Enter") << "f_spec DESC,";
    }

    void answer()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, finish);
        QFETCH(QString, expected);
        QObject scope;
        answerDialog(&scope, script, finish.constData());
        QCOMPARE(TfrmRowArrangeGl::ask(nullptr, kColumns), expected);
    }

    // The dialog's answer orders real rows, second column first.
    void ordersRows_data() { TestDatabase::addEngineRows(); }

    void ordersRows()
    {
        QFETCH(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QList<QVariantList> samples = {
            {"B2", "x"}, {"A2", "y"}, {"C1", "w"}, {"A1", "x"}, {"B1", "y"}};
        for (const QVariantList &s : samples)
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into GoodMain(F_goodCode, F_spec) values(?, ?)"), s));
        TfrmRowArrangeGl dialog(kColumns);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        play(&dialog, "dclick 1; dclick 1; dclick 0; select 1; up");
        const QString order = SortText::orderBy(dialog.sortText(), kColumns);
        QCOMPARE(order, QStringLiteral("order by F_spec DESC, F_goodCode ASC"));
        QCOMPARE(db.dm()->FillCombo(QStringLiteral("select F_goodCode from GoodMain ") + order),
                 (QStringList{"A2", "B1", "A1", "B2", "C1"}));
        QVERIFY(prompt.shown.isEmpty());
    }

    void titleClicks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("keepMemoOrder");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("code") << "F_goodCode" << true
                              << QStringList{"F_goodCode ASC", "F_goodCode DESC", "F_goodCode ASC"};
        QTest::newRow("memo in the main list") << "F_Memo1" << true << QStringList{"", "", ""};
        QTest::newRow("memo in a statistics list")
            << "F_Memo1" << false << QStringList{"F_Memo1 ASC", "F_Memo1 DESC", "F_Memo1 ASC"};
    }

    void titleClicks()
    {
        QFETCH(QString, field);
        QFETCH(bool, keepMemoOrder);
        QFETCH(QStringList, texts);
        using SortText::Marker;
        const QList<Marker> markers = {Marker::Up, Marker::Down, Marker::Up};
        Marker marker = Marker::None;
        for (int click = 0; click < 3; ++click) {
            const SortText::TitleSort sort = SortText::titleClick(field, marker, keepMemoOrder);
            QCOMPARE(sort.marker, markers[click]);
            QCOMPARE(sort.sortText, texts[click]);
            marker = sort.marker;
        }
    }

    void orderByKeepsOnlyKnownColumns_data()
    {
        QTest::addColumn<QString>("sortText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dialog text") << "f_goodcode ASC,f_spec DESC,"
                                     << "order by F_goodCode ASC, F_spec DESC";
        QTest::newRow("title text") << "F_spec DESC"
                                    << "order by F_spec DESC";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("direction in any case, or none") << " f_spec desc , f_goodname"
                                                        << "order by F_spec DESC, F_goodName ASC";
        QTest::newRow("unknown column") << "f_price ASC,f_spec ASC,"
                                        << "order by F_spec ASC";
        QTest::newRow("unknown direction") << "f_spec DOWN,f_goodcode ASC,"
                                           << "order by F_goodCode ASC";
        QTest::newRow("statement smuggled in") << "f_spec ASC; drop table GoodMain,f_goodcode DESC"
                                               << "order by F_goodCode DESC";
        QTest::newRow("expression") << "(select 1) ASC,length(f_spec) DESC"
                                    << "";
        QTest::newRow("same column twice") << "f_spec ASC,F_SPEC DESC"
                                           << "order by F_spec ASC";
    }

    void orderByKeepsOnlyKnownColumns()
    {
        QFETCH(QString, sortText);
        QFETCH(QString, expected);
        QCOMPARE(SortText::orderBy(sortText, kColumns), expected);
    }

    void orderByRefusesOddColumnNames()
    {
        QCOMPARE(SortText::orderBy("f_spec ASC,x", QStringList{"F_spec; drop table T", "x"}),
                 QStringLiteral("order by x ASC"));
    }
};

QTEST_MAIN(TestRowArrange)
#include "tst_rowarrange.moc"
