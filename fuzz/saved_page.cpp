// A saved result page from the user's disk or a publisher's server: read into
// the page model and extracted, with and without the filters.
#include "fuzz/FuzzCheck.h"

#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"
#include "harvester/PageModel.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QUrl pageUrl(QStringLiteral("https://www.example.org/search/results.html?page=2"));
    const PageModel page = ReadHtmlPage(FuzzBytes(data, size), pageUrl);

    HarvestList every;
    const int all = ExtractPageEntries(page, QString(), false, false, every);
    FUZZ_CHECK(all == every.rowCount());

    // The filters only ever leave entries out.
    HarvestList filtered;
    FUZZ_CHECK(ExtractPageEntries(page, QString(), true, true, filtered) <= all);
    return 0;
}
