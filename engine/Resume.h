#pragma once

#include <QByteArray>
#include <QString>

// Continuing a transfer from the bytes an earlier one left in the final
// name's ".part" file.
//
// When a reply's headers arrive, the validator it gave (its ETag, else its
// Last-Modified) is kept in a small side file beside the .part file, written
// before any byte of the body: a stopped, failed or killed transfer leaves
// both, and the next transfer of the same path asks for the rest only
// ("Range" from the .part length, "If-Range" with the validator). A reply
// without a validator keeps no side file, and its .part file is never
// continued: nothing tells that the server still has the same document.
// The side file also names the address the bytes came from: another row
// that happens to get the same file name never continues them.

// The side file of a final path: "<final name>.part.validator".
QString ValidatorPath(const QString &finalPath);

// Keeps the reply's validator for the final path (ETag first, else
// Last-Modified) with the address it answered, written atomically; removes
// the side file when the reply gave neither.
void KeepValidator(const QString &finalPath, const QString &url, const QByteArray &etag,
                   const QByteArray &lastModified);

// Removes the side file (the body is complete, or its .part file is gone).
void ForgetValidator(const QString &finalPath);

// Where a transfer of the address to the final path can continue: the .part
// length and the kept validator; offset 0 (start from the beginning) when
// there is no .part file with bytes, no validator, or the bytes came from
// another address.
struct ResumePoint
{
    qint64 offset = 0;
    QByteArray validator;
    bool isResume() const { return offset > 0; }
};
ResumePoint ResumePointFor(const QString &finalPath, const QString &url);

// The request headers that ask for the rest: "Range: bytes=N-" and
// "If-Range: V", each line ended by CR LF; empty when not resuming.
QString ResumeHeaderLines(const ResumePoint &point);

// "Content-Range: bytes FIRST-LAST/TOTAL" read; total -1 when "*" or
// unreadable, first -1 when the text is no byte range.
struct ContentRange
{
    qint64 first = -1;
    qint64 last = -1;
    qint64 total = -1;
};
ContentRange ParseContentRange(const QByteArray &value);

// What a reply to a (possibly ranged) request means for the .part file.
enum class ResumeDecision {
    Append,    // 206 for exactly the rest of the same document: append to the .part file
    StartOver, // a whole body (200 and the like): the .part file is truncated and refilled
    Refused,   // an error or other answer without the document: the .part file stays as it was
    Restart,   // 416, a range that does not start at the .part length, or another
               // document's validator: ask again without a range
};

// The decision for a reply to a request made from `point` (a request without
// a resume point always starts over). A reply that
// names a validator other than the one sent is another document, even when
// the server answered the range.
ResumeDecision DecideResume(const ResumePoint &point, int status, const QByteArray &contentRange,
                            const QByteArray &etag, const QByteArray &lastModified);
