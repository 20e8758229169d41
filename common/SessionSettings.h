#pragma once

#include <QString>

// The record through which the windows share settings during a run. It starts
// empty (numbers 0, texts empty, flags false) and is filled by the windows
// that read the store; the dialogs write the store and the record together.
struct SessionSettings
{
    qint16 DownloadMethod = 0;  // 1 single connection, 2 parallel workers
    qint16 ProxyEnabled = 0;    // 1: method one goes through the proxy
    QString ProxyAddress;       // trimmed
    QString ProxyPort;          // trimmed numeric text
    double MaxFileSizeMB = 0.0; // 1 MB = 1024 × 1024 bytes
    qint16 AskSaveFolder = 0;   // 1: ask for the save folder when extracting
    QString SaveFolder;         // ends with a separator once confirmed
    bool KeepOriginalFileName = false;      // never stored
    bool SaveFolderDialogCancelled = false; // never stored
    QString DuplicateNamePolicy;            // "跳过", "覆盖" or "重命名"
};
