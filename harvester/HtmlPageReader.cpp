#include "harvester/HtmlPageReader.h"

#include "harvester/HarvesterTexts.h"
#include "harvester/NestingCap.h"
#include "harvester/UrlResolution.h"

#include <QStringDecoder>

#include <gumbo.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Tree walking

const GumboVector *childrenOf(const GumboNode *node)
{
    switch (node->type) {
    case GUMBO_NODE_DOCUMENT: return &node->v.document.children;
    case GUMBO_NODE_ELEMENT: return &node->v.element.children;
    default: return nullptr; // text, comments; template contents are not part of the document
    }
}

bool isHtmlElement(const GumboNode *node)
{
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

bool isHtmlElement(const GumboNode *node, GumboTag tag)
{
    return isHtmlElement(node) && node->v.element.tag == tag;
}

// Visits the subtree below `root` in document order without recursion, so
// that a page of deeply nested markup cannot exhaust the stack. `enter` is
// called before a node's children and returns whether to visit them;
// `leave` is called after them (only for nodes whose children were visited).
template <typename Enter, typename Leave>
void walkTree(const GumboNode *root, Enter &&enter, Leave &&leave)
{
    std::vector<std::pair<const GumboNode *, unsigned>> stack;
    if (!enter(root))
        return;
    stack.emplace_back(root, 0);
    while (!stack.empty()) {
        auto &[node, next] = stack.back();
        const GumboVector *children = childrenOf(node);
        if (!children || next >= children->length) {
            const GumboNode *done = node;
            stack.pop_back();
            leave(done);
            continue;
        }
        const auto *child = static_cast<const GumboNode *>(children->data[next++]);
        if (enter(child))
            stack.emplace_back(child, 0);
    }
}

QString attributeValue(const GumboNode *element, const char *name, bool *present = nullptr)
{
    const GumboAttribute *attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    if (present)
        *present = attribute != nullptr;
    return attribute ? QString::fromUtf8(attribute->value) : QString();
}

// ---------------------------------------------------------------------------
// Rendered text, as the browser's innerText gives it for unstyled markup

// How an element takes part in the rendered text, after the browser's
// default style sheet.
enum class Layout {
    Inline,    // its text runs on with its neighbours'
    Hidden,    // not rendered: nothing of it appears
    Atomic,    // rendered as a box without text of its own (an image, a form control)
    InlineBox, // a box in the line with text of its own inside (a button)
    Block,     // starts and ends a line
    Paragraph, // starts and ends a line with a blank line around it
    Row,       // a table row: rows are separated by a line break
    Cell,      // a table cell: cells of a row are separated by a tab
    Break,     // <br>: a line break
};

Layout layoutOf(const GumboNode *node)
{
    if (node->type != GUMBO_NODE_ELEMENT)
        return Layout::Hidden;
    if (node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return Layout::Atomic; // inline SVG and MathML show no text of the page's
    switch (node->v.element.tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_META:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_NOFRAMES: return Layout::Hidden;
    case GUMBO_TAG_BUTTON: return Layout::InlineBox;
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_CANVAS: return Layout::Atomic;
    case GUMBO_TAG_BR: return Layout::Break;
    case GUMBO_TAG_P: return Layout::Paragraph;
    case GUMBO_TAG_TR: return Layout::Row;
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH: return Layout::Cell;
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_CAPTION: return Layout::Block;
    default: return Layout::Inline;
    }
}

bool keepsBlanks(const GumboNode *node)
{
    if (!isHtmlElement(node))
        return false;
    switch (node->v.element.tag) {
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_PLAINTEXT: return true;
    default: return false;
    }
}

// Where the last child of each kind sits among a parent's children, found
// once per parent: a row or a cell asks whether another follows it, and a
// wide row must not be scanned again for each of its cells.
class SiblingIndex
{
public:
    // Whether a later sibling of `cell` is a TD or TH.
    bool hasLaterCell(const GumboNode *cell) { return laterThan(cell, m_lastCell, &isCell); }

    // Whether a table row is followed by another row of the same table,
    // also in a later row group (<tbody>, <tfoot>).
    bool hasLaterRow(const GumboNode *row)
    {
        if (laterThan(row, m_lastRow, &isRow))
            return true;
        const GumboNode *group = row->parent;
        if (!group || !isHtmlElement(group) || group->v.element.tag == GUMBO_TAG_TABLE || !group->parent)
            return false;
        const GumboNode *table = group->parent;
        auto found = m_lastGroupWithRow.find(table);
        if (found == m_lastGroupWithRow.end()) {
            long last = -1;
            const GumboVector *groups = childrenOf(table);
            for (unsigned i = 0; groups && i < groups->length; ++i) {
                const auto *sibling = static_cast<const GumboNode *>(groups->data[i]);
                if (isHtmlElement(sibling) && lastIndex(sibling, m_lastRow, &isRow) >= 0)
                    last = long(i);
            }
            found = m_lastGroupWithRow.emplace(table, last).first;
        }
        return long(group->index_within_parent) < found->second;
    }

private:
    using Cache = std::unordered_map<const GumboNode *, long>;

    static bool isCell(const GumboNode *node)
    {
        return isHtmlElement(node, GUMBO_TAG_TD) || isHtmlElement(node, GUMBO_TAG_TH);
    }
    static bool isRow(const GumboNode *node) { return isHtmlElement(node, GUMBO_TAG_TR); }

    static long lastIndex(const GumboNode *parent, Cache &cache, bool (*matches)(const GumboNode *))
    {
        auto found = cache.find(parent);
        if (found != cache.end())
            return found->second;
        long last = -1;
        const GumboVector *children = childrenOf(parent);
        for (unsigned i = 0; children && i < children->length; ++i) {
            if (matches(static_cast<const GumboNode *>(children->data[i])))
                last = long(i);
        }
        cache.emplace(parent, last);
        return last;
    }

    static bool laterThan(const GumboNode *node, Cache &cache, bool (*matches)(const GumboNode *))
    {
        return node->parent && long(node->index_within_parent) < lastIndex(node->parent, cache, matches);
    }

    Cache m_lastCell;
    Cache m_lastRow;
    Cache m_lastGroupWithRow;
};

// Builds rendered text. Blanks (space, tab, line feed, carriage return) in
// running text collapse to one blank, which is dropped at the start and end
// of a line; block boundaries ask for line breaks, and consecutive requests
// give the largest of them, none at either end. The text is built in UTF-8,
// the parser's encoding, whose multi-byte sequences never hold a blank's byte.
//
// The whole document is rendered once, in one pass: an element's text is the
// stretch between its start and end, trimmed, which is what the element
// rendered alone gives, since whatever differs lies at its edges and is
// blank. of() renders a single subtree, for an element outside the rendered
// text (inside an image's or a control's fallback content).
class RenderedText
{
public:
    QString of(const GumboNode *element)
    {
        RenderedText alone;
        walkTree(
            element, [&alone, element](const GumboNode *node) { return alone.enter(node, node == element); },
            [&alone, element](const GumboNode *node) { alone.leave(node, node == element); });
        return QString::fromUtf8(alone.m_text).trimmed();
    }

    // The position of the next content, for slice().
    qsizetype position() const { return m_text.size(); }

    QString slice(qsizetype begin, qsizetype end) const
    {
        return QString::fromUtf8(m_text.constData() + begin, end - begin).trimmed();
    }

    // Takes part of the walk: enter() returns whether the node's children
    // take part in the rendered text; leave() is called only for those.
    bool enter(const GumboNode *node, bool isRoot)
    {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
            addText(node->v.text.text);
            return false;
        }
        if (node->type != GUMBO_NODE_ELEMENT)
            return false;
        switch (isRoot ? Layout::Inline : layoutOf(node)) {
        case Layout::Hidden: return false;
        case Layout::Atomic: addContent({}); return false;
        case Layout::Break:
            m_pendingBlank = false;
            addContent("\n");
            m_lineStart = true;
            return false;
        case Layout::Block: requireBreaks(1); break;
        case Layout::Paragraph: requireBreaks(2); break;
        case Layout::InlineBox:
            addContent({});
            lineBoundary();
            break;
        case Layout::Row:
        case Layout::Cell: lineBoundary(); break;
        case Layout::Inline: break;
        }
        if (keepsBlanks(node))
            ++m_keepBlanks;
        return true;
    }

    void leave(const GumboNode *node, bool isRoot)
    {
        if (node->type != GUMBO_NODE_ELEMENT)
            return;
        if (keepsBlanks(node))
            --m_keepBlanks;
        if (isRoot)
            return;
        switch (layoutOf(node)) {
        case Layout::Block: requireBreaks(1); break;
        case Layout::Paragraph: requireBreaks(2); break;
        case Layout::InlineBox:
            m_pendingBlank = false;
            m_lineStart = false;
            break;
        case Layout::Row:
            lineBoundary();
            if (m_siblings.hasLaterRow(node)) {
                addContent("\n");
                m_lineStart = true;
            }
            break;
        case Layout::Cell:
            lineBoundary();
            if (m_siblings.hasLaterCell(node)) {
                addContent("\t");
                m_lineStart = true;
            }
            break;
        default: break;
        }
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    void addText(const char *text)
    {
        const QByteArrayView all(text);
        if (m_keepBlanks > 0) {
            if (!all.isEmpty()) {
                m_pendingBlank = false;
                addContent(all);
                m_lineStart = all.back() == '\n';
            }
            return;
        }
        qsizetype at = 0;
        while (at < all.size()) {
            if (isBlank(all[at])) {
                if (!m_lineStart)
                    m_pendingBlank = true;
                ++at;
                continue;
            }
            qsizetype end = at;
            while (end < all.size() && !isBlank(all[end]))
                ++end;
            addContent(all.sliced(at, end - at));
            at = end;
        }
    }

    // Content on the current line: first the line breaks and the blank it
    // waits for, then the content itself (empty for a box without text).
    void addContent(QByteArrayView content)
    {
        if (m_pendingBreaks > 0) {
            if (!m_text.isEmpty())
                m_text.append(QByteArray(m_pendingBreaks, '\n'));
            m_pendingBreaks = 0;
        }
        if (m_pendingBlank)
            m_text.append(' ');
        m_pendingBlank = false;
        m_text.append(content);
        m_lineStart = false;
    }

    void lineBoundary()
    {
        m_pendingBlank = false;
        m_lineStart = true;
    }

    void requireBreaks(int count)
    {
        lineBoundary();
        m_pendingBreaks = std::max(m_pendingBreaks, count);
    }

    QByteArray m_text;
    int m_pendingBreaks = 0;
    bool m_pendingBlank = false;
    bool m_lineStart = true;
    int m_keepBlanks = 0;
    SiblingIndex m_siblings;
};

// ---------------------------------------------------------------------------
// Targets

// The absolute target of an href, as the browser gives it; a value that is
// no address is given back as written.
QString resolveTarget(const QString &base, const QString &value, const QByteArray &encoding)
{
    return ResolveUrl(value, base, encoding).value_or(value);
}

// ---------------------------------------------------------------------------
// The page

// Whether a text holds the free icon's name, letters in any case. The scan
// jumps from one "_" to the next, a rare byte in markup, and compares the
// name around it.
bool mentionsFreeIcon(const char *text, size_t length)
{
    static const QByteArray name = SiteMarkup::kFreeIconName.toLatin1();
    static const size_t pivot = size_t(name.indexOf('_'));
    if (length < size_t(name.size()))
        return false;
    const char *end = text + length;
    for (const char *at = text + pivot; at < end;) {
        at = static_cast<const char *>(std::memchr(at, '_', size_t(end - at)));
        if (!at)
            break;
        const char *start = at - pivot;
        if (size_t(end - start) >= size_t(name.size()) && qstrnicmp(start, name.constData(), size_t(name.size())) == 0)
            return true;
        ++at;
    }
    return false;
}

bool mentionsFreeIcon(const char *text)
{
    return text && mentionsFreeIcon(text, std::strlen(text));
}

// Whether the node's own part of the serialized markup (an element's tag
// name, attribute names and values; a text's or a comment's data) holds the
// free icon's name. The name has no character that serializing escapes, so
// a match lies inside one such part, never across two.
bool ownMarkupMentionsFreeIcon(const GumboNode *node)
{
    switch (node->type) {
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
    case GUMBO_NODE_COMMENT: return mentionsFreeIcon(node->v.text.text);
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE: {
        const GumboElement &element = node->v.element;
        if (element.tag == GUMBO_TAG_UNKNOWN
            && mentionsFreeIcon(element.original_tag.data, element.original_tag.length))
            return true;
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto *attribute = static_cast<const GumboAttribute *>(element.attributes.data[i]);
            if (mentionsFreeIcon(attribute->name) || mentionsFreeIcon(attribute->value))
                return true;
        }
        return false;
    }
    default: return false;
    }
}

// Whether anything below `root` mentions the free icon, for a subtree the
// page walk does not enter (a template's contents, <noscript>).
bool subtreeMentionsFreeIcon(const GumboNode *root)
{
    std::vector<const GumboNode *> pending{root};
    while (!pending.empty()) {
        const GumboNode *node = pending.back();
        pending.pop_back();
        if (node != root && ownMarkupMentionsFreeIcon(node))
            return true;
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            const GumboVector &children = node->v.element.children;
            for (unsigned i = 0; i < children.length; ++i)
                pending.push_back(static_cast<const GumboNode *>(children.data[i]));
        }
    }
    return false;
}

