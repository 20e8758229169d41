#include "platform/SystemDescription.h"

#include <QSysInfo>

QString OsDescription()
{
    QString product = QSysInfo::prettyProductName().trimmed();
    if (product.isEmpty())
        product = QSysInfo::productType();
    const QString bits =
        QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? QStringLiteral("64") : QStringLiteral("32");
    return product + QLatin1Char('[') + bits + QStringLiteral("位]");
}
