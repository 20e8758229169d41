#pragma once

#include "engine/DownloadList.h"

#include <QList>

// The state of every row, top to bottom: one comparison says what a run did
// to the whole list.
inline QList<ItemState> statesOf(const DownloadList &list)
{
    QList<ItemState> states;
    for (int row = 0; row < list.count(); ++row)
        states.append(list.at(row).State);
    return states;
}