bool classMatches(const QString &className, const QString &wanted)
{
    return className.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
}

// Reads the page in one walk over the parsed document. What a table holds
// is a stretch of the document's elements in order, so a table records
// where its stretch of inputs, title blocks and anchors begins and ends,
// and its first input, title and PDF anchor are looked up once the walk is
// done: nothing is copied into every enclosing table, and nothing is
// rendered twice.
class PageReader
{
public:
    PageReader(const QUrl &documentUrl, const QByteArray &encoding) : m_documentUrl(documentUrl), m_encoding(encoding)
    {}

    // Reads the parsed document; nothing of it is kept after.
    void walk(const GumboNode *root)
    {
        m_model.url = m_documentUrl.toString(QUrl::FullyEncoded);
        m_mentions.push_back(false);
        walkTree(
            root, [this](const GumboNode *node) { return enter(node); },
            [this](const GumboNode *node) { leave(node); });
    }

    PageModel finish()
    {
        // Targets are resolved once the whole page is read, since a <base>
        // applies to the anchors before it as well.
        QString base = m_model.url;
        if (m_baseHref) {
            if (const std::optional<QString> resolved = ResolveUrl(*m_baseHref, base, m_encoding))
                base = *resolved;
        }
        m_model.anchors.reserve(qsizetype(m_anchors.size()));
        for (AnchorRecord &anchor : m_anchors) {
            m_model.anchors.append(
                PageAnchor{std::move(anchor.className), textOf(anchor.text),
                           anchor.hasHref ? resolveTarget(base, anchor.href, m_encoding) : QString()});
        }
        resolveTickStates();
        fillTables();
        return std::move(m_model);
    }

private:
    // Where an element's text is: a stretch of the rendered document, or a
    // text of its own when it lies outside the rendered document.
    struct TextPlace
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        std::optional<QString> own;
    };

    struct AnchorRecord
    {
        QString className;
        QString href;
        bool hasHref = false;
        TextPlace text;
    };

    struct InputRecord
    {
        bool checked = false;
        bool radio = false;
        QString group; // a radio button's group: its form and its name
    };

    // Per table: its stretch of inputs, title blocks and anchors.
    struct TableRecord
    {
        size_t firstInput = 0, endInput = 0;
        size_t firstTitle = 0, endTitle = 0;
        size_t firstAnchor = 0, endAnchor = 0;
    };

    QString textOf(const TextPlace &place) const
    {
        return place.own ? *place.own : m_text.slice(place.begin, place.end);
    }

    bool enter(const GumboNode *node)
    {
        if (node->type == GUMBO_NODE_DOCUMENT)
            return true;
        if (ownMarkupMentionsFreeIcon(node))
            m_mentions.back() = true;
        if (node->type != GUMBO_NODE_ELEMENT) {
            if (node->type == GUMBO_NODE_TEMPLATE && subtreeMentionsFreeIcon(node))
                m_mentions.back() = true;
            if (m_hiddenFrom.empty())
                m_text.enter(node, false);
            return false;
        }
        // With scripts on, the browser keeps the content of <noscript> as
        // text: no element inside it is part of the document, but the text
        // is part of the markup.
        if (isHtmlElement(node, GUMBO_TAG_NOSCRIPT)) {
            if (subtreeMentionsFreeIcon(node))
                m_mentions.back() = true;
            return false;
        }
        m_mentions.push_back(false);
        if (m_hiddenFrom.empty() && !m_text.enter(node, false))
            m_hiddenFrom.push_back(node);
        if (isHtmlElement(node)) {
            switch (node->v.element.tag) {
            case GUMBO_TAG_BASE: enterBase(node); break;
            case GUMBO_TAG_TABLE: enterTable(node); break;
            case GUMBO_TAG_INPUT: enterInput(node); break;
            case GUMBO_TAG_DIV: enterDiv(node); break;
            case GUMBO_TAG_A: enterAnchor(node); break;
            case GUMBO_TAG_FORM: m_forms.push_back(node); break;
            default: break;
            }
        }
        return true;
    }

    void leave(const GumboNode *node)
    {
        if (node->type != GUMBO_NODE_ELEMENT)
            return;
        if (!m_hiddenFrom.empty() && m_hiddenFrom.back() == node)
            m_hiddenFrom.pop_back();
        else if (m_hiddenFrom.empty())
            m_text.leave(node, false);

        const bool mentions = m_mentions.back();
        m_mentions.pop_back();
        if (mentions)
            m_mentions.back() = true;

        if (!isHtmlElement(node))
            return;
        switch (node->v.element.tag) {
        case GUMBO_TAG_TABLE: {
            const size_t index = m_openTables.back();
            m_openTables.pop_back();
            TableRecord &table = m_tables[index];
            table.endInput = m_inputs.size();
            table.endTitle = m_titles.size();
            table.endAnchor = m_anchors.size();
            m_model.tables[qsizetype(index)].mentionsFreeIcon = mentions;
            break;
        }
        case GUMBO_TAG_DIV: endText(node); break;
        case GUMBO_TAG_A: endText(node); break;
        case GUMBO_TAG_FORM: m_forms.pop_back(); break;
        default: break;
        }
    }

    // The first <base> with an href gives the address targets resolve against.
    void enterBase(const GumboNode *node)
    {
        bool present = false;
        const QString href = attributeValue(node, "href", &present);
        if (present && !m_baseHref)
            m_baseHref = href;
    }

    void enterTable(const GumboNode *node)
    {
        m_tableClasses.push_back(attributeValue(node, "class"));
        m_openTables.push_back(m_tables.size());
        m_tables.push_back(TableRecord{m_inputs.size(), 0, m_titles.size(), 0, m_anchors.size(), 0});
        m_model.tables.append(PageTable{});
    }

    void enterInput(const GumboNode *node)
    {
        InputRecord input;
        attributeValue(node, "checked", &input.checked);
        input.radio = attributeValue(node, "type").trimmed().compare(QLatin1String("radio"), Qt::CaseInsensitive) == 0;
        const QString name = attributeValue(node, "name");
        if (input.radio && !name.isEmpty()) {
            bool hasForm = false;
            const QString form = attributeValue(node, "form", &hasForm);
            const QString owner = hasForm ? QStringLiteral("#") + form
                                          : QString::number(quintptr(m_forms.empty() ? nullptr : m_forms.back()));
            input.group = owner + u'\n' + name;
        }
        m_inputs.push_back(std::move(input));
    }

    // Only title blocks are kept: extraction reads no other DIV.
    void enterDiv(const GumboNode *node)
    {
        if (m_openTables.empty() || !classMatches(attributeValue(node, "class"), SiteMarkup::kTitleDivClass))
            return;
        m_pendingTexts.push_back({node, m_titles.size()});
        m_titles.push_back(TextRecord{attributeValue(node, "class"), startText(node)});
    }

    void enterAnchor(const GumboNode *node)
    {
        AnchorRecord anchor;
        anchor.className = attributeValue(node, "class");
        anchor.href = attributeValue(node, "href", &anchor.hasHref); // resolved in read()
        anchor.text = startText(node);
        m_pendingAnchors.push_back({node, m_anchors.size()});
        m_anchors.push_back(std::move(anchor));
    }

    TextPlace startText(const GumboNode *node)
    {
        TextPlace place;
        if (!m_hiddenFrom.empty() && m_hiddenFrom.back() != node)
            place.own = m_text.of(node);
        else if (!m_hiddenFrom.empty())
            place.own = QString(); // an element the browser does not render shows no text
        else
            place.begin = m_text.position();
        return place;
    }

    void endText(const GumboNode *node)
    {
        if (!m_pendingTexts.empty() && m_pendingTexts.back().node == node) {
            TextRecord &title = m_titles[m_pendingTexts.back().index];
            title.text.end = m_text.position();
            m_pendingTexts.pop_back();
        }
        if (!m_pendingAnchors.empty() && m_pendingAnchors.back().node == node) {
            m_anchors[m_pendingAnchors.back().index].text.end = m_text.position();
            m_pendingAnchors.pop_back();
        }
    }

    // Of the checked radio buttons of one group only the last stays checked,
    // as each one checked while the page is built unchecks the others.
    void resolveTickStates()
    {
        std::unordered_set<QString> laterChecked;
        for (auto input = m_inputs.rbegin(); input != m_inputs.rend(); ++input) {
            if (!input->radio || !input->checked || input->group.isEmpty())
                continue;
            if (!laterChecked.insert(input->group).second)
                input->checked = false;
        }
    }

    void fillTables()
    {
        // The first anchor at or after each position that extraction may take.
        std::vector<size_t> nextPdfAnchor(m_anchors.size() + 1, m_anchors.size());
        for (size_t i = m_anchors.size(); i-- > 0;) {
            const PageAnchor &anchor = m_model.anchors[qsizetype(i)];
            const bool qualifies = classMatches(anchor.className, SiteMarkup::kPdfAnchorClass)
                                   && anchor.text.startsWith(SiteMarkup::kPdfAnchorTextPrefix, Qt::CaseInsensitive);
            nextPdfAnchor[i] = qualifies ? i : nextPdfAnchor[i + 1];
        }
        for (size_t t = 0; t < m_tables.size(); ++t) {
            const TableRecord &record = m_tables[t];
            PageTable &table = m_model.tables[qsizetype(t)];
            table.className = m_tableClasses[t];
            table.hasInput = record.firstInput < record.endInput;
            table.inputTicked = table.hasInput && m_inputs[record.firstInput].checked;
            if (record.firstTitle < record.endTitle) {
                const TextRecord &title = m_titles[record.firstTitle];
                table.divs.append(PageDiv{title.className, textOf(title.text)});
            }
            const size_t pdf = nextPdfAnchor[record.firstAnchor];
            if (pdf < record.endAnchor)
                table.anchors.append(m_model.anchors[qsizetype(pdf)]);
        }
    }

    struct TextRecord
    {
        QString className;
        TextPlace text;
    };
    // A title block whose text ends when the walk leaves it; title blocks
    // inside it are recorded after it.
    struct PendingTitle
    {
        const GumboNode *node;
        size_t index;
    };
    struct PendingAnchor
    {
        const GumboNode *node;
        size_t index;
    };

    const QUrl m_documentUrl;
    const QByteArray m_encoding; // the page's, in which a link's query is written
    std::optional<QString> m_baseHref;
    PageModel m_model;
    RenderedText m_text;
    std::vector<const GumboNode *> m_hiddenFrom; // the element from which on nothing is rendered
    std::vector<bool> m_mentions;                // per open element: its inner markup mentions the free icon
    std::vector<const GumboNode *> m_forms;
    std::vector<size_t> m_openTables;
    std::vector<TableRecord> m_tables;
    std::vector<QString> m_tableClasses;
    std::vector<InputRecord> m_inputs;
    std::vector<TextRecord> m_titles;
    std::vector<AnchorRecord> m_anchors;
    std::vector<PendingTitle> m_pendingTexts;
    std::vector<PendingAnchor> m_pendingAnchors;
};

