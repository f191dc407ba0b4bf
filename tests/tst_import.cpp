#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/Schema.h"
#include "input/ImportModels.h"
#include "input/ImportStore.h"
#include "input/SampleWorkbooks.h"
#include "input/uFrmExcelImport.h"
#include "register/uDLGeditCurList.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/ShellRecorder.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "support/WorkbookFiles.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <xlsxwriter.h>

namespace {

// The done box: how many rows were added, updated and skipped.
QString done(int added, int updated = 0, int existing = 0, int repeated = 0)
{
    const QString skipped = existing + repeated > 0
                                ? QStringLiteral("（编号已存在 %1 行，工作簿中编号重复 %2 行）")
                                      .arg(existing)
                                      .arg(repeated)
                                : QString();
    if (added + updated == 0 && existing + repeated > 0)
        return QStringLiteral("没有导入任何数据：%1 行都已跳过%2。")
            .arg(existing + repeated)
            .arg(skipped);
    return QStringLiteral(
               "导入非常成功，请检查资料表核对！\n新增 %1 行，更新 %2 行，跳过 %3 行%4。")
        .arg(added)
        .arg(updated)
        .arg(existing + repeated)
        .arg(skipped);
}
const QString kFailure = QStringLiteral("导入失败，请联系管理人员.....");
const QString kChooseSource = QStringLiteral("请选择要导入的excel源文件！");

// A client workbook headed as the shipped mapping expects: a code (as text) and a name a row,
// and a phone number 62345678 + the row's number.
QString writeClientRows(const QString &path, const QList<QPair<QString, QString>> &rows)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *ws = workbook_add_worksheet(wb, "客户资料");
    const QStringList headings = SampleWorkbooks::headings(QStringLiteral("T_client"));
    for (int c = 0; c < headings.size(); ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c), headings.at(c).toUtf8().constData(), nullptr);
    for (int r = 1; r <= rows.size(); ++r) {
        worksheet_write_string(ws, lxw_row_t(r), 0, rows.at(r - 1).first.toUtf8().constData(),
                               nullptr);
        worksheet_write_string(ws, lxw_row_t(r), 1, rows.at(r - 1).second.toUtf8().constData(),
                               nullptr);
        worksheet_write_number(ws, lxw_row_t(r), 4, 62345678 + r, nullptr); // 电话
    }
    workbook_close(wb);
    return path;
}

// Clients 00001 … with leading zeros, named `prefix` + the number; the last one `longName`.
QString writeClients(const QString &path, int rows, const QString &longName = {},
                     const QString &prefix = QStringLiteral("客户"))
{
    QList<QPair<QString, QString>> cells;
    for (int r = 1; r <= rows; ++r)
        cells.append({QStringLiteral("%1").arg(r, 5, 10, QLatin1Char('0')),
                      r == rows && !longName.isEmpty() ? longName : prefix + QString::number(r)});
    return writeClientRows(path, cells);
}

void press(QWidget *window, const char *name)
{
    window->findChild<QPushButton *>(QLatin1String(name))->click();
}

QStringList column(TdmData *dm, const QString &sql)
{
    QStringList values;
    QSqlQuery q(dm->database());
    q.exec(sql);
    while (q.next())
        values << q.value(0).toString();
    return values;
}

int clients(TdmData *dm)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from T_client"));
}

// Opens the wizard for clients on `file` and walks it to the preview.
struct Wizard
{
    explicit Wizard(const QString &file) : window(QStringLiteral("T_client"))
    {
        window.show();
        window.findChild<QLineEdit *>("edtXlsFileName")->setText(file);
        press(&window, "Button4");
    }
    void toPreview()
    {
        press(&window, "Button4");
        press(&window, "Button4");
    }
    QStandardItemModel *mapping() const
    {
        return qobject_cast<QStandardItemModel *>(
            window.findChild<QTableView *>("DBGrid2")->model());
    }
    ImportPreviewModel *preview() const { return window.previewModel(); }
    QTableView *previewGrid() const { return window.findChild<QTableView *>("DBGridEh3"); }
    void selectRows(std::initializer_list<int> rows, int column)
    {
        QTableView *grid = previewGrid();
        grid->clearSelection();
        for (int r : rows)
            grid->selectionModel()->select(preview()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid->selectionModel()->setCurrentIndex(preview()->index(*rows.begin(), column),
                                                QItemSelectionModel::NoUpdate);
    }
    // The preview's pop-up command, as a right click on the current cell offers it.
    void choose(const char *action)
    {
        window.findChild<QAction *>(QLatin1String(action))->trigger();
    }

    QString duplicates() const { return window.findChild<QLabel *>("lblDuplicates")->text(); }

    TfrmExcelImport window;
};

// Runs the program as a script does: its exit code, standard output and standard error.
int runQuorin(const QString &home, const QStringList &arguments, QByteArray *out,
              QByteArray *errors)
{
    QProcess quorin;
    quorin.start(QStringLiteral(QUORIN_BINARY),
                 QStringList{QStringLiteral("--home"), home} + arguments);
    if (!quorin.waitForFinished(120000))
        return -1;
    *out = quorin.readAllStandardOutput();
    *errors = quorin.readAllStandardError();
    return quorin.exitStatus() == QProcess::NormalExit ? quorin.exitCode() : -1;
}

const QString kClientLine = QStringLiteral(
    "select F_Code || '/' || F_Name || '/' || F_LinkMan || '/' || F_Phone || '/' || F_Memo1 "
    "from T_client order by F_Code, F_ID");

// Every row of `table` in key order, every column, each value as one text whichever engine
// read it.
QStringList tableRows(TdmData *dm, const QString &table, const QStringList &leaveOut = {})
{
    const Schema::Table *t = Schema::table(table);
    QStringList names;
    QList<Schema::ColumnType> types;
    for (const Schema::Column &c : t->columns) {
        if (leaveOut.contains(QLatin1String(c.name)))
            continue;
        names << QLatin1String(c.name);
        types << c.type;
    }
    QSqlQuery q(dm->database());
    if (!q.exec(QStringLiteral("select %1 from %2 order by F_ID")
                    .arg(names.join(QStringLiteral(", ")), table)))
        return {q.lastError().text()};
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < names.size(); ++c) {
            const QVariant v = q.value(c);
            switch (types.at(c)) {
            case Schema::ColumnType::Bool:
                values << (v.isNull() ? QStringLiteral("null") : v.toBool() ? "t" : "f");
                break;
            case Schema::ColumnType::Date:
                values << (v.isNull() ? QStringLiteral("null")
                                      : v.toDate().toString(u"yyyy-MM-dd"));
                break;
            case Schema::ColumnType::Key:
            case Schema::ColumnType::Integer:
            case Schema::ColumnType::Float:
                values << (v.isNull() ? QStringLiteral("null")
                                      : QString::number(v.toDouble(), 'g', 17));
                break;
            default:
                values << (v.isNull() ? QStringLiteral("null") : u'"' + v.toString() + u'"');
                break;
            }
        }
        rows << names.join(u'|') + u'=' + values.join(u'|');
    }
    return rows;
}

