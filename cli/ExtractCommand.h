#pragma once

#include "cli/CliCommand.h"

// paperdrift-cli extract [--free-only] [--ticked-only] [--url PAGE_URL]
//                        [--export FILE] FILE.html...
// paperdrift-cli extract --live [--load-limit SECONDS] [--free-only]
//                        [--ticked-only] [--export FILE] URL...
// Reads saved result pages in the order given into one harvest list and
// prints one line per entry taken, in list order: title, tab, link, tab,
// the page's address. An entry whose link is already in the list is dropped.
// The page's address is PAGE_URL, or the file's own file:// address; links
// are resolved against it. A line break, tab or backslash inside a field is
// written as \n, \r, \t or \\, so that every entry stays one line.
// --free-only and --ticked-only take only entries marked free or ticked on
// the page; --export also writes the list's export file.
//
// With --live the arguments are addresses: the embedded browser, offscreen,
// loads each one and the search window's own reading script reads it, as
// "加入本页到列表" does; the output and the options are those above. The
// browser runs in paperdrift-live-reader, found beside this program. A page
// that does not finish loading within the wait for a result page (30
// seconds, or --load-limit) is reported and skipped.
//
// Exit code 0; 1 when a page could not be read or loaded (the other pages are still
// read) or the export file could not be written; 2 with the usage line for
// wrong arguments. --help prints the options.
int RunExtractCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

inline constexpr CliCommand kExtractCommand{
    "extract",
    "[--free-only] [--ticked-only] [--url PAGE_URL] [--export FILE] [--live [--load-limit SECONDS]] FILE.html|URL...",
    "print the entries of saved result pages (or, with --live, of addresses read in the browser): title, link "
    "and page address",
    RunExtractCommand};
