#include "tests/support/PromptRecorder.h"

#include <QEventLoop>
#include <QTimer>

PromptAnswer PromptRecorder::message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    records.append({Kind::Message, text, title, icon, buttons, QString(), true});
    if (m_lateMs > 0) {
        // The box stays up while the user reads it; events go on meanwhile.
        QEventLoop box;
        QTimer::singleShot(m_lateMs, &box, &QEventLoop::quit);
        box.exec();
    }
    if (!answers.isEmpty())
        return answers.dequeue();
    return (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) ? PromptAnswer::Yes
                                                                                      : PromptAnswer::Ok;
}

void PromptRecorder::notify(const QString &text, const QString &title, PromptIcon icon)
{
    records.append({Kind::Message, text, title, icon, PromptButtons::Ok, QString(), false});
}

std::optional<QString> PromptRecorder::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    records.append({Kind::Input, prompt, title, PromptIcon::None, PromptButtons::OkCancel, defaultText});
    if (!inputs.isEmpty())
        return inputs.dequeue();
    return std::nullopt;
}

QString PromptRecorder::saveFileName(const QString &title, const QString &startPath, const QString &)
{
    records.append({Kind::SaveFile, title, title, PromptIcon::None, PromptButtons::OkCancel, startPath});
    return paths.isEmpty() ? QString() : paths.dequeue();
}

QString PromptRecorder::openFileName(const QString &title, const QString &startPath, const QString &)
{
    records.append({Kind::OpenFile, title, title, PromptIcon::None, PromptButtons::OkCancel, startPath});
    return paths.isEmpty() ? QString() : paths.dequeue();
}

QString PromptRecorder::browseForFolder(const QString &title, const QString &startFolder)
{
    records.append({Kind::Folder, title, title, PromptIcon::None, PromptButtons::OkCancel, startFolder});
    return paths.isEmpty() ? QString() : paths.dequeue();
}

QStringList PromptRecorder::messageTexts() const
{
    QStringList texts;
    for (const Record &record : records) {
        if (record.kind == Kind::Message)
            texts.append(record.text);
    }
    return texts;
}
