// Recognising the type of 10,000 stored files of mixed kinds: documents, web
// pages instead of documents, unrecognised files (the longest path: every
// signature, the audio tag, the web-page text), office files, sounds with a
// tag, index files.
#include "engine/FileTypeSniffer.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

constexpr int kFiles = 10000;

QByteArray filled(qsizetype length, const QByteArray &head)
{
    QByteArray bytes(length, 'x');
    bytes.replace(0, head.size(), head);
    return bytes;
}

// The contents, in the proportions of a day's downloads with some trouble.
QList<QByteArray> sampleContents()
{
    const QByteArray page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head><title>Sign in</title></head>\n<body>";
    QByteArray compound = filled(24 * 1024, QByteArray::fromHex("D0CF11E0A1B11AE1"));
    compound.replace(512, 4, QByteArray::fromHex("ECA5C100"));
    QByteArray tagged = filled(8 * 1024, "\xFF\xFB\x90\x64");
    tagged.replace(tagged.size() - 128, 3, "TAG");
    const QByteArray index =
        "[TARGET]\r\nA1=1\r\nA2=2\r\nB1=3\r\nB2=4\r\nC1=5\r\nC2=6\r\nD1=7\r\nD2=8\r\nDOCTYPE=9\r\n";

    QList<QByteArray> contents;
    for (int n = 0; n < 8; ++n)
        contents.append(filled(16 * 1024, "%PDF-1.6\n"));
    for (int n = 0; n < 4; ++n)
        contents.append(filled(6 * 1024, page));
    for (int n = 0; n < 3; ++n)
        contents.append(filled(20 * 1024, "\x01\x02\x03\x04 unknown"));
    contents.append(filled(12 * 1024, QByteArray::fromHex("C8000000")));
    contents.append(filled(12 * 1024, QByteArray::fromHex("C8000000")));
    contents.append(compound);
    contents.append(tagged);
    contents.append(index);
    return contents;
}

class StoredFiles
{
public:
    StoredFiles()
    {
        const QList<QByteArray> contents = sampleContents();
        for (int n = 0; n < kFiles; ++n) {
            const QString path = m_dir.filePath(QStringLiteral("paper%1.pdf").arg(n));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(contents[n % contents.size()]) < 0)
                qFatal("cannot write %s", qPrintable(path));
            m_paths.append(path);
        }
    }
    const QStringList &paths() const { return m_paths; }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

void BM_Recognise10000StoredFiles(benchmark::State &state)
{
    static const StoredFiles files;
    int recognised = 0;
    for (auto _ : state) {
        recognised = 0;
        for (const QString &path : files.paths())
            recognised += !detectFileType(path).isEmpty();
        benchmark::DoNotOptimize(recognised);
    }
    state.counters["recognised"] = recognised;
    state.counters["files_per_s"] =
        benchmark::Counter(double(kFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Recognise10000StoredFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