// Memory for one parse: the parser's many small allocations come from large
// blocks, and the whole tree is given back at once instead of node by node.
class ParseArena
{
public:
    static void *allocate(void *arena, size_t size) { return static_cast<ParseArena *>(arena)->take(size); }
    static void release(void *, void *) {}

private:
    static constexpr size_t kBlockSize = 1 << 20;

    void *take(size_t size)
    {
        size = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
        if (size > m_left) {
            const size_t blockSize = std::max(size, kBlockSize);
            m_blocks.push_back(
                std::make_unique_for_overwrite<std::max_align_t[]>(blockSize / sizeof(std::max_align_t) + 1));
            m_next = reinterpret_cast<char *>(m_blocks.back().get());
            m_left = blockSize;
        }
        void *memory = m_next;
        m_next += size;
        m_left -= size;
        return memory;
    }

    std::vector<std::unique_ptr<std::max_align_t[]>> m_blocks;
    char *m_next = nullptr;
    size_t m_left = 0;
};

// ---------------------------------------------------------------------------
// Encoding, as the encoding standard has the browser find it

// The encoding a label names, by the standard's table for the labels a
// result page uses; the standard's own decoders stand behind the names:
// GBK and gb2312 pages are read by the GB18030 decoder, Latin-1 and ASCII
// ones as windows-1252. An empty name for a label the standard lacks.
QByteArray encodingOfLabel(QByteArray label)
{
    label = label.trimmed().toLower();
    static const std::pair<const char *, const char *> kLabels[] = {
        {"utf-8", "UTF-8"},
        {"utf8", "UTF-8"},
        {"unicode-1-1-utf-8", "UTF-8"},
        {"gbk", "GBK"},
        {"gb2312", "GBK"},
        {"x-gbk", "GBK"},
        {"chinese", "GBK"},
        {"csgb2312", "GBK"},
        {"csiso58gb231280", "GBK"},
        {"gb_2312", "GBK"},
        {"gb_2312-80", "GBK"},
        {"iso-ir-58", "GBK"},
        {"gb18030", "GB18030"},
        {"big5", "Big5"},
        {"big5-hkscs", "Big5"},
        {"x-x-big5", "Big5"},
        {"cn-big5", "Big5"},
        {"shift_jis", "Shift_JIS"},
        {"sjis", "Shift_JIS"},
        {"x-sjis", "Shift_JIS"},
        {"euc-jp", "EUC-JP"},
        {"euc-kr", "EUC-KR"},
        {"ks_c_5601-1987", "EUC-KR"},
        {"iso-8859-1", "windows-1252"},
        {"iso8859-1", "windows-1252"},
        {"latin1", "windows-1252"},
        {"l1", "windows-1252"},
        {"us-ascii", "windows-1252"},
        {"ascii", "windows-1252"},
        {"windows-1252", "windows-1252"},
        {"cp1252", "windows-1252"},
        {"x-cp1252", "windows-1252"},
        {"cp819", "windows-1252"},
        {"ibm819", "windows-1252"},
        {"iso_8859-1", "windows-1252"},
        {"iso-8859-15", "ISO-8859-15"},
        {"latin9", "ISO-8859-15"},
        {"koi8-r", "KOI8-R"},
        {"windows-1251", "windows-1251"},
        {"iso-8859-2", "ISO-8859-2"},
        // A page that names UTF-16 in its markup is read as UTF-8: the
        // markup could not have been read to find the name otherwise.
        {"utf-16", "UTF-8"},
        {"utf-16le", "UTF-8"},
        {"utf-16be", "UTF-8"},
    };
    for (const auto &[name, encoding] : kLabels) {
        if (label == name)
            return encoding;
    }
    return QByteArray();
}

