#include "input/uFrmExcelImport.h"

#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/Shell.h"
#include "input/ImportModels.h"
#include "input/ImportStore.h"
#include "input/SampleWorkbooks.h"
#include "register/uDLGeditCurList.h"
#include "widgets/FileChooser.h"
#include "widgets/PlaceForm.h"
#include "widgets/ProgressRun.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kChooseSource = QStringLiteral("请选择要导入的excel源文件！");
const QString kSourceFilter =
    QStringLiteral("Excel文件(*.xls *.xlsx);;OpenDocument 电子表格(*.ods);;"
                   "CSV 文本(*.csv);;所有可导入的文件(*.xls *.xlsx *.ods *.csv)");
constexpr int kColumnWidth = 75;
constexpr int kFieldRole = Qt::UserRole + 1;

// The second mapping column picks one of the sheet's column names, or none.
class PickListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QStringList items;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->addItem(QString());
        box->addItems(items);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(qMax(0, box->findText(index.data(Qt::EditRole).toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
    }
};

QLabel *label(const QString &text)
{
    auto *l = new QLabel(text);
    l->setWordWrap(true);
    return l;
}

QTableView *grid(const char *name)
{
    auto *view = new QTableView;
    view->setObjectName(QLatin1String(name));
    view->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    view->verticalHeader()->setDefaultSectionSize(22);
    return view;
}

} // namespace

TfrmExcelImport::TfrmExcelImport(const QString &table, QWidget *parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("frmExcelImport"));
    setWindowTitle(QStringLiteral("Excel 数据导入"));
    resize(760, 520);
    m_sheet = new SheetTableModel(this);
    m_mapping = new QStandardItemModel(this);
    m_preview = new ImportPreviewModel(table, this);
    createPages();
    edtSamplePath->setText(AppHome::path(SampleWorkbooks::fileName(table)));
}

TfrmExcelImport::~TfrmExcelImport() = default;

