#pragma once

#include <QString>

// Message boxes behind one replaceable service, so windows stay testable.
namespace Prompt {
enum Kind { Information = 0, Question = 1, Warning = 2, Error = 3 };
enum Answer { Yes = 1, No = 2 };
} // namespace Prompt

class PromptService
{
public:
    virtual ~PromptService() = default;
    virtual int show(const QString &text, int kind, int defaultAnswer) = 0;
};

// Shows a message box of the given kind; for a question returns Prompt::Yes or Prompt::No,
// `defaultAnswer` being the button that Enter presses.
int ShowPrompt(const QString &text, int kind, int defaultAnswer = Prompt::Yes);

// The service stays owned by the caller. Without one, texts go to stderr and questions
// are answered No, the answer that never destroys anything.
void setPromptService(PromptService *service);
PromptService *promptService();
