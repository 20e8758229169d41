#include "about/AboutBox.h"

#include "about/AboutTexts.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "updates/UpdateCheck.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(Prompts &prompts, Registry &registry, QWidget *parent)
    : QDialog(parent),
      m_prompts(prompts),
      m_registry(registry),
      m_launcher([](const QString &program) { return QProcess::startDetached(program, {}); })
{
    setObjectName(kAboutWindowName);
    setWindowTitle(kAboutCaptionOpen + kProgramTitle + kAboutCaptionClose);
    setWindowIcon(QApplication::windowIcon());
    setModal(true);

    lsoftname = new QLabel(kProgramTitle, this);
    lsoftname->setObjectName(QStringLiteral("lsoftname"));
    QFont titleFont = lsoftname->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lsoftname->setFont(titleFont);
    lblVersion = new QLabel(kAboutVersionPrefix + VersionText(RunningVersion()), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    cmdOK = new QPushButton(kAboutOk, this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(kAboutSysInfo, this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    for (QWidget *widget : {static_cast<QWidget *>(lsoftname), static_cast<QWidget *>(lblVersion)})
        widget->setAccessibleName(static_cast<QLabel *>(widget)->text());
    cmdOK->setAccessibleName(kAboutOk);
    cmdSysInfo->setAccessibleName(QString(kAboutSysInfo).remove(QStringLiteral("(&S)")));

    auto *icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto *text = new QVBoxLayout;
    text->addWidget(lsoftname);
    text->addWidget(lblVersion);
    text->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    top->addLayout(buttons);
    setLayout(top);
    setMinimumWidth(380);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::startSysInfo);
}

void AboutBox::startSysInfo()
{
    if (const auto program = m_registry.keyValue(RootKey::LocalMachine, kSysInfoKey, kSysInfoValue)) {
        if (!program->isEmpty() && m_launcher(*program))
            return;
    } else if (const auto folder =
                   m_registry.keyValue(RootKey::LocalMachine, kSysInfoLocationKey, kSysInfoLocationValue)) {
        const QString program = QDir(*folder).filePath(kSysInfoProgram);
        if (!folder->isEmpty() && QFileInfo(program).isFile() && m_launcher(program))
            return;
    }
    m_prompts.message(kSysInfoUnavailable, QString(), PromptIcon::None, PromptButtons::Ok);
}

void ShowAboutBox(Prompts &prompts, QWidget *parent)
{
    Registry registry;
    AboutBox box(prompts, registry, parent);
    box.exec();
}
