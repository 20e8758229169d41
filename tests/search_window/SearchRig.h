#pragma once

// What the search window's suites share: the window over a real settings
// file, a fresh browser profile and recorded prompts, sounds and shell; and
// the save-folder dialog answered as a user would, its folder chosen through
// the folder browser of the prompts.
#include "download_window/DownloadWindow.h"
#include "search_window/SearchWindow.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/WindowServicesRig.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineProfile>

#include <memory>

struct SearchRig : WindowServicesRig
{
    QPointer<SearchWindow> window;
    QPointer<DownloadWindow> downloadWindow;

    SearchWindow *open()
    {
        window = new SearchWindow(services());
        window->show();
        return window;
    }

    // Windows go before the profile their pages live in.
    ~SearchRig()
    {
        if (window)
            downloadWindow = window->downloadWindow();
        delete window.data();
        delete downloadWindow.data();
        profile.reset();
    }
};

// Answers the next save-folder dialog: "..." picks `folder` through the
// folder browser, then "确定". Counts the dialogs answered.
class SaveFolderAnswer : public QObject
{
public:
    SaveFolderAnswer(PromptRecorder &prompts, const QString &folder) : m_prompts(prompts), m_folder(folder)
    {
        connect(&m_watch, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != QLatin1String("fSeleFileSavePath"))
                return;
            m_prompts.paths.enqueue(m_folder);
            modal->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            modal->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
            ++answered;
        });
        m_watch.start(50);
    }

    int answered = 0;

private:
    PromptRecorder &m_prompts;
    QString m_folder;
    QTimer m_watch;
};
