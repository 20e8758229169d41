#pragma once

#include "engine/DownloadItem.h"
#include "engine/TransferSpeed.h"

#include <QHash>
#include <QString>
#include <QTextStream>

class DownloadList;

// The state as the status summary names it: 等待, 正在下载, 已完成 or 失败.
QString StateWord(ItemState state);

// One line of the final list: STATE<TAB>PROGRESS<TAB>SIZE<TAB>PATH<TAB>URL,
// each field escaped by EscapeField.
QString ItemLine(const DownloadItem &item);

// True when every row finished and none of them is a web page (type htm or
// html): the run succeeded.
bool RunSucceeded(const DownloadList &list);

// Progress on standard error. On a terminal one line is redrawn in place:
// a bar of the ended rows, the status summary and the bytes received; rows
// that end are written above it. Elsewhere only plain lines are written: one
// for each row that ends and the status summary whenever it changes.
class ProgressReporter
{
public:
    ProgressReporter(QTextStream &err, bool terminal) : m_err(err), m_terminal(terminal) {}

    // Looks at the list once (once a second, and once at the end).
    void update(const DownloadList &list);

    // Measures the run's speed (once a second, before update): the live
    // line shows it, and the time left when every running row has a length.
    void sampleSpeed(const DownloadList &list, double seconds);

    bool isTerminal() const { return m_terminal; }

    // Ends the redrawn line, so that what follows starts on a line of its own.
    void finish();

private:
    QTextStream &m_err;
    bool m_terminal;
    bool m_barShown = false;
    QString m_lastSummary;
    TransferSpeed m_speed;
    double m_rate = 0.0;
    QHash<quint64, ItemState> m_reported; // rows whose end was written, and how they ended
};
