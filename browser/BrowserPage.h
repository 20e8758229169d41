#pragma once

#include <QWebEnginePage>

// The page of the embedded browser. A request for a new window (a link with
// target=_blank, window.open) is shown in this page instead, and a page's
// window.close() is refused: nothing a page does can add or remove a window
// of the program. While silent, the page's alert, confirm and prompt boxes
// are not shown (confirm and prompt answer "cancel"). Messages a page writes
// to its console are never logged: a login page may print what was typed.
class BrowserPage final : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit BrowserPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceId) override;

private:
    void openRequestHere(const QUrl &url);

    bool m_silent = false;
};
