#include "platform/SoundPlayer.h"
#include "tests/support/SoundRecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// PlaySound writes a missing sound file from the built-in data and plays the
// file; the built-in data must really be linked into the program.
class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void builtInSounds_data();
    void builtInSounds();
    void playSound_data();
    void playSound();
};

// clang-format off
void TestSoundPlayer::builtInSounds_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("101 web page") << 101;
    QTest::newRow("102 list ended") << 102;
    QTest::newRow("103 item failed") << 103;
}
// clang-format on

void TestSoundPlayer::builtInSounds()
{
    QFETCH(int, number);
    const QByteArray data = BuiltInSound(number);
    QVERIFY(data.startsWith("RIFF"));
    QCOMPARE(data.mid(8, 4), QByteArray("WAVE"));
    QVERIFY2(data.size() < 30 * 1024, "a built-in sound is a short one");
    for (int other : {101, 102, 103}) {
        if (other != number)
            QVERIFY(BuiltInSound(other) != data);
    }
}

// clang-format off
void TestSoundPlayer::playSound_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("existingFile"); // empty: no file yet
    QTest::addColumn<bool>("played");
    QTest::addColumn<bool>("fileIsBuiltIn");

    QTest::newRow("missing file is written, then played") << 101 << QByteArray() << true << true;
    QTest::newRow("existing file is played as it is") << 103 << QByteArray("RIFF own sound") << true << false;
    QTest::newRow("number without a sound plays nothing") << 104 << QByteArray() << false << false;
}
// clang-format on

void TestSoundPlayer::playSound()
{
    QFETCH(int, number);
    QFETCH(QByteArray, existingFile);
    QFETCH(bool, played);
    QFETCH(bool, fileIsBuiltIn);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QString::number(number) + QStringLiteral(".wav"));
    QCOMPARE(SoundFilePath(number, folder.path()), path);
    if (!existingFile.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existingFile);
    }

    SoundRecorder recorder;
    PlaySound(number, recorder, folder.path());

    QCOMPARE(recorder.paths, played ? QStringList{path} : QStringList{});
    if (fileIsBuiltIn)
        QCOMPARE(readFile(path), BuiltInSound(number));
    else if (!existingFile.isEmpty())
        QCOMPARE(readFile(path), existingFile);
    else
        QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_sound_player.moc"
