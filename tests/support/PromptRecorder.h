#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>
#include <QString>

// Prompts for tests: records what the user would have been shown and answers
// from scripted queues. Without a scripted answer a message box answers its
// first button (OK or Yes), an input box and the file dialogs are cancelled.
//
// With answerLate(ms), a modal message keeps its box "open" for that long
// before it answers, letting events run meanwhile as a real modal box does.
// Any waiting message left in a network or timer handler then shows up as
// that handler being entered again. Non-blocking notices never wait.
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
        QString start;      // default text, start path or start folder
        bool waited = true; // a modal message; false for a notice left on screen
    };

    PromptAnswer message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override;
    void notify(const QString &text, const QString &title, PromptIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString openFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString browseForFolder(const QString &title, const QString &startFolder) override;

    QList<Record> records;
    QQueue<PromptAnswer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> paths; // answers of the file dialogs and the folder browser

    // Modal messages answer only after this many milliseconds (0: at once).
    void answerLate(int milliseconds) { m_lateMs = milliseconds; }

    QStringList messageTexts() const; // modal messages and notices, in order
    void clear() { records.clear(); }

private:
    int m_lateMs = 0;
};
