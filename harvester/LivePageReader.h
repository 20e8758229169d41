#pragma once

#include "harvester/PageModel.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QObject;
class QWebEnginePage;

// Reads the page model of the document a browser page shows, with one script
// run in the page (in a world of its own, so the page's scripts cannot change
// what it sees). Texts are the browser's rendered texts (innerText, trimmed),
// anchor targets are absolute, a tick box's state is its live checked state,
// and a table mentions the free icon when its markup holds "access_free.gif"
// in any letter case.
class LivePageReader
{
public:
    using Callback = std::function<void(const PageModel &page)>;

    // Starts reading and returns at once; `done` is called once, later, from
    // the event loop, unless the page or the given `context` is destroyed
    // first. A document that cannot be read (none yet, a PDF) gives a model
    // with the page's address and no tables.
    static void read(QWebEnginePage *page, QObject *context, Callback done);

    // The model from the script's answer (JSON); a model with `fallbackUrl`
    // and nothing else when the answer cannot be read.
    static PageModel fromJson(const QByteArray &json, const QString &fallbackUrl);

    // The script that reads the model: its value is the JSON answer.
    static QString script();
};
