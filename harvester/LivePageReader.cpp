#include "harvester/LivePageReader.h"

#include "harvester/HarvesterTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace {

// Each DIV and A is read once: tables refer to them by their index in the
// answer's lists "divs" and "anchors". A table names only the elements the
// page model keeps of it (see PageTable). Only HTML elements count, as for the
// saved-page reader (an SVG <a> is no link of the page).
const char kScript[] = R"JS(
(function () {
  var XHTML = 'http://www.w3.org/1999/xhtml';
  function elements(root, tag) {
    var found = root.getElementsByTagName(tag), result = [];
    for (var i = 0; i < found.length; ++i)
      if (found[i].namespaceURI === XHTML) result.push(found[i]);
    return result;
  }
  function classOf(e) { var c = e.getAttribute('class'); return c === null ? '' : c; }
  function textOf(e) { var t = e.innerText; return typeof t === 'string' ? t : ''; }

  var anchorIndex = new Map(), anchors = [];
  elements(document, 'a').forEach(function (a) {
    anchorIndex.set(a, anchors.length);
    anchors.push([classOf(a), textOf(a), a.hasAttribute('href') ? String(a.href) : '']);
  });
  // Of a table's DIVs and As only the ones extraction may take are named:
  // its first title block, and its anchors of the PDF link's class.
  function isClass(e, wanted) { return classOf(e).trim().toLowerCase() === wanted; }
  var divIndex = new Map(), divs = [];
  var tables = elements(document, 'table').map(function (table) {
    var inputs = elements(table, 'input');
    var title = elements(table, 'div').find(function (div) { return isClass(div, '%2'); });
    if (title !== undefined && !divIndex.has(title)) {
      divIndex.set(title, divs.length);
      divs.push([classOf(title), textOf(title)]);
    }
    return {
      c: classOf(table),
      i: inputs.length > 0,
      k: inputs.length > 0 && inputs[0].checked === true,
      f: table.innerHTML.toLowerCase().indexOf('%1') >= 0,
      d: title === undefined ? [] : [divIndex.get(title)],
      a: elements(table, 'a').filter(function (a) { return isClass(a, '%3'); })
                             .map(function (a) { return anchorIndex.get(a); })
    };
  });
  return JSON.stringify({ url: document.URL, anchors: anchors, divs: divs, tables: tables });
})()
)JS";

PageAnchor anchorFrom(const QJsonArray &fields)
{
    return PageAnchor{fields.at(0).toString(), fields.at(1).toString().trimmed(), fields.at(2).toString()};
}

PageDiv divFrom(const QJsonArray &fields)
{
    return PageDiv{fields.at(0).toString(), fields.at(1).toString().trimmed()};
}

} // namespace

QString LivePageReader::script()
{
    return QString::fromUtf8(kScript).arg(SiteMarkup::kFreeIconName, SiteMarkup::kTitleDivClass,
                                          SiteMarkup::kPdfAnchorClass);
}

PageModel LivePageReader::fromJson(const QByteArray &json, const QString &fallbackUrl)
{
    PageModel page;
    page.url = fallbackUrl;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return page;
    const QJsonObject answer = document.object();
    page.url = answer.value(QLatin1String("url")).toString(fallbackUrl);

    const QJsonArray anchors = answer.value(QLatin1String("anchors")).toArray();
    page.anchors.reserve(anchors.size());
    for (const QJsonValue &anchor : anchors)
        page.anchors.append(anchorFrom(anchor.toArray()));
    const QJsonArray divs = answer.value(QLatin1String("divs")).toArray();
    QList<PageDiv> allDivs;
    allDivs.reserve(divs.size());
    for (const QJsonValue &div : divs)
        allDivs.append(divFrom(div.toArray()));

    const QJsonArray tables = answer.value(QLatin1String("tables")).toArray();
    page.tables.reserve(tables.size());
    for (const QJsonValue &value : tables) {
        const QJsonObject fields = value.toObject();
        PageTable table;
        table.className = fields.value(QLatin1String("c")).toString();
        table.hasInput = fields.value(QLatin1String("i")).toBool();
        table.inputTicked = fields.value(QLatin1String("k")).toBool();
        table.mentionsFreeIcon = fields.value(QLatin1String("f")).toBool();
        for (const QJsonValue &index : fields.value(QLatin1String("d")).toArray()) {
            const int at = index.toInt(-1);
            if (at >= 0 && at < allDivs.size())
                table.divs.append(allDivs.at(at));
        }
        // The first anchor of the class whose text begins with "pdf".
        for (const QJsonValue &index : fields.value(QLatin1String("a")).toArray()) {
            const int at = index.toInt(-1);
            if (at >= 0 && at < page.anchors.size()
                && page.anchors.at(at).text.startsWith(SiteMarkup::kPdfAnchorTextPrefix, Qt::CaseInsensitive)) {
                table.anchors.append(page.anchors.at(at));
                break;
            }
        }
        page.tables.append(std::move(table));
    }
    return page;
}

void LivePageReader::read(QWebEnginePage *page, QObject *context, Callback done)
{
    // The browser also answers, empty, from inside the page's destructor;
    // the answer is therefore handed on from the event loop, and only while
    // the page and the caller are still there.
    const QString fallbackUrl = page->url().toString(QUrl::FullyEncoded);
    const QPointer<QWebEnginePage> pageGuard(page);
    const bool hasContext = context != nullptr;
    const QPointer<QObject> contextGuard(context);
    page->runJavaScript(
        script(), QWebEngineScript::ApplicationWorld,
        [fallbackUrl, pageGuard, hasContext, contextGuard, done = std::move(done)](const QVariant &answer) {
            const auto model = std::make_shared<PageModel>(fromJson(answer.toString().toUtf8(), fallbackUrl));
            QTimer::singleShot(0, [model, pageGuard, hasContext, contextGuard, done] {
                if (pageGuard.isNull() || (hasContext && contextGuard.isNull()))
                    return;
                done(*model);
            });
        });
}
