#include "tests/cli/CliRun.h"

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/prctl.h>
#endif

void PrepareCli(QProcess &process, const QStringList &arguments, const QString &folder)
{
    process.setProgram(QStringLiteral(PAPERDRIFT_CLI_PATH));
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
#ifdef Q_OS_LINUX
    process.setChildProcessModifier([] {
        prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    });
#endif
}

CliRun RunCli(const QStringList &arguments, const QString &folder)
{
    QProcess process;
    PrepareCli(process, arguments, folder);
    process.start();
    if (!process.waitForFinished(30000))
        return CliRun();
    return CollectCliRun(process);
}

CliRun CollectCliRun(QProcess &process)
{
    CliRun run;
    run.exitCode = process.exitCode();
    run.exitStatus = process.exitStatus();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    run.lines = out.split(QLatin1Char('\n'));
    if (run.lines.last().isEmpty())
        run.lines.removeLast();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}
