#include "engine/FileTypeSniffer.h"

#include "engine/EngineTexts.h"
#include "platform/CodePage.h"
#include "platform/FileTests.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

// The buffer holds positions 0 to n, n being the file's length or this,
// whichever is smaller; positions past the end of a shorter file read as 0.
constexpr qint64 kBufferLastPosition = 10240;
// The web-page test is for files shorter than this.
constexpr qint64 kWebPageLengthLimit = 200 * 1024;
// The index-file test is for files shorter than this.
constexpr qint64 kIndexFileLengthLimit = 3 * 1024;
// An audio tag is the last 128 bytes of a file, beginning with "TAG".
constexpr qint64 kAudioTagLength = 128;
constexpr QByteArrayView kAudioTagMark = "TAG";

// Bytes expected at a position of the buffer.
struct Segment
{
    int position;
    std::string_view bytes;
};

// A row of the signature table. A row with sub-tests gives no type itself:
// when its segments match, the first matching sub-test gives the type.
struct Signature
{
    std::vector<Segment> segments;
    const char *type = nullptr;
    std::vector<Signature> subTests;

    int lastPosition() const
    {
        int last = 0;
        for (const Segment &segment : segments)
            last = std::max(last, segment.position + int(segment.bytes.size()) - 1);
        return last;
    }

    // The caller has checked that lastPosition() lies inside the buffer.
    bool matches(QByteArrayView buffer) const
    {
        for (const Segment &segment : segments) {
            const QByteArrayView expected(segment.bytes.data(), qsizetype(segment.bytes.size()));
            if (buffer.sliced(segment.position, expected.size()) != expected)
                return false;
        }
        return true;
    }
};

// Tested in this order; the first row that matches gives the type.
const std::vector<Signature> &signatureTable()
{
    static const std::vector<Signature> table = {
        {{{0, "\x25\x50\x44\x46"sv}}, "pdf", {}}, // %PDF
        {{{0, "\xC8\x00\x00\x00"sv}}, "caj", {}},
        {{{0, "\x43\x41\x4A\x00"sv}}, "kdh", {}}, // CAJ and a zero byte
        {{{0, "\x4B\x44\x48\x20"sv}}, "kdh", {}}, // KDH and a blank
        {{{0, "\x48\x4E\x00\x00"sv}}, "nh", {}},  // HN and two zero bytes
        {{{0, "\x49\x49\x2A\x00"sv}}, "tif", {}},
        {{{0, "\x7B\x5C\x72\x74\x66"sv}}, "rtf", {}}, // {\rtf
        {{{0, "\x4D\x5A"sv}}, "exe", {}},             // MZ
        {{{0, "\x52\x61\x72\x21"sv}}, "rar", {}},     // Rar!
        {{{0, "\x50\x4B\x03\x04\x14\x00\x00\x00\x08"sv}}, "zip", {}},
        {{{0, "\x50\x4B\x03\x04\x14\x00\x06\x00\x08\x00"sv}}, "docx", {}},
        {{{0, "\x43\x57\x53\x06"sv}}, "swf", {}}, // CWS and 06
        {{{0, "\x2E\x52\x4D\x46"sv}}, "rm", {}},  // .RMF
        {{{0, "\x30\x26\xB2\x75\x8E"sv}}, "wma", {}},
        {{{0, "\x49\x44\x33\x03"sv}}, "mp3", {}}, // ID3 and 03
        {{{0, "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A"sv}}, "png", {}},
        // Exactly these seven bytes: a standard "GIF89a" file does not match.
        {{{0, "\x47\x49\x46\x38\x39\x31\x04"sv}}, "gif", {}}, // GIF891 and 04
        {{{0, "\xFF\xD8\xFF\xE1"sv}, {6, "\x45\x78\x69\x66"sv}, {12, "\x4D\x4D\x00\x2A"sv}}, "jpg", {}},
        {{{0, "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46"sv}}, "jpg", {}}, // JFIF at 6
        // Compound document header; the sub-tests tell the three office kinds.
        {{{0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv}},
         nullptr,
         {
             {{{512, "\xEC\xA5\xC1\x00"sv}}, "doc", {}},
             {{{512, "\x09\x08\x10\x00"sv}}, "xls", {}},
             {{{515, "\xF0"sv}}, "ppt", {}},
         }},
    };
    return table;
}

