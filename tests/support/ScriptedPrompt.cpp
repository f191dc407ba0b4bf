#include "support/ScriptedPrompt.h"

ScriptedPrompt::ScriptedPrompt() : m_previous(promptService())
{
    setPromptService(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    setPromptService(m_previous);
}

int ScriptedPrompt::show(const QString &text, int kind, int defaultAnswer)
{
    shown.append({text, kind, defaultAnswer});
    if (kind != Prompt::Question && kind != Prompt::QuestionCancel && kind != Prompt::Overwrite)
        return Prompt::Yes;
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return kind == Prompt::Question ? Prompt::No : Prompt::Cancel;
}

void ScriptedPrompt::answer(std::initializer_list<int> answers)
{
    for (int a : answers)
        m_answers.enqueue(a);
}

QStringList ScriptedPrompt::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}
