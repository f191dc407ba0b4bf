#include "widgets/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <optional>

namespace {
struct Primed
{
    QString answer;
    QString selectedFilter;
};
std::optional<Primed> g_next;

std::optional<Primed> takePrimedAnswer()
{
    std::optional<Primed> primed = std::move(g_next);
    g_next.reset();
    return primed;
}
} // namespace

QString FileChooser::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                  const QString &filter)
{
    if (std::optional<Primed> primed = takePrimedAnswer())
        return primed->answer;
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString FileChooser::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                  const QString &filter, QString *selectedFilter)
{
    if (std::optional<Primed> primed = takePrimedAnswer()) {
        *selectedFilter = primed->selectedFilter;
        return primed->answer;
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString FileChooser::folder(QWidget *parent, const QString &caption, const QString &dir)
{
    QString chosen;
    if (std::optional<Primed> primed = takePrimedAnswer())
        chosen = primed->answer;
    else
        chosen = QFileDialog::getExistingDirectory(parent, caption, dir);
    return chosen.isEmpty() ? dir : QDir::toNativeSeparators(chosen);
}

void FileChooser::setNextAnswer(const QString &answer, const QString &selectedFilter)
{
    g_next = Primed{answer, selectedFilter};
}
