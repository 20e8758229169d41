#include "browser/BrowserPage.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile ? profile : QWebEngineProfile::defaultProfile(), parent)
{
    // The request is answered here and never opened anywhere, so no window
    // comes up; the target, when it names a page, is loaded in this page.
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) { openRequestHere(request.requestedUrl()); });
    // windowCloseRequested is left unanswered: a page's window.close() does
    // not close the view.
}

void BrowserPage::openRequestHere(const QUrl &url)
{
    // The engine reports an empty or refused target as about:blank, with a
    // fragment such as "#blocked"; neither names a page to show.
    const QString target = url.adjusted(QUrl::RemoveFragment).toString().trimmed();
    if (target.isEmpty() || target.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0)
        return;
    load(url);
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType)
{
    return nullptr; // newWindowRequested has loaded the target here already
}

void BrowserPage::javaScriptAlert(const QUrl &securityOrigin, const QString &message)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(securityOrigin, message);
}

bool BrowserPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    return !m_silent && QWebEnginePage::javaScriptConfirm(securityOrigin, message);
}

bool BrowserPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &message, const QString &defaultValue,
                                   QString *result)
{
    return !m_silent && QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) {}
