#pragma once

#include <QString>

#include <optional>

// The state of a download row, shown as the row's small picture (index 1 to 4).
enum ItemState : int {
    Waiting = 1,     // 等待: the scheduler picks only these rows
    Downloading = 2, // 正在下载: handed to a transfer that has not ended
    Finished = 3,    // 已完成: stored completely, or skipped by rule
    Failed = 4,      // 失败: error, cancelled, or taken out of the queue
};

// The words the size column shows in place of a length. A timed word counts
// down: it carries its seconds, and its text is made from them where the row
// is shown (a later timed word, such as a pause of a host, is one more value
// here and one more case where the texts are made).
enum class SizeWord : quint8 {
    None,           // the cell holds a length, or nothing
    Unknown,        // "未知": no length was announced; the body comes whole
    WaitingAgain,   // "等待重新下载": the transfer control was busy; the row waits again
    WaitingToRetry, // "等待重试 N 秒" (timed): a failed row waits before its next try
};

// The words the progress column shows in place of a percentage.
enum class ProgressWord : quint8 {
    None,             // the cell holds a percentage, or nothing
    LargeFileSkipped, // "大文件，跳过": above the size limit, nothing stored (Finished)
    ExistsSkipped,    // "已存在，跳过": the file exists and the rule is "跳过" (Finished)
    CannotReplace,    // "无法替换": the older file could not be replaced (Failed)
    Cancelled,        // "下载取消": downloading was stopped during the transfer (Failed)
    DoesNotExist,     // "不存在": the stored file is gone (the list command's check)
};

// The size column of a row: empty, the file's length in bytes, or a word.
struct ItemSize
{
    qint64 bytes = -1;              // the length when the cell holds one (>= 0)
    SizeWord word = SizeWord::None; // else the word, when there is one
    qint32 seconds = 0;             // what a timed word counts down

    static ItemSize ofBytes(qint64 length) { return {qMax<qint64>(length, 0), SizeWord::None, 0}; }
    static ItemSize ofWord(SizeWord word, qint32 seconds = 0) { return {-1, word, seconds}; }

    bool isEmpty() const { return bytes < 0 && word == SizeWord::None; }
    bool hasBytes() const { return bytes >= 0 && word == SizeWord::None; }
    void clear() { *this = ItemSize(); }
    friend bool operator==(const ItemSize &, const ItemSize &) = default;
};

// The progress column of a row: empty, the whole percent received, or a word.
struct ItemProgress
{
    qint64 percent = -1;                    // when the cell holds a percentage (>= 0; above 100 when
                                            // more arrived than was announced)
    ProgressWord word = ProgressWord::None; // else the word, when there is one

    static ItemProgress ofPercent(qint64 value) { return {qMax<qint64>(value, 0), ProgressWord::None}; }
    static ItemProgress ofWord(ProgressWord word) { return {-1, word}; }
    // The whole part of read × 100 ÷ total; empty when there is no total.
    static ItemProgress received(qint64 read, qint64 total)
    {
        return total > 0 ? ofPercent(read * 100 / total) : ItemProgress();
    }

    bool isEmpty() const { return percent < 0 && word == ProgressWord::None; }
    bool hasPercent() const { return percent >= 0 && word == ProgressWord::None; }
    bool is(ProgressWord other) const { return word == other; }
    void clear() { *this = ItemProgress(); }
    friend bool operator==(const ItemProgress &, const ItemProgress &) = default;
};

// One row of the download list. Every fact about a file lives here; the
// size, downloaded and progress cells hold numbers and words, and their
// texts are made only where the row is shown or written out (RowTexts.h).
struct DownloadItem
{
    QString Url;                      // row key, unique in the list
    QString Name;                     // base name of the stored file, no extension, no folder
    QString Type;                     // extension without the dot; empty: no extension
    ItemSize Size;                    // total length in bytes, a size word, or empty
    std::optional<qint64> Downloaded; // bytes received so far; empty before the transfer
    ItemProgress Progress;            // whole percent received, a progress word, or empty
    QString Folder;                   // folder the file is stored in
    QString Referer;                  // page the link was found on; may be empty
    ItemState State = Waiting;

    // Stable identity given by the list when the row is added. Workers hold
    // this, never a row position, so that no worker can update another row.
    quint64 Id = 0;

    // Size, downloaded and progress all empty: nothing of a transfer in the row.
    bool hasNoCounts() const { return Size.isEmpty() && !Downloaded && Progress.isEmpty(); }
    void clearCounts()
    {
        Size.clear();
        Downloaded.reset();
        Progress.clear();
    }
    // The length of an existing file in all three cells' sense: size and
    // downloaded hold it, the progress holds the word.
    void setExistingFile(qint64 length, ProgressWord word)
    {
        Size = ItemSize::ofBytes(length);
        Downloaded = qMax<qint64>(length, 0);
        Progress = ItemProgress::ofWord(word);
    }
};

// What a new row is made from: the address, the base name to store it under
// (already cleaned by the caller's naming rule), its type, folder and the page
// the link was found on.
struct ItemSource
{
    QString url;
    QString name;
    QString type;
    QString folder;
    QString referer;
};

// A waiting row for the source, with nothing of a transfer in it. Every
// place that adds rows (the hand-over, the program's and the command-line
// tool's addresses) makes them here.
DownloadItem NewDownloadItem(const ItemSource &source);

// Folder, a separator when the folder does not end with one, the name, and
// "." plus the type when there is a type.
QString ItemFilePath(const DownloadItem &item);

// A web page arrived instead of a document: the type is htm or html, in any
// letter case.
bool IsWebPageType(const QString &type);
