#include "harvester/HtmlPageReader.h"

#include "harvester/HarvesterTexts.h"

#include <QStringDecoder>

#include <gumbo.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
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
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_META: case GUMBO_TAG_LINK:
    case GUMBO_TAG_BASE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_AREA: case GUMBO_TAG_DATALIST: case GUMBO_TAG_PARAM:
    case GUMBO_TAG_RP: case GUMBO_TAG_NOFRAMES:
        return Layout::Hidden;
    case GUMBO_TAG_BUTTON:
        return Layout::InlineBox;
    case GUMBO_TAG_IMG: case GUMBO_TAG_INPUT: case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_SELECT:
    case GUMBO_TAG_IFRAME: case GUMBO_TAG_EMBED: case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_VIDEO: case GUMBO_TAG_AUDIO: case GUMBO_TAG_CANVAS:
        return Layout::Atomic;
    case GUMBO_TAG_BR:
        return Layout::Break;
    case GUMBO_TAG_P:
        return Layout::Paragraph;
    case GUMBO_TAG_TR:
        return Layout::Row;
    case GUMBO_TAG_TD: case GUMBO_TAG_TH:
        return Layout::Cell;
    case GUMBO_TAG_HTML: case GUMBO_TAG_BODY: case GUMBO_TAG_ADDRESS: case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CENTER: case GUMBO_TAG_DIV: case GUMBO_TAG_FIGURE: case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FOOTER: case GUMBO_TAG_FORM: case GUMBO_TAG_HEADER: case GUMBO_TAG_HR:
    case GUMBO_TAG_LEGEND: case GUMBO_TAG_LISTING: case GUMBO_TAG_MAIN: case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_PRE: case GUMBO_TAG_XMP: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
    case GUMBO_TAG_H6: case GUMBO_TAG_HGROUP: case GUMBO_TAG_NAV: case GUMBO_TAG_SECTION:
    case GUMBO_TAG_DIR: case GUMBO_TAG_DD: case GUMBO_TAG_DL: case GUMBO_TAG_DT: case GUMBO_TAG_MENU:
    case GUMBO_TAG_OL: case GUMBO_TAG_UL: case GUMBO_TAG_LI: case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_DETAILS: case GUMBO_TAG_SUMMARY: case GUMBO_TAG_TABLE: case GUMBO_TAG_CAPTION:
        return Layout::Block;
    default:
        return Layout::Inline;
    }
}

bool keepsBlanks(const GumboNode *node)
{
    if (!isHtmlElement(node))
        return false;
    switch (node->v.element.tag) {
    case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_XMP: case GUMBO_TAG_PLAINTEXT:
        return true;
    default:
        return false;
    }
}

// Whether a later sibling of `node` is an HTML element with the tag.
bool hasLaterSibling(const GumboNode *node, GumboTag tag)
{
    const GumboNode *parent = node->parent;
    if (!parent || !childrenOf(parent))
        return false;
    const GumboVector *siblings = childrenOf(parent);
    for (unsigned i = unsigned(node->index_within_parent) + 1; i < siblings->length; ++i) {
        if (isHtmlElement(static_cast<const GumboNode *>(siblings->data[i]), tag))
            return true;
    }
    return false;
}

// Whether a table row is followed by another row of the same table, also in
// a later row group (<tbody>, <tfoot>).
bool hasLaterRow(const GumboNode *row)
{
    if (hasLaterSibling(row, GUMBO_TAG_TR))
        return true;
    const GumboNode *group = row->parent;
    if (!group || !isHtmlElement(group) || group->v.element.tag == GUMBO_TAG_TABLE)
        return false;
    const GumboVector *siblings = childrenOf(group->parent);
    for (unsigned i = unsigned(group->index_within_parent) + 1; siblings && i < siblings->length; ++i) {
        const auto *sibling = static_cast<const GumboNode *>(siblings->data[i]);
        if (!isHtmlElement(sibling))
            continue;
        const GumboVector *rows = childrenOf(sibling);
        for (unsigned r = 0; r < rows->length; ++r) {
            if (isHtmlElement(static_cast<const GumboNode *>(rows->data[r]), GUMBO_TAG_TR))
                return true;
        }
    }
    return false;
}

