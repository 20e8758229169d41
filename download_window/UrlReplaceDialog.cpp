#include "download_window/UrlReplaceDialog.h"

#include "download_window/CommandTexts.h"
#include "download_window/UrlReplace.h"
#include "platform/Prompts.h"
#include "widgets/NamedControl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

UrlReplaceDialog::UrlReplaceDialog(DownloadList &list, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_list(list), m_prompts(prompts)
{
    setObjectName(QStringLiteral("UrlReplace"));
    setWindowTitle(CommandText::kUrlReplaceCaption + QStringLiteral("-") + kProgramTitle);
    if (parent)
        setWindowIcon(parent->windowIcon());

    Label1 = NamedControl(new QLabel(CommandText::kFindLabel, this), "Label1");
    Text1 = NamedControl(new QLineEdit(this), "Text1");
    Label2 = NamedControl(new QLabel(CommandText::kReplaceLabel, this), "Label2");
    Text2 = NamedControl(new QLineEdit(this), "Text2");
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Command1 = NamedControl(new QPushButton(CommandText::kReplaceButton, this), "Command1");
    Command2 = NamedControl(new QPushButton(CommandText::kCancelButton, this), "Command2");
    Command1->setDefault(true);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Text1, 1, 0);
    fields->addWidget(Label2, 2, 0);
    fields->addWidget(Text2, 3, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    connect(Command1, &QPushButton::clicked, this, &UrlReplaceDialog::replace);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void UrlReplaceDialog::replace()
{
    if (Text1->text().trimmed().isEmpty()) {
        m_prompts.error(CommandText::kEnterString);
        return;
    }
    // The text is used as typed: blanks around it are part of what is sought.
    const UrlReplaceResult result = ReplaceInUrls(m_list, Text1->text(), Text2->text());
    accept();
    m_prompts.information(CommandText::kUrlsReplaced);
    if (result.refusedRows > 0) {
        m_prompts.information(CommandText::kDuplicateUrlsPrefix + QString::number(result.refusedRows)
                              + CommandText::kDuplicateUrlsSuffix);
    }
}
