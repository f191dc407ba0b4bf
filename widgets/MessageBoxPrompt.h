#pragma once

#include "core/Prompt.h"

// The message boxes the user sees: information, question (是/否), warning, error.
class MessageBoxPrompt : public PromptService
{
public:
    int show(const QString &text, int kind, int defaultAnswer) override;
};