// Builds the rendered text of a subtree. Blanks (space, tab, line feed,
// carriage return) in running text collapse to one blank, which is dropped
// at the start and end of a line; block boundaries ask for line breaks,
// and consecutive requests give the largest of them, none at either end.
// The text is built in UTF-8, the parser's encoding, whose multi-byte
// sequences never hold a blank's byte.
class RenderedText
{
public:
    QString of(const GumboNode *element)
    {
        m_text.clear();
        m_pendingBreaks = 0;
        m_pendingBlank = false;
        m_lineStart = true;
        m_keepBlanks = 0;
        walkTree(
            element,
            [this, element](const GumboNode *node) { return enter(node, node == element); },
            [this, element](const GumboNode *node) { leave(node, node == element); });
        return QString::fromUtf8(m_text).trimmed();
    }

private:
    bool enter(const GumboNode *node, bool isRoot)
    {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE
            || node->type == GUMBO_NODE_CDATA) {
            addText(node->v.text.text);
            return false;
        }
        if (node->type != GUMBO_NODE_ELEMENT)
            return false;
        switch (isRoot ? Layout::Inline : layoutOf(node)) {
        case Layout::Hidden:
            return false;
        case Layout::Atomic:
            addContent({});
            return false;
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
            if (hasLaterRow(node)) {
                addContent("\n");
                m_lineStart = true;
            }
            break;
        case Layout::Cell:
            lineBoundary();
            if (hasLaterSibling(node, GUMBO_TAG_TD) || hasLaterSibling(node, GUMBO_TAG_TH)) {
                addContent("\t");
                m_lineStart = true;
            }
            break;
        default: break;
        }
    }

    static bool isBlank(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    }

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
};

// ---------------------------------------------------------------------------
// Targets

bool isControlOrSpace(QChar c)
{
    return c.unicode() <= 0x20;
}

// The absolute target of an href, as the browser gives it: blanks around
// the value and tabs and line breaks inside it are dropped, the reference is
// resolved against the base address, a default port is left out and an
// empty path becomes "/". A value that is no address is given back as written.
QString resolveTarget(const QUrl &base, const QString &value)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && isControlOrSpace(value[begin]))
        ++begin;
    while (end > begin && isControlOrSpace(value[end - 1]))
        --end;
    QString cleaned = value.mid(begin, end - begin);
    cleaned.remove(u'\t').remove(u'\n').remove(u'\r');

    QUrl target = base;
    if (cleaned.isEmpty()) {
        target.setFragment(QString()); // an empty reference is the base itself
    } else {
        const QUrl reference(cleaned, QUrl::TolerantMode);
        if (!reference.isValid())
            return value;
        target = base.resolved(reference);
    }
    if (!target.isValid() || target.isRelative())
        return value;
    static const QStringList hierarchical = {QStringLiteral("http"), QStringLiteral("https"),
                                             QStringLiteral("ftp"), QStringLiteral("ws"),
                                             QStringLiteral("wss"), QStringLiteral("file")};
    const QString scheme = target.scheme();
    if (hierarchical.contains(scheme)) {
        const int defaultPort = scheme == QLatin1String("http") || scheme == QLatin1String("ws") ? 80
                                : scheme == QLatin1String("https") || scheme == QLatin1String("wss") ? 443
                                : scheme == QLatin1String("ftp") ? 21
                                                                 : -1;
        if (target.port() == defaultPort)
            target.setPort(-1);
        if (target.path().isEmpty())
            target.setPath(QStringLiteral("/"));
    }
    return target.toString(QUrl::FullyEncoded);
}

// ---------------------------------------------------------------------------
// The page

// Offsets of every "access_free.gif" in the source, letters in any case, in
// ascending order. The scan jumps from one "_" to the next, a rare byte in
// markup, and compares the name around it.
std::vector<size_t> freeIconOffsets(const QByteArray &source)
{
    const QByteArray name = SiteMarkup::kFreeIconName.toLatin1();
    const qsizetype pivot = name.indexOf('_');
    std::vector<size_t> offsets;
    if (source.size() < name.size())
        return offsets;
    const char *begin = source.constData();
    const char *end = begin + source.size();
    for (const char *at = begin + pivot; at < end;) {
        at = static_cast<const char *>(std::memchr(at, '_', size_t(end - at)));
        if (!at)
            break;
        const char *start = at - pivot;
        if (end - start >= name.size() && qstrnicmp(start, name.constData(), size_t(name.size())) == 0)
            offsets.push_back(size_t(start - begin));
        ++at;
    }
    return offsets;
}

class PageReader
{
public:
    PageReader(const QByteArray &source, const QUrl &documentUrl)
        : m_source(source), m_documentUrl(documentUrl), m_freeIcons(freeIconOffsets(source))
    {
    }

