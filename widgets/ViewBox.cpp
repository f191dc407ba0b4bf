#include "widgets/ViewBox.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/SortText.h"
#include "core/SqlListModel.h"
#include "widgets/Criteria.h"
#include "widgets/DBGridEh.h"
#include "widgets/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kNameWidth = 50;  // cfg_view.F_name
constexpr int kNoteWidth = 360; // pixels; the whole note is the tooltip

QString operatorName()
{
    return dmData->CurOperName();
}

QJsonArray saveColumns(const DBGridEh *grid)
{
    QJsonArray columns;
    for (const GridColumn &c : grid->columns()) {
        columns.append(QJsonObject{{QStringLiteral("field"), c.field},
                                   {QStringLiteral("caption"), c.caption},
                                   {QStringLiteral("width"), c.width},
                                   {QStringLiteral("visible"), c.visible}});
    }
    return columns;
}

// The saved columns in their order and widths; the grid's columns the view does not name
// follow them as they are.
void restoreColumns(DBGridEh *grid, const QJsonArray &saved, QStringList *notes)
{
    if (saved.isEmpty())
        return;
    QList<GridColumn> rest = grid->columns();
    QList<GridColumn> columns;
    for (const QJsonValue &v : saved) {
        const QJsonObject o = v.toObject();
        const QString field = o.value(QStringLiteral("field")).toString();
        const auto found = std::find_if(rest.begin(), rest.end(), [&](const GridColumn &c) {
            return c.field.compare(field, Qt::CaseInsensitive) == 0;
        });
        if (found == rest.end()) {
            *notes << goneNote(QStringLiteral("列"),
                               o.value(QStringLiteral("caption")).toString(field));
            continue;
        }
        GridColumn c = *found;
        rest.erase(found);
        c.width = o.value(QStringLiteral("width")).toInt(c.width);
        c.visible = o.value(QStringLiteral("visible")).toBool(c.visible);
        columns << c;
    }
    grid->setColumns(columns + rest);
}

QString saveSort(const DBGridEh *grid)
{
    QString order = grid->list()->model()->orderBy().trimmed();
    const QString prefix = QStringLiteral("order by ");
    if (order.startsWith(prefix, Qt::CaseInsensitive))
        order.remove(0, prefix.size());
    return order;
}

// The keys of `sort` ("F_a ASC, F_b DESC") whose column the list still has, with their markers.
void restoreSort(DBGridEh *grid, const QString &sort, QStringList *notes)
{
    if (sort.isEmpty())
        return;
    SqlListModel *model = grid->list()->model();
    const QStringList fields = model->fieldNames();
    for (const GridColumn &c : grid->columns())
        grid->setMarker(c.field, DBGridEh::Marker::None);
    QStringList kept;
    for (const QString &key : sort.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = key.simplified().split(u' ');
        const QString &field = words.first();
        if (!fields.contains(field, Qt::CaseInsensitive)) {
            *notes << goneNote(QStringLiteral("排序列"), field);
            continue;
        }
        const bool descending = words.value(1).compare(u"desc", Qt::CaseInsensitive) == 0;
        grid->setMarker(field, descending ? DBGridEh::Marker::Down : DBGridEh::Marker::Up);
        kept << key.simplified();
    }
    if (!model->setOrderBy(SortText::orderBy(kept.join(u','), fields)))
        dmData->showFailure(kMsgOpenFailed, model->lastError());
}

// Asks for the name of a view and whether every operator may choose it.
class SaveViewDialog : public QDialog
{
public:
    SaveViewDialog(const QString &name, bool shared, QWidget *parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("dlgSaveView"));
        setWindowTitle(QStringLiteral("保存视图"));
        m_name = new QLineEdit(name);
        m_name->setObjectName(QStringLiteral("edtViewName"));
        m_name->setMaxLength(kNameWidth);
        m_shared = new QCheckBox(QStringLiteral("所有操作员可用"));
        m_shared->setObjectName(QStringLiteral("chkShared"));
        m_shared->setChecked(shared);
        auto *form = new QFormLayout;
        form->addRow(QStringLiteral("视图名称："), m_name);
        form->addRow(QString(), m_shared);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addLayout(okCancelButtons(this));
    }

    QString name() const { return m_name->text().trimmed(); }
    bool shared() const { return m_shared->isChecked(); }

private:
    QLineEdit *m_name;
    QCheckBox *m_shared;
};

} // namespace

ViewBox::ViewBox(const QString &windowKey, DBGridEh *grid, ViewParts parts, QWidget *parent)
    : QWidget(parent), m_windowKey(windowKey), m_grid(grid), m_parts(std::move(parts))
{
    setObjectName(QStringLiteral("pnlView"));
    cbbView = new QComboBox;
    cbbView->setObjectName(QStringLiteral("cbbView"));
    cbbView->setMinimumContentsLength(8);
    cbbView->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto *label = new QLabel(QStringLiteral("视图"));
    label->setBuddy(cbbView);
    m_save = new QToolButton;
    m_save->setObjectName(QStringLiteral("btnSaveView"));
    m_save->setText(QStringLiteral("保存视图…"));
    m_delete = new QToolButton;
    m_delete->setObjectName(QStringLiteral("btnDeleteView"));
    m_delete->setText(QStringLiteral("删除视图"));
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("lblViewNote"));
    m_note->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_note->hide();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(label);
    layout->addWidget(cbbView);
    layout->addWidget(m_save);
    layout->addWidget(m_delete);
    layout->addWidget(m_note);

    connect(cbbView, &QComboBox::activated, this, &ViewBox::restore);
    connect(m_save, &QToolButton::clicked, this, &ViewBox::askSave);
    connect(m_delete, &QToolButton::clicked, this, &ViewBox::deleteChosen);
    connect(&dmData->session(), &Session::changed, this, &ViewBox::reload);
    reload();
}

