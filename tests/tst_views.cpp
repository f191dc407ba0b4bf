#include "app/uFrmMain.h"
#include "core/CodeListValues.h"
#include "core/ViewStore.h"
#include "maintenance/Backup.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "masterdata/TreeCode.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/TypeNodeCriterion.h"
#include "output/StatisticsWindow.h"
#include "support/ListSettled.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/Criteria.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"
#include "widgets/ViewBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kWindow = QStringLiteral("FrmMain");

SavedView view(const QString &owner, const QString &name, bool shared)
{
    SavedView v;
    v.owner = owner;
    v.window = kWindow;
    v.name = name;
    v.shared = shared;
    v.value = QStringLiteral("{}");
    return v;
}

QStringList viewNames(TdmData *dm, const QString &operatorName)
{
    QString error;
    QStringList names;
    for (const SavedView &v : ViewStore::list(dm->database(), kWindow, operatorName, &error)
                                  .value_or(QList<SavedView>()))
        names << v.owner + u'/' + v.name;
    // The engines order Chinese names each their own way.
    names.sort();
    return names;
}

QStringList listed(const SqlListModel *model, const char *field)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values << model->value(row, QLatin1String(field)).toString();
    return values;
}

int columnOf(const DBGridEh *grid, const QString &field)
{
    const QList<GridColumn> columns = grid->columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// Samples named 轴承 and others, this month and last year, at prices out of order.
void insertSamples(TdmData *dm)
{
    const QDate today = QDate::currentDate();
    const struct
    {
        const char *code;
        const char *name;
        double price;
        QDate edited;
    } samples[] = {{"B1", "深沟球轴承", 30, today},
                   {"B2", "轴承座", 10, today},
                   {"B3", "滚针轴承", 20, QDate(today.year(), today.month(), 1)},
                   {"B4", "轴承", 5, today.addYears(-1)},
                   {"S1", "螺丝", 1, today}};
    for (const auto &s : samples) {
        QVERIFY(
            dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                       "F_CGprice, F_CGtype, F_editDate) "
                                       "values(?, ?, ?, '人民币', ?)"),
                        {QString::fromUtf8(s.code), QString::fromUtf8(s.name), s.price, s.edited}));
    }
}

} // namespace

