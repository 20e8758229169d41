#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>
#include <QString>

// Prompts for tests: records what the user would have been shown and answers
// from scripted queues. Without a scripted answer a message box answers its
// first button (OK or Yes), an input box and the file dialogs are cancelled.
class PromptRecorder final : public Prompts
{
public:
    enum class Kind { Message, Input, SaveFile, OpenFile, Folder };

    struct Record
    {
        Kind kind = Kind::Message;
        QString text;  // message text, input prompt, or dialog title
        QString title; // title as given (empty: the program's title)
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        QString start; // default text, start path or start folder
    };

    PromptAnswer message(const QString &text, const QString &title, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    QString saveFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString openFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString browseForFolder(const QString &title, const QString &startFolder) override;

    QList<Record> records;
    QQueue<PromptAnswer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> paths; // answers of the file dialogs and the folder browser

    QStringList messageTexts() const;
    void clear() { records.clear(); }
};