void TfrmExcelImport::createPages()
{
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("PageControl1"));

    auto *prepare = new QWidget;
    prepare->setObjectName(QStringLiteral("TabSheet1"));
    edtSamplePath = new QLineEdit;
    edtSamplePath->setObjectName(QStringLiteral("edtSamplePath"));
    edtSamplePath->setReadOnly(true);
    auto *button1 = new QPushButton(QStringLiteral("打开"));
    button1->setObjectName(QStringLiteral("Button1"));
    edtXlsFileName = new QLineEdit;
    edtXlsFileName->setObjectName(QStringLiteral("edtXlsFileName"));
    auto *button2 = new QPushButton(QStringLiteral("打开"));
    button2->setObjectName(QStringLiteral("Button2"));
    auto *sampleRow = new QHBoxLayout;
    sampleRow->addWidget(edtSamplePath);
    sampleRow->addWidget(button1);
    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(edtXlsFileName);
    sourceRow->addWidget(button2);
    auto *prepareLayout = new QVBoxLayout(prepare);
    prepareLayout->addWidget(label(QStringLiteral("数据准备")));
    prepareLayout->addWidget(label(QStringLiteral("欢迎使用Quorin数据导入向导")));
    prepareLayout->addWidget(label(QStringLiteral("您可以参考以下模版来制做导入源文件")));
    prepareLayout->addLayout(sampleRow);
    prepareLayout->addWidget(label(QStringLiteral("请选择要导入的Excel源文件")));
    prepareLayout->addLayout(sourceRow);
    prepareLayout->addStretch();
    connect(button1, &QPushButton::clicked, this, &TfrmExcelImport::openSample);
    connect(button2, &QPushButton::clicked, this, &TfrmExcelImport::chooseSource);
    // Enter in the path box confirms the path, as 下一步 does; it never opens the sample.
    connect(edtXlsFileName, &QLineEdit::returnPressed, this, [this] {
        if (m_step == 0)
            Button4->click();
    });

    auto *source = new QWidget;
    source->setObjectName(QStringLiteral("TabSheet2"));
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    DBGridEh1 = grid("DBGridEh1");
    DBGridEh1->setModel(m_sheet);
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A text file's encoding, shown and changeable; notes on what the reader replaced or left out.
    cbbEncoding = new QComboBox;
    cbbEncoding->setObjectName(QStringLiteral("cbbEncoding"));
    cbbEncoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("GB18030")});
    lblEncoding = label(QStringLiteral("编码："));
    lblSheetNotes = label(QString());
    lblSheetNotes->setObjectName(QStringLiteral("lblSheetNotes"));
    lblSheetNotes->setWordWrap(true);
    auto *sheetRow = new QHBoxLayout;
    sheetRow->addWidget(label(QStringLiteral("请选择一个表名：")));
    sheetRow->addWidget(ComboBox1, 1);
    sheetRow->addWidget(lblEncoding);
    sheetRow->addWidget(cbbEncoding);
    auto *sourceLayout = new QVBoxLayout(source);
    sourceLayout->addWidget(label(QStringLiteral("源文件")));
    sourceLayout->addLayout(sheetRow);
    sourceLayout->addWidget(lblSheetNotes);
    sourceLayout->addWidget(DBGridEh1, 1);
    sourceLayout->addWidget(label(QStringLiteral("以上是要导入的数据，请检查是否有误！")));
    connect(ComboBox1, &QComboBox::activated, this, &TfrmExcelImport::sheetChosen);
    connect(cbbEncoding, &QComboBox::activated, this, [this] {
        if (!m_workbook)
            return;
        m_workbook->setEncoding(cbbEncoding->currentText());
        sheetChosen(ComboBox1->currentIndex());
    });

    auto *mapping = new QWidget;
    mapping->setObjectName(QStringLiteral("TabSheet3"));
    DBGrid2 = grid("DBGrid2");
    DBGrid2->setModel(m_mapping);
    DBGrid2->setItemDelegateForColumn(1, new PickListDelegate(DBGrid2));
    DBGrid2->setEditTriggers(QAbstractItemView::AllEditTriggers);
    auto *mappingLayout = new QVBoxLayout(mapping);
    mappingLayout->addWidget(label(QStringLiteral("对应字段")));
    mappingLayout->addWidget(DBGrid2, 1);
    mappingLayout->addWidget(label(QStringLiteral("说明")));
    mappingLayout->addWidget(label(QStringLiteral("源字段名") +
                                   QStringLiteral("是指在本系统资料中显示的字段名称（中文）")));
    mappingLayout->addWidget(label(QStringLiteral("对应的Excel字段") +
                                   QStringLiteral("是指在Excel表格中显示的第一行名称（中文）")));
    mappingLayout->addWidget(label(QStringLiteral("请从对应的Excel字段列表中选择相对应的项目来，") +
                                   QStringLiteral("匹配源字段；若没有对应的源字段，请把该源字段") +
                                   QStringLiteral("清为空白即可。")));

    auto *result = new QWidget;
    result->setObjectName(QStringLiteral("TabSheet4"));
    DBGridEh3 = grid("DBGridEh3");
    DBGridEh3->setModel(m_preview);
    DBGridEh3->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGridEh3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGridEh3, &QWidget::customContextMenuRequested, this,
            &TfrmExcelImport::showPreviewMenu);
    N1 = new QAction(QStringLiteral("批量修改当前所选列"), this);
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &TfrmExcelImport::changeSelectedColumn);
    N2 = new QAction(QStringLiteral("删除当前指定所选行"), this);
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TfrmExcelImport::deleteSelectedRows);
    rbSkipExisting = new QRadioButton(QStringLiteral("跳过已有编号"));
    rbSkipExisting->setObjectName(QStringLiteral("rbSkipExisting"));
    rbSkipExisting->setChecked(true);
    rbUpdateExisting = new QRadioButton(QStringLiteral("更新已有记录"));
    rbUpdateExisting->setObjectName(QStringLiteral("rbUpdateExisting"));
    lblDuplicates = label(QString());
    lblDuplicates->setObjectName(QStringLiteral("lblDuplicates"));
    auto *duplicatesRow = new QHBoxLayout;
    duplicatesRow->addWidget(new QLabel(QStringLiteral("编号已存在时：")));
    duplicatesRow->addWidget(rbSkipExisting);
    duplicatesRow->addWidget(rbUpdateExisting);
    duplicatesRow->addStretch();
    connect(rbUpdateExisting, &QRadioButton::toggled, this, &TfrmExcelImport::showDuplicates);
    connect(m_preview, &ImportPreviewModel::marksChanged, this, &TfrmExcelImport::showDuplicates);
    auto *resultLayout = new QVBoxLayout(result);
    resultLayout->addWidget(label(QStringLiteral("结果预览")));
    resultLayout->addWidget(DBGridEh3, 1);
    resultLayout->addLayout(duplicatesRow);
    resultLayout->addWidget(lblDuplicates);
    resultLayout->addWidget(label(QStringLiteral("以上表格处于预览状态，未正式导入数据库中")));
    resultLayout->addWidget(label(QStringLiteral("你可以在些表格中将各项补充完整")));
    resultLayout->addWidget(label(
        QStringLiteral("要批量修改时，请先把鼠标移动在左边的固定列上，当鼠标变为黑箭头时，再配合CTR"
                       "L或SHIFT键") +
        QStringLiteral(
            "来选择要修改的行，然后右键点击要修改的某列，在弹出的对话框中输入要修改的值即可。")));
    resultLayout->addWidget(label(QStringLiteral(
        "对于不需要导入的行（系统中不允许导入空行，如果出现空行，可以选中空行），然后删除。")));

    for (QWidget *page : {prepare, source, mapping, result})
        m_pages->addWidget(page);

    Button3 = new QPushButton(QStringLiteral("上一步"));
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new QPushButton(QStringLiteral("下一步"));
    Button4->setObjectName(QStringLiteral("Button4"));
    Button5 = new QPushButton(QStringLiteral("取  消"));
    Button5->setObjectName(QStringLiteral("Button5"));
    // No default button: Enter in a grid or a box must not press one of them.
    for (QPushButton *button : {button1, button2, Button3, Button4, Button5})
        button->setAutoDefault(false);
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    connect(Button3, &QPushButton::clicked, this, [this] {
        if (m_step <= 0)
            return;
        --m_step;
        runStep();
    });
    connect(Button4, &QPushButton::clicked, this, [this] {
        ++m_step;
        runStep();
    });
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ProgressBar1, 1);
    buttons->addStretch();
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    buttons->addWidget(Button5);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
}

