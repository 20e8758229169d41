#pragma once

#include "platform/Prompts.h"

#include <QTextStream>

// The prompts of a program without windows: messages go to standard error as
// lines, questions are answered No (or Cancel), input and file dialogs are
// cancelled. Nothing waits for a user.
class ConsolePrompts final : public Prompts
{
public:
    ConsolePrompts(QTextStream &err, const QString &prefix) : m_err(err), m_prefix(prefix) {}

    PromptAnswer message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override;
    void notify(const QString &text, const QString &title, PromptIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString openFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString browseForFolder(const QString &title, const QString &startFolder) override;

private:
    QTextStream &m_err;
    QString m_prefix;
};
