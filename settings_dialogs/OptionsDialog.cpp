#include "settings_dialogs/OptionsDialog.h"

#include "common/CommonTexts.h"
#include "common/SessionSettings.h"
#include "platform/Prompts.h"
#include "platform/SettingsStore.h"
#include "settings/OptionsRules.h"
#include "settings/SettingsProcedures.h"
#include "settings/SettingsTexts.h"
#include "widgets/NamedControl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace SettingsText;

OptionsDialog::OptionsDialog(StoredSettings &stored, SessionSettings &session, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_stored(stored), m_session(session), m_prompts(prompts)
{
    setObjectName(kOptionsWindowName);
    setWindowTitle(WindowCaption(kOptionsCaption));
    buildControls();

    const OptionsForm form = OpeningOptionsForm(m_session, m_stored);
    m_openingMethod = OpeningDownloadMethod(m_session, m_stored);
    Check1->setChecked(form.proxyTicked);
    Text6->setText(form.proxyAddress);
    Text8->setText(form.proxyPort);
    // Both radio buttons start cleared: a method other than 1 or 2 shows neither.
    Option1->setChecked(form.methodOne);
    Option2->setChecked(form.methodTwo);
    Check2->setChecked(form.askTicked);
    Text1->setText(form.sizeText);

    connect(Command1, &QPushButton::clicked, this, &OptionsDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void OptionsDialog::buildControls()
{
    Label1 = NamedControl(new QLabel(CommonText::kMethodLabel, this), "Label1");
    Option1 = NamedControl(new QRadioButton(kMethodOne, this), "Option1");
    Option2 = NamedControl(new QRadioButton(kMethodTwo, this), "Option2");

    Check1 = NamedControl(new QCheckBox(kUseProxy, this), "Check1");
    Label14 = NamedControl(new QLabel(kProxyAddressLabel, this), "Label14");
    Text6 = NamedControl(new QLineEdit(this), "Text6");
    Label6 = NamedControl(new QLabel(kProxyAddressHint, this), "Label6");
    Label15 = NamedControl(new QLabel(kProxyPortLabel, this), "Label15");
    Text8 = NamedControl(new QLineEdit(this), "Text8");
    Label10 = NamedControl(new QLabel(kProxyPortHint, this), "Label10");
    Check2 = NamedControl(new QCheckBox(kAskSaveFolder, this), "Check2");
    Label2 = NamedControl(new QLabel(kSizeLimitCaption, this), "Label2");
    Text1 = NamedControl(new QLineEdit(kSizeLimitDesigned, Label2), "Text1");
    Command1 = NamedControl(new QPushButton(kOk, this), "Command1");
    Command2 = NamedControl(new QPushButton(kClose, this), "Command2");
    Label14->setBuddy(Text6);
    Label15->setBuddy(Text8);
    placeSizeBox();

    auto *proxy = new QGridLayout;
    proxy->addWidget(Label14, 0, 0);
    proxy->addWidget(Text6, 0, 1);
    proxy->addWidget(Label6, 1, 1);
    proxy->addWidget(Label15, 2, 0);
    proxy->addWidget(Text8, 2, 1);
    proxy->addWidget(Label10, 3, 1);
    proxy->setContentsMargins(24, 0, 0, 0);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Option1);
    layout->addWidget(Option2);
    layout->addWidget(Check1);
    layout->addLayout(proxy);
    layout->addWidget(Check2);
    layout->addWidget(Label2);
    layout->addLayout(buttons);

    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Check1);
    setTabOrder(Check1, Text6);
    setTabOrder(Text6, Text8);
    setTabOrder(Text8, Check2);
    setTabOrder(Check2, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
}

// The size box lies over the run of blanks in Label2's caption. The blanks are
// widened (word spacing) until the box fits four digits.
void OptionsDialog::placeSizeBox()
{
    Label2->setContentsMargins(0, 0, 0, 0);
    Label2->setIndent(0);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const qsizetype gapLength = kSizeLimitCaption.size() - kSizeLimitPrefix.size() - 2; // the blanks before "MB"
    const int boxWidth = Text1->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8;

    QFont font = Label2->font();
    QFontMetrics metrics(font);
    const int blanks = metrics.horizontalAdvance(QString(gapLength, QLatin1Char(' ')));
    if (blanks < boxWidth + 4) {
        font.setWordSpacing(qreal(boxWidth + 4 - blanks) / qreal(gapLength));
        Label2->setFont(font);
        metrics = QFontMetrics(font);
    }
    const int boxLeft = metrics.horizontalAdvance(kSizeLimitPrefix) + 2;
    const int boxHeight = Text1->sizeHint().height();
    Label2->setMinimumHeight(boxHeight);
    Text1->setGeometry(boxLeft, 0, boxWidth, boxHeight);
}

void OptionsDialog::showModal(StoredSettings &stored, SessionSettings &session, Prompts &prompts, QWidget *parent,
                              const std::function<void(DownloadMethod method)> &onMethodConfirmed)
{
    OptionsDialog dialog(stored, session, prompts, parent);
    if (onMethodConfirmed)
        connect(&dialog, &OptionsDialog::methodConfirmed, &dialog, onMethodConfirmed);
    dialog.exec();
}

void OptionsDialog::Command1_Click()
{
    OptionsForm form;
    form.methodOne = Option1->isChecked();
    form.methodTwo = Option2->isChecked();
    form.proxyTicked = Check1->isChecked();
    form.proxyAddress = Text6->text();
    form.proxyPort = Text8->text();
    form.askTicked = Check2->isChecked();
    form.sizeText = Text1->text();
    const OptionsConfirmation confirmed = ConfirmOptionsForm(form, m_openingMethod, m_session.MaxFileSizeMB);

    // A loaded download window shows a chosen method at once, before anything
    // is stored; with neither option chosen it keeps its display.
    if (form.methodOne || form.methodTwo)
        emit methodConfirmed(confirmed.values.downloadMethod);

    SaveOptions(m_stored, m_session, confirmed.values);
    // The values are stored already; the messages only tell the user.
    if (confirmed.proxyMalformed)
        m_prompts.error(kProxyMalformed);
    if (confirmed.sizeRefused)
        m_prompts.error(kSizeRefused + NumberToSettingText(confirmed.values.maxFileSizeMB) + kMegabytes);
    accept();
}
