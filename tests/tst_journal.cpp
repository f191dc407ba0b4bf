#include "app/uFrmMain.h"
#include "core/Journal.h"
#include "core/RecordRestore.h"
#include "core/RecordWriter.h"
#include "core/Transaction.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "operators/OperatorStore.h"
#include "register/PictureStore.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "register/ufrmRevaZezEdit.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QJsonDocument>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

namespace {

QVariantMap sample(const QString &code, const QString &name)
{
    QVariantMap values;
    for (const QString &column : SampleRecord::columns())
        values.insert(column, QString());
    for (const char *column : {"F_amount", "F_CGprice", "F_XSprice1", "F_XSprice2"})
        values.insert(QLatin1String(column), 0.0);
    values.insert(QStringLiteral("F_CGdate"), QDate(1900, 8, 14));
    values.insert(QStringLiteral("F_XSdate"), QDate(1900, 8, 14));
    values.insert(QStringLiteral("F_editDate"), QDate(2026, 12, 1));
    values.insert(QStringLiteral("F_goodCode"), code);
    values.insert(QStringLiteral("F_goodName"), name);
    return values;
}

qint64 addSample(TdmData *dm, const QString &code, const QString &name)
{
    QString error;
    const std::optional<qint64> id = SampleRecord::save(*dm, 0, sample(code, name), &error);
    if (!id)
        qWarning("%s", qPrintable(error));
    return id.value_or(0);
}

int count(TdmData *dm, const QString &table)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from ") + table);
}

// The journal's rows after change set `after`: "table action key before after", one a line.
QStringList journalSince(TdmData *dm, qint64 after, QStringList *kinds = nullptr)
{
    QSqlQuery q(dm->database());
    q.prepare(QStringLiteral("select s.F_kind, r.F_tablename, r.F_action, r.F_rowID, r.F_before, "
                             "r.F_after, s.F_OperName from cfg_changerow r join cfg_changeset s "
                             "on s.F_ID = r.F_set where s.F_ID > ? order by r.F_ID"));
    q.addBindValue(after);
    q.exec();
    QStringList rows;
    while (q.next()) {
        if (kinds)
            *kinds << q.value(0).toString() + u' ' + q.value(6).toString();
        rows << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(q.value(1).toString())
                    .arg(q.value(2).toInt())
                    .arg(q.value(3).toLongLong())
                    .arg(q.value(4).toString(), q.value(5).toString());
    }
    return rows;
}

qint64 lastSet(TdmData *dm)
{
    return dm->GetIntValue(QStringLiteral("select coalesce(max(F_ID), 0) from cfg_changeset"));
}

// Makes the server or the file refuse every delete of a sample, as a failing disk or a
// constraint might, after the writer has already deleted (and journaled) the picture rows.
bool refuseSampleDeletes(TdmData *dm)
{
    if (dm->dialect().engine() == Engine::SQLite)
        return dm->ExecSql(QStringLiteral("create trigger refuse before delete on GoodMain "
                                          "begin select raise(abort, 'refused'); end"));
    return dm->ExecSql(QStringLiteral("create function refuse() returns trigger language plpgsql "
                                      "as $$ begin raise exception 'refused'; end $$")) &&
           dm->ExecSql(QStringLiteral("create trigger refuse before delete on GoodMain for each "
                                      "row execute function refuse()"));
}

// Every column of row `id`, as the journal compares values.
QJsonObject storedRow(TdmData *dm, const QString &table, qint64 id)
{
    QString error;
    RecordWriter reader(dm->database(), {}, {});
    return Journal::image(table, reader.readRow(table, id, &error).value_or(QVariantMap()));
}

} // namespace

