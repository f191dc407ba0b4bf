#include "register/uDLGeditCurList.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The value-entry dialog in both its uses: captions, the empty-input refusal, the caller's
// own check, and what each button returns.
class TestEditCurList : public QObject
{
    Q_OBJECT

private slots:
    void bothUses_data()
    {
        QTest::addColumn<bool>("pictureName");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("returned");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("name confirmed")
            << true << QStringList{"正面"} << true << "正面" << QStringList();
        QTest::newRow("name refused, then another")
            << true << QStringList{"taken", "  ", "free"} << true << "free"
            << QStringList{"已占用", "当前输入不能为空！"};
        QTest::newRow("name cancelled")
            << true << QStringList{"正面"} << false << "" << QStringList();
        QTest::newRow("column value") << false << QStringList{"", " 红色 "} << true << " 红色 "
                                      << QStringList{"当前输入不能为空！"};
    }

    void bothUses()
    {
        QFETCH(bool, pictureName);
        QFETCH(QStringList, typed);
        QFETCH(bool, confirmed);
        QFETCH(QString, returned);
        QFETCH(QStringList, messages);
        ScriptedPrompt prompt;
        QString caption;
        QString label;
        QString offered;
        whenModal<TDLGeditCurList>(this, [&, typed, confirmed](TDLGeditCurList *dialog) {
            caption = dialog->windowTitle();
            label = dialog->findChild<QLabel *>(QStringLiteral("Label1"))->text();
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edtCurValue"));
            offered = edit->text();
            for (const QString &text : typed) {
                edit->setText(text);
                if (confirmed)
                    dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
                else
                    dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
            }
        });
        const QString result =
            pictureName ? TDLGeditCurList::askPictureName(
                              nullptr, QStringLiteral("请输入图片的名称："), QStringLiteral("默认"),
                              [](const QString &text) {
                                  return text == u"taken" ? QStringLiteral("已占用") : QString();
                              })
                        : TDLGeditCurList::askColumnValue(nullptr, QStringLiteral("默认"));
        QCOMPARE(result, returned);
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(offered, QStringLiteral("默认"));
        QCOMPARE(caption, pictureName ? QStringLiteral("提示 ") : QStringLiteral("批量修改当前列"));
        QCOMPARE(label, pictureName ? QStringLiteral("请输入图片的名称：")
                                    : QStringLiteral("请输入要填写的字段值："));
    }
};

QTEST_MAIN(TestEditCurList)
#include "tst_editcurlist.moc"
