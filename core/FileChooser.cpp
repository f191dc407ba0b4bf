#include "core/FileChooser.h"

#include <QFileDialog>
#include <optional>

namespace {
std::optional<QString> g_nextAnswer;

std::optional<QString> takePrimedAnswer()
{
    std::optional<QString> answer = std::move(g_nextAnswer);
    g_nextAnswer.reset();
    return answer;
}
} // namespace

QString FileChooser::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                  const QString &filter)
{
    if (std::optional<QString> primed = takePrimedAnswer())
        return *primed;
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

void FileChooser::setNextAnswer(const QString &answer)
{
    g_nextAnswer = answer;
}
