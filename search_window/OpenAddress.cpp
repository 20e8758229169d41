#include "search_window/OpenAddress.h"

namespace {

const char kStartPageVariable[] = "PAPERDRIFT_START_PAGE";
const QString kSiteHomePage = QStringLiteral("https://arc.aiaa.org/");
const QString kSecureScheme = QStringLiteral("https://");

} // namespace

QString StartPageAddress()
{
    const QString configured = qEnvironmentVariable(kStartPageVariable).trimmed();
    return configured.isEmpty() ? kSiteHomePage : configured;
}

OpenAddressAnswer ReadOpenAddressAnswer(const QString &answer)
{
    OpenAddressAnswer read;
    read.address = answer.trimmed();
    // An address over HTTPS lets its pages show their script prompts.
    read.silent = read.address.left(kSecureScheme.size()).toLower() != kSecureScheme;
    return read;
}
