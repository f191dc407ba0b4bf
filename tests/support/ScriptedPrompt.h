#pragma once

#include "core/Prompt.h"

#include <QList>
#include <QQueue>
#include <QString>

// Stands in for the message boxes while it lives: records every text shown and answers
// questions from a script (No, or Cancel where offered, once the script is used up).
class ScriptedPrompt : public PromptService
{
public:
    struct Shown
    {
        QString text;
        int kind;
        int defaultAnswer;
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    int show(const QString &text, int kind, int defaultAnswer) override;

    void answer(std::initializer_list<int> answers);
    QList<Shown> shown;
    QStringList texts() const;
    void clear() { shown.clear(); }

private:
    QQueue<int> m_answers;
    PromptService *m_previous;
};
