// The test site as a program of its own, for benchmarks against other
// clients: fixture-site PORT serves the routes of FixtureSite on 127.0.0.1.
#include "tests/support/FixtureSite.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const quint16 port = argc > 1 ? quint16(QByteArray(argv[1]).toUShort()) : 0;
    FixtureSite site;
    if (!site.start(port)) {
        std::fprintf(stderr, "fixture-site: cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 2;
    }
    // One line per request on standard error, so that a benchmark can count
    // the requests a client made.
    // A ranged request says which range it asked for ("request /ranged range=bytes=N-").
    QObject::connect(&site, &FixtureSite::requestReceived, &site, [&site](const QByteArray &path) {
        const QByteArray range = site.requests().isEmpty() ? QByteArray() : site.requests().last().header("Range");
        if (range.isEmpty())
            std::fprintf(stderr, "request %s\n", path.constData());
        else
            std::fprintf(stderr, "request %s range=%s\n", path.constData(), range.constData());
        std::fflush(stderr);
        site.clearRequests(); // the log is the output; the site keeps none of it
    });
    std::printf("%u\n", unsigned(site.port()));
    std::fflush(stdout);
    return app.exec();
}
