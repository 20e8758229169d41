#include "download_window/CommandStrip.h"

#include "common/SameNamePolicy.h"
#include "download_window/WindowTexts.h"
#include "engine/DownloadList.h"
#include "engine/EngineOptions.h"
#include "widgets/NamedControl.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <type_traits>

using namespace WindowText;

namespace {

// Screen readers name a control by its caption, or by the caption of the
// label that leads to it.
// A drop-down box tells its chosen entry as its name, whatever is set; its
// caption goes into the description there.
template <typename Control>
Control *captioned(Control *control, const QString &caption)
{
    control->setAccessibleName(caption);
    if constexpr (std::is_base_of_v<QComboBox, Control>)
        control->setAccessibleDescription(caption);
    return control;
}

// The text after the blanks of the interval caption ("秒").
QString intervalUnit()
{
    return kInterval.mid(kIntervalPrefix.size()).trimmed();
}

// "两个文件下载间隔：        秒" with the interval box in its blanks: the words
// before and after the box are drawn beside it, whatever a blank measures.
class IntervalCaption final : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, kIntervalPrefix);
        QRect after = area;
        for (const QWidget *box : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            after.setLeft(std::max(after.left(), box->geometry().right() + 5));
        painter.drawText(after, Qt::AlignLeft | Qt::AlignVCenter, intervalUnit());
    }
};

} // namespace

