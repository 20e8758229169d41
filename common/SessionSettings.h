#pragma once

#include "common/DownloadMethod.h"
#include "common/SameNamePolicy.h"

#include <QString>

// The record through which the windows share settings during a run. It starts
// empty (no method read yet, numbers 0, texts empty, flags false, the
// same-name rule "重命名") and is filled by the windows that read the store;
// the dialogs write the store and the record together.
struct SessionSettings
{
    // Qualified: the field carries the type's name.
    ::DownloadMethod DownloadMethod = ::DownloadMethod::NotRead;
    qint16 ProxyEnabled = 0;           // 1: method one goes through the proxy
    QString ProxyAddress;              // trimmed
    QString ProxyPort;                 // trimmed numeric text
    double MaxFileSizeMB = 0.0;        // 1 MB = 1024 × 1024 bytes
    qint16 AskSaveFolder = 0;          // 1: ask for the save folder when extracting
    QString SaveFolder;                // ends with a separator once confirmed
    bool KeepOriginalFileName = false; // never stored
    SameNamePolicy DuplicateNamePolicy = SameNamePolicy::Rename;
};
