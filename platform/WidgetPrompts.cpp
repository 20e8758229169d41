#include "platform/WidgetPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QString titleOrProgram(const QString &title)
{
    return title.isEmpty() ? kProgramTitle : title;
}

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

PromptAnswer WidgetPrompts::message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    QMessageBox box(toQtIcon(icon), titleOrProgram(title), text, toQtButtons(buttons), m_parent);
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    default: return PromptAnswer::Ok;
    }
}

void WidgetPrompts::notify(const QString &text, const QString &title, PromptIcon icon)
{
    // open() shows the box window-modal and returns at once; the box deletes
    // itself when the user closes it.
    auto *box = new QMessageBox(toQtIcon(icon), titleOrProgram(title), text, QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

std::optional<QString> WidgetPrompts::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, titleOrProgram(title), prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString WidgetPrompts::saveFileName(const QString &title, const QString &startPath, const QString &filter)
{
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(m_parent, titleOrProgram(title), startPath, filter));
}

QString WidgetPrompts::openFileName(const QString &title, const QString &startPath, const QString &filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(m_parent, titleOrProgram(title), startPath, filter));
}

QString WidgetPrompts::browseForFolder(const QString &title, const QString &startFolder)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(m_parent, titleOrProgram(title), startFolder));
}
