#include "cli/ConsolePrompts.h"

PromptAnswer ConsolePrompts::message(const QString &text, const QString &, PromptIcon, PromptButtons buttons)
{
    m_err << m_prefix << text << '\n';
    m_err.flush();
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::OkCancel: return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel: return PromptAnswer::No;
    }
    return PromptAnswer::Ok;
}

void ConsolePrompts::notify(const QString &text, const QString &, PromptIcon)
{
    m_err << m_prefix << text << '\n';
    m_err.flush();
}

std::optional<QString> ConsolePrompts::input(const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

QString ConsolePrompts::saveFileName(const QString &, const QString &, const QString &)
{
    return QString();
}
QString ConsolePrompts::openFileName(const QString &, const QString &, const QString &)
{
    return QString();
}
QString ConsolePrompts::browseForFolder(const QString &, const QString &)
{
    return QString();
}
