#pragma once

#include <QString>
#include <optional>

class QWidget;

// A line of text asked for in a small box (the restore code, a new code), behind a seam: a test
// primes the next answer instead of a box appearing.
class InputBox
{
public:
    // What was typed (shown as dots), or nothing when the user cancelled.
    static std::optional<QString> secret(QWidget *parent, const QString &caption,
                                         const QString &prompt);
    // A plain text, starting from `text`.
    static std::optional<QString> text(QWidget *parent, const QString &caption,
                                       const QString &prompt, const QString &text);
    // The next call answers `answer` (nothing: cancelled) without showing a box.
    static void setNextAnswer(const std::optional<QString> &answer);
};