// What an import leaves: the table's rows and the undo record (but its time).
QStringList importState(TdmData *dm, const QString &table)
{
    return tableRows(dm, table) + tableRows(dm, QStringLiteral("cfg_importrow")) +
           tableRows(dm, QStringLiteral("cfg_importbatch"), {QStringLiteral("F_stamp")});
}

// A preview of `fields` (a name after "-" is listed but fed by no sheet column).
ImportPreview previewOf(const QStringList &fields, const QList<QStringList> &rows)
{
    ImportPreview preview;
    for (const QString &f : fields) {
        const bool mapped = !f.startsWith(u'-');
        const QString name = mapped ? f : f.mid(1);
        preview.fields.append({name, name, mapped ? name : QString()});
    }
    for (const QStringList &row : rows) {
        preview.rows.push_back(row);
        preview.sheetRows.push_back(int(preview.sheetRows.size()) + 2);
    }
    return preview;
}

const QList<QStringList> kRefuseC1500 = {
    {"create trigger refuse before insert on T_client when new.F_Code = 'C1500' "
     "begin select raise(abort, 'refused'); end",
     "create trigger refuse_update before update on T_client when new.F_Code = 'C1500' "
     "begin select raise(abort, 'refused'); end"},
    {"create function refuse() returns trigger language plpgsql as $$ begin if new.F_Code = "
     "'C1500' then raise exception 'refused'; end if; return new; end $$",
     "create trigger refuse before insert or update on T_client for each row "
     "execute function refuse()"}};

} // namespace

