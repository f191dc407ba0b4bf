#include "core/Prompt.h"

#include <QDebug>

namespace {
PromptService *g_service = nullptr;
}

int ShowPrompt(const QString &text, int kind, int defaultAnswer)
{
    if (g_service)
        return g_service->show(text, kind, defaultAnswer);
    qWarning().noquote() << text;
    return kind == Prompt::QuestionCancel || kind == Prompt::Overwrite ? Prompt::Cancel
                                                                       : Prompt::No;
}

void setPromptService(PromptService *service)
{
    g_service = service;
}

PromptService *promptService()
{
    return g_service;
}
