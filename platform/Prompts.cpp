#include "platform/Prompts.h"

void Prompts::error(const QString &text, const QString &title)
{
    message(text, title, PromptIcon::Error, PromptButtons::Ok);
}

void Prompts::information(const QString &text, const QString &title)
{
    message(text, title, PromptIcon::Information, PromptButtons::Ok);
}

bool Prompts::askYesNo(const QString &text, const QString &title)
{
    return message(text, title, PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
}
