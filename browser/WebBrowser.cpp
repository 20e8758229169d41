#include "browser/WebBrowser.h"

#include "browser/BrowserPage.h"

#include <QPointer>
#include <QUrl>
#include <QWebEngineScript>

WebBrowser::WebBrowser(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent), m_page(new BrowserPage(profile, this))
{
    setPage(m_page);
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { m_busy = true; });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] {
        m_busy = false;
        emit documentCompleted();
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, &WebBrowser::statusTextChanged);
}

void WebBrowser::navigate(const QString &address)
{
    m_page->load(QUrl::fromUserInput(address.trimmed()));
}

void WebBrowser::navigateExactly(const QString &address)
{
    m_page->load(QUrl(address));
}

void WebBrowser::goBack()
{
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebBrowser::goForward()
{
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebBrowser::refresh()
{
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebBrowser::setSilent(bool silent)
{
    m_page->setSilent(silent);
}

bool WebBrowser::isSilent() const
{
    return m_page->isSilent();
}

void WebBrowser::runScript(const QString &script, QObject *context, ScriptAnswer answer)
{
    if (!context || !answer) {
        m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld);
        return;
    }
    const QPointer<QObject> guard(context);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [guard, answer = std::move(answer)](const QVariant &value) {
                              if (guard)
                                  answer(value);
                          });
}