// The charset a Content-Type value names, or empty.
QByteArray charsetOfContent(const QByteArray &content)
{
    const QByteArray lower = content.toLower();
    qsizetype at = 0;
    while ((at = lower.indexOf("charset", at)) >= 0) {
        at += 7;
        qsizetype i = at;
        while (i < lower.size() && QByteArrayView(" \t\n\f\r").contains(lower[i]))
            ++i;
        if (i >= lower.size() || lower[i] != '=')
            continue;
        ++i;
        while (i < lower.size() && QByteArrayView(" \t\n\f\r").contains(lower[i]))
            ++i;
        if (i >= lower.size())
            return QByteArray();
        if (lower[i] == '"' || lower[i] == '\'') {
            const qsizetype close = lower.indexOf(lower[i], i + 1);
            return close < 0 ? QByteArray() : content.mid(i + 1, close - i - 1);
        }
        qsizetype end = i;
        while (end < lower.size() && !QByteArrayView(" \t\n\f\r;").contains(lower[end]))
            ++end;
        return content.mid(i, end - i);
    }
    return QByteArray();
}

// The encoding named by the first <meta> of the page's first 1024 bytes that
// names one, skipping comments and other tags as the browser's prescan does.
QByteArray prescanEncoding(QByteArrayView head)
{
    head = head.first(std::min<qsizetype>(head.size(), 1024));
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; };
    qsizetype at = 0;
    while (at < head.size()) {
        if (head.sliced(at).startsWith("<!--")) {
            const qsizetype close = head.indexOf("-->", at + 2);
            if (close < 0)
                return QByteArray();
            at = close + 3;
            continue;
        }
        if (head[at] != '<') {
            ++at;
            continue;
        }
        const bool isMeta = head.size() - at > 5 && qstrnicmp(head.data() + at + 1, "meta", 4) == 0
                            && (isSpace(head[at + 5]) || head[at + 5] == '/');
        // Reads the attributes of the tag, up to its ">".
        qsizetype i = at + 1;
        while (i < head.size() && !isSpace(head[i]) && head[i] != '>')
            ++i;
        QByteArray charset, content;
        bool httpEquivContentType = false;
        while (i < head.size() && head[i] != '>') {
            while (i < head.size() && (isSpace(head[i]) || head[i] == '/'))
                ++i;
            qsizetype nameStart = i;
            while (i < head.size() && !isSpace(head[i]) && head[i] != '=' && head[i] != '>'
                   && (i == nameStart || head[i] != '/'))
                ++i;
            const QByteArray name = head.sliced(nameStart, i - nameStart).toByteArray().toLower();
            while (i < head.size() && isSpace(head[i]))
                ++i;
            QByteArray value;
            if (i < head.size() && head[i] == '=') {
                ++i;
                while (i < head.size() && isSpace(head[i]))
                    ++i;
                if (i < head.size() && (head[i] == '"' || head[i] == '\'')) {
                    const char quote = head[i];
                    const qsizetype close = head.indexOf(quote, i + 1);
                    if (close < 0)
                        return QByteArray();
                    value = head.sliced(i + 1, close - i - 1).toByteArray();
                    i = close + 1;
                } else {
                    const qsizetype start = i;
                    while (i < head.size() && !isSpace(head[i]) && head[i] != '>')
                        ++i;
                    value = head.sliced(start, i - start).toByteArray();
                }
            }
            if (name.isEmpty() && i < head.size() && head[i] != '>')
                ++i;
            if (name == "charset" && charset.isNull())
                charset = value.isNull() ? QByteArray("") : value;
            else if (name == "content" && content.isNull())
                content = value;
            else if (name == "http-equiv")
                httpEquivContentType = value.trimmed().toLower() == "content-type";
        }
        if (isMeta) {
            QByteArray label = charset;
            if (label.isNull() && httpEquivContentType)
                label = charsetOfContent(content);
            if (!label.isEmpty()) {
                const QByteArray encoding = encodingOfLabel(label);
                if (!encoding.isEmpty())
                    return encoding;
            }
        }
        at = i + 1;
    }
    return QByteArray();
}

