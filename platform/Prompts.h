#pragma once

#include <QString>
#include <optional>

// Every message box, input box, file dialog and folder browser of the program
// goes through this one interface, so that tests can record what the user
// would have been shown and answer it.
enum class PromptIcon { None, Error, Information, Question, Warning };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompts
{
public:
    virtual ~Prompts() = default;

    // A modal message; an empty title shows the program's title. Only for a
    // user's own command: it waits for the answer.
    virtual PromptAnswer message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) = 0;

    // A message with an OK button that is shown and left on screen: the call
    // returns at once, without waiting for the user. The core uses it from
    // network and timer handlers, which must never wait inside themselves.
    virtual void notify(const QString &text, const QString &title, PromptIcon icon) = 0;

    // An input box; std::nullopt when the user cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) = 0;

    // File dialogs; an empty text when the user cancelled.
    virtual QString saveFileName(const QString &title, const QString &startPath, const QString &filter) = 0;
    virtual QString openFileName(const QString &title, const QString &startPath, const QString &filter) = 0;

    // The folder browser; an empty text when the user cancelled.
    virtual QString browseForFolder(const QString &title, const QString &startFolder) = 0;

    // Shorthands for the common cases.
    void error(const QString &text, const QString &title = QString());
    void information(const QString &text, const QString &title = QString());
    bool askYesNo(const QString &text, const QString &title = QString());
};

// The program's title, shown by message boxes without a title of their own.
inline const QString kProgramTitle = QStringLiteral("Paperdrift");
