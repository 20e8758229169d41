#include "fuzz/FuzzCheck.h"

#include <QCoreApplication>
#include <QStandardPaths>

// One application object for the whole run: QSettings and the folders of the
// program need its name. Test mode keeps every standard folder away from the
// user's own.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    QStandardPaths::setTestModeEnabled(true);
    static QCoreApplication application(*argc, *argv);
    QCoreApplication::setApplicationName(QStringLiteral("Paperdrift"));
    return 0;
}
