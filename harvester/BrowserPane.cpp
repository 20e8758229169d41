#include "harvester/BrowserPane.h"

bool IsNextLinkText(const QString &text)
{
    return text.trimmed().toLower() == QLatin1String("next");
}
