#pragma once

#include "common/DownloadMethod.h"
#include "common/SameNamePolicy.h"

#include <QList>
#include <QString>
#include <QStringList>

// One address to fetch, with the name to store it under and its referring
// page. An empty name is taken from the link.
struct DownloadSource
{
    QString url;
    QString name;
    QString referer;
};

// Which items the automatic re-download resets when the list has ended.
enum class RetryChoice { None, Failed, Pages, Both };

// The command line of paperdrift-cli download, checked. The defaults are the
// settings store's defaults, so that a bare command behaves like a fresh
// download window.
struct DownloadArguments
{
    QList<DownloadSource> sources; // the arguments' addresses, then each list file's rows
    QString folder;                // absolute, ends with a separator
    DownloadMethod method = DownloadMethod::Parallel;
    int threads = 3;
    int intervalSeconds = 0;
    SameNamePolicy sameNamePolicy = SameNamePolicy::Rename;
    double maxFileSizeMB = 10.0;
    QString proxyAddress; // empty: no proxy
    QString proxyPort;
    QString type = QStringLiteral("pdf");
    RetryChoice retry = RetryChoice::None;
    bool stopAfterErrors = false;
    QString statePath;           // --state: the run's state file, absolute; empty: none
    bool nameFromServer = false; // --name-from server: rows without a name take the reply's name
    bool help = false;           // --help: print the usage and do nothing else
};

// The checked arguments, or the reason they are wrong.
struct DownloadArgumentsResult
{
    DownloadArguments arguments;
    QString error; // empty when the arguments are good
};

// Reads the arguments after "download". Relative folders and list files are
// taken from `currentFolder`.
DownloadArgumentsResult ParseDownloadArguments(const QStringList &arguments, const QString &currentFolder);

// The lines of a list file: "URL", "URL<TAB>NAME" or "URL<TAB>NAME<TAB>REFERER";
// blank lines and lines starting with "#" are passed over. Appends to
// `sources`; returns the reason when a line is wrong (naming its number).
QString ParseDownloadList(const QString &text, QList<DownloadSource> &sources);

// The base name stored for a source: its own name, or, when it has none, the
// name the save-folder dialog's "原文件名" takes from the link; cleaned for
// use as a file name.
QString SourceFileName(const DownloadSource &source);

// The same in the command-line tool, where a link's query and fragment are
// left out of the name ("…/slow?len=40000" names "slow").
QString CommandLineFileName(const DownloadSource &source);

// The help text of the command after its usage line: the arguments and
// options, one a line with their defaults, and what the command prints.
QString DownloadUsageText();
