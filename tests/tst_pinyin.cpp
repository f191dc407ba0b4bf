#include "app/uFrmMain.h"
#include "core/Pinyin.h"
#include "core/Schema.h"
#include "core/SearchIndex.h"
#include "core/SortText.h"
#include "input/ImportStore.h"
#include "maintenance/Backup.h"
#include "masterdata/RegisterStore.h"
#include "masterdata/Registers.h"
#include "masterdata/TreeCode.h"
#include "masterdata/uFrmTreeCodeMan.h"
#include "register/SampleListQuery.h"
#include "register/SampleRecord.h"
#include "support/ListSettled.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/DateBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTreeWidget>

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const char *const kNames[] = {"轴承",   "深沟球轴承", "6204轴承", "重型轴承", "长城螺丝",
                              "银行卡", "ABC管",      "zc-01 阀", "钢管",     "Ｚｈｏｕ 轴"};

void addSamples(TdmData *dm, const QStringList &names)
{
    for (const QString &name : names) {
        QString error;
        QVERIFY2(SampleRecord::save(*dm, 0,
                                    {{QStringLiteral("F_goodCode"), name},
                                     {QStringLiteral("F_goodName"), name},
                                     {QStringLiteral("F_editDate"), QDate(2024, 1, 1)}},
                                    &error),
                 qPrintable(error));
    }
}

QStringList column(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning().noquote() << q.lastError().text() << sql;
        return {QStringLiteral("failed")};
    }
    QStringList found;
    while (q.next())
        found << q.value(0).toString();
    return found;
}

QStringList namesFound(TdmData *dm, const QString &term, bool pinyin, bool plain = false)
{
    SampleListCriteria c;
    c.searchField = 1;
    c.value = term;
    c.pinyin = pinyin;
    const SampleListStatements s = SampleListQuery::build(c, dm->dialect());
    const QString select =
        plain ? QStringLiteral("select * from GoodMain ") + s.plainScan.where : s.listSql;
    return column(dm->database(),
                  QStringLiteral("select F_goodName from (%1) listed order by F_ID").arg(select),
                  plain ? s.plainScan.values : s.values);
}

