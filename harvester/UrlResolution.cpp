#include "harvester/UrlResolution.h"

#include <algorithm>

#include <QList>
#include <QStringEncoder>
#include <QStringList>
#include <QUrl>

namespace {

// An address in parts, as the resolution builds it.
struct Address
{
    QString scheme;
    QString username;
    QString password;
    std::optional<QString> host;
    int port = -1;
    QStringList path;
    bool opaque = false; // "mailto:..." and the like: one path, no segments
    std::optional<QString> query;
    std::optional<QString> fragment;
};

int defaultPort(const QString &scheme)
{
    if (scheme == u"http" || scheme == u"ws")
        return 80;
    if (scheme == u"https" || scheme == u"wss")
        return 443;
    if (scheme == u"ftp")
        return 21;
    return -1;
}

bool isSpecial(const QString &scheme)
{
    return scheme == u"file" || defaultPort(scheme) != -1;
}

bool isAsciiAlpha(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char32_t c)
{
    return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Which characters each part of an address writes percent-encoded.
enum class EncodeSet { Control, Fragment, Query, SpecialQuery, Path, Userinfo };

bool needsEncoding(char32_t c, EncodeSet set)
{
    if (c < 0x20 || c > 0x7E)
        return true;
    if (set == EncodeSet::Control)
        return false;
    if (set == EncodeSet::Fragment)
        return c == ' ' || c == '"' || c == '<' || c == '>' || c == '`';
    if (c == ' ' || c == '"' || c == '#' || c == '<' || c == '>')
        return true;
    if (set == EncodeSet::Query)
        return false;
    if (set == EncodeSet::SpecialQuery)
        return c == '\'';
    // The browser also escapes "^" and "|" in a path.
    if (c == '?' || c == '`' || c == '{' || c == '}' || c == '^' || c == '|')
        return true;
    if (set == EncodeSet::Path)
        return false;
    return c == '/' || c == ':' || c == ';' || c == '=' || c == '@' || (c >= '[' && c <= '^') || c == '|';
}

void appendEscaped(QString &out, QByteArrayView bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        out.append(u'%');
        out.append(QLatin1Char(hex[byte >> 4]));
        out.append(QLatin1Char(hex[byte & 0xF]));
    }
}

// Appends one character, percent-encoded as UTF-8 when the set asks for it.
void appendEncoded(QString &out, char32_t c, EncodeSet set)
{
    if (!needsEncoding(c, set)) {
        out.append(QChar(char16_t(c)));
        return;
    }
    appendEscaped(out, QString::fromUcs4(&c, 1).toUtf8());
}

// Appends one character of a query written in a legacy encoding: its bytes
// in that encoding, and a character the encoding lacks as the character
// reference a form would send.
void appendQueryEncoded(QString &out, char32_t c, EncodeSet set, QStringEncoder &encoder, QByteArrayView encoding)
{
    if (c < 0x80) {
        appendEncoded(out, c, set);
        return;
    }
    encoder.resetState();
    // GBK is GB18030 without its four-byte sequences, and with the euro
    // sign as one byte.
    const bool gbk = encoding == "GBK";
    const QByteArray bytes = gbk && c == 0x20AC ? QByteArray("\x80") : encoder.encode(QString::fromUcs4(&c, 1));
    if (encoder.hasError() || bytes.isEmpty() || bytes == "?" || (gbk && bytes.size() == 4)) {
        out += QStringLiteral("%26%23") + QString::number(uint(c)) + QStringLiteral("%3B");
        return;
    }
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        if (needsEncoding(byte, set))
            appendEscaped(out, QByteArrayView(&b, 1));
        else
            out.append(QLatin1Char(b));
    }
}

// A path segment with the escapes of letters, digits and "-._~" written as
// those characters, as the browser writes a path; other escapes stay as
// written, in their own case.
QString unescapeUnreserved(const QString &segment)
{
    if (!segment.contains(u'%'))
        return segment;
    QString out;
    out.reserve(segment.size());
    for (qsizetype i = 0; i < segment.size(); ++i) {
        if (segment[i] == u'%' && i + 2 < segment.size() && isHexDigit(segment[i + 1].unicode())
            && isHexDigit(segment[i + 2].unicode())) {
            const char32_t c = char32_t(segment.mid(i + 1, 2).toUInt(nullptr, 16));
            if (isAsciiAlpha(c) || isAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
                out.append(QChar(char16_t(c)));
                i += 2;
                continue;
            }
        }
        out.append(segment[i]);
    }
    return out;
}

