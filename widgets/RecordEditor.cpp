#include "widgets/RecordEditor.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "widgets/EditorBottomBar.h"
#include "widgets/EditorKeys.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

RecordEditor::RecordEditor(RecordList &records, QWidget *parent)
    : QDialog(parent), m_records(records)
{
}

void RecordEditor::finishForm(QBoxLayout *layout)
{
    watchChanges();
    m_bottom = new EditorBottomBar;
    layout->addWidget(m_bottom);
    connect(m_bottom->okButton(), &QPushButton::clicked, this, &RecordEditor::save);
    connect(m_bottom->cancelButton(), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_bottom, &EditorBottomBar::moveRequested, this, [this](EditorBottomBar::Move move) {
        moveTo(EditorBottomBar::rowAfter(move, m_records.currentRow(), m_records.rowCount()));
    });
    new EditorKeys(this, m_bottom->okButton(), m_bottom->cancelButton());
    // The list grows when its count arrives: the navigator's end moves with it.
    connect(m_records.model(), &SqlListModel::aggregatesReady, this, &RecordEditor::showPosition);
}

void RecordEditor::showPosition()
{
    m_bottom->setPosition(m_records.currentRow(), m_records.rowCount());
}

void RecordEditor::watchChanges()
{
    const auto changed = [this] {
        if (!m_filling)
            m_modified = true;
    };
    // Text boxes and combo boxes edit through a line edit; spin and date boxes keep theirs
    // quiet while they set a value, so they are heard on their own.
    for (auto *edit : findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (auto *number : findChildren<QDoubleSpinBox *>())
        connect(number, &QDoubleSpinBox::valueChanged, this, changed);
    for (auto *date : findChildren<QDateTimeEdit *>())
        connect(date, &QDateTimeEdit::dateTimeChanged, this, changed);
    for (auto *text : findChildren<QPlainTextEdit *>())
        connect(text, &QPlainTextEdit::textChanged, this, changed);
    for (auto *check : findChildren<QAbstractButton *>()) {
        if (check->isCheckable())
            connect(check, &QAbstractButton::toggled, this, changed);
    }
}

void RecordEditor::setMode(Mode mode)
{
    m_mode = mode;
    m_bottom->setChanging(mode == Mode::Change);
    showMode(mode);
}

void RecordEditor::start(Mode mode)
{
    setMode(mode);
    if (mode == Mode::New)
        clear();
    else
        loadCurrent();
    firstField(mode)->setFocus();
}

void RecordEditor::clear()
{
    m_filling = true;
    m_id = 0;
    m_loaded.clear();
    m_asRead.clear();
    clearRecord();
    m_widths.settle();
    m_filling = false;
    m_modified = false;
}

void RecordEditor::loadCurrent()
{
    m_filling = true;
    m_id = isChanging() ? m_records.value(QStringLiteral("F_ID")).toLongLong() : 0;
    m_widths.lift();
    loadRecord();
    m_widths.settle();
    // Only a change has a stored record whose long texts a save can leave as they are.
    m_loaded = isChanging() ? values() : QVariantMap();
    m_asRead.clear();
    for (auto it = m_loaded.begin(); it != m_loaded.end(); ++it) {
        if (m_records.model()->fieldIndex(it.key()) >= 0)
            m_asRead.insert(it.key(), m_records.value(it.key()));
    }
    m_filling = false;
    m_modified = false;
    showPosition();
}

void RecordEditor::moveTo(int row)
{
    if (row < 0)
        return;
    m_records.setCurrentRow(row);
    loadCurrent();
}

bool RecordEditor::save()
{
    if (!validate())
        return false;
    QVariantMap values = this->values();
    if (!m_widths.fit(&values, m_loaded))
        return false;
    qint64 saved = 0;
    QString error;
    StaleRecord stale;
    switch (store(m_id, values, m_asRead, &saved, &stale, &error)) {
    case Stored::Refused:
        return false;
    case Stored::Stale:
        return resolveStale(stale) && save();
    case Stored::Failed:
        qWarning("%s not saved: %s", qPrintable(objectName()), qPrintable(error));
        dmData->showFailure(QStringLiteral("保存失败，请检测数据库连接！"), error);
        return false;
    case Stored::Saved:
        break;
    }
    m_modified = false;
    if (!m_records.showSaved(saved))
        dmData->showFailure(kMsgOpenFailed);
    if (isChanging() || !m_bottom->continuousAdd()) {
        m_id = saved;
        accept();
    } else {
        setMode(Mode::New);
        clear();
        firstField(m_mode)->setFocus();
    }
    return true;
}

bool RecordEditor::resolveStale(const StaleRecord &stale)
{
    const QString who = stale.operatorName.isEmpty()
                            ? QStringLiteral("其他工作站")
                            : QStringLiteral("%1（%2）").arg(stale.operatorName, stale.stamp);
    if (stale.gone) {
        ShowPrompt(QStringLiteral("此记录已被%1删除，无法保存。").arg(who), Prompt::Error);
        return false;
    }
    QStringList lines;
    for (const QString &column : stale.columns) {
        lines << QStringLiteral("%1：%2 → %3")
                     .arg(columnCaption(column), m_asRead.value(column).toString(),
                          stale.stored.value(column).toString());
    }
    const QString text =
        QStringLiteral("您打开此记录后，%1修改了它：\n%2\n\n覆盖：以您的内容保存；"
                       "重新读取：放弃您的修改，显示已保存的内容；取消：继续编辑。")
            .arg(who, lines.join(u'\n'));
    switch (ShowPrompt(text, Prompt::Overwrite, Prompt::Cancel)) {
    case Prompt::Yes:
        // What is stored now is what this save replaces, knowingly.
        for (const QString &column : stale.columns)
            m_asRead.insert(column, stale.stored.value(column));
        return true;
    case Prompt::No:
        readAgain();
        return false;
    default:
        return false;
    }
}

void RecordEditor::readAgain()
{
    const qint64 id = m_id;
    connect(
        m_records.model(), &SqlListModel::located, this,
        [this, id](int row) {
            if (row >= 0 && m_records.value(QStringLiteral("F_ID")).toLongLong() == id)
                loadCurrent();
        },
        Qt::SingleShotConnection);
    if (!m_records.showSaved(id))
        dmData->showFailure(kMsgOpenFailed);
}
