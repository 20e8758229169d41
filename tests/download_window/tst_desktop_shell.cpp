// The plain-text editor the desktop names: read from the user's
// mimeapps.list and the application's desktop entry, its field codes filled.
#include "platform/DesktopShell.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

class DesktopShellTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        m_applications = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        QVERIFY(QDir().mkpath(m_config));
        QVERIFY(QDir().mkpath(m_applications));
    }

    void cleanup()
    {
        QFile::remove(m_config + "/mimeapps.list");
        QFile::remove(m_applications + "/test-editor.desktop");
    }

    // clang-format off
    void editorCommand_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("command");

        const QString path = QStringLiteral("/papers/a page.htm");
        QTest::newRow("file code") << "test-editor %f" << QStringList{"test-editor", path};
        QTest::newRow("address code, options kept")
            << "test-editor --new-window %U" << QStringList{"test-editor", "--new-window", "file:///papers/a%20page.htm"};
        QTest::newRow("no code: the file goes last") << "test-editor" << QStringList{"test-editor", path};
        QTest::newRow("other codes dropped") << "\"/opt/my editor/run\" %i %f"
                                             << QStringList{"/opt/my editor/run", path};
    }
    // clang-format on

    void editorCommand()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, command);

        QVERIFY(writeFile(m_config + "/mimeapps.list",
                          "[Added Associations]\ntext/plain=other.desktop;\n"
                          "[Default Applications]\ntext/html=browser.desktop\ntext/plain=test-editor.desktop;\n"));
        QVERIFY(writeFile(m_applications + "/test-editor.desktop",
                          "[Desktop Entry]\nType=Application\nName=Editor\nExec=" + exec.toUtf8()
                              + "\n[Desktop Action new]\nExec=ignored %f\n"));

        QCOMPARE(DefaultTextEditorCommand(QStringLiteral("/papers/a page.htm")), command);
    }

    // A default whose desktop entry is missing is passed over.
    void missingEntryPassedOver()
    {
        QVERIFY(writeFile(m_config + "/mimeapps.list",
                          "[Default Applications]\ntext/plain=no-such-editor-here.desktop;\n"));
        const QStringList command = DefaultTextEditorCommand(QStringLiteral("/papers/a.htm"));
        QVERIFY(command.isEmpty() || command.first() != QLatin1String("no-such-editor-here"));
    }

private:
    QString m_config;
    QString m_applications;
};

QTEST_MAIN(DesktopShellTest)
#include "tst_desktop_shell.moc"
