#pragma once

#include <QString>

// Message boxes behind one replaceable service, so windows stay testable.
namespace Prompt {
// QuestionCancel: a question that may also be called off (Cancel). Overwrite: a record changed
// by someone else since it was read, answered 覆盖 (Yes), 重新读取 (No) or 取消 (Cancel).
enum Kind {
    Information = 0,
    Question = 1,
    Warning = 2,
    Error = 3,
    QuestionCancel = 4,
    Overwrite = 5
};
enum Answer { Yes = 1, No = 2, Cancel = 3 };
} // namespace Prompt

class PromptService
{
public:
    virtual ~PromptService() = default;
    virtual int show(const QString &text, int kind, int defaultAnswer) = 0;
};

// Shows a message box of the given kind; for a question returns Prompt::Yes or Prompt::No (or
// Prompt::Cancel), `defaultAnswer` being the button that Enter presses.
int ShowPrompt(const QString &text, int kind, int defaultAnswer = Prompt::Yes);

// The service stays owned by the caller. Without one, texts go to stderr and questions
// are answered No (Cancel where it is offered), the answer that never destroys anything.
void setPromptService(PromptService *service);
PromptService *promptService();
