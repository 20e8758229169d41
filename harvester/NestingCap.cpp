#include "harvester/NestingCap.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Tag names the model treats specially; every other name gets an id of its
// own after these.
enum KnownTag : int {
    kHtml,
    kBody,
    kHead,
    kFrameset,
    kTable,
    kCaption,
    kColgroup,
    kTbody,
    kThead,
    kTfoot,
    kTr,
    kTd,
    kTh,
    kLi,
    kOl,
    kUl,
    kDd,
    kDt,
    kP,
    kButton,
    kSelect,
    kOption,
    kOptgroup,
    kForm,
    kTemplate,
    kApplet,
    kMarquee,
    kObject,
    kSvg,
    kMath,
    kForeignObject,
    kDesc,
    kTitle,
    kA,
    kNobr,
    kBr,
    kPlaintext,
    kAddress,
    kDiv,
    kKnownTagCount
};

enum TagFlag : std::uint32_t {
    kVoid = 1u << 0,          // never has content or an end tag
    kSpecial = 1u << 1,       // stops the search of an end tag with no rule of its own
    kClosesP = 1u << 2,       // its start tag closes an open paragraph
    kFormatting = 1u << 3,    // its end tag runs the adoption rules
    kRawText = 1u << 4,       // its content is text up to its own end tag
    kScopeBarrier = 1u << 5,  // bounds the default scope
    kTableBarrier = 1u << 6,  // bounds the table scope
    kListBarrier = 1u << 7,   // bounds the list-item scope, besides the default scope's
    kButtonBarrier = 1u << 8, // bounds the button scope, besides the default scope's
    kStructural = 1u << 9,    // left out beyond the depth: the parser would rebuild its structure
    kHeading = 1u << 10,
    kBlockEnd = 1u << 11,     // its end tag closes it when it is in the default scope
    kBreakout = 1u << 12,     // its start tag leaves foreign content
    kTableSection = 1u << 13, // table, tbody, thead, tfoot, tr: content here is moved out of the table
};

struct TagInfo
{
    const char *name;
    std::uint32_t flags;
};