// Runs `statements` on the SQLite file `file`, as another program would.
void editFile(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("edit");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QString error;
        QVERIFY(SearchIndex::registerTokenizer(db, &error));
        QSqlQuery q(db);
        for (const QString &sql : statements)
            QVERIFY2(q.exec(sql), qPrintable(sql + u' ' + q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QString keyOf(TdmData *dm, const QString &table, const QString &keyColumn, qint64 id)
{
    return dm->GetStrValue(QStringLiteral("select %1 from %2 where F_ID = ?").arg(keyColumn, table),
                           {id});
}

} // namespace

// Names found by their pinyin and initials and sorted by pinyin, through keys kept beside them.
class TestPinyin : public QObject
{
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("two characters") << text("轴承") << "$zhoucheng zc";
        QTest::newRow("five characters") << text("深沟球轴承") << "$shengouqiuzhoucheng sgqzc";
        QTest::newRow("digits first") << text("6204轴承") << "!6204zhoucheng 6204zc";
        QTest::newRow("several readings") << text("重型轴承") << "$zhongxingzhoucheng zxzc cxzc";
        QTest::newRow("two with several readings") << text("长行") << "$zhangxing zx cx zh ch";
        QTest::newRow("Latin only") << text("ABC-12") << "#abc12";
        QTest::newRow("Latin first, full width") << text("Ａ型") << "#axing ax";
        QTest::newRow("punctuation left out") << text("（新）轴承") << "$xinzhoucheng xzc";
        QTest::newRow("nothing to key") << text("——") << "";
        QTest::newRow("empty") << QString() << "";
    }

    void keys()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(Pinyin::key(name), key);
    }

    // A name of many characters with several readings each keeps a key that fits a server's
    // index entry.
    void longNameKeyStaysShort()
    {
        const QString key = Pinyin::key(QString(255, QChar(0x91CD)));
        QVERIFY(key.startsWith(QStringLiteral("$zhongzhong")));
        QVERIFY(key.contains(QStringLiteral(" czz")));
        QVERIFY2(key.size() <= 2000, qPrintable(QString::number(key.size())));
    }

    void termsTheKeysServe()
    {
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("ZC")), QStringLiteral("zc"));
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("zhou cheng")), QStringLiteral("zhoucheng"));
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("6204zc")), QStringLiteral("6204zc"));
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("6204")), QString());
        QCOMPARE(Pinyin::keyTerm(text("轴承")), QString());
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("z-c")), QString());
        QCOMPARE(Pinyin::keyTerm(QStringLiteral("z%")), QString());
    }

    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void searchFindsByPinyin_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QStringList>("withPinyin");
        QTest::addColumn<QStringList>("literal");
        const QStringList bearings{"轴承", "深沟球轴承", "6204轴承", "重型轴承"};
        QTest::newRow("initials") << "zc" << bearings + QStringList{"长城螺丝", "zc-01 阀"}
                                  << QStringList{"zc-01 阀"};
        QTest::newRow("upper case")
            << "ZC" << bearings + QStringList{"长城螺丝", "zc-01 阀"} << QStringList{"zc-01 阀"};
        QTest::newRow("five initials") << "sgqzc" << QStringList{"深沟球轴承"} << QStringList();
        QTest::newRow("digits and initials")
            << "6204zc" << QStringList{"6204轴承"} << QStringList();
        QTest::newRow("other reading") << "cxzc" << QStringList{"重型轴承"} << QStringList();
        QTest::newRow("full pinyin") << "zhoucheng" << bearings << QStringList();
        QTest::newRow("full pinyin with a space") << "zhou cheng" << bearings << QStringList();
        QTest::newRow("Latin name") << "abc" << QStringList{"ABC管"} << QStringList{"ABC管"};
        QTest::newRow("full-width Latin")
            << "zhou" << bearings + QStringList{"Ｚｈｏｕ 轴"} << QStringList();
        QTest::newRow("one letter") << "y" << QStringList{"银行卡"} << QStringList();
        QTest::newRow("characters") << "轴承" << bearings << bearings;
        QTest::newRow("nothing") << "qqq" << QStringList() << QStringList();
    }

    // A Latin term finds the names whose pinyin or initials hold it besides those that hold
    // it literally; without the tick, only the latter. The index only narrows: a plain scan
    // finds the same rows.
    void searchFindsByPinyin()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, term);
        QFETCH(QStringList, withPinyin);
        QFETCH(QStringList, literal);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QStringList names;
        for (const char *name : kNames)
            names << text(name);
        addSamples(db.dm(), names);
        QCOMPARE(namesFound(db.dm(), term, true), withPinyin);
        QCOMPARE(namesFound(db.dm(), term, true, true), withPinyin);
        QCOMPARE(namesFound(db.dm(), term, false), literal);
    }

    // The main window: the tick is on at first, and off the list is the literal search; the
    // choice is kept for the next start.
    void mainListTickTurnsPinyinOff()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        addSamples(db.dm(), {text("轴承"), text("钢管"), QStringLiteral("ZC-9")});
        TFrmMain main;
        main.show();
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
        auto *tick = main.findChild<QCheckBox *>(QStringLiteral("chkPinyin"));
        QVERIFY(tick && tick->isChecked());
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(1);
        emit field->activated(1);
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("zc"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 2);
        QCOMPARE(main.statusPanel(2), QStringLiteral("样品总数：2"));
        tick->click();
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 1);
        QCOMPARE(main.listModel()->value(0, QStringLiteral("F_goodName")).toString(),
                 QStringLiteral("ZC-9"));
        QVERIFY(!db.dm()->config().pinyinSearch());
        TFrmMain again;
        QVERIFY(!again.findChild<QCheckBox *>(QStringLiteral("chkPinyin"))->isChecked());
        QVERIFY(prompt.shown.isEmpty());
    }

    // Digits, then Latin, then Chinese names in pinyin order; names of the same pinyin by
    // their characters; either direction.
    void titleClickSortsByPinyin()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QStringList sorted{"10号件", "2号件", "abc", "Abd",  "zz 管", "阿胶",
                                 "长城",   "重庆",  "周",  "轴成", "轴承"};
        QStringList shuffled = sorted;
        std::reverse(shuffled.begin(), shuffled.end());
        shuffled.swapItemsAt(2, 7);
        addSamples(db.dm(), shuffled);
        QStringList fields;
        QSqlQuery none(db.dm()->database());
        QVERIFY(none.exec(QStringLiteral("select * from GoodMain where 1 = 0")));
        const QSqlRecord record = none.record();
        for (int i = 0; i < record.count(); ++i)
            fields << record.fieldName(i);
        const QString ascending = SortText::orderBy(QStringLiteral("F_goodName ASC"), fields);
        QCOMPARE(ascending.toLower(), QStringLiteral("order by f_goodnamepy asc, f_goodname asc"));
        const QString select = QStringLiteral("select F_goodName from GoodMain ");
        QCOMPARE(column(db.dm()->database(), select + ascending + QStringLiteral(", F_ID")),
                 sorted);
        QStringList descending = sorted;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(column(db.dm()->database(),
                        select + SortText::orderBy(QStringLiteral("F_goodName DESC"), fields) +
                            QStringLiteral(", F_ID desc")),
                 descending);
    }

    // Every write of a name writes its key: the record editor's, the register editor's, an
    // import adding and updating, its undo, and an upgrade of a database without keys.
    void keysFollowEveryWrite()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TdmData *dm = db.dm();
        ScriptedPrompt prompt;
        QString error;
        const std::optional<qint64> sample =
            SampleRecord::save(*dm, 0,
                               {{QStringLiteral("F_goodName"), text("轴承")},
                                {QStringLiteral("F_CGsuppler"), text("长城公司")},
                                {QStringLiteral("F_XSclient"), QStringLiteral("ACME")},
                                {QStringLiteral("F_editDate"), QDate(2024, 1, 1)}},
                               &error);
        QVERIFY2(sample, qPrintable(error));
        QCOMPARE(keyOf(dm, "GoodMain", "F_goodNamePY", *sample), "$zhoucheng zc");
        QCOMPARE(keyOf(dm, "GoodMain", "F_CGsupplerPY", *sample), "$zhangchenggongsi zcgs ccgs");
        QCOMPARE(keyOf(dm, "GoodMain", "F_XSclientPY", *sample), "#acme");
        QVERIFY(SampleRecord::save(*dm, *sample, {{QStringLiteral("F_goodName"), text("螺丝")}},
                                   &error));
        QCOMPARE(keyOf(dm, "GoodMain", "F_goodNamePY", *sample), "$luosi ls");
        QCOMPARE(keyOf(dm, "GoodMain", "F_CGsupplerPY", *sample), "$zhangchenggongsi zcgs ccgs");

        qint64 client = 0;
        QCOMPARE(RegisterStore::save(*dm, clientRegister(), 0,
                                     {{QStringLiteral("F_Code"), QStringLiteral("K1")},
                                      {QStringLiteral("F_Name"), text("银行")}},
                                     &client, &error),
                 RegisterStore::SaveResult::Saved);
        QCOMPARE(keyOf(dm, "T_client", "F_NamePY", client), "$yinxing yx yh");

        ImportPreview preview;
        preview.fields = {{"F_Code", "编号", "编号"}, {"F_Name", "名称", "名称"}};
        preview.rows = {{"K1", text("音乐")}, {"K2", text("轴承厂")}};
        preview.sheetRows = {2, 3};
        ImportStore::Counts counts;
        QVERIFY2(done(ImportStore::store(dm->source(), "T_client", preview, "admin",
                                         ImportCodes::Duplicates::Update, &counts),
                      &error),
                 qPrintable(error));
        QCOMPARE(keyOf(dm, "T_client", "F_NamePY", client), "$yinle yl yy");
        const qint64 added =
            dm->GetIntValue(QStringLiteral("select F_ID from T_client where F_Code = 'K2'"));
        QCOMPARE(keyOf(dm, "T_client", "F_NamePY", added), "$zhouchengchang zcc zca");
        const std::optional<ImportStore::LastImport> last =
            ImportStore::lastImport(dm->database(), &error);
        QVERIFY2(last, qPrintable(error));
        int removed = 0;
        int restored = 0;
        QVERIFY2(
            done(ImportStore::undo(dm->source(), last->batch, false, &removed, &restored), &error),
            qPrintable(error));
        QCOMPARE(restored, 1);
        QCOMPARE(keyOf(dm, "T_client", "F_NamePY", client), "$yinxing yx yh");

        // A database from before the keys: the upgrade fills them.
        QVERIFY(dm->ExecSql(QStringLiteral("update GoodMain set F_goodNamePY = '', "
                                           "F_CGsupplerPY = '', F_XSclientPY = ''")));
        QVERIFY(dm->ExecSql(QStringLiteral("update T_client set F_NamePY = ''")));
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_schema set F_version = 8")));
        QList<int> told;
        QSqlDatabase connection = dm->database();
        QVERIFY2(Schema::ensure(connection, dm->dialect(), &error,
                                [&told](int percent) {
                                    told << percent;
                                    return true;
                                }),
                 qPrintable(error));
        QVERIFY(!told.isEmpty());
        QCOMPARE(told.last(), 100);
        QCOMPARE(keyOf(dm, "GoodMain", "F_goodNamePY", *sample), "$luosi ls");
        QCOMPARE(keyOf(dm, "GoodMain", "F_XSclientPY", *sample), "#acme");
        QCOMPARE(keyOf(dm, "T_client", "F_NamePY", client), "$yinxing yx yh");
        QCOMPARE(namesFound(dm, QStringLiteral("ls"), true), QStringList{text("螺丝")});
        QVERIFY(prompt.shown.isEmpty());
    }

    // The type picker finds a node by its name's initials, also by another reading; the tree
    // keeps each name's key.
    void typePickerFindsByInitials()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QString kind = QStringLiteral("type");
        QVERIFY(insertTreeNode(kind, "001", text("五金"), text("\\\\五金")));
        QVERIFY(insertTreeNode(kind, "001001", text("轴承"), text("\\\\五金\\轴承")));
        QVERIFY(insertTreeNode(kind, "002", text("重型机械"), text("\\\\重型机械")));
        QVERIFY(renameTreeNode(kind, "002", text("重型设备"), text("\\\\重型机械"),
                               text("\\\\重型设备")));
        QCOMPARE(db.dm()->GetStrValue("select F_namePY from t_treecode where F_code = '002'"),
                 "$zhongxingshebei zxsb cxsb");
        TFrmTreeCodeMan window;
        window.SetMode(treeKindByFlag(kind)->pickerMode);
        window.show();
        auto *find = window.findChild<QLineEdit *>(QStringLiteral("edtFind"));
        QVERIFY(find);
        QTest::keyClicks(find, QStringLiteral("zc"));
        QVERIFY(window.tree()->currentItem());
        QCOMPARE(window.tree()->currentItem()->text(0), text("轴承"));
        find->clear();
        QTest::keyClicks(find, QStringLiteral("cxsb"));
        QCOMPARE(window.tree()->currentItem()->text(0), text("重型设备"));
        QVERIFY(prompt.shown.isEmpty());
    }

    // A backup from before the keys restores with every key filled from the names; whatever
    // such a file holds in columns of that name is not taken.
    void olderBackupRestoresWithKeys()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TdmData *dm = db.dm();
        ScriptedPrompt prompt;
        addSamples(dm, {text("深沟球轴承"), text("重型轴承")});
        const QString file = QDir(db.home()).filePath(QStringLiteral("old.back"));
        QString error;
        QVERIFY2(done(Backup::write(dm->source(), file), &error), qPrintable(error));
        editFile(file, {QStringLiteral("update GoodMain set F_goodNamePY = 'stale'"),
                        QStringLiteral("delete from cfg_schema"),
                        QStringLiteral("insert into cfg_schema values(8)"),
                        QStringLiteral("update backup_header set F_value = '8' where "
                                       "F_key = 'schema'"),
                        QStringLiteral("update backup_header set F_value = '1' where "
                                       "F_key = 'rows.cfg_schema'")});
        QVERIFY2(done(Backup::restore(file, dm->source()), &error), qPrintable(error));
        QCOMPARE(column(dm->database(), QStringLiteral("select F_goodNamePY from GoodMain "
                                                       "order by F_ID")),
                 (QStringList{"$shengouqiuzhoucheng sgqzc", "$zhongxingzhoucheng zxzc cxzc"}));
        QCOMPARE(namesFound(dm, QStringLiteral("cxzc"), true), QStringList{text("重型轴承")});
    }
};

QTEST_MAIN(TestPinyin)
#include "tst_pinyin.moc"
