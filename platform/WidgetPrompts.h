#pragma once

#include "platform/Prompts.h"

#include <QPointer>
#include <QWidget>

// The real prompts: Qt message boxes, input dialogs, file dialogs and the
// folder dialog, modal over the given window.
class WidgetPrompts final : public Prompts
{
public:
    explicit WidgetPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParentWindow(QWidget *parent) { m_parent = parent; }

    PromptAnswer message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override;
    void notify(const QString &text, const QString &title, PromptIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString openFileName(const QString &title, const QString &startPath, const QString &filter) override;
    QString browseForFolder(const QString &title, const QString &startFolder) override;

private:
    QPointer<QWidget> m_parent;
};
