#include "widgets/TextWidths.h"

#include "core/Prompt.h"
#include "widgets/MemoBox.h"

#include <QLineEdit>
#include <limits>

namespace {

int textLength(QWidget *box)
{
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        return int(edit->text().size());
    return int(static_cast<MemoBox *>(box)->toPlainText().size());
}

void setMaxLength(QWidget *box, int length)
{
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->setMaxLength(length);
    else
        static_cast<MemoBox *>(box)->setMaxLength(length);
}

// "品    牌：" → "品牌"
QString plainLabel(QString label)
{
    label.remove(u' ');
    while (label.endsWith(u'：') || label.endsWith(u':'))
        label.chop(1);
    return label;
}

} // namespace

void TextWidths::add(const QString &column, QWidget *box, int width, const QString &label)
{
    Q_ASSERT(qobject_cast<QLineEdit *>(box) || qobject_cast<MemoBox *>(box));
    m_boxes.append({column, box, width, plainLabel(label)});
    setMaxLength(box, width);
}

void TextWidths::lift()
{
    for (const Box &b : std::as_const(m_boxes))
        setMaxLength(b.box, std::numeric_limits<int>::max());
}

void TextWidths::settle()
{
    for (const Box &b : std::as_const(m_boxes))
        setMaxLength(b.box, qMax(b.width, textLength(b.box)));
}

bool TextWidths::fit(QVariantMap *values, const QVariantMap &loaded) const
{
    for (const Box &b : m_boxes) {
        const auto value = values->find(b.column);
        if (value == values->end())
            continue;
        const QString text = value->toString();
        if (text.size() <= b.width)
            continue;
        if (loaded.contains(b.column) && loaded.value(b.column) == *value) {
            values->erase(value);
            continue;
        }
        const QString question = QStringLiteral("“%1”有 %2 个字符，最多只能保存 %3 个字符。\n"
                                                "是否截去多出的 %4 个字符后保存？")
                                     .arg(b.label)
                                     .arg(text.size())
                                     .arg(b.width)
                                     .arg(text.size() - b.width);
        if (ShowPrompt(question, Prompt::Question, Prompt::No) != Prompt::Yes) {
            b.box->setFocus();
            return false;
        }
        // Never half a character outside the Basic Multilingual Plane.
        *value = text.left(text.at(b.width - 1).isHighSurrogate() ? b.width - 1 : b.width);
    }
    return true;
}