QStringList ViewBox::names() const
{
    QStringList list;
    for (int i = 0; i < cbbView->count(); ++i)
        list << cbbView->itemText(i);
    return list;
}

QString ViewBox::note() const
{
    return m_note->toolTip();
}

void ViewBox::reload()
{
    const QString chosen = cbbView->currentText();
    QString error;
    const std::optional<QList<SavedView>> views =
        ViewStore::list(dmData->database(), m_windowKey, operatorName(), &error);
    m_views = views.value_or(QList<SavedView>());
    if (!views)
        dmData->reportFailure(error);
    cbbView->clear();
    for (const SavedView &v : m_views) {
        // Another operator's shared view is told by its owner.
        cbbView->addItem(
            v.owner == operatorName() ? v.name : QStringLiteral("%1（%2）").arg(v.name, v.owner));
    }
    cbbView->setCurrentIndex(cbbView->findText(chosen));
}

QString ViewBox::currentValue() const
{
    const QJsonObject value{{QStringLiteral("criteria"), m_parts.saveCriteria()},
                            {QStringLiteral("sort"), saveSort(m_grid)},
                            {QStringLiteral("columns"), saveColumns(m_grid)}};
    return QString::fromUtf8(QJsonDocument(value).toJson(QJsonDocument::Compact));
}

void ViewBox::askSave()
{
    const int index = cbbView->currentIndex();
    const bool own = index >= 0 && m_views.at(index).owner == operatorName();
    SaveViewDialog dialog(own ? m_views.at(index).name : QString(), own && m_views.at(index).shared,
                          window());
    if (dialog.exec() == QDialog::Accepted)
        saveAs(dialog.name(), dialog.shared());
}

bool ViewBox::saveAs(const QString &name, bool shared)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        ShowPrompt(QStringLiteral("请输入视图的名称。"), Prompt::Warning);
        return false;
    }
    SavedView view;
    view.owner = operatorName();
    view.window = m_windowKey;
    view.name = trimmed.left(kNameWidth);
    view.shared = shared;
    view.value = currentValue();
    QString error;
    const bool exists =
        ViewStore::find(dmData->database(), view.window, view.owner, view.name, &error).has_value();
    if (!error.isEmpty()) {
        dmData->showFailure(QStringLiteral("视图没有保存。"), error);
        return false;
    }
    if (exists && ShowPrompt(QStringLiteral("视图“%1”已存在，要替换它吗？").arg(view.name),
                             Prompt::Question, Prompt::No) != Prompt::Yes)
        return false;
    if (!ViewStore::save(dmData->database(), view, &error)) {
        dmData->showFailure(QStringLiteral("视图没有保存。"), error);
        return false;
    }
    reload();
    cbbView->setCurrentIndex(cbbView->findText(view.name));
    showNote({});
    return true;
}

bool ViewBox::choose(const QString &name)
{
    const int index = cbbView->findText(name);
    if (index < 0)
        return false;
    cbbView->setCurrentIndex(index);
    restore(index);
    return true;
}

void ViewBox::restore(int index)
{
    if (index < 0 || index >= m_views.size())
        return;
    QJsonParseError parsed;
    const QJsonObject value =
        QJsonDocument::fromJson(m_views.at(index).value.toUtf8(), &parsed).object();
    QStringList notes;
    if (parsed.error != QJsonParseError::NoError)
        notes << QStringLiteral("视图的内容已损坏");
    m_parts.restoreCriteria(value.value(QStringLiteral("criteria")).toObject(), &notes);
    m_parts.runList();
    restoreColumns(m_grid, value.value(QStringLiteral("columns")).toArray(), &notes);
    restoreSort(m_grid, value.value(QStringLiteral("sort")).toString(), &notes);
    showNote(notes);
}

void ViewBox::showNote(const QStringList &notes)
{
    const QString text =
        notes.isEmpty() ? QString() : QStringLiteral("未恢复：") + notes.join(QStringLiteral("；"));
    m_note->setText(m_note->fontMetrics().elidedText(text, Qt::ElideRight, kNoteWidth));
    m_note->setToolTip(text);
    m_note->setVisible(!text.isEmpty());
}

void ViewBox::deleteChosen()
{
    const int index = cbbView->currentIndex();
    if (index < 0) {
        ShowPrompt(QStringLiteral("请先选择要删除的视图。"), Prompt::Information);
        return;
    }
    const SavedView view = m_views.at(index);
    if (ShowPrompt(QStringLiteral("真的要删除视图“%1”吗？").arg(cbbView->currentText()),
                   Prompt::Question, Prompt::No) != Prompt::Yes)
        return;
    QString error;
    if (!ViewStore::remove(dmData->database(), view.id, operatorName(), &error))
        ShowPrompt(dmData->failureMessage(error, error), Prompt::Error);
    reload();
}