// Every write of the registers leaves its change set in the journal, in the same transaction.
class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void eachWritePathLeavesOneChangeSet_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("sample added")
            << "sample added"
            << "新增" << QStringList{QStringLiteral("GoodMain 0 1  <row>")};
        QTest::newRow("sample changed")
            << "sample changed"
            << "修改"
            << QStringList{QStringLiteral("GoodMain 1 1 {\"F_CGprice\":0,\"F_goodName\":\"轴承\"} "
                                          "{\"F_CGprice\":12.5,\"F_goodName\":\"滚珠轴承\"}")};
        QTest::newRow("sample deleted with its picture")
            << "sample deleted"
            << "删除"
            << QStringList{QStringLiteral("T_ImageREC 2 1 {\"F_ID\":1,\"F_fileExt\":\".jpg\","
                                          "\"F_fileName\":\"p1\",\"F_imagePath\":\"images/p1.jpg\","
                                          "\"F_mainID\":1} "),
                           QStringLiteral("GoodMain 2 1 <row> ")};
        QTest::newRow("picture renamed")
            << "picture renamed"
            << "修改"
            << QStringList{QStringLiteral(
                   "T_ImageREC 1 1 {\"F_fileName\":\"p1\",\"F_imagePath\":\"images/p1.jpg\"} "
                   "{\"F_fileName\":\"p2\",\"F_imagePath\":\"images/p2.jpg\"}")};
        QTest::newRow("client changed")
            << "client changed"
            << "修改"
            << QStringList{QStringLiteral("T_client 1 1 {\"F_Name\":\"甲公司\"} "
                                          "{\"F_Name\":\"乙公司\"}")};
        QTest::newRow("client deleted in its window")
            << "client deleted"
            << "删除" << QStringList{QStringLiteral("T_client 2 1 <row> ")};
        QTest::newRow("operator changed, password left out")
            << "operator changed"
            << "修改"
            << QStringList{QStringLiteral("OperList 1 2 {\"F_Mem\":\"\"} {\"F_Mem\":\"仓库\"}")};
    }

    void eachWritePathLeavesOneChangeSet()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, path);
        QFETCH(QString, kind);
        QFETCH(QStringList, rows);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TdmData *dm = db.dm();
        dm->setCurOperName(QStringLiteral("admin"));
        QString error;
        const RegisterDescription &clients = clientRegister();
        qint64 before = lastSet(dm);
        if (path != u"sample added" && path != u"operator changed") {
            QVERIFY(addSample(dm, QStringLiteral("YP1"), QStringLiteral("轴承")) == 1);
            QVERIFY2(
                PictureStore::insert(*dm, 1, QStringLiteral("p1"), QStringLiteral(".jpg"), &error),
                qPrintable(error));
            qint64 saved = 0;
            QCOMPARE(RegisterStore::save(*dm, clients, 0,
                                         {{QStringLiteral("F_Code"), QStringLiteral("K1")},
                                          {QStringLiteral("F_Name"), QStringLiteral("甲公司")}},
                                         &saved, &error),
                     RegisterStore::SaveResult::Saved);
            before = lastSet(dm);
        }

        // Rows as stored before a delete, or after an insert.
        QHash<QString, QVariantMap> stored;
        const auto keep = [&](const QString &table) {
            RecordWriter reader(dm->database(), {}, {});
            stored.insert(table, reader.readRow(table, 1, &error).value_or(QVariantMap()));
        };
        keep(QStringLiteral("GoodMain"));
        keep(QStringLiteral("T_client"));
        if (path == u"sample added") {
            QCOMPARE(addSample(dm, QStringLiteral("YP1"), QStringLiteral("轴承")), 1);
            keep(QStringLiteral("GoodMain"));
        } else if (path == u"sample changed") {
            QVariantMap values = sample(QStringLiteral("YP1"), QStringLiteral("滚珠轴承"));
            values.insert(QStringLiteral("F_CGprice"), 12.5);
            QVERIFY2(SampleRecord::save(*dm, 1, values, &error), qPrintable(error));
        } else if (path == u"sample deleted") {
            QVERIFY2(SampleRecord::removeGroup(*dm, 1, 1, &error), qPrintable(error));
        } else if (path == u"picture renamed") {
            const QList<PictureRecord> pictures = PictureStore::picturesOf(*dm, 1);
            QVERIFY2(PictureStore::rename(*dm, pictures.first(), QStringLiteral("p2"), &error),
                     qPrintable(error));
        } else if (path == u"client changed") {
            qint64 saved = 0;
            QCOMPARE(RegisterStore::save(*dm, clients, 1,
                                         {{QStringLiteral("F_Code"), QStringLiteral("K1")},
                                          {QStringLiteral("F_Name"), QStringLiteral("乙公司")}},
                                         &saved, &error),
                     RegisterStore::SaveResult::Saved);
        } else if (path == u"client deleted") {
            QVERIFY2(RegisterStore::remove(*dm, clients, 1, &error), qPrintable(error));
            QCOMPARE(count(dm, QStringLiteral("T_client")), 0);
        } else if (path == u"operator changed") {
            OperatorEntry entry;
            entry.id = 2;
            entry.name = QStringLiteral("张三");
            entry.memo = QStringLiteral("仓库");
            entry.password = QStringLiteral("secret");
            QVERIFY(dm->ExecSql(QStringLiteral("insert into OperList(F_ID, F_Name, F_Mem) "
                                               "values(2, '张三', '')")));
            qint64 saved = 0;
            QCOMPARE(OperatorStore::save(*dm, entry, &saved, &error),
                     OperatorStore::SaveResult::Saved);
        }

        QStringList kinds;
        const QStringList journal = journalSince(dm, before, &kinds);
        QCOMPARE(lastSet(dm), before + 1);
        QCOMPARE(journal.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            // A whole row's image: every column as the row is (or was) stored.
            const QString row = rows.at(i).section(u' ', 0, 2);
            const QString table = row.section(u' ', 0, 0);
            const QString image =
                rows.at(i).contains(u"<row>")
                    ? QString::fromUtf8(QJsonDocument(Journal::image(table, stored.value(table)))
                                            .toJson(QJsonDocument::Compact))
                    : QString();
            QString expected = rows.at(i);
            expected.replace(QStringLiteral("<row>"), image);
            QCOMPARE(journal.at(i), expected);
        }
        QCOMPARE(kinds.first(), kind + QStringLiteral(" admin"));
        QVERIFY(!journal.join(u' ').contains(u"F_PassWord"));
    }

    void aFailedWriteLeavesNeitherRowNorJournal()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QCOMPARE(addSample(dm, QStringLiteral("YP1"), QStringLiteral("轴承")), 1);
        QString error;
        QVERIFY(PictureStore::insert(*dm, 1, QStringLiteral("p1"), QStringLiteral(".jpg"), &error));
        const qint64 before = lastSet(dm);
        const int journalRows = count(dm, QStringLiteral("cfg_changerow"));

        // Too long for its column: refused by the database itself.
        QVERIFY(!SampleRecord::save(*dm, 1, sample(QStringLiteral("YP1"), QString(300, u'长')),
                                    &error));
        QVERIFY(!addSample(dm, QStringLiteral("YP2"), QString(300, u'长')));
        // The picture row goes first and is journaled; the sample's delete then fails.
        QVERIFY(refuseSampleDeletes(dm));
        QVERIFY(!SampleRecord::removeGroup(*dm, 1, 1, &error));
        QVERIFY2(error.contains(u"refused"), qPrintable(error));

        QCOMPARE(lastSet(dm), before);
        QCOMPARE(count(dm, QStringLiteral("cfg_changerow")), journalRows);
        QCOMPARE(count(dm, QStringLiteral("GoodMain")), 1);
        QCOMPARE(count(dm, QStringLiteral("T_ImageREC")), 1);
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_goodName from GoodMain")),
                 QStringLiteral("轴承"));
    }

    // Two workstations change one sample: whichever saves second is told, in either order.
    void theSecondSaveFindsTheFirst_data()
    {
        QTest::addColumn<bool>("firstSavesFirst");
        QTest::newRow("the first workstation saves first") << true;
        QTest::newRow("the second workstation saves first") << false;
    }

    void theSecondSaveFindsTheFirst()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, firstSavesFirst);
        TestDatabase db(engine);
        TdmData *one = db.dm();
        std::unique_ptr<TdmData> another = db.openAnother();
        one->setCurOperName(QStringLiteral("admin"));
        QVERIFY(another->ExecSql(QStringLiteral("insert into OperList(F_Name) values('李四')")));
        another->setCurOperName(QStringLiteral("李四"));
        const qint64 id = addSample(one, QStringLiteral("YP1"), QStringLiteral("轴承"));
        QVERIFY(id > 0);

        // Both read the record as the list shows it (dates as the engine gives them).
        QSqlQuery read(one->database());
        read.exec(QStringLiteral("select * from GoodMain"));
        QVERIFY(read.next());
        QVariantMap asRead;
        for (const QString &column : SampleRecord::columns())
            asRead.insert(column, read.value(column));
        read.finish();

        TdmData *first = firstSavesFirst ? one : another.get();
        TdmData *second = firstSavesFirst ? another.get() : one;
        QVariantMap mine = sample(QStringLiteral("YP1"), QStringLiteral("先保存"));
        QString error;
        StaleRecord stale;
        QVERIFY2(SampleRecord::save(*first, id, mine, &error, asRead, &stale), qPrintable(error));
        QVERIFY(!stale.isStale());

        QVariantMap theirs = sample(QStringLiteral("YP1"), QStringLiteral("后保存"));
        theirs.insert(QStringLiteral("F_pinPai"), QStringLiteral("品牌甲"));
        QVERIFY(!SampleRecord::save(*second, id, theirs, &error, asRead, &stale));
        QVERIFY(stale.isStale());
        QCOMPARE(stale.columns, QStringList{QStringLiteral("F_goodName")});
        QCOMPARE(stale.stored.value(QStringLiteral("F_goodName")).toString(),
                 QStringLiteral("先保存"));
        QCOMPARE(stale.operatorName, first->CurOperName());
        QVERIFY(!stale.stamp.isEmpty());
        QCOMPARE(second->GetStrValue(QStringLiteral("select F_goodName from GoodMain")),
                 QStringLiteral("先保存"));

        // Overwriting knowingly: what is stored now is what the save replaces.
        asRead.insert(QStringLiteral("F_goodName"),
                      stale.stored.value(QStringLiteral("F_goodName")));
        QVERIFY2(SampleRecord::save(*second, id, theirs, &error, asRead, &stale),
                 qPrintable(error));
        QVERIFY(!stale.isStale());
        QCOMPARE(second->GetStrValue(QStringLiteral("select F_goodName from GoodMain")),
                 QStringLiteral("后保存"));
    }

    // The editor asks; 重新读取 shows the other workstation's values, 覆盖 saves over them.
    void theEditorAsksBeforeOverwriting()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        db.dm()->setCurOperName(QStringLiteral("admin"));
        const qint64 id = addSample(db.dm(), QStringLiteral("YP1"), QStringLiteral("轴承"));
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        QTRY_COMPARE(main.samples().value(QStringLiteral("F_ID")).toLongLong(), id);
        TfrmRevaZezEdit editor(main.samples(), &main);
        editor.openMode(TfrmRevaZezEdit::Edit);
        auto *name = editor.findChild<QLineEdit *>(QStringLiteral("edtGoodName"));
        name->setText(QStringLiteral("我的名称"));

        std::unique_ptr<TdmData> another = db.openAnother();
        QVERIFY(another->ExecSql(QStringLiteral("insert into OperList(F_Name) values('李四')")));
        another->setCurOperName(QStringLiteral("李四"));
        QString error;
        QVERIFY(SampleRecord::save(
            *another, id, sample(QStringLiteral("YP1"), QStringLiteral("他的名称")), &error));

        prompt.answer({Prompt::No});
        QVERIFY(!editor.save());
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Overwrite));
        QVERIFY2(prompt.shown.first().text.contains(u"李四"),
                 qPrintable(prompt.shown.first().text));
        QVERIFY(prompt.shown.first().text.contains(QStringLiteral("样品名称：轴承 → 他的名称")));
        QTRY_COMPARE(name->text(), QStringLiteral("他的名称"));

        // Changed again elsewhere while this editor shows the second version: 覆盖 this time.
        QVERIFY(SampleRecord::save(
            *another, id, sample(QStringLiteral("YP1"), QStringLiteral("第三版")), &error));
        name->setText(QStringLiteral("我的名称"));
        prompt.clear();
        prompt.answer({Prompt::Yes});
        QVERIFY(editor.save());
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(db.dm()->GetStrValue(QStringLiteral("select F_goodName from GoodMain")),
                 QStringLiteral("我的名称"));
    }

    // A former version and a deleted sample come back exactly, every column, pictures too.
    void revertAndUndeleteRestoreTheExactRow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        dm->setCurOperName(QStringLiteral("admin"));
        QString error;
        QVariantMap first = sample(QStringLiteral("YP1"), QStringLiteral("轴承"));
        first.insert(QStringLiteral("F_CGprice"), 3.25);
        first.insert(QStringLiteral("F_CGdate"), QDate(2026, 3, 4));
        const std::optional<qint64> id = SampleRecord::save(*dm, 0, first, &error);
        QVERIFY2(id, qPrintable(error));
        QVERIFY(
            PictureStore::insert(*dm, *id, QStringLiteral("p1"), QStringLiteral(".jpg"), &error));
        QVERIFY(
            PictureStore::insert(*dm, *id, QStringLiteral("p2"), QStringLiteral(".png"), &error));
        const QJsonObject original = storedRow(dm, QStringLiteral("GoodMain"), *id);
        const QJsonObject picture = storedRow(dm, QStringLiteral("T_ImageREC"), 2);

        QVariantMap second = first;
        second.insert(QStringLiteral("F_goodName"), QStringLiteral("滚珠轴承"));
        second.insert(QStringLiteral("F_CGprice"), 4.5);
        QVERIFY(SampleRecord::save(*dm, *id, second, &error));
        std::optional<QList<Journal::Change>> history =
            Journal::historyOf(dm->database(), QStringLiteral("GoodMain"), *id, &error);
        QVERIFY2(history, qPrintable(error));
        QCOMPARE(history->size(), 2);
        QCOMPARE(history->at(0).before.value(QStringLiteral("F_goodName")).toString(),
                 QStringLiteral("轴承"));
        QVERIFY2(RecordRestore::revertTo(dm->database(), QStringLiteral("admin"),
                                         QStringLiteral("GoodMain"), *id, history->at(1).id,
                                         &error),
                 qPrintable(error));
        QCOMPARE(storedRow(dm, QStringLiteral("GoodMain"), *id), original);
        history = Journal::historyOf(dm->database(), QStringLiteral("GoodMain"), *id, &error);
        QCOMPARE(history->first().kind, QStringLiteral("恢复"));

        QVERIFY(SampleRecord::removeGroup(*dm, *id, *id, &error));
        const std::optional<QList<Journal::Change>> deleted =
            Journal::deletedRows(dm->database(), QStringLiteral("GoodMain"), &error);
        QVERIFY2(deleted, qPrintable(error));
        QCOMPARE(deleted->size(), 1);
        QCOMPARE(deleted->first().operatorName, QStringLiteral("admin"));
        QCOMPARE(RecordRestore::undelete(dm->database(), QStringLiteral("admin"), deleted->first(),
                                         {}, &error),
                 RecordRestore::Undeleted::Done);
        QCOMPARE(storedRow(dm, QStringLiteral("GoodMain"), *id), original);
        QCOMPARE(count(dm, QStringLiteral("T_ImageREC")), 2);
        QCOMPARE(storedRow(dm, QStringLiteral("T_ImageREC"), 2), picture);
        QVERIFY(
            Journal::deletedRows(dm->database(), QStringLiteral("GoodMain"), &error)->isEmpty());
        // Keys stay unique after a key was given back.
        QVERIFY(addSample(dm, QStringLiteral("YP2"), QStringLiteral("新")) > *id);
    }

    void undeleteOfAReusedCodeAsksForANewOne()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QString error;
        const qint64 id = addSample(dm, QStringLiteral("YP1"), QStringLiteral("旧"));
        QVERIFY(SampleRecord::removeGroup(*dm, id, id, &error));
        addSample(dm, QStringLiteral("yp1"), QStringLiteral("新"));
        const Journal::Change deletion =
            Journal::deletedRows(dm->database(), QStringLiteral("GoodMain"), &error)->first();
        QCOMPARE(RecordRestore::undelete(dm->database(), {}, deletion, {}, &error),
                 RecordRestore::Undeleted::CodeTaken);
        QCOMPARE(count(dm, QStringLiteral("GoodMain")), 1);
        QCOMPARE(RecordRestore::undelete(dm->database(), {}, deletion, QStringLiteral(" YP1-旧 "),
                                         &error),
                 RecordRestore::Undeleted::Done);
        QCOMPARE(
            dm->GetStrValue(QStringLiteral("select F_goodCode from GoodMain where F_ID = ?"), {id}),
            QStringLiteral("YP1-旧"));
    }

    // One change set; its undo leaves a row changed since as it is unless told otherwise.
    void bulkEditAndItsUndo()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QString error;
        QList<qint64> ids;
        for (int i = 1; i <= 3; ++i)
            ids << addSample(dm, QStringLiteral("YP%1").arg(i), QStringLiteral("样品"));
        const qint64 before = lastSet(dm);
        const std::optional<qint64> set = SampleRecord::bulkEdit(
            *dm, ids, QStringLiteral("F_pinPai"), QStringLiteral("品牌甲"), &error);
        QVERIFY2(set, qPrintable(error));
        QCOMPARE(*set, before + 1);
        QCOMPARE(lastSet(dm), before + 1);
        QCOMPARE(journalSince(dm, before).size(), 3);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from GoodMain where F_pinPai = ?"),
                                 {QStringLiteral("品牌甲")}),
                 3);
        QCOMPARE(*RecordRestore::lastOpenSet(dm->database(), QStringLiteral("批量修改"), &error),
                 *set);

        QVariantMap changed = sample(QStringLiteral("YP2"), QStringLiteral("样品"));
        changed.insert(QStringLiteral("F_pinPai"), QStringLiteral("品牌乙"));
        QVERIFY(SampleRecord::save(*dm, ids[1], changed, &error));
        const std::optional<QList<Journal::Change>> since =
            RecordRestore::changedSince(dm->database(), *set, &error);
        QVERIFY2(since, qPrintable(error));
        QCOMPARE(since->size(), 1);
        QCOMPARE(since->first().rowId, ids[1]);

        QVERIFY2(RecordRestore::undoSet(dm->database(), {}, *set, false, &error),
                 qPrintable(error));
        QSqlQuery brands(dm->database());
        brands.exec(QStringLiteral("select F_pinPai from GoodMain order by F_ID"));
        QStringList now;
        while (brands.next())
            now << brands.value(0).toString();
        QCOMPARE(now, (QStringList{QString(), QStringLiteral("品牌乙"), QString()}));
        QCOMPARE(*RecordRestore::lastOpenSet(dm->database(), QStringLiteral("批量修改"), &error),
                 0);
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
