#include "widgets/InputBox.h"

#include <QInputDialog>
#include <QLineEdit>

namespace {
bool g_primed = false;
std::optional<QString> g_next;
} // namespace

std::optional<QString> InputBox::secret(QWidget *parent, const QString &caption,
                                        const QString &prompt)
{
    if (g_primed) {
        g_primed = false;
        return std::exchange(g_next, std::nullopt);
    }
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Password, QString(), &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

void InputBox::setNextAnswer(const std::optional<QString> &answer)
{
    g_primed = true;
    g_next = answer;
}
