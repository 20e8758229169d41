#pragma once

#include "harvester/PageModel.h"

#include <QObject>
#include <QString>
#include <functional>

// The search window's browser pane as the harvest commands drive it. The
// page lives in the browser, so reading it and clicking in it answer later,
// through a callback; a callback is dropped when its context object is gone.
class BrowserPane : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts loading the address, exactly as given; returns at once.
    virtual void navigate(const QString &url) = 0;

    // True while a navigation is in progress.
    virtual bool isBusy() const = 0;

    // Reads the shown document into a page model, all in one go. A document
    // that cannot be read gives a model without tables and links.
    virtual void snapshot(QObject *context, std::function<void(const PageModel &)> done) = 0;

    // Clicks the first link of the shown document whose rendered text,
    // trimmed and lower-cased, is "next"; answers whether there was one.
    virtual void clickNextLink(QObject *context, std::function<void(bool clicked)> done) = 0;

signals:
    // A document (page or frame) finished loading.
    void documentCompleted();
};

// Whether a link's rendered text makes it the "next" link.
bool IsNextLinkText(const QString &text);
