#include "widgets/InputBox.h"

#include <QInputDialog>
#include <QLineEdit>

namespace {
bool g_primed = false;
std::optional<QString> g_next;
} // namespace

namespace {

std::optional<QString> ask(QWidget *parent, const QString &caption, const QString &prompt,
                           QLineEdit::EchoMode echo, const QString &initial)
{
    if (g_primed) {
        g_primed = false;
        return std::exchange(g_next, std::nullopt);
    }
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, echo, initial, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

} // namespace

std::optional<QString> InputBox::secret(QWidget *parent, const QString &caption,
                                        const QString &prompt)
{
    return ask(parent, caption, prompt, QLineEdit::Password, QString());
}

std::optional<QString> InputBox::text(QWidget *parent, const QString &caption,
                                      const QString &prompt, const QString &text)
{
    return ask(parent, caption, prompt, QLineEdit::Normal, text);
}

void InputBox::setNextAnswer(const std::optional<QString> &answer)
{
    g_primed = true;
    g_next = answer;
}
