#pragma once

#include <QString>

// The literature site's start page that "打开AIAA首页" opens: the site's home
// page, or the address in the environment variable PAPERDRIFT_START_PAGE when
// it is set and not blank (a mirror, or the test site).
QString StartPageAddress();

// What "打开指定网址..." does with the typed answer: the answer trimmed;
// silent (Check2 ticked) unless it begins with "https://" in any letter case;
// navigate to the trimmed answer, exactly as typed, unless it is empty.
struct OpenAddressAnswer
{
    bool silent = true;
    QString address; // empty: navigate nowhere
};
OpenAddressAnswer ReadOpenAddressAnswer(const QString &answer);