// The known tags first, in KnownTag order, then the others with flags.
constexpr TagInfo kTags[] = {
    {"html", kSpecial | kScopeBarrier | kTableBarrier | kStructural},
    {"body", kSpecial | kStructural},
    {"head", kSpecial | kStructural | kBreakout},
    {"frameset", kSpecial | kStructural},
    {"table", kSpecial | kScopeBarrier | kTableBarrier | kStructural | kBreakout | kTableSection},
    {"caption", kSpecial | kScopeBarrier | kStructural},
    {"colgroup", kSpecial | kStructural},
    {"tbody", kSpecial | kStructural | kTableSection},
    {"thead", kSpecial | kStructural | kTableSection},
    {"tfoot", kSpecial | kStructural | kTableSection},
    {"tr", kSpecial | kStructural | kTableSection},
    {"td", kSpecial | kScopeBarrier | kStructural},
    {"th", kSpecial | kScopeBarrier | kStructural},
    {"li", kSpecial | kClosesP | kStructural | kBreakout},
    {"ol", kSpecial | kClosesP | kListBarrier | kBlockEnd | kBreakout},
    {"ul", kSpecial | kClosesP | kListBarrier | kBlockEnd | kBreakout},
    {"dd", kSpecial | kClosesP | kStructural | kBreakout},
    {"dt", kSpecial | kClosesP | kStructural | kBreakout},
    {"p", kSpecial | kClosesP | kBreakout},
    {"button", kSpecial | kButtonBarrier | kStructural | kBlockEnd},
    {"select", kSpecial | kStructural},
    {"option", kStructural},
    {"optgroup", kStructural},
    {"form", kSpecial | kClosesP | kStructural},
    {"template", kSpecial | kScopeBarrier | kTableBarrier | kStructural},
    {"applet", kSpecial | kScopeBarrier},
    {"marquee", kSpecial | kScopeBarrier},
    {"object", kSpecial | kScopeBarrier},
    {"svg", kStructural},
    {"math", kStructural},
    {"foreignobject", 0},
    {"desc", 0},
    {"title", kSpecial | kRawText},
    {"a", kFormatting},
    {"nobr", kFormatting | kBreakout},
    {"br", kSpecial | kVoid | kBreakout},
    {"plaintext", kSpecial | kClosesP},
    {"address", kSpecial | kClosesP | kBlockEnd},
    {"div", kSpecial | kClosesP | kBlockEnd | kBreakout},

    {"area", kSpecial | kVoid},
    {"base", kSpecial | kVoid},
    {"basefont", kSpecial | kVoid},
    {"bgsound", kSpecial | kVoid},
    {"col", kSpecial | kVoid},
    {"embed", kSpecial | kVoid | kBreakout},
    {"frame", kSpecial | kVoid},
    {"hr", kSpecial | kVoid | kClosesP | kBreakout},
    {"image", kVoid},
    {"img", kSpecial | kVoid | kBreakout},
    {"input", kSpecial | kVoid},
    {"keygen", kSpecial | kVoid},
    {"link", kSpecial | kVoid},
    {"meta", kSpecial | kVoid | kBreakout},
    {"param", kSpecial | kVoid},
    {"source", kSpecial | kVoid},
    {"track", kSpecial | kVoid},
    {"wbr", kSpecial | kVoid},

    {"h1", kSpecial | kClosesP | kHeading | kBreakout},
    {"h2", kSpecial | kClosesP | kHeading | kBreakout},
    {"h3", kSpecial | kClosesP | kHeading | kBreakout},
    {"h4", kSpecial | kClosesP | kHeading | kBreakout},
    {"h5", kSpecial | kClosesP | kHeading | kBreakout},
    {"h6", kSpecial | kClosesP | kHeading | kBreakout},

    {"article", kSpecial | kClosesP | kBlockEnd},
    {"aside", kSpecial | kClosesP | kBlockEnd},
    {"blockquote", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"center", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"details", kSpecial | kClosesP | kBlockEnd},
    {"dialog", kClosesP | kBlockEnd},
    {"dir", kSpecial | kClosesP | kBlockEnd},
    {"dl", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"fieldset", kSpecial | kClosesP | kBlockEnd},
    {"figcaption", kSpecial | kClosesP | kBlockEnd},
    {"figure", kSpecial | kClosesP | kBlockEnd},
    {"footer", kSpecial | kClosesP | kBlockEnd},
    {"header", kSpecial | kClosesP | kBlockEnd},
    {"hgroup", kSpecial | kClosesP | kBlockEnd},
    {"listing", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"main", kSpecial | kClosesP | kBlockEnd},
    {"menu", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"nav", kSpecial | kClosesP | kBlockEnd},
    {"pre", kSpecial | kClosesP | kBlockEnd | kBreakout},
    {"search", kSpecial | kClosesP | kBlockEnd},
    {"section", kSpecial | kClosesP | kBlockEnd},
    {"summary", kSpecial | kClosesP | kBlockEnd},

    {"iframe", kSpecial | kRawText},
    {"noembed", kSpecial | kRawText},
    {"noframes", kSpecial | kRawText},
    {"script", kSpecial | kRawText},
    {"style", kSpecial | kRawText},
    {"textarea", kSpecial | kRawText},
    {"xmp", kSpecial | kRawText | kClosesP},
    {"noscript", kSpecial},

    {"b", kFormatting | kBreakout},
    {"big", kFormatting | kBreakout},
    {"code", kFormatting | kBreakout},
    {"em", kFormatting | kBreakout},
    {"font", kFormatting},
    {"i", kFormatting | kBreakout},
    {"s", kFormatting | kBreakout},
    {"small", kFormatting | kBreakout},
    {"strike", kFormatting | kBreakout},
    {"strong", kFormatting | kBreakout},
    {"tt", kFormatting | kBreakout},
    {"u", kFormatting | kBreakout},
    {"ruby", kBreakout},
    {"span", kBreakout},
    {"sub", kBreakout},
    {"sup", kBreakout},
    {"var", kBreakout},
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

class NestingCap
{
public:
    explicit NestingCap(const QByteArray &html) : m_source(html), m_data(html.constData()), m_size(html.size())
    {
        for (const TagInfo &tag : kTags)
            intern(tag.name, tag.flags);
        // The document's root and body, which the parser always opens.
        push(kHtml, State::Implied, false);
        push(kBody, State::Implied, false);
    }

    QByteArray run()
    {
        qsizetype at = 0;
        while (at < m_size) {
            const char *open = static_cast<const char *>(std::memchr(m_data + at, '<', size_t(m_size - at)));
            if (!open)
                break;
            at = tag(open - m_data);
        }
        if (!m_changed)
            return m_source;
        m_output.append(m_data + m_copied, m_size - m_copied);
        return m_output;
    }

private:
    enum class State : std::uint8_t {
        Open,        // in the parser's input as written, below the limit
        Implied,     // added by the parser without a tag (the root, a table's body or row)
        Flat,        // in the parser's input beyond the limit, open until the next element starts
        ClosedEarly, // a Flat element that was closed before its own end tag
        Dropped,     // left out of the parser's input
    };

    struct Entry
    {
        int name;
        State state;
        bool foreign;         // an SVG or MathML element
        bool foreignChildren; // its children are foreign content
    };

    // -----------------------------------------------------------------------
    // Tokenizing

    // Handles the markup that starts with the "<" at `at`; returns where
    // scanning goes on.
    qsizetype tag(qsizetype at)
    {
        const qsizetype rest = m_size - at;
        if (rest < 2)
            return m_size;
        const char next = m_data[at + 1];
        if (next == '!') {
            if (rest >= 4 && m_data[at + 2] == '-' && m_data[at + 3] == '-')
                return comment(at + 4);
            if (inForeignContent() && QByteArrayView(m_data + at, rest).startsWith("<![CDATA[")) {
                const qsizetype close = QByteArrayView(m_data, m_size).indexOf("]]>", at + 9);
                return close < 0 ? m_size : close + 3;
            }
            return skipPast(at + 2, '>');
        }
        if (next == '?')
            return skipPast(at + 1, '>');
        if (next == '/') {
            if (rest < 3)
                return m_size;
            if (m_data[at + 2] == '>')
                return at + 3;
            if (!isAsciiLetter(m_data[at + 2]))
                return skipPast(at + 2, '>');
            return endTag(at);
        }
        if (!isAsciiLetter(next))
            return at + 1; // a "<" in text
        return startTag(at);
    }

    qsizetype skipPast(qsizetype at, char c)
    {
        const char *found = static_cast<const char *>(std::memchr(m_data + at, c, size_t(m_size - at)));
        return found ? found - m_data + 1 : m_size;
    }

    // A comment's end: "-->" or "--!>", or at once after "<!--" for "<!-->"
    // and "<!--->".
    qsizetype comment(qsizetype at)
    {
        const QByteArrayView all(m_data, m_size);
        if (at < m_size && m_data[at] == '>')
            return at + 1;
        if (all.sliced(at).startsWith("->"))
            return at + 2;
        for (qsizetype dashes = all.indexOf("--", at); dashes >= 0; dashes = all.indexOf("--", dashes + 1)) {
            if (all.sliced(dashes + 2).startsWith(">"))
                return dashes + 3;
            if (all.sliced(dashes + 2).startsWith("!>"))
                return dashes + 4;
        }
        return m_size;
    }

    // Reads a tag's name from `at`; returns where it ends.
    qsizetype tagName(qsizetype at, std::string &name) const
    {
        name.clear();
        while (at < m_size && !isSpace(m_data[at]) && m_data[at] != '/' && m_data[at] != '>')
            name.push_back(lower(m_data[at++]));
        return at;
    }

    // Reads the attributes up to the tag's ">"; returns the position after
    // it, or -1 when the page ends inside the tag (the parser then drops
    // the tag). Sets whether the tag closes itself ("/>").
    qsizetype attributes(qsizetype at, bool &selfClosing) const
    {
        selfClosing = false;
        while (at < m_size) {
            const char c = m_data[at];
            if (isSpace(c)) {
                ++at;
                continue;
            }
            if (c == '>')
                return at + 1;
            if (c == '/') {
                ++at;
                if (at < m_size && m_data[at] == '>') {
                    selfClosing = true;
                    return at + 1;
                }
                continue;
            }
            // A name: its first character may be anything, even "=".
            ++at;
            while (at < m_size && !isSpace(m_data[at]) && m_data[at] != '/' && m_data[at] != '>' && m_data[at] != '=')
                ++at;
            while (at < m_size && isSpace(m_data[at]))
                ++at;
            if (at >= m_size || m_data[at] != '=')
                continue;
            ++at;
            while (at < m_size && isSpace(m_data[at]))
                ++at;
            if (at >= m_size)
                return -1;
            if (m_data[at] == '"' || m_data[at] == '\'') {
                const char *close =
                    static_cast<const char *>(std::memchr(m_data + at + 1, m_data[at], size_t(m_size - at - 1)));
                if (!close)
                    return -1;
                at = close - m_data + 1;
            } else {
                while (at < m_size && !isSpace(m_data[at]) && m_data[at] != '>')
                    ++at;
            }
        }
        return -1;
    }

    // Where the raw text of element `name` ends: at its end tag, "</name"
    // followed by a blank, "/" or ">"; the end of the page when it has none.
    qsizetype rawTextEnd(qsizetype at, const std::string &name) const
    {
        const auto length = qsizetype(name.size());
        while (at < m_size) {
            const char *open = static_cast<const char *>(std::memchr(m_data + at, '<', size_t(m_size - at)));
            if (!open)
                return m_size;
            at = open - m_data;
            if (m_size - at >= length + 3 && m_data[at + 1] == '/'
                && qstrnicmp(m_data + at + 2, name.data(), size_t(length)) == 0) {
                const char after = m_data[at + 2 + length];
                if (isSpace(after) || after == '/' || after == '>')
                    return at;
            }
            ++at;
        }
        return m_size;
    }

    qsizetype startTag(qsizetype begin)
    {
        qsizetype at = tagName(begin + 1, m_name);
        bool selfClosing = false;
        const qsizetype end = attributes(at, selfClosing);
        if (end < 0)
            return m_size;
        int name = intern(m_name, 0);
        if (name == m_imageId)
            name = m_imgId;
        const bool raw = startElement(name, selfClosing, begin, end);
        if (name == kPlaintext && raw)
            return m_size;
        return raw ? rawTextEnd(end, m_name) : end;
    }

    qsizetype endTag(qsizetype begin)
    {
        const qsizetype at = tagName(begin + 2, m_name);
        bool selfClosing = false;
        const qsizetype end = attributes(at, selfClosing);
        if (end < 0)
            return m_size;
        endElement(intern(m_name, 0), begin, end);
        return end;
    }

    // -----------------------------------------------------------------------
    // The model of the parser's stack of open elements

    // A start tag; returns whether its content is raw text.
    bool startElement(int name, bool selfClosing, qsizetype begin, qsizetype end)
    {
        const std::uint32_t flags = m_flags[size_t(name)];
        if (inForeignContent()) {
            if (!(flags & kBreakout)) {
                if (!selfClosing) {
                    closeFlatEarly(begin);
                    pushElement(name, true, begin, end);
                }
                return false;
            }
            closeFlatEarly(begin);
            while (m_entries.back().foreign)
                pop();
        }
        if (flags & kVoid)
            return false;
        closeFlatEarly(begin);
        switch (name) {
        case kHtml:
        case kBody:
        case kHead:
        case kFrameset: return false; // the parser adds attributes to the elements it opened itself
        case kForm:
            if (!m_positions[kForm].empty() && m_positions[kTemplate].empty())
                return false; // the parser ignores a form inside a form
            break;
        default: break;
        }
        closeImplied(name, flags);
        addImpliedParents(name);
        const bool foreign = name == kSvg || name == kMath;
        pushElement(name, foreign, begin, end);
        return (flags & kRawText) || name == kPlaintext;
    }

    // Closes what the parser closes when the start tag of `name` comes.
    void closeImplied(int name, std::uint32_t flags)
    {
        if (flags & kClosesP)
            popToIfIn(kP, lastOf(m_buttonScope));
        switch (name) {
        case kLi: popToListItem(kLi, kLi); break;
        case kDd:
        case kDt: popToListItem(kDd, kDt); break;
        case kTd:
        case kTh: {
            const int cell = std::max(lastOf(m_positions[kTd]), lastOf(m_positions[kTh]));
            if (cell >= 0 && cell >= lastOf(m_tableScope))
                popTo(cell);
            break;
        }
        case kTr: popToIfIn(kTr, lastOf(m_tableScope)); break;
        case kTbody:
        case kThead:
        case kTfoot: {
            const int section =
                std::max({lastOf(m_positions[kTbody]), lastOf(m_positions[kThead]), lastOf(m_positions[kTfoot])});
            if (section >= 0 && section >= lastOf(m_tableScope))
                popTo(section);
            break;
        }
        case kTable:
            // A table directly in a table section closes the open table.
            if (m_flags[size_t(top().name)] & kTableSection)
                popToIfIn(kTable, 0);
            break;
        case kOption:
            if (top().name == kOption)
                pop();
            break;
        case kOptgroup:
            if (top().name == kOption)
                pop();
            if (top().name == kOptgroup)
                pop();
            break;
        case kA:
        case kNobr:
            // An anchor closes the open one, and what is open inside it,
            // when that holds no block; around a block the adoption rules
            // rebuild the elements without opening more than they close.
            popToIfIn(name, lastOf(m_special) + 1);
            break;
        case kButton: popToIfIn(kButton, lastOf(m_scope)); break;
        default:
            if ((flags & kHeading) && (m_flags[size_t(top().name)] & kHeading))
                pop();
            break;
        }
    }

    // A list item closes the open item of its kinds when only paragraphs,
    // DIVs, addresses and ordinary elements lie above it. Looking a few
    // elements down is enough for any page written by hand, and keeps the
    // pass linear.
    void popToListItem(int kind, int otherKind)
    {
        const int bottom = std::max(0, int(m_entries.size()) - 8);
        for (int i = int(m_entries.size()) - 1; i >= bottom; --i) {
            const int name = m_entries[size_t(i)].name;
            if (name == kind || name == otherKind) {
                popTo(i);
                return;
            }
            if ((m_flags[size_t(name)] & kSpecial) && name != kAddress && name != kDiv && name != kP)
                return;
        }
    }

    // The rows and bodies the parser adds to a table for a row or a cell.
    void addImpliedParents(int name)
    {
        if (name != kTr && name != kTd && name != kTh)
            return;
        if (top().name == kTable)
            pushImplied(kTbody);
        if (name != kTr && (top().name == kTbody || top().name == kThead || top().name == kTfoot))
            pushImplied(kTr);
    }

    void pushImplied(int name)
    {
        const State state =
            m_entries.size() <= size_t(kMaxNestingDepth) || completesTable(name) ? State::Implied : State::Dropped;
        push(name, state, false);
    }

    // A table open at the limit still gets its body, row and cell.
    bool completesTable(int name) const
    {
        if (m_live.empty() || !(m_flags[size_t(m_entries[size_t(m_live.back())].name)] & kTableSection))
            return false;
        return name == kTbody || name == kThead || name == kTfoot || name == kTr || name == kTd || name == kTh;
    }

    void pushElement(int name, bool foreign, qsizetype begin, qsizetype end)
    {
        if (m_entries.size() <= size_t(kMaxNestingDepth) || completesTable(name)) {
            push(name, State::Open, foreign);
            return;
        }
        if (!foreign && !(m_flags[size_t(name)] & kStructural)) {
            push(name, State::Flat, foreign);
            m_openFlat = int(m_entries.size()) - 1;
            return;
        }
        replace(begin, end, {});
        push(name, State::Dropped, foreign);
    }

    void endElement(int name, qsizetype begin, qsizetype end)
    {
        if (name == kBody) {
            replace(begin, end, {});
            return;
        }
        if (m_openFlat >= 0 && lastOf(m_positions[size_t(name)]) != m_openFlat)
            closeFlatEarly(begin);
        const int target = endTarget(name);
        if (target < 0) {
            // An element kept out of scope only by one left out of the
            // parser's input (a table beyond the limit) stays open, as in
            // the browser: the parser, which lacks that table, would close it.
            if (m_live.size() < m_entries.size() && !m_positions[size_t(name)].empty() && name != kHtml && name != kBody
                && !(m_flags[size_t(name)] & kFormatting))
                replace(begin, end, {});
            return; // otherwise the parser ignores it, or changes nothing the model follows
        }
        const State state = m_entries[size_t(target)].state;
        popTo(target);
        if (state == State::ClosedEarly || state == State::Dropped)
            replace(begin, end, {});
    }

    // The entry an end tag closes, with everything above it; -1 for none.
    int endTarget(int name) const
    {
        const std::uint32_t flags = m_flags[size_t(name)];
        const int last = lastOf(m_positions[size_t(name)]);
        if (last < 0)
            return -1;
        if (top().foreign && top().name == name)
            return last;
        switch (name) {
        case kHtml:
        case kBody:
        case kBr: return -1;
        case kP: return last >= lastOf(m_buttonScope) ? last : -1;
        case kLi: return last >= lastOf(m_listScope) ? last : -1;
        case kTd:
        case kTh:
        case kTr:
        case kTbody:
        case kThead:
        case kTfoot:
        case kTable:
        case kCaption: return last >= lastOf(m_tableScope) ? last : -1;
        case kForm: return top().name == kForm ? last : -1;
        case kTemplate: return last;
        default: break;
        }
        if (flags & kHeading) {
            const int heading = lastOf(m_headings);
            return heading >= lastOf(m_scope) ? heading : -1;
        }
        // A formatting element's end tag closes it, and what is open inside
        // it, when that holds no block; around a block the adoption rules
        // rebuild the elements without opening more than they close, and
        // the model keeps them all.
        if (flags & kFormatting)
            return last > lastOf(m_special) ? last : -1;
        if ((flags & kBlockEnd) || name == kDd || name == kDt)
            return last >= lastOf(m_scope) ? last : -1;
        return last >= lastOf(m_special) ? last : -1;
    }

    // Ends the element open beyond the limit before anything else happens
    // to it: what comes next sits beside it, not inside it.
    void closeFlatEarly(qsizetype at)
    {
        if (m_openFlat < 0)
            return;
        Entry &flat = m_entries[size_t(m_openFlat)];
        replace(at, at, QByteArray("</") + QByteArray::fromStdString(m_names[size_t(flat.name)]) + '>');
        flat.state = State::ClosedEarly;
        m_live.pop_back();
        m_openFlat = -1;
    }

    bool inForeignContent() const { return top().foreignChildren; }

    const Entry &top() const { return m_entries.back(); }

    static int lastOf(const std::vector<int> &positions) { return positions.empty() ? -1 : positions.back(); }

    void popToIfIn(int name, int barrier)
    {
        const int last = lastOf(m_positions[size_t(name)]);
        if (last >= 0 && last >= barrier)
            popTo(last);
    }

    void popTo(int position)
    {
        while (int(m_entries.size()) > std::max(position, 2))
            pop();
    }

    void push(int name, State state, bool foreign)
    {
        const int position = int(m_entries.size());
        const bool foreignChildren = foreign && name != kForeignObject && name != kDesc && name != kTitle;
        m_entries.push_back(Entry{name, state, foreign, foreignChildren});
        m_positions[size_t(name)].push_back(position);
        if (state == State::Open || state == State::Implied || state == State::Flat)
            m_live.push_back(position);
        if (foreign)
            return;
        const std::uint32_t flags = m_flags[size_t(name)];
        if (flags & kScopeBarrier) {
            m_scope.push_back(position);
            m_buttonScope.push_back(position);
            m_listScope.push_back(position);
        }
        if (flags & kButtonBarrier)
            m_buttonScope.push_back(position);
        if (flags & kListBarrier)
            m_listScope.push_back(position);
        if (flags & kTableBarrier)
            m_tableScope.push_back(position);
        if (flags & kSpecial)
            m_special.push_back(position);
        if (flags & kHeading)
            m_headings.push_back(position);
    }

    void pop()
    {
        const int position = int(m_entries.size()) - 1;
        m_positions[size_t(m_entries.back().name)].pop_back();
        for (std::vector<int> *positions :
             {&m_live, &m_scope, &m_buttonScope, &m_listScope, &m_tableScope, &m_special, &m_headings}) {
            if (!positions->empty() && positions->back() == position)
                positions->pop_back();
        }
        if (m_openFlat == position)
            m_openFlat = -1;
        m_entries.pop_back();
    }

    int intern(const std::string &name, std::uint32_t flags)
    {
        auto [found, added] = m_ids.try_emplace(name, int(m_names.size()));
        if (added) {
            m_names.push_back(name);
            m_flags.push_back(flags);
            m_positions.emplace_back();
            if (name == "image")
                m_imageId = found->second;
            else if (name == "img")
                m_imgId = found->second;
        }
        return found->second;
    }

    // -----------------------------------------------------------------------
    // The rewritten page, copied only once something changes

    void replace(qsizetype begin, qsizetype end, QByteArrayView with)
    {
        if (!m_changed) {
            m_output.reserve(m_size + m_size / 8);
            m_changed = true;
        }
        m_output.append(m_data + m_copied, begin - m_copied);
        m_output.append(with);
        m_copied = end;
    }

    const QByteArray &m_source;
    const char *m_data;
    const qsizetype m_size;
    QByteArray m_output;
    qsizetype m_copied = 0;
    bool m_changed = false;

    std::unordered_map<std::string, int> m_ids;
    std::vector<std::string> m_names;
    std::vector<std::uint32_t> m_flags;
    std::vector<std::vector<int>> m_positions; // per name: where it is open, innermost last
    int m_imageId = -1;
    int m_imgId = -1;
    std::string m_name;

    std::vector<Entry> m_entries;
    std::vector<int> m_live; // the entries the parser holds open
    std::vector<int> m_scope, m_buttonScope, m_listScope, m_tableScope, m_special, m_headings;
    int m_openFlat = -1;
};

} // namespace

QByteArray CapNestingDepth(const QByteArray &html)
{
    return NestingCap(html).run();
}