// Bytes 0x80 to 0x9F of windows-1252; the rest is Latin-1.
QString decodeWindows1252(QByteArrayView bytes)
{
    static const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

// A GB18030 page as the browser reads it. The system's decoder leaves out one
// rule of the encoding standard: a single byte 0x80 where a character starts
// is the euro sign. The page is decoded in stretches between such bytes (each
// stretch starts and ends on a character's edge). Null when no decoder exists.
QString decodeGb18030(const QByteArray &bytes)
{
    QString text;
    qsizetype stretchStart = 0;
    const auto decodeStretch = [&](qsizetype end) {
        QStringDecoder decoder("GB18030");
        if (!decoder.isValid())
            return false;
        text += QString(decoder.decode(QByteArrayView(bytes).sliced(stretchStart, end - stretchStart)));
        return true;
    };
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        if (byte == 0x80) {
            if (!decodeStretch(i))
                return QString();
            text += QChar(0x20AC);
            stretchStart = ++i;
        } else if (byte >= 0x81 && byte <= 0xFE && i + 1 < size) {
            const auto second = static_cast<unsigned char>(bytes.at(i + 1));
            if (second >= 0x30 && second <= 0x39)
                i += 4; // a four-byte character
            else if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
                i += 2; // a two-byte character
            else
                i += 1; // a lead without its second byte: the next byte starts afresh
        } else {
            ++i;
        }
    }
    if (!decodeStretch(size))
        return QString();
    return text;
}