void TfrmExcelImport::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    PlaceForm(this, 0);
    m_step = 0;
    runStep();
}

void TfrmExcelImport::showPage(int page)
{
    m_pages->setCurrentIndex(page);
}

void TfrmExcelImport::runStep()
{
    switch (m_step) {
    case 0:
        showPage(0);
        Button3->setEnabled(false);
        Button4->setEnabled(true);
        break;
    case 1: {
        const WorkResult opened = openWorkbook(edtXlsFileName->text().trimmed());
        if (!opened.isDone()) {
            if (opened.isFailed())
                ShowPrompt(kChooseSource + u'\n' + opened.reason(), Prompt::Information);
            m_step = 0;
            runStep();
            return;
        }
        showPage(1);
        Button3->setEnabled(true);
        Button4->setEnabled(true);
        break;
    }
    case 2:
        showPage(2);
        loadMapping();
        Button4->setText(QStringLiteral("下一步"));
        Button3->setEnabled(true);
        Button4->setEnabled(true);
        break;
    case 3:
        showPage(3);
        Button4->setText(QStringLiteral("完成"));
        Button3->setEnabled(true);
        Button4->setEnabled(true);
        buildPreview();
        break;
    default:
        storePreview();
        break;
    }
}

WorkResult TfrmExcelImport::openWorkbook(const QString &path)
{
    m_workbook.reset();
    m_sheet->setSheet({});
    ComboBox1->clear();
    std::unique_ptr<WorkbookReader> workbook;
    const WorkResult opened =
        runWithProgress(this, QStringLiteral("正在打开工作簿..."), [&](const WorkProgress &) {
            QString reason;
            workbook = WorkbookReader::open(path, &reason);
            return workbook ? WorkResult::done() : WorkResult::failed(reason);
        });
    if (!workbook)
        return opened;
    if (workbook->sheetNames().isEmpty())
        return WorkResult::failed(WorkbookReasons::kDamaged);
    m_workbook = std::move(workbook);
    ComboBox1->addItems(m_workbook->sheetNames());
    ComboBox1->setCurrentIndex(0);
    return readSheet(0);
}

WorkResult TfrmExcelImport::readSheet(int index)
{
    SheetTable sheet;
    WorkbookReader *workbook = m_workbook.get();
    const WorkResult result = runWithProgress(
        this, QStringLiteral("正在读取工作表..."),
        [&](const WorkProgress &progress) { return workbook->readSheet(index, &sheet, progress); });
    const bool read = result.isDone();
    lblSheetNotes->setText(sheet.notes.join(u'\n'));
    lblSheetNotes->setVisible(read && !sheet.notes.isEmpty());
    const bool textFile = !workbook->encoding().isEmpty();
    cbbEncoding->setCurrentText(workbook->encoding());
    cbbEncoding->setVisible(textFile);
    lblEncoding->setVisible(textFile);
    m_sheet->setSheet(read ? std::move(sheet) : SheetTable());
    auto *pickList = static_cast<PickListDelegate *>(DBGrid2->itemDelegateForColumn(1));
    pickList->items = m_sheet->sheet().headings;
    return result;
}

