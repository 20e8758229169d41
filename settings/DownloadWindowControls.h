#pragma once

#include <QString>

// What other windows change on a loaded download window: the options dialog
// sets its method label and its thread-count box when the method changes.
// The download window implements this beside its widget class.
class DownloadWindowControls
{
public:
    virtual ~DownloadWindowControls() = default;

    virtual void setMethodLabel(const QString &text) = 0;
    virtual void setThreadBoxEnabled(bool enabled) = 0;
    // Zero-based position in the box: 0 is "1" worker, 5 is "6".
    virtual void setThreadPosition(int position) = 0;
};
