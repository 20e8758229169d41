// The batch URL-replace dialog offscreen: its controls, the empty-text
// refusal, a replace with its messages, and cancel.
#include "download_window/CommandTexts.h"
#include "download_window/UrlReplaceDialog.h"
#include "engine/DownloadList.h"
#include "tests/support/PromptRecorder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void addRow(DownloadList &list, const QString &url)
{
    DownloadItem item;
    item.Url = url;
    item.Referer = url;
    item.Name = url.section(QLatin1Char('/'), -1);
    list.addItem(item);
}

template <typename Control>
Control *control(QDialog &dialog, const char *name)
{
    return dialog.findChild<Control *>(QString::fromLatin1(name));
}

} // namespace

class UrlReplaceDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void layout()
    {
        DownloadList list;
        PromptRecorder prompts;
        UrlReplaceDialog dialog(list, prompts);

        QCOMPARE(dialog.objectName(), QStringLiteral("UrlReplace"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("网址批量替换-Paperdrift"));
        QCOMPARE(control<QLabel>(dialog, "Label1")->text(), CommandText::kFindLabel);
        QCOMPARE(control<QLabel>(dialog, "Label2")->text(), CommandText::kReplaceLabel);
        QCOMPARE(control<QLabel>(dialog, "Label1")->buddy(), control<QLineEdit>(dialog, "Text1"));
        QCOMPARE(control<QLabel>(dialog, "Label2")->buddy(), control<QLineEdit>(dialog, "Text2"));
        QCOMPARE(control<QPushButton>(dialog, "Command1")->text(), CommandText::kReplaceButton);
        QCOMPARE(control<QPushButton>(dialog, "Command2")->text(), CommandText::kCancelButton);
    }

    // "替换" and "取消": what the list, the dialog and the user end with.
    // clang-format off
    void buttons_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("urlsAfter");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("open");

        const QStringList unchanged{"http://h/ABC/1", "http://h/xyz/1"};
        QTest::newRow("blanks only: asks for a string")
            << "  " << "Command1" << unchanged << QStringList{CommandText::kEnterString} << true;
        QTest::newRow("replace, one row refused as a duplicate")
            << "abc" << "Command1" << unchanged
            << QStringList{CommandText::kUrlsReplaced, QStringLiteral("有1项的新网址与列表中其他项相同，这些项的网址未替换。")}
            << false;
        QTest::newRow("replace") << "/1" << "Command1" << QStringList{"http://h/ABC/2", "http://h/xyz/2"}
                                 << QStringList{CommandText::kUrlsReplaced} << false;
        QTest::newRow("cancel") << "abc" << "Command2" << unchanged << QStringList{} << false;
    }
    // clang-format on

    void buttons()
    {
        QFETCH(QString, find);
        QFETCH(QString, button);
        QFETCH(QStringList, urlsAfter);
        QFETCH(QStringList, messages);
        QFETCH(bool, open);

        DownloadList list;
        addRow(list, "http://h/ABC/1");
        addRow(list, "http://h/xyz/1");
        PromptRecorder prompts;
        UrlReplaceDialog dialog(list, prompts);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(control<QLineEdit>(dialog, "Text1"), find);
        QTest::keyClicks(control<QLineEdit>(dialog, "Text2"), find == "/1" ? "/2" : "xyz");

        QTest::mouseClick(control<QPushButton>(dialog, button.toLatin1().constData()), Qt::LeftButton);

        QCOMPARE(dialog.isVisible(), open);
        QCOMPARE(prompts.messageTexts(), messages);
        if (!messages.isEmpty())
            QCOMPARE(prompts.records[0].icon, open ? PromptIcon::Error : PromptIcon::Information);
        for (int row = 0; row < list.count(); ++row)
            QCOMPARE(list.at(row).Url, urlsAfter[row]);
    }
};

QTEST_MAIN(UrlReplaceDialogTest)
#include "tst_url_replace_dialog.moc"
