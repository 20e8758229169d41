#pragma once

#include <QtGlobal>
#include <array>

// Which row each parallel worker is downloading: slot k holds the stable
// identity (DownloadItem::Id) of worker k's row, 0 when the slot is free.
// Slot 0 is never used; slot 1 is also written by method one.
struct WorkerTable
{
    static constexpr int kSlotCount = 12;
    std::array<quint64, kSlotCount> itemIds{}; // not "slots": Qt defines that word as a macro

    quint64 &operator[](int slot) { return itemIds.at(slot); }
    quint64 operator[](int slot) const { return itemIds.at(slot); }
    void clear() { itemIds.fill(0); }
};

// The engine values kept beside the download list, one set per window.
struct EngineValues
{
    bool DownloadRunning = false; // a transfer is under way
    double LastFinishTime = 0.0;  // monotonic seconds when the last transfer ended
    WorkerTable WorkerRows;
};
