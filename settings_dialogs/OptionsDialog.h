#pragma once

#include "common/DownloadMethod.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Prompts;
class StoredSettings;
struct SessionSettings;

// fOption, the options dialog: download method, the proxy of method one, the
// size limit and whether the search window asks for a save folder. OK writes
// the store and the record together and announces a chosen method, which a
// loaded download window shows at once; "关闭" and the close box keep everything
// as it was.
class OptionsDialog final : public QDialog
{
    Q_OBJECT

public:
    OptionsDialog(StoredSettings &stored, SessionSettings &session, Prompts &prompts, QWidget *parent = nullptr);

    // Creates the dialog, shows it modally and destroys it when it closes.
    // onMethodConfirmed, when given, receives methodConfirmed.
    static void showModal(StoredSettings &stored, SessionSettings &session, Prompts &prompts, QWidget *parent = nullptr,
                          const std::function<void(DownloadMethod method)> &onMethodConfirmed = {});

    QLabel *Label1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QCheckBox *Check1;
    QLabel *Label14;
    QLineEdit *Text6;
    QLabel *Label6;
    QLabel *Label15;
    QLineEdit *Text8;
    QLabel *Label10;
    QCheckBox *Check2;
    QLabel *Label2;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;

signals:
    // OK with "下载方式一" (Single) or "下载方式二" (Parallel) chosen, before
    // the values are stored. The download window sets its method label and
    // its thread-count box from it.
    void methodConfirmed(DownloadMethod method);

private:
    void buildControls();
    void placeSizeBox();
    void Command1_Click();

    StoredSettings &m_stored;
    SessionSettings &m_session;
    Prompts &m_prompts;
    DownloadMethod m_openingMethod = DownloadMethod::NotRead;
};