// The import wizard from the workbook to the stored rows, and the undo of the last import.
class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // The whole road: sheet list and headings, the mapping, a corrected preview, the store.
    void importsTheCorrectedPreview()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        Wizard w(writeClients(db.home() + "/clients.xlsx", 5));
        QCOMPARE(w.window.step(), 1);
        auto *sheets = w.window.findChild<QComboBox *>("ComboBox1");
        QCOMPARE(sheets->count(), 1);
        QCOMPARE(sheets->currentText(), QStringLiteral("客户资料"));
        QAbstractItemModel *sheet = w.window.findChild<QTableView *>("DBGridEh1")->model();
        QCOMPARE(sheet->rowCount(), 5);
        QCOMPARE(sheet->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));

        press(&w.window, "Button4");
        QCOMPARE(w.mapping()->rowCount(), 15);
        QCOMPARE(w.mapping()->item(0, 0)->text(), QStringLiteral("编号"));
        QCOMPARE(w.mapping()->item(0, 1)->text(), QStringLiteral("编号"));
        press(&w.window, "Button4");
        QCOMPARE(w.window.findChild<QPushButton *>("Button4")->text(), QStringLiteral("完成"));
        QCOMPARE(w.preview()->rowCount(), 5);
        QCOMPARE(w.preview()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("名称"));

        // Rows 1 and 3 get one contact; row 2 goes.
        w.selectRows({1, 3}, 3);
        whenModal<TDLGeditCurList>(&w.window, [](TDLGeditCurList *dialog) {
            dialog->findChild<QLineEdit *>("edtCurValue")->setText("王经理");
            dialog->accept();
        });
        w.choose("N1");
        QCOMPARE(w.preview()->index(3, 3).data().toString(), QStringLiteral("王经理"));
        QCOMPARE(w.preview()->index(0, 3).data().toString(), QString());
        w.selectRows({2}, 0);
        prompt.answer({Prompt::Yes});
        w.choose("N2");
        QCOMPARE(w.preview()->rowCount(), 4);
        QCOMPARE(prompt.texts().last(), QStringLiteral("真的要删除当前选中的多行数据吗？"));

        press(&w.window, "Button4");
        QCOMPARE(prompt.texts().last(), done(4));
        QVERIFY(!w.window.isVisible());
        QCOMPARE(column(db.dm(), "select F_Code from T_client order by F_Code"),
                 (QStringList{"00001", "00002", "00004", "00005"}));
        QCOMPARE(column(db.dm(), "select F_LinkMan from T_client order by F_Code"),
                 (QStringList{"", "王经理", "王经理", ""}));
        QCOMPARE(column(db.dm(), "select F_Phone from T_client order by F_Code").first(),
                 QStringLiteral("62345679"));
    }

    // The same rows from each kind of workbook.
    void readsEveryKind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << QStringLiteral(QUORIN_IMPORT_FIXTURES "/clients.xls");
        QTest::newRow("ods") << QStringLiteral(QUORIN_IMPORT_FIXTURES "/clients.ods");
    }

    void readsEveryKind()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, file);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        Wizard w(file);
        press(&w.window, "Button4");
        // As a user does for the columns the workbook lacks.
        const QStringList headings = {"编号", "名称", "电话"};
        for (int r = 0; r < w.mapping()->rowCount(); ++r) {
            if (!headings.contains(w.mapping()->item(r, 1)->text()))
                w.mapping()->item(r, 1)->setText(QString());
        }
        press(&w.window, "Button4");
        QCOMPARE(w.preview()->rowCount(), 2);
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), QStringList{done(2)});
        QCOMPARE(column(db.dm(), "select F_Code || '/' || F_Name || '/' || F_Phone from T_client "
                                 "order by F_Code"),
                 (QStringList{"00123/华东贸易/021-62345678", "00124/北方公司/"}));
    }

    void mappingWithNothingStoresNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        Wizard w(writeClients(db.home() + "/clients.xlsx", 3));
        press(&w.window, "Button4");
        for (int r = 0; r < w.mapping()->rowCount(); ++r)
            w.mapping()->item(r, 1)->setText(QString());
        press(&w.window, "Button4");
        QCOMPARE(w.preview()->rowCount(), 0);
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), QStringList{done(0)});
        QCOMPARE(clients(db.dm()), 0);
    }

    // Back to the mapping reloads it; forward again rebuilds the preview from the sheet.
    void backRebuildsThePreview()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        Wizard w(writeClients(db.home() + "/clients.xlsx", 3));
        press(&w.window, "Button4");
        w.mapping()->item(1, 1)->setText(QString());
        press(&w.window, "Button4");
        QCOMPARE(w.preview()->index(0, 1).data().toString(), QString());
        QVERIFY(w.preview()->setData(w.preview()->index(0, 0), "X1", Qt::EditRole));
        w.preview()->removeRowsAt({2});
        press(&w.window, "Button3");
        QCOMPARE(w.mapping()->item(1, 1)->text(), QStringLiteral("名称"));
        press(&w.window, "Button4");
        QCOMPARE(w.preview()->rowCount(), 3);
        QCOMPARE(w.preview()->index(0, 0).data().toString(), QStringLiteral("00001"));
        QCOMPARE(w.preview()->index(0, 1).data().toString(), QStringLiteral("客户1"));
    }

    // A value the column cannot hold stops the preview, names field and row, stores nothing.
    void overlongValueStopsThePreview()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        Wizard w(writeClients(db.home() + "/clients.xlsx", 4, QString(101, u'长')));
        w.toPreview();
        QCOMPARE(prompt.texts(),
                 QStringList{QStringLiteral("字段“名称”出错，导入失败！\n工作表第 5 行："
                                            "内容有 101 个字符，超过了该字段的 100 个字符")});
        QCOMPARE(w.preview()->rowCount(), 0);
        QVERIFY(!w.window.findChild<QPushButton *>("Button4")->isEnabled());
        // A cell edited past the width is refused too.
        press(&w.window, "Button3");
        w.mapping()->item(1, 1)->setText(QString());
        press(&w.window, "Button4");
        QVERIFY(!w.preview()->setData(w.preview()->index(0, 1), QString(101, u'长'), Qt::EditRole));
        QCOMPARE(clients(db.dm()), 0);
    }

    // Every row or none: a row the database refuses leaves the table as it was.
    void failingStoreChangesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QVERIFY(db.dm()->ExecSql("insert into T_client(F_Code, F_Name) values('K0', '老客户')"));
        const QStringList refuse =
            engine == u"sqlite"
                ? QStringList{"create trigger refuse before insert on T_client when "
                              "new.F_Code = '00003' begin select raise(abort, 'refused'); end"}
                : QStringList{"create function refuse() returns trigger language plpgsql as $$ "
                              "begin if new.F_Code = '00003' then raise exception 'refused'; "
                              "end if; return new; end $$",
                              "create trigger refuse before insert on T_client for each row "
                              "execute function refuse()"};
        for (const QString &sql : refuse) {
            QSqlQuery q(db.dm()->database());
            QVERIFY2(q.exec(sql), qPrintable(sql));
        }
        Wizard w(writeClients(db.home() + "/clients.xlsx", 5));
        w.toPreview();
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), QStringList{kFailure});
        QVERIFY(w.window.isVisible());
        QCOMPARE(w.window.step(), 3);
        QCOMPARE(column(db.dm(), "select F_Code from T_client"), QStringList{"K0"});
        // Mended, the same preview stores.
        w.preview()->removeRowsAt({2});
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts().last(), done(4));
        QCOMPARE(clients(db.dm()), 5);
    }

    // 取消 while the rows are stored: told that nothing was stored, never a failure, and
    // nothing is, not even a change to the record of the last import.
    void cancelledStoreStoresNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ImportPreview one;
        one.fields = {{"F_Code", "编号", "编号"}, {"F_Name", "名称", "名称"}};
        one.rows = {{"K0", "老客户"}};
        one.sheetRows = {2};
        ImportStore::Counts counts;
        QString error;
        QVERIFY2(done(ImportStore::store(db.dm()->source(), "T_client", one, "admin",
                                         ImportCodes::Duplicates::Skip, &counts),
                      &error),
                 qPrintable(error));
        const std::optional<ImportStore::LastImport> first =
            ImportStore::lastImport(db.dm()->database(), &error);
        QVERIFY(first);

        ImportPreview many = one;
        many.rows.clear();
        many.sheetRows.clear();
        for (int r = 1; r <= 5000; ++r) {
            many.rows.push_back({QStringLiteral("C%1").arg(r), QStringLiteral("客户%1").arg(r)});
            many.sheetRows.push_back(r + 1);
        }
        int asked = 0;
        const WorkResult stored = ImportStore::store(db.dm()->source(), "T_client", many, "admin",
                                                     ImportCodes::Duplicates::Skip, &counts,
                                                     [&asked](int) { return ++asked < 2; });
        QVERIFY(stored.isCancelled());
        QCOMPARE(counts.added, 0);
        QCOMPARE(column(db.dm(), "select F_Code from T_client"), QStringList{"K0"});
        const std::optional<ImportStore::LastImport> last =
            ImportStore::lastImport(db.dm()->database(), &error);
        QVERIFY(last);
        QCOMPARE(last->batch, first->batch);
        QCOMPARE(last->rows, 1);

        // 取消 in the wizard's progress box.
        Wizard w(writeClients(db.home() + "/clients.xlsx", 5000));
        w.toPreview();
        QTimer::singleShot(0, &w.window, [&w] {
            if (auto *box = w.window.findChild<QProgressDialog *>())
                box->findChild<QPushButton *>()->click();
        });
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("导入已取消，没有保存任何数据。")});
        QVERIFY(w.window.isVisible());
        QCOMPARE(w.window.step(), 3);
        QCOMPARE(column(db.dm(), "select F_Code from T_client"), QStringList{"K0"});
    }

    // On a server the rows go in bulk; what it stores is exactly what the file's row-by-row
    // store does with the same workbook: the rows, their keys and the undo record, and the undo.
    void serverStoreMatchesTheFileStore_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<bool>("update");
        const QString null;
        QTest::newRow("empty cells, long texts, COPY's special characters")
            << "T_client" << QStringList{"F_Code", "F_Name", "F_LinkMan", "F_Memo1", "-F_fax"}
            << QStringList{}
            << QList<QStringList>{{"A1", QString(100, u'长'), "", "tab\there", null},
                                  {"", "无编号", null, "back\\slash\nline\r\\N", null},
                                  {"a2", "引号'\"", "%_", QString(255, u'x'), null},
                                  {"A3", "", "", "", null}}
            << false;
        QTest::newRow("duplicates skipped")
            << "T_client" << QStringList{"F_Code", "F_Name", "F_LinkMan"}
            << QStringList{"insert into T_client(F_Code, F_Name, F_LinkMan) values('A1', '旧', "
                           "'张')",
                           "insert into T_client(F_Code, F_Name) values('b2', '旧二')"}
            << QList<QStringList>{{"A1", "新", "李"},
                                  {" a1", "重复", ""},
                                  {"B2", "新二", ""},
                                  {"C3", "新三", "王"},
                                  {"c3", "重复三", ""}}
            << false;
        QTest::newRow("duplicates updated, columns not mapped kept, values already held")
            << "T_client" << QStringList{"F_Code", "F_Name", "F_LinkMan", "-F_fax"}
            << QStringList{"insert into T_client(F_Code, F_Name, F_LinkMan, F_fax) "
                           "values('A1', '旧', '张', '传真')",
                           "insert into T_client(F_Code, F_Name) values('A1', '后来的同编号')",
                           "insert into T_client(F_Code, F_Name) values('b2', '旧二')",
                           "insert into T_client(F_Code, F_Name, F_LinkMan) "
                           "values('D4', '不变', '赵')"}
            << QList<QStringList>{{"a1 ", "新", "", null},
                                  {"B2", "新二", "李", null},
                                  {"C3", "新三", "王", null},
                                  {"b2", "重复", "", null},
                                  {"d4", "不变", "赵", null}}
            << true;
        QTest::newRow("numbers, dates, yes/no and long memos")
            << "GoodMain" << QStringList{"F_code",  "F_goodName", "F_amount", "F_CGdate",
                                         "F_cltID", "F_useFlag",  "F_Memo2",  "-F_XSprice1"}
            << QStringList{"insert into GoodMain(F_code, F_goodName, F_amount, F_XSprice1) "
                           "values('G1', '旧', 3, 9.5)"}
            << QList<QStringList>{{"g1", "改", "0.1", "2026-12-01", "7", "是", QString(5000, u'备'),
                                   null},
                                  {"G2", "新", "", "", "", "0", "", null},
                                  {"G3", "新三", "-12345678.875", "1900-08-14", "-3", "true",
                                   "多\n行", null}}
            << true;
        QTest::newRow("only the code mapped, updated")
            << "T_suppler" << QStringList{"F_Code"}
            << QStringList{"insert into T_suppler(F_Code, F_Name) values('S1', '供应商')"}
            << QList<QStringList>{{"s1"}, {"S2"}, {""}} << true;
    }

    void serverStoreMatchesTheFileStore()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, before);
        QFETCH(QList<QStringList>, rows);
        QFETCH(bool, update);
        if (engine != u"postgresql")
            QSKIP("the file's own store is the reference");
        TestDatabase server(engine);
        TestDatabase file(QStringLiteral("sqlite"));
        QVERIFY2(server.ok() && file.ok(), qPrintable(server.error() + file.error()));
        const ImportPreview preview = previewOf(fields, rows);
        const auto duplicates =
            update ? ImportCodes::Duplicates::Update : ImportCodes::Duplicates::Skip;
        QList<ImportStore::Counts> counts;
        QList<QStringList> seeded, stored;
        for (TestDatabase *db : {&server, &file}) {
            for (const QString &sql : before)
                QVERIFY2(db->dm()->ExecSql(sql), qPrintable(sql));
            seeded << importState(db->dm(), table);
            const QStringList rowsBefore = tableRows(db->dm(), table);
            ImportStore::Counts c;
            QString error;
            QVERIFY2(done(ImportStore::store(db->dm()->source(), table, preview, "admin",
                                             duplicates, &c),
                          &error),
                     qPrintable(error));
            counts << c;
            stored << importState(db->dm(), table);
            const std::optional<ImportStore::LastImport> last =
                ImportStore::lastImport(db->dm()->database(), &error);
            QVERIFY2(last, qPrintable(error));
            QVERIFY(last->editedKeys.isEmpty());
            int removed = 0;
            int restored = 0;
            QVERIFY2(
                done(ImportStore::undo(db->dm()->source(), last->batch, false, &removed, &restored),
                     &error),
                qPrintable(error));
            QCOMPARE(removed, c.added);
            QCOMPARE(restored, c.updated);
            QCOMPARE(tableRows(db->dm(), table), rowsBefore);
        }
        QCOMPARE(counts.at(0).added, counts.at(1).added);
        QCOMPARE(counts.at(0).updated, counts.at(1).updated);
        QCOMPARE(counts.at(0).existing, counts.at(1).existing);
        QCOMPARE(counts.at(0).repeated, counts.at(1).repeated);
        QCOMPARE(seeded.at(0), seeded.at(1));
        QCOMPARE(stored.at(0), stored.at(1));
    }

    // A row the database refuses in the middle of a large import, among rows added and updated,
    // leaves the register and the record of the last import as they were.
    void failingRowInTheMiddleStoresNothing_data()
    {
        QTest::addColumn<bool>("refusedIsUpdated");
        QTest::newRow("an added row") << false;
        QTest::newRow("an updated row") << true;
    }

    void failingRowInTheMiddleStoresNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, refusedIsUpdated);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ImportStore::Counts counts;
        QString error;
        QVERIFY2(done(ImportStore::store(db.dm()->source(), "T_client",
                                         previewOf({"F_Code", "F_Name"}, {{"K0", "老客户"}}),
                                         "admin", ImportCodes::Duplicates::Skip, &counts),
                      &error),
                 qPrintable(error));
        for (const char *code : {"C10", "C2999", refusedIsUpdated ? "C1500" : "C20"})
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into T_client(F_Code, F_Name) values('%1', '旧')")
                    .arg(QLatin1String(code))));
        for (const QString &sql : kRefuseC1500.at(engine == u"sqlite" ? 0 : 1))
            QVERIFY2(db.dm()->ExecSql(sql), qPrintable(sql));
        const QStringList as = importState(db.dm(), "T_client");
        QList<QStringList> rows;
        for (int r = 1; r <= 3000; ++r)
            rows << QStringList{QStringLiteral("C%1").arg(r), QStringLiteral("客户%1").arg(r)};
        const WorkResult stored =
            ImportStore::store(db.dm()->source(), "T_client", previewOf({"F_Code", "F_Name"}, rows),
                               "admin", ImportCodes::Duplicates::Update, &counts);
        QVERIFY(stored.isFailed());
        QVERIFY2(stored.reason().contains(u"refused"), qPrintable(stored.reason()));
        QCOMPARE(counts.added + counts.updated, 0);
        QCOMPARE(importState(db.dm(), "T_client"), as);
    }

    void unreadableWorkbookStaysOnTheFirstPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing") << "none.xlsx" << QByteArray();
        QTest::newRow("damaged") << "bad.xlsx" << QByteArray("PK\x03\x04garbage");
    }

    void unreadableWorkbookStaysOnTheFirstPage()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QString path = db.home() + u'/' + name;
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        Wizard w(path);
        QCOMPARE(w.window.step(), 0);
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY(prompt.texts().first().startsWith(kChooseSource + u'\n'));
        QVERIFY(!w.window.findChild<QPushButton *>("Button3")->isEnabled());
    }

    // A zip bomb (a sheet inflating to 2 GiB) is refused on the first page with its reason,
    // before anything is inflated.
    void zipBombStaysOnTheFirstPage()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QByteArray row = "<row><c t=\"inlineStr\"><is><t>x</t></is></c></row>";
        QByteArray rows;
        for (int i = 0; i < 4096; ++i)
            rows += row;
        const QByteArray sheet = WorkbookFiles::worksheet("");
        const qsizetype open = sheet.indexOf("</sheetData>");
        const WorkbookFiles::Part part{
            {}, {{sheet.left(open)}, {rows, (qint64(2) << 30) / rows.size()}, {sheet.mid(open)}}};
        Wizard w(WorkbookFiles::write(db.home() + "/bomb.xlsx", WorkbookFiles::xlsx(part)));
        QCOMPARE(w.window.step(), 0);
        QCOMPARE(prompt.texts(),
                 QStringList{kChooseSource + u'\n' + WorkbookReasons::kTooLarge.arg(256)});
    }

    // A text file shows the encoding it was read in and the bytes that were no UTF-8; choosing
    // the other encoding reads the sheet again.
    void textEncodingOnTheSheetPage()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QByteArray text = QStringLiteral("编号,名称\n00123,华东贸易\n00124,北方公司\n").toUtf8();
        text.insert(text.indexOf("00124") + 5, "\xff");
        const QString path = db.home() + QStringLiteral("/clients.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        Wizard w(path);
        QCOMPARE(w.window.step(), 1);
        auto *encoding = w.window.findChild<QComboBox *>("cbbEncoding");
        auto *notes = w.window.findChild<QLabel *>("lblSheetNotes");
        QAbstractItemModel *sheet = w.window.findChild<QTableView *>("DBGridEh1")->model();
        QVERIFY(encoding->isVisible());
        QCOMPARE(encoding->currentText(), QStringLiteral("UTF-8"));
        QVERIFY(notes->isVisible());
        QVERIFY(notes->text().contains(QStringLiteral("第 3 行")));
        QCOMPARE(sheet->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
        encoding->setCurrentText(QStringLiteral("GB18030"));
        emit encoding->activated(encoding->currentIndex());
        QCOMPARE(encoding->currentText(), QStringLiteral("GB18030"));
        QVERIFY(!notes->isVisible());
        QVERIFY(sheet->headerData(1, Qt::Horizontal).toString() != QStringLiteral("名称"));
        QVERIFY(prompt.texts().isEmpty());

        Wizard workbook(writeClients(db.home() + "/clients.xlsx", 1));
        QVERIFY(!workbook.window.findChild<QComboBox *>("cbbEncoding")->isVisible());
    }

    // The sample opens through the desktop; the chooser offers every kind, Excel first.
    void sampleAndSource()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        TfrmExcelImport window(QStringLiteral("T_goods"));
        window.show();
        auto *sample = window.findChild<QLineEdit *>("edtSamplePath");
        QCOMPARE(sample->text(), AppHome::path("sample1.xlsx"));
        press(&window, "Button1");
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("例子Excel文件不存在，请检查！")});
        SampleWorkbooks::install(db.home());
        press(&window, "Button1");
        QCOMPARE(shell.opened, QStringList{QUrl::fromLocalFile(sample->text()).toString()});
        FileChooser::setNextAnswer(db.home() + "/x.ods");
        press(&window, "Button2");
        QCOMPARE(window.findChild<QLineEdit *>("edtXlsFileName")->text(), db.home() + "/x.ods");
    }

    // The same workbook twice: the second import adds nothing, says so, and leaves the first
    // import to undo.
    void secondImportAddsNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QString file = writeClients(db.home() + "/clients.xlsx", 5);
        {
            Wizard w(file);
            w.toPreview();
            QCOMPARE(w.duplicates(), QString());
            press(&w.window, "Button4");
        }
        Wizard w(file);
        w.toPreview();
        QCOMPARE(w.preview()->headerData(4, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("5 已有"));
        QCOMPARE(w.duplicates(), QStringLiteral("5 行（标为“已有”）的编号资料表中已有，将跳过。"));
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), (QStringList{done(5), done(0, 0, 5)}));
        QVERIFY(!w.window.isVisible());
        QCOMPARE(clients(db.dm()), 5);
        QString error;
        QCOMPARE(ImportStore::lastImport(db.dm()->database(), &error)->rows, 5);
    }

    // A code repeated within the workbook (spaces and letter case aside): the first row wins,
    // the marks follow the preview's edits; rows without a code are never repeats.
    void repeatsWithinTheWorkbook()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QVERIFY(db.dm()->ExecSql("insert into T_client(F_Code, F_Name) values('b1', '老客户')"));
        Wizard w(writeClientRows(db.home() + "/clients.xlsx", {{"A1", "甲"},
                                                               {" a1", "乙"},
                                                               {"B1 ", "丙"},
                                                               {"", "无编号一"},
                                                               {"", "无编号二"},
                                                               {"C1", "丁"},
                                                               {"c1", "戊"}}));
        w.toPreview();
        QStringList marks;
        for (int r = 0; r < w.preview()->rowCount(); ++r)
            marks << w.preview()->headerData(r, Qt::Vertical, Qt::DisplayRole).toString();
        QCOMPARE(marks, (QStringList{"1", "2 重复", "3 已有", "4", "5", "6", "7 重复"}));
        QCOMPARE(w.duplicates(),
                 QStringLiteral("1 行（标为“已有”）的编号资料表中已有，将跳过。\n"
                                "2 行（标为“重复”）的编号与前面的行重复，将跳过。"));
        // Without the first 甲 the next a1 is the first of its code; a mended code is new.
        w.preview()->removeRowsAt({0});
        QVERIFY(w.preview()->setData(w.preview()->index(5, 0), "D1", Qt::EditRole));
        QCOMPARE(w.preview()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "1");
        QCOMPARE(w.preview()->fate(5), ImportCodes::Fate::Add);
        QCOMPARE(w.duplicates(), QStringLiteral("1 行（标为“已有”）的编号资料表中已有，将跳过。"));
        w.preview()->removeRowsAt({4});
        QVERIFY(w.preview()->setData(w.preview()->index(4, 0), "c1", Qt::EditRole));
        QCOMPARE(w.preview()->fate(4), ImportCodes::Fate::Add);
        press(&w.window, "Button4");
        QCOMPARE(prompt.texts(), QStringList{done(4, 0, 1, 0)});
        QCOMPARE(column(db.dm(), "select F_Name from T_client order by F_ID"),
                 (QStringList{"老客户", "乙", "无编号一", "无编号二", "戊"}));
    }

    // 更新已有记录 overwrites the mapped columns of the entry holding the code (the code and
    // the columns not mapped stay, and so does its key); the undo gives it back what it held,
    // also when it was changed since and the user says so.
    void updateAndItsUndo()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        db.dm()->setCurOperName(QStringLiteral("admin"));
        QVERIFY(db.dm()->ExecSql("insert into T_client(F_Code, F_Name, F_LinkMan, F_Phone, "
                                 "F_Memo1) values('00002', '旧名', '老联系人', '010-1', '备注')"));
        const int id = db.dm()->GetIntValue("select F_ID from T_client");
        {
            Wizard w(writeClients(db.home() + "/clients.xlsx", 3));
            press(&w.window, "Button4");
            for (int r = 0; r < w.mapping()->rowCount(); ++r) {
                if (w.mapping()->item(r, 0)->text() == u"联系人")
                    w.mapping()->item(r, 1)->setText(QString());
            }
            press(&w.window, "Button4");
            w.window.findChild<QRadioButton *>("rbUpdateExisting")->setChecked(true);
            QCOMPARE(w.duplicates(),
                     QStringLiteral("1 行（标为“已有”）的编号资料表中已有，将更新已有记录。"));
            press(&w.window, "Button4");
            QCOMPARE(prompt.texts(), QStringList{done(2, 1)});
        }
        QCOMPARE(column(db.dm(), kClientLine),
                 (QStringList{"00001/客户1//62345679/", "00002/客户2/老联系人/62345680/",
                              "00003/客户3//62345681/"}));
        QCOMPARE(db.dm()->GetIntValue("select F_ID from T_client where F_Code = '00002'"), id);

        QVERIFY(db.dm()->ExecSql("update T_client set F_fax = '改过' where F_Code = '00002'"));
        TFrmMain main;
        prompt.clear();
        prompt.answer({Prompt::Yes, Prompt::Yes});
        main.findChild<QAction *>("actUndoImport")->trigger();
        QCOMPARE(prompt.texts().size(), 3);
        QVERIFY(
            prompt.texts().at(0).endsWith(QStringLiteral("导入更新的 1 行将恢复为导入前的内容。")));
        QVERIFY(prompt.texts().at(1).contains(QStringLiteral("00002 客户2")));
        QCOMPARE(prompt.texts().at(2),
                 QStringLiteral("已撤销上次导入，删除了 2 行，恢复了 1 行。"));
        QCOMPARE(column(db.dm(), kClientLine), QStringList{"00002/旧名/老联系人/010-1/备注"});
        QCOMPARE(column(db.dm(), "select F_fax from T_client"), QStringList{""});
    }

    // The former values of an update come back with their types, a missing value as missing.
    void undoRestoresTypedValues()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into T_goods(F_Code, F_Name, F_spec, "
                                                "F_useFlag) values('G1', '螺丝', null, ?)"),
                                 {true}));
        ImportPreview preview;
        preview.fields = {{"F_Code", "编号", "编号"},
                          {"F_Name", "名称", "名称"},
                          {"F_spec", "规格", "规格"},
                          {"F_useFlag", "停用", "停用"}};
        preview.rows = {{"g1", "螺母", "M6", "0"}, {"G2", "垫圈", "", "1"}};
        preview.sheetRows = {2, 3};
        ImportStore::Counts counts;
        QString error;
        QVERIFY2(done(ImportStore::store(db.dm()->source(), "T_goods", preview, "admin",
                                         ImportCodes::Duplicates::Update, &counts),
                      &error),
                 qPrintable(error));
        QCOMPARE(counts.added, 1);
        QCOMPARE(counts.updated, 1);
        const QString line = QStringLiteral(
            "select F_Code || '/' || F_Name || '/' || coalesce(F_spec, 'null') || '/' || "
            "case when F_useFlag then 'yes' else 'no' end from T_goods order by F_ID");
        QCOMPARE(column(db.dm(), line), (QStringList{"G1/螺母/M6/no", "G2/垫圈//yes"}));
        const std::optional<ImportStore::LastImport> last =
            ImportStore::lastImport(db.dm()->database(), &error);
        QVERIFY(last && last->editedKeys.isEmpty());
        int removed = 0;
        int restored = 0;
        QVERIFY2(done(ImportStore::undo(db.dm()->source(), last->batch, false, &removed, &restored),
                      &error),
                 qPrintable(error));
        QCOMPARE(removed, 1);
        QCOMPARE(restored, 1);
        QCOMPARE(column(db.dm(), line), QStringList{"G1/螺丝/null/yes"});
    }

    // Enter in the path box goes on as 下一步 does; it never opens the sample workbook.
    void enterInThePathBoxGoesOn()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        SampleWorkbooks::install(db.home());
        const QString file = writeClients(db.home() + "/clients.xlsx", 2);
        TfrmExcelImport window(QStringLiteral("T_client"));
        window.show();
        auto *path = window.findChild<QLineEdit *>("edtXlsFileName");
        path->setFocus();
        QTest::keyClicks(path, file);
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(window.step(), 1);
        QCOMPARE(shell.opened, QStringList());
        QCOMPARE(prompt.texts(), QStringList());
        for (QPushButton *button : window.findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->text()));
        // On the next pages Enter presses nothing.
        QTest::keyClick(window.findChild<QComboBox *>("ComboBox1"), Qt::Key_Return);
        QCOMPARE(window.step(), 1);
        QCOMPARE(shell.opened, QStringList());
    }

    // --import as a script runs it: the stored mapping, the counts on standard output, exit 1
    // with the reason for a file refused (nothing stored), 2 for arguments that make no sense.
    void importCommand()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QString file = writeClients(db.home() + "/clients.xlsx", 4);
        QByteArray out;
        QByteArray errors;
        const QStringList import = {QStringLiteral("--import"), QStringLiteral("clients"), file};
        QCOMPARE(runQuorin(db.home(), import, &out, &errors), 0);
        QCOMPARE(out, QByteArray("added=4 updated=0 skipped=0\n"));
        QCOMPARE(errors, QByteArray());
        QCOMPARE(runQuorin(db.home(), import, &out, &errors), 0);
        QCOMPARE(out, QByteArray("added=0 updated=0 skipped=4\n"));
        QCOMPARE(clients(db.dm()), 4);

        const QString renamed = writeClients(db.home() + "/renamed.xlsx", 5, {}, "新名");
        QCOMPARE(runQuorin(db.home(), {"--import", "clients", renamed, "--duplicates", "update"},
                           &out, &errors),
                 0);
        QCOMPARE(out, QByteArray("added=1 updated=4 skipped=0\n"));
        QCOMPARE(column(db.dm(), "select F_Name from T_client order by F_Code"),
                 (QStringList{"新名1", "新名2", "新名3", "新名4", "新名5"}));

        // Refused: nothing is stored, the reason goes to standard error.
        const QString overlong = writeClients(db.home() + "/long.xlsx", 7, QString(101, u'长'));
        QCOMPARE(runQuorin(db.home(), {"--import", "clients", overlong}, &out, &errors), 1);
        QVERIFY2(errors.contains("工作表第 8 行"), errors.constData());
        QCOMPARE(out, QByteArray());
        QFile damaged(db.home() + "/damaged.xlsx");
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("PK\x03\x04garbage");
        damaged.close();
        QCOMPARE(runQuorin(db.home(), {"--import", "suppliers", damaged.fileName()}, &out, &errors),
                 1);
        QVERIFY(!errors.isEmpty());
        QCOMPARE(clients(db.dm()), 5);

        const QList<QStringList> wrong = {{"--import", "orders", file},
                                          {"--import", "clients"},
                                          {"--import", "clients", file, "--duplicates", "keep"},
                                          {"--duplicates", "update"}};
        for (const QStringList &arguments : wrong) {
            QCOMPARE(runQuorin(db.home(), arguments, &out, &errors), 2);
            QVERIFY2(!errors.isEmpty(), qPrintable(arguments.join(u' ')));
        }
        QCOMPARE(clients(db.dm()), 5);
    }

    // The last import recorded by version 5 stays undoable: its rows count as added.
    void olderUndoRecordIsUpgraded()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        {
            Wizard w(writeClients(db.home() + "/clients.xlsx", 2));
            w.toPreview();
            press(&w.window, "Button4");
        }
        for (const char *sql :
             {"create table old_rows as select F_ID, F_batch, F_rowID, F_digest "
              "from cfg_importrow",
              "drop table cfg_importrow", "create table cfg_importrow as select * from old_rows",
              "drop table old_rows", "delete from cfg_schema",
              "insert into cfg_schema(F_version) values(5)"})
            QVERIFY2(db.dm()->ExecSql(QLatin1String(sql)), sql);
        auto upgraded = db.openAnother();
        QVERIFY(upgraded->isConnected());
        QCOMPARE(upgraded->GetIntValue("select max(F_version) from cfg_schema"), Schema::kVersion);
        QCOMPARE(upgraded->GetIntValue("select count(*) from cfg_importrow where F_kind = 0"), 2);
        QString error;
        const std::optional<ImportStore::LastImport> last =
            ImportStore::lastImport(upgraded->database(), &error);
        QVERIFY2(last, qPrintable(error));
        QCOMPARE(last->rows, 2);
        QCOMPARE(last->updated, 0);
    }

    // Undo removes exactly the rows the last import added; rows edited since stay unless the
    // user says so.
    void undoRemovesTheImportedRows()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        db.dm()->setCurOperName(QStringLiteral("admin"));
        QVERIFY(db.dm()->ExecSql("insert into T_client(F_Code, F_Name) values('K0', '老客户')"));
        {
            Wizard w(writeClients(db.home() + "/clients.xlsx", 4));
            w.toPreview();
            press(&w.window, "Button4");
        }
        QCOMPARE(clients(db.dm()), 5);
        QVERIFY(db.dm()->ExecSql("update T_client set F_LinkMan = '改过' where F_Code = '00002'"));
        TFrmMain main;
        QAction *undo = main.findChild<QAction *>("actUndoImport");
        QVERIFY(undo);
        prompt.clear();
        prompt.answer({Prompt::Yes, Prompt::No});
        undo->trigger();
        QCOMPARE(prompt.texts().size(), 3);
        QVERIFY(prompt.texts().at(1).contains(QStringLiteral("00002 客户2")));
        QCOMPARE(prompt.texts().at(2), QStringLiteral("已撤销上次导入，删除了 3 行。"));
        QCOMPARE(column(db.dm(), "select F_Code from T_client order by F_Code"),
                 (QStringList{"00002", "K0"}));
        prompt.clear();
        undo->trigger();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("没有可以撤销的导入。")});
        // Shown to whoever may import anything.
        for (int id : {501, 502, 503})
            main.action(id)->setVisible(false);
        QVERIFY(!undo->isVisible());
        main.action(503)->setVisible(true);
        QVERIFY(undo->isVisible());
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