CommandStrip::CommandStrip(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Picture3"));
    setFrameShape(QFrame::StyledPanel);

    Command4 = captioned(NamedControl(new QPushButton(kStart, this), "Command4"), kStart);
    Command31 = captioned(NamedControl(new QPushButton(kStop, this), "Command31"), kStop);
    Command31->setToolTip(kStop);
    Label7 = NamedControl(new QLabel(this), "Label7");
    Command26 = captioned(NamedControl(new QPushButton(kSwitch, this), "Command26"), kSwitch);
    Command26->setToolTip(kSwitchTip);
    Command26->setAccessibleDescription(kSwitchTip);

    threadLabel = NamedControl(new QLabel(kThreadCount, this), "threadLabel");
    Combo1 = captioned(NamedControl(new QComboBox(this), "Combo1"), kThreadCount);
    for (int threads = EngineOptions::kMinThreads; threads <= EngineOptions::kMaxThreads; ++threads)
        Combo1->addItem(QString::number(threads));
    threadLabel->setBuddy(Combo1);

    intervalLabel = NamedControl(new IntervalCaption(kInterval, this), "intervalLabel");
    Combo2 = captioned(NamedControl(new QComboBox(intervalLabel), "Combo2"), kIntervalPrefix);
    for (int seconds = 0; seconds <= EngineOptions::kMaxIntervalSeconds; ++seconds)
        Combo2->addItem(QString::number(seconds));
    intervalLabel->setBuddy(Combo2);
    placeIntervalBox();

    Check4 = captioned(NamedControl(new QCheckBox(kAutoStart, this), "Check4"), kAutoStart);
    Check5 = captioned(NamedControl(new QCheckBox(kErrorStop, this), "Check5"), kErrorStop);
    Check3 = captioned(NamedControl(new QCheckBox(kAutoRetry, this), "Check3"), kAutoRetry);
    Combo4 = captioned(NamedControl(new QComboBox(this), "Combo4"), kAutoRetry);
    Combo4->addItems({kRetryFailed, kRetryPages, kRetryBoth});
    Check6 = captioned(NamedControl(new QCheckBox(kSound, this), "Check6"), kSound);

    Shape1 = captioned(NamedControl(new QFrame(this), "Shape1"), kIndicator);
    Shape1->setFixedSize(12, 12);
    Shape1->setStyleSheet(QStringLiteral("background: #2fb84a; border-radius: 6px;"));
    Shape1->setToolTip(kIndicator);
    Shape1->setVisible(false);

    sameNameLabel = NamedControl(new QLabel(kSameName, this), "sameNameLabel");
    Option1 =
        captioned(NamedControl(new QRadioButton(SameNameCaption::kSkip, this), "Option1"), SameNameCaption::kSkip);
    Option2 = captioned(NamedControl(new QRadioButton(SameNameCaption::kOverwrite, this), "Option2"),
                        SameNameCaption::kOverwrite);
    Option3 =
        captioned(NamedControl(new QRadioButton(SameNameCaption::kRename, this), "Option3"), SameNameCaption::kRename);
    auto *sameName = new QButtonGroup(this);
    for (QRadioButton *option : {Option1, Option2, Option3})
        sameName->addButton(option);
    Option3->setChecked(true);
    sameNameLabel->setBuddy(Option1);

    Command1 = captioned(NamedControl(new QPushButton(kWebLogin, this), "Command1"), kWebLogin);
    listLabel = NamedControl(new QLabel(kListLabel, this), "listLabel");
    Label1 = NamedControl(new QLabel(RowCountText(0), this), "Label1");

    auto *scheduler = new QHBoxLayout;
    scheduler->addWidget(Command4);
    scheduler->addWidget(Command31);
    scheduler->addSpacing(8);
    scheduler->addWidget(Label7);
    scheduler->addWidget(Command26);
    scheduler->addSpacing(8);
    scheduler->addWidget(threadLabel);
    scheduler->addWidget(Combo1);
    scheduler->addSpacing(8);
    scheduler->addWidget(intervalLabel);
    scheduler->addSpacing(8);
    scheduler->addWidget(Shape1);
    scheduler->addStretch();
    scheduler->addWidget(Command1);

    auto *automatic = new QHBoxLayout;
    automatic->addWidget(Check4);
    automatic->addWidget(Check5);
    automatic->addWidget(Check3);
    automatic->addWidget(Combo4);
    automatic->addWidget(Check6);
    automatic->addStretch();

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(sameNameLabel);
    bottom->addWidget(Option1);
    bottom->addWidget(Option2);
    bottom->addWidget(Option3);
    bottom->addStretch();
    bottom->addWidget(listLabel);
    bottom->addWidget(Label1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    layout->addLayout(scheduler);
    layout->addLayout(automatic);
    layout->addLayout(bottom);

    // Tab order follows the strip from left to right, row by row.
    const QList<QWidget *> order{Command4, Command31, Command26, Combo1, Combo2,  Command1, Check4,
                                 Check5,   Check3,    Combo4,    Check6, Option1, Option2,  Option3};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QRadioButton *CommandStrip::sameNameOption(SameNamePolicy policy) const
{
    switch (policy) {
    case SameNamePolicy::Skip: return Option1;
    case SameNamePolicy::Overwrite: return Option2;
    case SameNamePolicy::Rename: break;
    }
    return Option3;
}

SameNamePolicy CommandStrip::selectedSameNamePolicy() const
{
    for (const SameNamePolicy policy : {SameNamePolicy::Skip, SameNamePolicy::Overwrite}) {
        if (sameNameOption(policy)->isChecked())
            return policy;
    }
    return SameNamePolicy::Rename;
}

void CommandStrip::selectSameNamePolicy(SameNamePolicy policy)
{
    sameNameOption(policy)->setChecked(true);
}

// The box lies over the run of blanks in the interval caption. The caption
// keeps its text; its two words are drawn on either side of the box.
void CommandStrip::placeIntervalBox()
{
    intervalLabel->setContentsMargins(0, 0, 0, 0);
    intervalLabel->setIndent(0);
    const QFontMetrics metrics(intervalLabel->font());
    const int boxLeft = metrics.horizontalAdvance(kIntervalPrefix) + 4;
    const QSize box = Combo2->sizeHint();
    Combo2->setGeometry(boxLeft, 0, box.width(), box.height());
    intervalLabel->setMinimumHeight(box.height());
    intervalLabel->setMinimumWidth(boxLeft + box.width() + 4 + metrics.horizontalAdvance(intervalUnit()));
}

// Image1: a soft vertical gradient behind the strip's controls.
void CommandStrip::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(248, 251, 255));
    gradient.setColorAt(1, QColor(222, 232, 244));
    painter.fillRect(rect(), gradient);
    painter.end();
    QFrame::paintEvent(event);
}