// Criteria that save and restore themselves, and named views stored for their operators.
class TestViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // Each kind of criterion gives back what it held; one naming what has gone since restores
    // empty and says so.
    void criterionSavesAndRestores_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("gone");
        for (const char *kind :
             {"text", "code", "client", "supplier", "catalogue", "dates", "type"}) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false;
            if (qstrcmp(kind, "text") != 0 && qstrcmp(kind, "dates") != 0)
                QTest::addRow("%s gone", kind) << QString::fromLatin1(kind) << true;
        }
    }

    void criterionSavesAndRestores()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, kind);
        QFETCH(bool, gone);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into t_code(F_Name, F_type) values('华为', 'pinpai')")));
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into T_client(F_Code, F_Name) values('K1', '东方机械')")));
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into T_suppler(F_Code, F_Name) values('S1', '南方模具')")));
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into T_goods(F_Code, F_Name) values('G1', '深沟球轴承')")));
        const QString machines = childPath(kRootLikeCode, QStringLiteral("机械"));
        QVERIFY(insertTreeNode(QStringLiteral("type"), QStringLiteral("001"),
                               QStringLiteral("机械"), machines));
        QVERIFY(insertTreeNode(QStringLiteral("type"), QStringLiteral("001001"),
                               QStringLiteral("轴承"),
                               childPath(machines, QStringLiteral("轴承"))));

        QWidget form;
        QLineEdit edit(&form);
        QComboBox combo(&form);
        combo.setEditable(true);
        DateBox from(&form), to(&form);
        QTreeWidget tree(&form);
        LoadTreeCode(&tree, QStringLiteral("样品类型"), QStringLiteral("type"));
        std::unique_ptr<Criterion> criterion;
        const auto entryIn = [dm](const RegisterDescription &entries) {
            return [dm, &entries](const QString &text) {
                return RegisterStore::hasNameLike(*dm, entries, text, SqlFilter::Match::Contains);
            };
        };
        // What the box shows, as a test compares it.
        std::function<QString()> shown = [&] { return edit.text(); };
        QString expectedNote;
        // Takes away what the criterion names, after it was saved.
        std::function<void()> goAway;
        if (kind == u"text") {
            combo.addItems({QStringLiteral("样品编号"), QStringLiteral("样品名称")});
            combo.setCurrentIndex(1);
            edit.setText(QStringLiteral("轴承"));
            criterion = std::make_unique<TextMatchCriterion>(
                kind, &edit, &combo, [] { return QStringLiteral("contains"); });
            shown = [&] { return combo.currentText() + u'|' + edit.text(); };
        } else if (kind == u"code") {
            combo.addItems(codeListValues(QStringLiteral("pinpai")));
            combo.setCurrentIndex(0);
            criterion = std::make_unique<ChosenValueCriterion>(
                kind, &combo,
                [](const QString &text) {
                    return codeListValues(QStringLiteral("pinpai")).contains(text);
                },
                QStringLiteral("代码"));
            shown = [&] { return combo.currentText(); };
            goAway = [dm] {
                QVERIFY(dm->ExecSql(QStringLiteral("delete from t_code where F_Name = '华为'")));
            };
            expectedNote = QStringLiteral("代码“华为”已不存在");
        } else if (kind == u"client" || kind == u"supplier" || kind == u"catalogue") {
            const RegisterDescription &entries = kind == u"client"     ? clientRegister()
                                                 : kind == u"supplier" ? supplierRegister()
                                                                       : catalogueRegister();
            const QString name =
                dm->GetStrValue(QStringLiteral("select F_Name from ") + entries.table);
            edit.setText(name.left(2));
            criterion = std::make_unique<ChosenValueCriterion>(kind, &edit, entryIn(entries),
                                                               QStringLiteral("名称"));
            goAway = [dm, &entries] {
                QVERIFY(dm->ExecSql(QStringLiteral("delete from ") + entries.table));
            };
            expectedNote = QStringLiteral("名称“%1”已不存在").arg(name.left(2));
        } else if (kind == u"dates") {
            from.setDate(QDate(2026, 2, 1));
            from.setChecked(false);
            to.setDate(QDate(2026, 2, 28));
            criterion = std::make_unique<DateRangeCriterion>(kind, &from, &to);
            shown = [&] {
                return QStringLiteral("%1 %2 %3 %4")
                    .arg(from.date().toString(Qt::ISODate))
                    .arg(from.isChecked())
                    .arg(to.date().toString(Qt::ISODate))
                    .arg(to.isChecked());
            };
        } else {
            QTreeWidgetItem *bearings = tree.topLevelItem(0)->child(0)->child(0);
            QCOMPARE(bearings->text(0), QStringLiteral("轴承"));
            tree.setCurrentItem(bearings);
            criterion = std::make_unique<TypeNodeCriterion>(kind, &tree);
            shown = [&] { return tree.currentItem()->text(0); };
            goAway = [&tree] {
                QVERIFY(deleteTreeNode(QStringLiteral("type"), QStringLiteral("001")));
                LoadTreeCode(&tree, QStringLiteral("样品类型"), QStringLiteral("type"));
            };
            expectedNote =
                QStringLiteral("类型“%1”已不存在").arg(childPath(machines, QStringLiteral("轴承")));
        }
        const QString before = shown();
        CriteriaSet set;
        set.add(std::move(criterion));
        const QJsonObject saved = set.save();
        if (gone)
            goAway();

        // Restoring an object without the criterion empties it; the saved one brings it back.
        QStringList notes;
        set.restore({}, &notes);
        QVERIFY(shown() != before);
        QVERIFY(notes.isEmpty());
        set.restore(saved, &notes);
        if (gone) {
            QCOMPARE(notes, QStringList{expectedNote});
            QVERIFY(shown() != before);
        } else {
            QCOMPARE(notes, QStringList());
            QCOMPARE(shown(), before);
        }
        QVERIFY(prompt.shown.isEmpty());
    }

    // A view belongs to its operator on every workstation; a shared one is offered to everyone.
    void viewsFollowTheirOperator()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QString error;
        QVERIFY2(ViewStore::save(db.dm()->database(),
                                 view(QStringLiteral("张三"), QStringLiteral("本月"), false),
                                 &error),
                 qPrintable(error));
        auto other = db.openAnother();
        QCOMPARE(viewNames(other.get(), QStringLiteral("张三")), QStringList{"张三/本月"});
        QCOMPARE(viewNames(other.get(), QStringLiteral("李四")), QStringList());
        // Saved again under the same name: replaced, now shared.
        QVERIFY(ViewStore::save(
            other->database(), view(QStringLiteral("张三"), QStringLiteral("本月"), true), &error));
        QVERIFY(ViewStore::save(other->database(),
                                view(QStringLiteral("李四"), QStringLiteral("本月"), false),
                                &error));
        QCOMPARE(viewNames(db.dm(), QStringLiteral("李四")),
                 (QStringList{"张三/本月", "李四/本月"}));
        QCOMPARE(viewNames(db.dm(), QStringLiteral("张三")), QStringList{"张三/本月"});
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from cfg_view")), 2);
    }

    void onlyTheOwnerOrAdminDeletes()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QString error;
        for (const char *name : {"甲", "乙"})
            QVERIFY(ViewStore::save(db.dm()->database(),
                                    view(QStringLiteral("张三"), QString::fromUtf8(name), true),
                                    &error));
        db.dm()->setCurOperName(QStringLiteral("李四"));
        TFrmMain main;
        main.show();
        ViewBox *views = main.views();
        QCOMPARE(views->names().size(), 2);
        auto *combo = views->findChild<QComboBox *>(QStringLiteral("cbbView"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("甲（张三）")));
        prompt.answer({Prompt::Yes});
        views->findChild<QToolButton *>(QStringLiteral("btnDeleteView"))->click();
        QCOMPARE(prompt.texts().last(), QStringLiteral("只有视图的创建者或系统管理员才能删除它。"));
        QCOMPARE(viewNames(db.dm(), QStringLiteral("张三")).size(), 2);

        db.dm()->setCurOperName(QStringLiteral("Admin"));
        QCOMPARE(views->names().size(), 2);
        combo->setCurrentIndex(combo->findText(QStringLiteral("甲（张三）")));
        prompt.answer({Prompt::Yes});
        views->findChild<QToolButton *>(QStringLiteral("btnDeleteView"))->click();
        QCOMPARE(views->names(), QStringList{"乙（张三）"});

        QVERIFY(
            ViewStore::remove(db.dm()->database(),
                              ViewStore::find(db.dm()->database(), kWindow, QStringLiteral("张三"),
                                              QStringLiteral("乙"), &error)
                                  ->id,
                              QStringLiteral("张三"), &error));
        QCOMPARE(viewNames(db.dm(), QStringLiteral("张三")), QStringList());
    }

    // Saved in one main window, chosen in a main window on another workstation: the same rows in
    // the same order, the same criteria, columns and sort.
    void mainWindowViewOnAnotherWorkstation()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        insertSamples(db.dm());
        db.dm()->setCurOperName(QStringLiteral("张三"));
        QStringList codes;
        {
            TFrmMain main;
            main.show();
            QTRY_VERIFY(listSettled(main.listModel()));
            auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
            field->setCurrentIndex(1);
            emit field->activated(1);
            main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->insert(QStringLiteral("轴承"));
            QTRY_VERIFY(listSettled(main.listModel()));
            main.grid()->view()->horizontalHeader()->sectionClicked(
                columnOf(main.grid(), QStringLiteral("F_CGprice")));
            QTRY_VERIFY(listSettled(main.listModel()));
            main.grid()->setColumnVisible(columnOf(main.grid(), QStringLiteral("F_spec")), false);
            codes = listed(main.listModel(), "F_goodCode");
            QCOMPARE(codes, (QStringList{"B2", "B3", "B1"}));

            whenModal<QDialog>(this, [](QDialog *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("dlgSaveView"));
                dialog->findChild<QLineEdit *>(QStringLiteral("edtViewName"))
                    ->setText(QStringLiteral("本月轴承"));
                dialog->accept();
            });
            main.views()->findChild<QToolButton *>(QStringLiteral("btnSaveView"))->click();
            QCOMPARE(main.views()->names(), QStringList{"本月轴承"});
            // The same name again asks first; No keeps the stored view.
            prompt.answer({Prompt::No});
            QVERIFY(!main.views()->saveAs(QStringLiteral("本月轴承"), true));
            QCOMPARE(prompt.texts(), QStringList{"视图“本月轴承”已存在，要替换它吗？"});
            main.hide();
        }

        auto other = db.openAnother();
        dmData = other.get();
        other->setCurOperName(QStringLiteral("张三"));
        {
            TFrmMain main;
            main.show();
            QTRY_VERIFY(listSettled(main.listModel()));
            QVERIFY(listed(main.listModel(), "F_goodCode") != codes);
            QVERIFY(main.views()->choose(QStringLiteral("本月轴承")));
            QTRY_VERIFY(listSettled(main.listModel()));
            QCOMPARE(listed(main.listModel(), "F_goodCode"), codes);
            QCOMPARE(main.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText(),
                     QStringLiteral("样品名称"));
            QCOMPARE(main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(),
                     QStringLiteral("轴承"));
            QCOMPARE(main.grid()->marker(QStringLiteral("F_CGprice")), DBGridEh::Marker::Up);
            QVERIFY(!main.grid()
                         ->columns()
                         .at(columnOf(main.grid(), QStringLiteral("F_spec")))
                         .visible);
            QCOMPARE(main.views()->note(), QString());
            main.hide();
        }
        other->setCurOperName(QStringLiteral("李四"));
        {
            TFrmMain main;
            main.show();
            QCOMPARE(main.views()->names(), QStringList());
            main.hide();
        }
        dmData = db.dm();
        QVERIFY(prompt.shown.size() == 1);
    }

    // A view whose type node, value and column have gone restores the rest and says what it left.
    void viewNamingWhatHasGoneRestoresTheRest()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        insertSamples(dm);
        const QString machines = childPath(kRootLikeCode, QStringLiteral("机械"));
        QVERIFY(insertTreeNode(QStringLiteral("type"), QStringLiteral("001"),
                               QStringLiteral("机械"), machines));
        QVERIFY(dm->ExecSql(QStringLiteral("insert into t_code(F_Name, F_type) "
                                           "values('华为', 'pinpai')")));
        TFrmMain main;
        main.show();
        QTRY_VERIFY(listSettled(main.listModel()));
        auto *tree = main.findChild<QTreeWidget *>(QStringLiteral("tvTree"));
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        auto *values = main.findChild<QTableWidget *>(QStringLiteral("vleList"));
        values->setCurrentCell(1, 1);
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        field->setCurrentIndex(1);
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("轴承"));
        main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
        QVERIFY(main.views()->saveAs(QStringLiteral("机械"), false));
        // The view as stored names a column the list no longer has.
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_view set F_value = replace(F_value, "
                                           "'F_memo1', 'F_gone')")));

        QVERIFY(deleteTreeNode(QStringLiteral("type"), QStringLiteral("001")));
        QVERIFY(dm->ExecSql(QStringLiteral("delete from t_code")));
        main.sampleTypesChanged();
        main.codeListsChanged();
        field->setCurrentIndex(-1);
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->clear();
        main.views()->reload();
        QVERIFY(main.views()->choose(QStringLiteral("机械")));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.views()->note(),
                 QStringLiteral("未恢复：类型“%1”已不存在；品牌“华为”已不存在；列“备注”已不存在")
                     .arg(machines));
        QVERIFY(main.findChild<QLabel *>(QStringLiteral("lblViewNote"))->isVisible());
        QCOMPARE(field->currentText(), QStringLiteral("样品名称"));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QCOMPARE(listed(main.listModel(), "F_goodCode").size(), 4);
        QVERIFY(prompt.shown.isEmpty());
    }

    // A statistics list's criteria form saves and restores as a whole, through a view too.
    void statisticsCriteriaFormAsAWhole()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        insertSamples(db.dm());
        db.dm()->setCurOperName(QStringLiteral("张三"));
        QStringList codes;
        {
            StatisticsWindow window(sampleRecordStatistics());
            window.show();
            window.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
            window.findChild<QLineEdit *>(QStringLiteral("edtGoodName"))
                ->setText(QStringLiteral("轴承"));
            QVERIFY(window.query());
            QTRY_VERIFY(listSettled(window.list()));
            codes = listed(window.list(), "F_goodCode");
            QCOMPARE(codes.size(), 4);
            QVERIFY(window.views()->saveAs(QStringLiteral("全部轴承"), true));
        }
        db.dm()->setCurOperName(QStringLiteral("李四"));
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        QCOMPARE(window.list()->rowCount(), 0);
        QVERIFY(window.views()->choose(QStringLiteral("全部轴承（张三）")));
        QTRY_VERIFY(listSettled(window.list()));
        QCOMPARE(listed(window.list(), "F_goodCode"), codes);
        QVERIFY(!window.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->isChecked());
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("edtGoodName"))->text(),
                 QStringLiteral("轴承"));
        // The form's value as a whole, back on a fresh form.
        const QJsonObject saved = window.saveCriteria();
        StatisticsWindow fresh(sampleRecordStatistics());
        fresh.show();
        QStringList notes;
        fresh.restoreCriteria(saved, &notes);
        QCOMPARE(fresh.saveCriteria(), saved);
        QVERIFY(notes.isEmpty());
        QVERIFY(prompt.shown.isEmpty());
    }

    // Views go into a backup and come back with a restore.
    void viewsTravelThroughBackupAndRestore()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QString error;
        QVERIFY(ViewStore::save(
            dm->database(), view(QStringLiteral("张三"), QStringLiteral("本月"), true), &error));
        const QString file = QDir(db.home()).filePath(QStringLiteral("dp.back"));
        QVERIFY2(done(Backup::write(dm->source(), file), &error), qPrintable(error));
        QVERIFY(dm->ExecSql(QStringLiteral("delete from cfg_view")));
        QVERIFY2(done(Backup::restore(file, dm->source()), &error), qPrintable(error));
        QCOMPARE(viewNames(dm, QStringLiteral("李四")), QStringList{"张三/本月"});
        // A view saved after the restore takes a key of its own.
        QVERIFY(ViewStore::save(dm->database(),
                                view(QStringLiteral("李四"), QStringLiteral("乙"), false), &error));
        QCOMPARE(viewNames(dm, QStringLiteral("李四")).size(), 2);
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
