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
    QObject::connect(&site, &FixtureSite::requestReceived, &site, [](const QByteArray &path) {
        std::fprintf(stderr, "request %s\n", path.constData());
        std::fflush(stderr);
    });
    std::printf("%u\n", unsigned(site.port()));
    std::fflush(stdout);
    return app.exec();
}
