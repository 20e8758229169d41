#include "cli/PageModelJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject anchorObject(const PageAnchor &anchor)
{
    return {{"class", anchor.className}, {"text", anchor.text}, {"href", anchor.href}};
}

QJsonArray anchorArray(const QList<PageAnchor> &anchors)
{
    QJsonArray array;
    for (const PageAnchor &anchor : anchors)
        array.append(anchorObject(anchor));
    return array;
}

QList<PageAnchor> anchorsOf(const QJsonArray &array)
{
    QList<PageAnchor> anchors;
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        anchors.append(
            {object.value("class").toString(), object.value("text").toString(), object.value("href").toString()});
    }
    return anchors;
}

} // namespace

QByteArray PageModelToJsonLine(const PageModel &page)
{
    QJsonArray tables;
    for (const PageTable &table : page.tables) {
        QJsonArray divs;
        for (const PageDiv &div : table.divs)
            divs.append(QJsonObject{{"class", div.className}, {"text", div.text}});
        tables.append(QJsonObject{{"class", table.className},
                                  {"hasInput", table.hasInput},
                                  {"inputTicked", table.inputTicked},
                                  {"divs", divs},
                                  {"anchors", anchorArray(table.anchors)},
                                  {"free", table.mentionsFreeIcon}});
    }
    const QJsonObject object{{"url", page.url}, {"tables", tables}, {"anchors", anchorArray(page.anchors)}};
    // Compact JSON escapes line breaks inside strings, so the page is one line.
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<PageModel> PageModelFromJsonLine(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    PageModel page;
    page.url = object.value("url").toString();
    for (const QJsonValue &value : object.value("tables").toArray()) {
        const QJsonObject t = value.toObject();
        PageTable table;
        table.className = t.value("class").toString();
        table.hasInput = t.value("hasInput").toBool();
        table.inputTicked = t.value("inputTicked").toBool();
        for (const QJsonValue &div : t.value("divs").toArray())
            table.divs.append({div.toObject().value("class").toString(), div.toObject().value("text").toString()});
        table.anchors = anchorsOf(t.value("anchors").toArray());
        table.mentionsFreeIcon = t.value("free").toBool();
        page.tables.append(table);
    }
    page.anchors = anchorsOf(object.value("anchors").toArray());
    return page;
}
