#pragma once

#include <QVariant>
#include <QWebEngineView>
#include <functional>

class BrowserPage;
class QWebEngineProfile;

// WebBrowser: the embedded browser component of the login panel and the
// search window. A view over a BrowserPage (new windows stay in the view,
// window.close() is refused, Silent suppresses the page's dialog boxes).
//
// Busy is true from the start of a navigation until its load has finished;
// documentCompleted follows every finished load. The view's own
// titleChanged(QString) reports the shown page's title.
//
// The page lives in another process, so a script answers later, through a
// callback. The callback is dropped when its context object is gone; an
// answer may also never come (the page navigated away, the renderer hung),
// so a caller that needs one bounds its wait with a limit of its own.
class WebBrowser final : public QWebEngineView
{
    Q_OBJECT

public:
    using ScriptAnswer = std::function<void(const QVariant &answer)>;

    // Without a profile the browser uses the program's default profile.
    explicit WebBrowser(QWebEngineProfile *profile = nullptr, QWidget *parent = nullptr);

    BrowserPage *browserPage() const { return m_page; }

    // Navigate: starts loading the address as typed (a scheme may be left
    // out); returns at once.
    void navigate(const QString &address);
    // Starts loading the address exactly as given: no scheme is added, so an
    // address without one names no page.
    void navigateExactly(const QString &address);
    // GoBack, GoForward: nothing happens when there is no history.
    void goBack();
    void goForward();
    void refresh();

    bool isBusy() const { return m_busy; }

    void setSilent(bool silent);
    bool isSilent() const;

    // Runs the script in a world of its own beside the page's scripts (the
    // document is shared, the page's variables are not) and hands its value
    // to `answer` unless `context` is gone by then. Without a context the
    // script runs and its value is dropped.
    void runScript(const QString &script, QObject *context, ScriptAnswer answer);

signals:
    void documentCompleted();
    // The status text: the target of the link under the pointer, empty when
    // the pointer leaves it.
    void statusTextChanged(const QString &text);

private:
    BrowserPage *m_page;
    bool m_busy = false;
};
