#pragma once

#include "harvester/BrowserPane.h"

#include <QPointer>
#include <QWebEnginePage>

// The browser pane over a live browser page: loading state from the page's
// load signals, the document read with one script run, the "next" link found
// and clicked with another.
class WebBrowserPane final : public BrowserPane
{
    Q_OBJECT

public:
    explicit WebBrowserPane(QWebEnginePage *page, QObject *parent = nullptr);

    QWebEnginePage *page() const { return m_page; }

    void navigate(const QString &url) override;
    bool isBusy() const override { return m_loading; }
    void snapshot(QObject *context, std::function<void(const PageModel &)> done) override;
    void clickNextLink(QObject *context, std::function<void(bool clicked)> done) override;

    // The script that clicks the "next" link; its value is whether it did.
    static QString clickNextScript();

private:
    QPointer<QWebEnginePage> m_page;
    bool m_loading = false;
};