// The page as UTF-8, the parser's encoding: a byte-order mark decides first,
// then the page's <meta>, else UTF-8. Sets the encoding the page was read in.
QByteArray utf8Source(const QByteArray &html, QByteArray &encoding)
{
    encoding = QByteArrayLiteral("UTF-8");
    if (html.startsWith("\xEF\xBB\xBF"))
        return html.mid(3);
    if (html.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)
            .decode(QByteArrayView(html).sliced(2))
            .
            operator QString()
            .toUtf8();
    if (html.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)
            .decode(QByteArrayView(html).sliced(2))
            .
            operator QString()
            .toUtf8();
    const QByteArray named = prescanEncoding(html);
    if (named.isEmpty() || named == "UTF-8")
        return html;
    if (named == "windows-1252") {
        encoding = named;
        return decodeWindows1252(html).toUtf8();
    }
    // GBK is read with the GB18030 decoder, as the encoding standard has it.
    if (named == "GBK" || named == "GB18030") {
        QString text = decodeGb18030(html);
        if (text.isNull())
            return html;
        encoding = named;
        return text.toUtf8();
    }
    QStringDecoder decoder(named.constData());
    if (!decoder.isValid())
        return html;
    encoding = named;
    return QString(decoder.decode(html)).toUtf8();
}

} // namespace

PageModel ReadHtmlPage(const QByteArray &html, const QUrl &documentUrl)
{
    QByteArray encoding;
    QByteArray source = CapNestingDepth(utf8Source(html, encoding));
    PageReader reader(documentUrl, encoding);
    {
        ParseArena arena;
        GumboOptions options = kGumboDefaultOptions;
        options.allocator = &ParseArena::allocate;
        options.deallocator = &ParseArena::release;
        options.userdata = &arena;
        options.max_errors = 0; // parse errors are of no interest here
        const GumboOutput *output = gumbo_parse_with_options(&options, source.constData(), size_t(source.size()));
        reader.walk(output->document);
    }
    // The tree has gone with the arena, and the markup goes too, before the
    // model's texts and targets are made: a large page never holds both.
    source = QByteArray();
    return reader.finish();
}
