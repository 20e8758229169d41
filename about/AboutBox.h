#pragma once

#include <QDialog>
#include <functional>

class Prompts;
class QLabel;
class QPushButton;
class Registry;

// frmAbout, the About box: the program's title and version, "确定" and the
// system-information button. Shown modally by the main windows' "关于".
class AboutBox final : public QDialog
{
    Q_OBJECT

public:
    // Starts a program in a window of its own; true when it started.
    using Launcher = std::function<bool(const QString &program)>;

    AboutBox(Prompts &prompts, Registry &registry, QWidget *parent = nullptr);

    // Tests start nothing: they record what would have been started.
    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // StartSysInfo: starts the system-information program registered in the
    // registry; "此时系统信息不可用" when none is registered or it does not start.
    void startSysInfo();

    QLabel *lsoftname = nullptr;
    QLabel *lblVersion = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

private:
    Prompts &m_prompts;
    Registry &m_registry;
    Launcher m_launcher;
};

// The About box over the registry of this user, modal on the given window.
void ShowAboutBox(Prompts &prompts, QWidget *parent);
