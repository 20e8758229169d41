// Shows the cache viewer over a cache the browser has just written from a
// local test site (a page and two PDFs), listed, with the large PDF selected.
// With --copy the copy/move dialog for the selection opens above it. For
// looking at the windows and for the pictures in the documentation.
#include "cache_viewer/CacheViewer.h"
#include "copy_move/CopyMoveDialog.h"
#include "platform/WidgetPrompts.h"
#include "settings/StoredSettings.h"
#include "tests/cache_viewer/CacheMaker.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    FixtureSite site;
    if (!site.start())
        return 1;
    AddPaperRoute(site, "/papers/wing-flutter.pdf", 40000);
    QTemporaryDir work;
    const QString cache = MakeBrowserCache(
        work.filePath("browser"), {site.url("/typed?type=text/html&body=html&size=300"),
                                   site.url("/papers/wing-flutter.pdf?download=1"), site.url("/pdf?size=700")});
    if (cache.isEmpty())
        return 1;
    TempSettings settings;
    StoredSettings stored(settings.store());
    WidgetPrompts prompts;
    CacheViewer viewer(CacheViewerServices{stored, prompts, work.filePath("SaveList.dat"), cache, CacheExportFolder(),
                                           UserCacheLayout{}});
    viewer.show();
    QObject::connect(
        &viewer, &CacheViewer::listed, &viewer,
        [&] {
            for (int i = 0; i < viewer.ListView1->topLevelItemCount(); ++i) {
                QTreeWidgetItem *item = viewer.ListView1->topLevelItem(i);
                item->setSelected(item->text(0).contains(QStringLiteral("wing-flutter")));
            }
            if (app.arguments().contains(QStringLiteral("--copy")))
                viewer.Command6_Click();
        },
        Qt::SingleShotConnection);
    viewer.Command1_Click();
    return app.exec();
}
