#pragma once

#include "common/CommonTexts.h"

#include <QMetaType>
#include <QString>

// The download method ("下载方式" in the store, "下载方式一"/"下载方式二" in
// the options dialog). Its value is the stored number: 1 and 2 are the two
// methods, 0 is the record before the download window has read the store.
// Any other stored number is kept as it is, so that the window shows it and
// the options dialog keeps it when neither method is chosen; it transfers as
// Parallel.
enum class DownloadMethod : qint16 {
    NotRead = 0,
    Single = 1,   // one transfer at a time through the transfer control, with the proxy
    Parallel = 2, // up to six workers at a time
};
Q_DECLARE_METATYPE(DownloadMethod)

inline DownloadMethod DownloadMethodFromNumber(int number)
{
    return DownloadMethod(qint16(number));
}

inline int DownloadMethodNumber(DownloadMethod method)
{
    return int(method);
}

// The method the transfers use: Single for 1, Parallel for any other number.
inline DownloadMethod TransferMethod(DownloadMethod method)
{
    return method == DownloadMethod::Single ? DownloadMethod::Single : DownloadMethod::Parallel;
}

// The download window's method label: "下载方式：" followed by the number.
inline QString MethodLabelText(DownloadMethod method)
{
    return CommonText::kMethodLabel + QString::number(DownloadMethodNumber(method));
}