    PageModel read(const GumboNode *root)
    {
        m_model.url = m_documentUrl.toString(QUrl::FullyEncoded);
        walkTree(
            root, [this](const GumboNode *node) { return enter(node); },
            [this](const GumboNode *node) { leave(node); });

        // Targets are resolved once the whole page is read, since a <base>
        // applies to the anchors before it as well.
        QUrl base = m_documentUrl;
        if (m_baseHref) {
            const QUrl resolved(resolveTarget(m_documentUrl, *m_baseHref));
            if (resolved.isValid() && !resolved.isRelative())
                base = resolved;
        }
        for (qsizetype i = 0; i < m_model.anchors.size(); ++i) {
            PageAnchor &anchor = m_model.anchors[i];
            anchor.href = m_anchorHasHref[size_t(i)] ? resolveTarget(base, anchor.href) : QString();
        }
        for (qsizetype t = 0; t < m_model.tables.size(); ++t) {
            const std::vector<qsizetype> &anchors = m_tableAnchors[size_t(t)];
            QList<PageAnchor> &tableAnchors = m_model.tables[t].anchors;
            tableAnchors.reserve(qsizetype(anchors.size()));
            for (qsizetype index : anchors)
                tableAnchors.append(m_model.anchors[index]);
        }
        return std::move(m_model);
    }

private:
    bool enter(const GumboNode *node)
    {
        if (node->type == GUMBO_NODE_DOCUMENT)
            return true;
        if (node->type != GUMBO_NODE_ELEMENT)
            return false;
        // With scripts on, the browser keeps the content of <noscript> as
        // text: no element inside it is part of the document.
        if (isHtmlElement(node, GUMBO_TAG_NOSCRIPT))
            return false;
        if (!isHtmlElement(node))
            return true;
        switch (node->v.element.tag) {
        case GUMBO_TAG_BASE: enterBase(node); break;
        case GUMBO_TAG_TABLE: enterTable(node); break;
        case GUMBO_TAG_INPUT: enterInput(node); break;
        case GUMBO_TAG_DIV: enterDiv(node); break;
        case GUMBO_TAG_A: enterAnchor(node); break;
        default: break;
        }
        return true;
    }

    void leave(const GumboNode *node)
    {
        if (isHtmlElement(node, GUMBO_TAG_TABLE))
            m_openTables.pop_back();
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
        PageTable table;
        table.className = attributeValue(node, "class");
        table.mentionsFreeIcon = markupMentionsFreeIcon(node->v.element);
        m_openTables.push_back(m_model.tables.size());
        m_model.tables.append(std::move(table));
        m_tableAnchors.emplace_back();
    }

    void enterInput(const GumboNode *node)
    {
        for (qsizetype index : m_openTables) {
            PageTable &table = m_model.tables[index];
            if (!table.hasInput) {
                table.hasInput = true;
                bool checked = false;
                attributeValue(node, "checked", &checked);
                table.inputTicked = checked;
            }
        }
    }

    void enterDiv(const GumboNode *node)
    {
        if (m_openTables.empty())
            return;
        const PageDiv div{attributeValue(node, "class"), m_text.of(node)};
        for (qsizetype index : m_openTables)
            m_model.tables[index].divs.append(div);
    }

    void enterAnchor(const GumboNode *node)
    {
        bool hasHref = false;
        QString href = attributeValue(node, "href", &hasHref); // resolved in read()
        for (qsizetype index : m_openTables)
            m_tableAnchors[size_t(index)].push_back(m_model.anchors.size());
        m_model.anchors.append(PageAnchor{attributeValue(node, "class"), m_text.of(node), std::move(href)});
        m_anchorHasHref.push_back(hasHref);
    }

    // Whether the markup between the table's start and end tags holds the
    // free icon's name. An unclosed table runs to the end of the page.
    bool markupMentionsFreeIcon(const GumboElement &table) const
    {
        const size_t begin = table.start_pos.offset + table.original_tag.length;
        size_t end = table.end_pos.offset;
        if (end < begin || end > size_t(m_source.size()))
            end = size_t(m_source.size());
        const auto first = std::lower_bound(m_freeIcons.begin(), m_freeIcons.end(), begin);
        return first != m_freeIcons.end() && *first + size_t(SiteMarkup::kFreeIconName.size()) <= end;
    }

    const QByteArray &m_source;
    const QUrl m_documentUrl;
    const std::vector<size_t> m_freeIcons;
    std::optional<QString> m_baseHref;
    PageModel m_model;
    std::vector<bool> m_anchorHasHref;
    std::vector<std::vector<qsizetype>> m_tableAnchors; // per table: its anchors' indices in m_model.anchors
    std::vector<qsizetype> m_openTables;
    RenderedText m_text;
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
            m_blocks.push_back(std::make_unique<std::max_align_t[]>(blockSize / sizeof(std::max_align_t) + 1));
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

// The page as UTF-8, the parser's encoding.
QByteArray utf8Source(const QByteArray &html)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(html);
    if (!decoder.isValid() || std::strcmp(decoder.name(), "UTF-8") == 0) {
        if (html.startsWith("\xEF\xBB\xBF"))
            return html.mid(3);
        return html;
    }
    return QString(decoder.decode(html)).toUtf8();
}

} // namespace

PageModel ReadHtmlPage(const QByteArray &html, const QUrl &documentUrl)
{
    const QByteArray source = utf8Source(html);
    ParseArena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &ParseArena::allocate;
    options.deallocator = &ParseArena::release;
    options.userdata = &arena;
    options.max_errors = 0; // parse errors are of no interest here
    const GumboOutput *output = gumbo_parse_with_options(&options, source.constData(), size_t(source.size()));
    PageReader reader(source, documentUrl);
    return reader.read(output->document); // the tree goes with the arena
}