// "." and ".." segments, also written with %2e.
bool isSingleDot(const QString &segment)
{
    return segment == u"." || segment.compare(u"%2e", Qt::CaseInsensitive) == 0;
}

bool isDoubleDot(const QString &segment)
{
    if (segment.size() == 2)
        return segment == u"..";
    const QString lower = segment.toLower();
    return lower == u".%2e" || lower == u"%2e." || lower == u"%2e%2e";
}

QByteArray percentDecode(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() && isHexDigit(uchar(bytes[i + 1]))
            && isHexDigit(uchar(bytes[i + 2]))) {
            out.append(char(QByteArray::fromHex(bytes.mid(i + 1, 2)).at(0)));
            i += 2;
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

// One part of a dotted IPv4 address: decimal, 0x hexadecimal or 0 octal.
std::optional<quint64> ipv4Number(QString part)
{
    if (part.isEmpty())
        return std::nullopt;
    int radix = 10;
    if (part.size() >= 2 && (part.startsWith(u"0x") || part.startsWith(u"0X"))) {
        part = part.mid(2);
        radix = 16;
    } else if (part.size() >= 2 && part.startsWith(u'0')) {
        part = part.mid(1);
        radix = 8;
    }
    if (part.isEmpty())
        return 0;
    bool ok = false;
    const quint64 value = part.toULongLong(&ok, radix);
    if (!ok || part.startsWith(u'+') || part.startsWith(u'-'))
        return std::nullopt;
    return value;
}

// A host whose last label is a number is an IPv4 address, written as
// four decimals; nothing when it is not a valid one.
std::optional<QString> ipv4Host(const QString &host)
{
    QStringList parts = host.split(u'.');
    if (parts.last().isEmpty() && parts.size() > 1)
        parts.removeLast();
    if (parts.size() > 4)
        return std::nullopt;
    QList<quint64> numbers;
    for (const QString &part : parts) {
        const std::optional<quint64> number = ipv4Number(part);
        if (!number)
            return std::nullopt;
        numbers.append(*number);
    }
    for (qsizetype i = 0; i + 1 < numbers.size(); ++i) {
        if (numbers[i] > 255)
            return std::nullopt;
    }
    if (numbers.last() >= (quint64(1) << (8 * (5 - numbers.size()))))
        return std::nullopt;
    quint64 address = numbers.last();
    for (qsizetype i = 0; i + 1 < numbers.size(); ++i)
        address += numbers[i] << (8 * (3 - i));
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool endsInNumber(const QString &host)
{
    QStringList parts = host.split(u'.');
    if (parts.last().isEmpty()) {
        if (parts.size() == 1)
            return false;
        parts.removeLast();
    }
    const QString &last = parts.last();
    if (!last.isEmpty()
        && std::all_of(last.begin(), last.end(), [](QChar c) { return c.isDigit() && c.unicode() < 0x80; }))
        return true;
    return ipv4Number(last).has_value();
}

std::optional<QString> parseHost(const QString &input, bool special)
{
    if (input.startsWith(u'[')) {
        if (!input.endsWith(u']'))
            return std::nullopt;
        // IPv6 addresses are written in their shortest form, as QUrl does.
        const QUrl probe(QStringLiteral("http://") + input + u'/', QUrl::StrictMode);
        if (!probe.isValid() || probe.host().isEmpty())
            return std::nullopt;
        return u'[' + probe.host() + u']';
    }
    if (!special) {
        static const QString forbidden = QStringLiteral(" #/:<>?@[\\]^|");
        QString out;
        for (const char32_t c : input.toUcs4()) {
            if (c == 0 || c == '\t' || c == '\n' || c == '\r' || (c < 0x80 && forbidden.contains(QChar(char16_t(c)))))
                return std::nullopt;
            appendEncoded(out, c, EncodeSet::Control);
        }
        return out;
    }
    const QString domain = QString::fromUtf8(percentDecode(input));
    QString ascii;
    bool plainAscii = std::all_of(domain.begin(), domain.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (plainAscii) {
        ascii = domain.toLower();
    } else {
        ascii = QString::fromLatin1(QUrl::toAce(domain));
        if (ascii.isEmpty())
            return std::nullopt;
        ascii = ascii.toLower();
    }
    if (ascii.isEmpty())
        return std::nullopt;
    static const QString forbidden = QStringLiteral(" #%/:<>?@[\\]^|");
    for (const QChar c : ascii) {
        if (c.unicode() <= 0x1F || c.unicode() == 0x7F || forbidden.contains(c))
            return std::nullopt;
    }
    if (endsInNumber(ascii))
        return ipv4Host(ascii);
    return ascii;
}

void shortenPath(Address &address)
{
    if (address.scheme == u"file" && address.path.size() == 1 && address.path[0].size() == 2
        && isAsciiAlpha(address.path[0][0].unicode()) && address.path[0][1] == u':')
        return;
    if (!address.path.isEmpty())
        address.path.removeLast();
}

enum class State {
    SchemeStart,
    Scheme,
    NoScheme,
    SpecialRelativeOrAuthority,
    PathOrAuthority,
    Relative,
    RelativeSlash,
    SpecialAuthoritySlashes,
    SpecialAuthorityIgnoreSlashes,
    Authority,
    Host,
    Port,
    File,
    FileSlash,
    FileHost,
    PathStart,
    Path,
    OpaquePath,
    Query,
    Fragment,
};

constexpr char32_t kEnd = 0xFFFFFFFF;

std::optional<Address> parse(QStringView value, const Address *base, QByteArrayView encoding)
{
    // Blanks and controls around the value go, tabs and line breaks inside it.
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && value[end - 1].unicode() <= 0x20)
        --end;
    QList<char32_t> input;
    for (const char32_t c : value.mid(begin, end - begin).toUcs4()) {
        if (c != '\t' && c != '\n' && c != '\r')
            input.append(c);
    }

    Address url;
    State state = State::SchemeStart;
    QString buffer;
    bool atSignSeen = false;
    bool insideBrackets = false;
    bool passwordTokenSeen = false;
    const qsizetype length = input.size();
    const auto at = [&](qsizetype i) { return i < length ? input[i] : kEnd; };
    const auto remainingStartsWith = [&](qsizetype i, char32_t c) { return at(i + 1) == c; };

    for (qsizetype pointer = 0; pointer <= length; ++pointer) {
        const char32_t c = at(pointer);
        const bool special = isSpecial(url.scheme);
        switch (state) {
        case State::SchemeStart:
            if (isAsciiAlpha(c)) {
                buffer.append(QChar(char16_t(c)).toLower());
                state = State::Scheme;
            } else {
                state = State::NoScheme;
                --pointer;
            }
            break;
        case State::Scheme:
            if (isAsciiAlpha(c) || isAsciiDigit(c) || c == '+' || c == '-' || c == '.') {
                buffer.append(QChar(char16_t(c)).toLower());
            } else if (c == ':') {
                url.scheme = buffer;
                buffer.clear();
                if (url.scheme == u"file") {
                    state = State::File;
                } else if (isSpecial(url.scheme) && base && base->scheme == url.scheme) {
                    state = State::SpecialRelativeOrAuthority;
                } else if (isSpecial(url.scheme)) {
                    state = State::SpecialAuthoritySlashes;
                } else if (remainingStartsWith(pointer, '/')) {
                    state = State::PathOrAuthority;
                    ++pointer;
                } else {
                    url.opaque = true;
                    url.path = {QString()};
                    state = State::OpaquePath;
                }
            } else {
                buffer.clear();
                state = State::NoScheme;
                pointer = -1;
            }
            break;
        case State::NoScheme:
            if (!base || (base->opaque && c != '#'))
                return std::nullopt;
            if (base->opaque && c == '#') {
                url.scheme = base->scheme;
                url.path = base->path;
                url.opaque = true;
                url.query = base->query;
                url.fragment = QString();
                state = State::Fragment;
            } else if (base->scheme != u"file") {
                state = State::Relative;
                --pointer;
            } else {
                state = State::File;
                --pointer;
            }
            break;
        case State::SpecialRelativeOrAuthority:
            if (c == '/' && remainingStartsWith(pointer, '/')) {
                state = State::SpecialAuthorityIgnoreSlashes;
                ++pointer;
            } else {
                state = State::Relative;
                --pointer;
            }
            break;
        case State::PathOrAuthority:
            if (c == '/') {
                state = State::Authority;
            } else {
                state = State::Path;
                --pointer;
            }
            break;
        case State::Relative:
            url.scheme = base->scheme;
            if (c == '/') {
                state = State::RelativeSlash;
            } else if (isSpecial(url.scheme) && c == '\\') {
                state = State::RelativeSlash;
            } else {
                url.username = base->username;
                url.password = base->password;
                url.host = base->host;
                url.port = base->port;
                url.path = base->path;
                url.query = base->query;
                if (c == '?') {
                    url.query = QString();
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = QString();
                    state = State::Fragment;
                } else if (c != kEnd) {
                    url.query.reset();
                    shortenPath(url);
                    state = State::Path;
                    --pointer;
                }
            }
            break;
        case State::RelativeSlash:
            if (isSpecial(url.scheme) && (c == '/' || c == '\\')) {
                state = State::SpecialAuthorityIgnoreSlashes;
            } else if (c == '/') {
                state = State::Authority;
            } else {
                url.username = base->username;
                url.password = base->password;
                url.host = base->host;
                url.port = base->port;
                state = State::Path;
                --pointer;
            }
            break;
        case State::SpecialAuthoritySlashes:
            state = State::SpecialAuthorityIgnoreSlashes;
            if (c == '/' && remainingStartsWith(pointer, '/'))
                ++pointer;
            else
                --pointer;
            break;
        case State::SpecialAuthorityIgnoreSlashes:
            if (c != '/' && c != '\\') {
                state = State::Authority;
                --pointer;
            }
            break;
        case State::Authority:
            if (c == '@') {
                if (atSignSeen)
                    buffer.prepend(QStringLiteral("%40"));
                atSignSeen = true;
                for (const char32_t b : buffer.toUcs4()) {
                    if (b == ':' && !passwordTokenSeen) {
                        passwordTokenSeen = true;
                        continue;
                    }
                    appendEncoded(passwordTokenSeen ? url.password : url.username, b, EncodeSet::Userinfo);
                }
                buffer.clear();
            } else if (c == kEnd || c == '/' || c == '?' || c == '#' || (special && c == '\\')) {
                if (atSignSeen && buffer.isEmpty())
                    return std::nullopt;
                pointer -= QString(buffer).toUcs4().size() + 1;
                buffer.clear();
                state = State::Host;
            } else {
                buffer.append(QString::fromUcs4(&c, 1));
            }
            break;
        case State::Host:
            if (c == ':' && !insideBrackets) {
                if (buffer.isEmpty())
                    return std::nullopt;
                url.host = parseHost(buffer, special);
                if (!url.host)
                    return std::nullopt;
                buffer.clear();
                state = State::Port;
            } else if (c == kEnd || c == '/' || c == '?' || c == '#' || (special && c == '\\')) {
                --pointer;
                if (special && buffer.isEmpty())
                    return std::nullopt;
                url.host = parseHost(buffer, special);
                if (!url.host)
                    return std::nullopt;
                buffer.clear();
                state = State::PathStart;
            } else {
                if (c == '[')
                    insideBrackets = true;
                if (c == ']')
                    insideBrackets = false;
                buffer.append(QString::fromUcs4(&c, 1));
            }
            break;
        case State::Port:
            if (isAsciiDigit(c)) {
                buffer.append(QChar(char16_t(c)));
            } else if (c == kEnd || c == '/' || c == '?' || c == '#' || (special && c == '\\')) {
                if (!buffer.isEmpty()) {
                    bool ok = false;
                    const uint port = buffer.toUInt(&ok);
                    if (!ok || port > 65535)
                        return std::nullopt;
                    url.port = int(port) == defaultPort(url.scheme) ? -1 : int(port);
                    buffer.clear();
                }
                state = State::PathStart;
                --pointer;
            } else {
                return std::nullopt;
            }
            break;
        case State::File:
            url.scheme = QStringLiteral("file");
            url.host = QString();
            if (c == '/' || c == '\\') {
                state = State::FileSlash;
            } else if (base && base->scheme == u"file") {
                url.host = base->host;
                url.path = base->path;
                url.query = base->query;
                if (c == '?') {
                    url.query = QString();
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = QString();
                    state = State::Fragment;
                } else if (c != kEnd) {
                    url.query.reset();
                    shortenPath(url);
                    state = State::Path;
                    --pointer;
                }
            } else {
                state = State::Path;
                --pointer;
            }
            break;
        case State::FileSlash:
            if (c == '/' || c == '\\') {
                state = State::FileHost;
            } else {
                if (base && base->scheme == u"file")
                    url.host = base->host;
                state = State::Path;
                --pointer;
            }
            break;
        case State::FileHost:
            if (c == kEnd || c == '/' || c == '\\' || c == '?' || c == '#') {
                --pointer;
                if (buffer.isEmpty()) {
                    url.host = QString();
                } else {
                    url.host = parseHost(buffer, true);
                    if (!url.host)
                        return std::nullopt;
                    if (*url.host == u"localhost")
                        url.host = QString();
                    buffer.clear();
                }
                state = State::PathStart;
            } else {
                buffer.append(QString::fromUcs4(&c, 1));
            }
            break;
        case State::PathStart:
            if (special) {
                state = State::Path;
                if (c != '/' && c != '\\')
                    --pointer;
            } else if (c == '?') {
                url.query = QString();
                state = State::Query;
            } else if (c == '#') {
                url.fragment = QString();
                state = State::Fragment;
            } else if (c != kEnd) {
                state = State::Path;
                if (c != '/')
                    --pointer;
            }
            break;
        case State::Path:
            if (c == kEnd || c == '/' || (special && c == '\\') || c == '?' || c == '#') {
                const bool slash = c == '/' || (special && c == '\\');
                if (isDoubleDot(buffer)) {
                    shortenPath(url);
                    if (!slash)
                        url.path.append(QString());
                } else if (isSingleDot(buffer)) {
                    if (!slash)
                        url.path.append(QString());
                } else {
                    url.path.append(special ? unescapeUnreserved(buffer) : buffer);
                }
                buffer.clear();
                if (c == '?') {
                    url.query = QString();
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = QString();
                    state = State::Fragment;
                }
            } else {
                appendEncoded(buffer, c, EncodeSet::Path);
            }
            break;
        case State::OpaquePath:
            if (c == '?') {
                url.query = QString();
                state = State::Query;
            } else if (c == '#') {
                url.fragment = QString();
                state = State::Fragment;
            } else if (c != kEnd) {
                appendEncoded(url.path[0], c, EncodeSet::Control);
            }
            break;
        case State::Query: {
            if (c == '#' || c == kEnd) {
                const EncodeSet set = special ? EncodeSet::SpecialQuery : EncodeSet::Query;
                const bool utf8 =
                    !special || encoding.isEmpty() || encoding == "UTF-8" || encoding.startsWith("UTF-16");
                std::optional<QStringEncoder> encoder;
                if (!utf8) {
                    encoder.emplace(encoding == "GBK" ? "GB18030"
                                                      : QByteArray(encoding.data(), encoding.size()).constData());
                    if (!encoder->isValid())
                        encoder.reset();
                }
                for (const char32_t q : buffer.toUcs4()) {
                    if (encoder)
                        appendQueryEncoded(*url.query, q, set, *encoder, encoding);
                    else
                        appendEncoded(*url.query, q, set);
                }
                buffer.clear();
                if (c == '#') {
                    url.fragment = QString();
                    state = State::Fragment;
                }
            } else {
                buffer.append(QString::fromUcs4(&c, 1));
            }
            break;
        }
        case State::Fragment:
            if (c != kEnd)
                appendEncoded(*url.fragment, c, EncodeSet::Fragment);
            break;
        }
    }
    return url;
}

QString serialize(const Address &url)
{
    QString out = url.scheme + u':';
    if (url.host) {
        out += QStringLiteral("//");
        if (!url.username.isEmpty() || !url.password.isEmpty()) {
            out += url.username;
            if (!url.password.isEmpty())
                out += u':' + url.password;
            out += u'@';
        }
        out += *url.host;
        if (url.port != -1)
            out += u':' + QString::number(url.port);
    }
    if (url.opaque) {
        out += url.path.value(0);
    } else {
        if (!url.host && url.path.size() > 1 && url.path[0].isEmpty())
            out += QStringLiteral("/.");
        for (const QString &segment : url.path)
            out += u'/' + segment;
    }
    if (url.query)
        out += u'?' + *url.query;
    if (url.fragment)
        out += u'#' + *url.fragment;
    return out;
}

} // namespace

std::optional<QString> ResolveUrl(QStringView value, QStringView base, QByteArrayView encoding)
{
    const std::optional<Address> baseAddress = parse(base, nullptr, "UTF-8");
    const std::optional<Address> address = parse(value, baseAddress ? &*baseAddress : nullptr, encoding);
    if (!address)
        return std::nullopt;
    return serialize(*address);
}