void TfrmExcelImport::sheetChosen(int index)
{
    const WorkResult read = readSheet(index);
    if (read.isFailed())
        ShowPrompt(kChooseSource + u'\n' + read.reason(), Prompt::Information);
}

void TfrmExcelImport::loadMapping()
{
    m_mapping->clear();
    m_mapping->setHorizontalHeaderLabels(
        {QStringLiteral("源字段名"), QStringLiteral("对应的Excel字段")});
    QList<ImportField> fields;
    QString error;
    if (!loadImportFields(dmData->database(), m_table, &fields, &error))
        dmData->showFailure(kMsgOpenFailed, error);
    for (const ImportField &f : std::as_const(fields)) {
        auto *caption = new QStandardItem(f.caption);
        caption->setData(f.field, kFieldRole);
        caption->setEditable(false);
        m_mapping->appendRow({caption, new QStandardItem(f.sheetColumn)});
    }
    DBGrid2->setColumnWidth(0, 160);
    DBGrid2->setColumnWidth(1, 220);
}

void TfrmExcelImport::buildPreview()
{
    QList<ImportField> mapping;
    for (int r = 0; r < m_mapping->rowCount(); ++r)
        mapping.append({m_mapping->item(r, 0)->data(kFieldRole).toString(),
                        m_mapping->item(r, 0)->text(), m_mapping->item(r, 1)->text().trimmed()});
    const SheetTable &sheet = m_sheet->sheet();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProgressBar1->setRange(0, qMax(1, int(sheet.rows.size())));
    ProgressBar1->setValue(1);
    ProgressBar1->show();
    ImportPreview preview;
    PreviewFault fault;
    const bool built = preview.build(sheet, m_table, mapping, &fault, [this](int row) {
        ProgressBar1->setValue(row);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    ProgressBar1->setValue(ProgressBar1->maximum());
    ProgressBar1->hide();
    QApplication::restoreOverrideCursor();
    if (!built) {
        // Half a preview would store half a workbook: nothing is kept until the fault is mended.
        preview.rows.clear();
        preview.sheetRows.clear();
        m_preview->setPreview(std::move(preview));
        Button4->setEnabled(false);
        ShowPrompt(fault.message(), Prompt::Error);
        return;
    }
    // The register's codes, to mark the rows that hold one already: read and compared off the
    // window's thread, as a long register and a long preview take a while.
    QHash<QString, qint64> codes;
    std::vector<ImportCodes::Fate> fates;
    if (ImportCodes::codeField(preview) >= 0) {
        const DataSource source = dmData->source();
        const WorkResult read =
            runWithProgress(this, QStringLiteral("正在核对编号..."), [&](const WorkProgress &) {
                const WorkResult codesRead = ImportStore::registerCodes(source, m_table, &codes);
                if (codesRead.isDone())
                    fates = ImportCodes::plan(preview, codes, ImportCodes::Duplicates::Skip);
                return codesRead;
            });
        if (read.isFailed())
            dmData->showFailure(kMsgOpenFailed, read.reason());
    }
    m_preview->setPreview(std::move(preview), std::move(codes), std::move(fates));
}

void TfrmExcelImport::showDuplicates()
{
    using ImportCodes::Fate;
    const int existing = m_preview->count(Fate::Existing);
    const int repeated = m_preview->count(Fate::Repeat);
    QStringList lines;
    if (existing > 0)
        lines << (rbUpdateExisting->isChecked()
                      ? QStringLiteral("%1 行（标为“已有”）的编号资料表中已有，将更新已有记录。")
                      : QStringLiteral("%1 行（标为“已有”）的编号资料表中已有，将跳过。"))
                     .arg(existing);
    if (repeated > 0)
        lines << QStringLiteral("%1 行（标为“重复”）的编号与前面的行重复，将跳过。").arg(repeated);
    lblDuplicates->setText(lines.join(u'\n'));
}

namespace {

// What the done box says: how many rows were added, updated and skipped.
QString doneText(const ImportStore::Counts &counts, size_t rows)
{
    QString skipped;
    if (counts.skipped() > 0)
        skipped = QStringLiteral("（编号已存在 %1 行，工作簿中编号重复 %2 行）")
                      .arg(counts.existing)
                      .arg(counts.repeated);
    if (rows > 0 && counts.added + counts.updated == 0)
        return QStringLiteral("没有导入任何数据：%1 行都已跳过%2。")
            .arg(counts.skipped())
            .arg(skipped);
    return QStringLiteral(
               "导入非常成功，请检查资料表核对！\n新增 %1 行，更新 %2 行，跳过 %3 行%4。")
        .arg(counts.added)
        .arg(counts.updated)
        .arg(counts.skipped())
        .arg(skipped);
}

} // namespace

void TfrmExcelImport::storePreview()
{
    const ImportPreview &preview = m_preview->preview();
    const DataSource source = dmData->source();
    const QString operatorName = dmData->CurOperName();
    const ImportCodes::Duplicates duplicates = rbUpdateExisting->isChecked()
                                                   ? ImportCodes::Duplicates::Update
                                                   : ImportCodes::Duplicates::Skip;
    ImportStore::Counts counts;
    const WorkResult stored =
        preview.rows.empty()
            ? WorkResult::done()
            : runWithProgress(this, QStringLiteral("正在导入数据..."),
                              [&](const WorkProgress &progress) {
                                  return ImportStore::store(source, m_table, preview, operatorName,
                                                            duplicates, &counts, progress);
                              });
    if (stored.isCancelled()) {
        m_step = 3;
        ShowPrompt(QStringLiteral("导入已取消，没有保存任何数据。"), Prompt::Information);
        return;
    }
    if (stored.isFailed()) {
        qWarning("import not stored: %s", qPrintable(stored.reason()));
        m_step = 3;
        ShowPrompt(QStringLiteral("导入失败，请联系管理人员....."), Prompt::Error);
        return;
    }
    ShowPrompt(doneText(counts, preview.rows.size()), Prompt::Information);
    accept();
}

void TfrmExcelImport::openSample()
{
    const QString path = edtSamplePath->text();
    if (!QFileInfo::exists(path)) {
        ShowPrompt(QStringLiteral("例子Excel文件不存在，请检查！"), Prompt::Information);
        return;
    }
    Shell::openOrTell(QUrl::fromLocalFile(path));
}

void TfrmExcelImport::chooseSource()
{
    const QString current = edtXlsFileName->text().trimmed();
    const QString chosen = FileChooser::openFileName(
        this, QStringLiteral("请选择excel源文件"),
        current.isEmpty() ? AppHome::dir() : QFileInfo(current).absolutePath(), kSourceFilter);
    if (!chosen.isEmpty())
        edtXlsFileName->setText(chosen);
}

QList<int> TfrmExcelImport::selectedPreviewRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : DBGridEh3->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

void TfrmExcelImport::showPreviewMenu(const QPoint &pos)
{
    const QModelIndex index = DBGridEh3->indexAt(pos);
    if (index.isValid())
        DBGridEh3->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PopupMenu1"));
    menu.addActions({N1, N2});
    menu.exec(DBGridEh3->viewport()->mapToGlobal(pos));
}

void TfrmExcelImport::changeSelectedColumn()
{
    const QList<int> rows = selectedPreviewRows();
    const int column = DBGridEh3->currentIndex().column();
    if (rows.isEmpty() || column < 0) {
        ShowPrompt(QStringLiteral("请选中要更新的行，前面的固定行显示为箭头，\n表示选中行！"),
                   Prompt::Information);
        return;
    }
    const QString text = TDLGeditCurList::askColumnValue(this, QString());
    if (text.isEmpty())
        return;
    const QString reason = m_preview->check(column, text);
    if (!reason.isEmpty()) {
        ShowPrompt(QStringLiteral("字段“%1”不能填入该值：%2")
                       .arg(m_preview->preview().fields.value(column).caption, reason),
                   Prompt::Information);
        return;
    }
    m_preview->setColumnOfRows(rows, column, text);
}

void TfrmExcelImport::deleteSelectedRows()
{
    const QList<int> rows = selectedPreviewRows();
    if (rows.isEmpty()) {
        const int current = DBGridEh3->currentIndex().row();
        if (ShowPrompt(QStringLiteral("真的要删除当前行吗？"), Prompt::Question) == Prompt::Yes &&
            current >= 0)
            m_preview->removeRowsAt({current});
        return;
    }
    if (ShowPrompt(QStringLiteral("真的要删除当前选中的多行数据吗？"), Prompt::Question) !=
        Prompt::No)
        m_preview->removeRowsAt(rows);
}
