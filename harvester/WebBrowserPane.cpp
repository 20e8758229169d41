#include "harvester/WebBrowserPane.h"

#include "harvester/LivePageReader.h"

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

// The first HTML link in document order whose rendered text, trimmed and
// lower-cased, is "next" is clicked, as a user would.
const char kClickNextScript[] = R"JS(
(function () {
  var links = document.getElementsByTagName('a');
  for (var i = 0; i < links.length; ++i) {
    var a = links[i];
    if (a.namespaceURI !== 'http://www.w3.org/1999/xhtml') continue;
    var text = a.innerText;
    if (typeof text === 'string' && text.trim().toLowerCase() === 'next') {
      a.click();
      return true;
    }
  }
  return false;
})()
)JS";

} // namespace

WebBrowserPane::WebBrowserPane(QWebEnginePage *page, QObject *parent) : BrowserPane(parent), m_page(page)
{
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        m_loading = false;
        emit documentCompleted();
    });
}

QString WebBrowserPane::clickNextScript()
{
    return QString::fromUtf8(kClickNextScript);
}

void WebBrowserPane::navigate(const QString &url)
{
    if (m_page)
        m_page->load(QUrl(url));
}

void WebBrowserPane::snapshot(QObject *context, std::function<void(const PageModel &)> done)
{
    if (!m_page) {
        QTimer::singleShot(0, context ? context : this, [done = std::move(done)] { done(PageModel()); });
        return;
    }
    LivePageReader::read(m_page, context, std::move(done));
}

void WebBrowserPane::clickNextLink(QObject *context, std::function<void(bool clicked)> done)
{
    if (!m_page) {
        QTimer::singleShot(0, context ? context : this, [done = std::move(done)] { done(false); });
        return;
    }
    const bool hasContext = context != nullptr;
    const QPointer<QObject> guard(context);
    m_page->runJavaScript(clickNextScript(), QWebEngineScript::ApplicationWorld,
                          [hasContext, guard, done = std::move(done)](const QVariant &answer) {
                              if (hasContext && guard.isNull())
                                  return;
                              // Anything but a plain "true" (no document, a
                              // script error) means there was no next page.
                              done(answer.typeId() == QMetaType::Bool && answer.toBool());
                          });
}
