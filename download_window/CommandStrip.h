#pragma once

#include "common/SameNamePolicy.h"

#include <QFrame>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Picture3, the command strip above the download list: the scheduler's
// controls, the same-name options, the login button and the row count.
// It only shows controls; the window binds them to the engine.
class CommandStrip final : public QFrame
{
    Q_OBJECT

public:
    explicit CommandStrip(QWidget *parent = nullptr);

    QPushButton *Command4;  // "开始下载"
    QPushButton *Command31; // "停止下载"
    QLabel *Label7;         // "下载方式：" and the method
    QPushButton *Command26; // "切换"
    QLabel *threadLabel;    // "线程数："
    QComboBox *Combo1;      // "1" to "6"
    QLabel *intervalLabel;  // "两个文件下载间隔：        秒", Combo2 in its blanks
    QComboBox *Combo2;      // "0" to "600"
    QCheckBox *Check4;
    QCheckBox *Check5;
    QCheckBox *Check3;
    QComboBox *Combo4;
    QCheckBox *Check6;
    QFrame *Shape1;        // shown while downloading is on
    QLabel *sameNameLabel; // "同名文件："
    QRadioButton *Option1; // "跳过"
    QRadioButton *Option2; // "覆盖"
    QRadioButton *Option3; // "重命名"
    QPushButton *Command1; // "网页登录"
    QLabel *listLabel;     // "下载列表："
    QLabel *Label1;        // the number of rows and "条"

    // The same-name option of a rule: Option1 "跳过", Option2 "覆盖",
    // Option3 "重命名".
    QRadioButton *sameNameOption(SameNamePolicy policy) const;
    // The rule of the chosen same-name option.
    SameNamePolicy selectedSameNamePolicy() const;
    void selectSameNamePolicy(SameNamePolicy policy);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void placeIntervalBox();
};