// Outcome of the signature table: a type, no type (the further tests run),
// or a test that reached past the buffer (recognition ends, no type).
struct TableOutcome
{
    bool reachedPastBuffer = false;
    QString type;
};

TableOutcome matchSignatureTable(QByteArrayView buffer)
{
    const int lastPosition = int(buffer.size()) - 1;
    for (const Signature &row : signatureTable()) {
        if (row.lastPosition() > lastPosition)
            return {true, QString()};
        if (!row.matches(buffer))
            continue;
        if (row.subTests.empty())
            return {false, QString::fromLatin1(row.type)};
        for (const Signature &subTest : row.subTests) {
            if (subTest.lastPosition() > lastPosition)
                return {true, QString()};
            if (subTest.matches(buffer))
                return {false, QString::fromLatin1(subTest.type)};
        }
    }
    return {};
}

bool containsAny(const QString &text, std::initializer_list<QLatin1StringView> markers)
{
    return std::any_of(markers.begin(), markers.end(),
                       [&](QLatin1StringView marker) { return text.contains(marker, Qt::CaseInsensitive); });
}

bool containsAll(const QString &text, std::initializer_list<QLatin1StringView> markers)
{
    return std::all_of(markers.begin(), markers.end(),
                       [&](QLatin1StringView marker) { return text.contains(marker, Qt::CaseInsensitive); });
}

bool hasAudioTag(QFile &file, qint64 length)
{
    if (length <= kAudioTagLength || !file.seek(length - kAudioTagLength))
        return false;
    return file.read(kAudioTagMark.size()) == kAudioTagMark;
}

} // namespace

QString detectFileType(const QString &filePath)
{
    if (!FileExists(filePath))
        return QString();

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const qint64 length = file.size();

    // Positions 0 to n; what lies past the end of the file stays 0.
    const qint64 lastPosition = std::min(length, kBufferLastPosition);
    QByteArray buffer(qsizetype(lastPosition + 1), '\0');
    const qint64 read = file.read(buffer.data(), buffer.size());
    if (read < 0)
        return QString();

    const TableOutcome table = matchSignatureTable(buffer);
    if (table.reachedPastBuffer)
        return QString();
    if (!table.type.isEmpty())
        return table.type;

    if (hasAudioTag(file, length))
        return QStringLiteral("mp3");

    // Both text tests are for short files only.
    static_assert(kIndexFileLengthLimit <= kWebPageLengthLimit);
    if (length >= kWebPageLengthLimit)
        return QString();
    // The markers are ASCII; reading the bytes in the code page keeps a trail
    // byte of a double-byte character from passing for one of them.
    const QString text = DecodeFromCodePage(buffer);

    if (length < kWebPageLengthLimit && containsAny(text, {QLatin1StringView("<html "), QLatin1StringView("html>")})
        && containsAny(text, {QLatin1StringView("<title>"), QLatin1StringView("<head>"), QLatin1StringView("<body>")}))
        return EngineText::kWebPageType;

    // A file this short lies whole inside the buffer, so the buffer's text is
    // the whole file's text.
    if (length < kIndexFileLengthLimit
        && containsAll(text, {QLatin1StringView("A1="), QLatin1StringView("[TARGET]"), QLatin1StringView("A2="),
                              QLatin1StringView("B1="), QLatin1StringView("B2="), QLatin1StringView("C1="),
                              QLatin1StringView("C2="), QLatin1StringView("D1="), QLatin1StringView("D2="),
                              QLatin1StringView("DOCTYPE=")}))
        return QStringLiteral("caa");

    return QString();
}

FileNameParts SplitFileName(const QString &path)
{
    qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    if (QDir::separator() != QLatin1Char('/'))
        separator = std::max(separator, path.lastIndexOf(QDir::separator()));
    const QString fileName = path.mid(separator + 1);

    // An extension of 7 characters or more is taken for part of the name.
    constexpr qsizetype kLongestExtension = 6;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || fileName.size() - dot - 1 > kLongestExtension)
        return {QString(), fileName.trimmed()};
    return {fileName.mid(dot + 1).trimmed(), fileName.left(dot).trimmed()};
}
