#include "support/Modal.h"
#include "widgets/MessageBoxPrompt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// The message boxes the user sees: a question's default button is the one asked for.
class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void enterGivesTheDefaultAnswer_data()
    {
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<QString>("defaultButton");
        QTest::newRow("yes") << int(Prompt::Yes) << QStringLiteral("是(&Y)");
        QTest::newRow("no") << int(Prompt::No) << QStringLiteral("否(&N)");
    }

    void enterGivesTheDefaultAnswer()
    {
        QFETCH(int, defaultAnswer);
        QFETCH(QString, defaultButton);
        MessageBoxPrompt prompt;
        QString shownDefault;
        whenModal<QMessageBox>(this, [&shownDefault](QMessageBox *box) {
            shownDefault = box->defaultButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(
            prompt.show(QStringLiteral("是否删除当前图片文件?"), Prompt::Question, defaultAnswer),
            defaultAnswer);
        QCOMPARE(shownDefault, defaultButton);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
