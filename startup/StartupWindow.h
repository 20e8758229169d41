#pragma once

#include "download_window/DownloadWindow.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;
class Registry;
class UpdateCheck;
class XmlHttp;

// What the startup window needs beyond the main windows' services.
struct StartupServices
{
    DownloadWindowServices windows;
    Registry &registry;
    QString updateBase; // empty: no update check
    // Ends the whole program at once (closing the startup window).
    std::function<void()> endProgram;
};

// fCover, the startup window: the picture with the version and the notice,
// the two buttons, and what the rest of the program needs at start (the
// system's description, the size limit, the browser's emulation value); 100
// ms after it loads it starts the update check once. "资料检索下载" hides it
// and shows the search window; closing it in any way ends the program. It
// stays loaded, hidden, while the main windows are open, and is shown again
// when the last of them closes.
class StartupWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit StartupWindow(const StartupServices &services, QWidget *parent = nullptr);
    ~StartupWindow() override;

    // OsDescription as made at start.
    QString osDescription() const { return m_osDescription; }
    // The program page the new-version label opens.
    QString programPage() const;

    QLabel *Image1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;
    QTimer *Timer1 = nullptr;
    XmlHttp *uXMLHTTP2 = nullptr;

    // "资料检索下载": hides this window and shows the search window.
    void openSearchWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeControls();
    void showNewerVersion(const QString &version);

    StartupServices m_services;
    UpdateCheck *m_updateCheck = nullptr;
    QString m_osDescription;
};
