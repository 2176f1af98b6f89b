// tvd, the command-line companion: checks a data file as the program opens
// it, loads and saves it again as the program saves, adds a roster of names
// to it, or exports it as a spreadsheet or a printable page.
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/AddNamesCommand.h"
#include "cli/ConsoleView.h"
#include "cli/ExportCommand.h"
#include "cli/MergeCommand.h"
#include "document/Document.h"
#include "storage/file/AnsiText.h"
#include "storage/sharing/ConflictCopy.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"

namespace {

const char kUsage[] =
    "usage: tvd check FILE\n"
    "       tvd resave IN OUT\n"
    "       tvd add-names FILE ROSTER\n"
    "       tvd export FILE --csv OUT\n"
    "       tvd export FILE --html OUT\n"
    "       tvd merge BASE MINE THEIRS OUT\n"
    "       tvd conflicts FILE\n"
    "       tvd --help | --version\n"
    "\n"
    "check      loads FILE as Tallyvane opens it and prints every message it would\n"
    "           show as CAPTION: TEXT, then names=N actions=M entries=E read-only=yes|no\n"
    "           encoding=utf-8|ansi\n"
    "resave     checks IN, then saves it to OUT through a temporary file beside it\n"
    "add-names  adds the names of ROSTER (one per line, or the first column of a\n"
    "           .csv file) that FILE does not hold yet, and saves FILE; prints\n"
    "           ROSTER:LINE: reason for each line skipped or cut, then\n"
    "           added=N present=M skipped=K\n"
    "export     writes FILE's names, action items and ticks to OUT (- for standard\n"
    "           output) as CSV for spreadsheets, or as a printable HTML page\n"
    "merge      merges the changes of MINE and THEIRS, two copies of BASE, as Save\n"
    "           does when the file changed on disk, saves the result to OUT and\n"
    "           prints what came in from THEIRS and each choice made; as a git\n"
    "           merge driver: tvd merge %O %A %B %A\n"
    "conflicts  lists the copies of FILE that sync clients made beside it when two\n"
    "           computers changed it while apart, one per line: the ones\n"
    "           Tallyvane offers to merge when it opens FILE\n"
    "\n"
    "encoding   a data file is written in the legacy code page while every text\n"
    "           fits it, else (and once so, always) in UTF-8 with a marker line;\n"
    "           rosters that are not UTF-8 are read in the legacy code page too.\n"
    "           On Windows that is the ANSI code page of the user's locale; on\n"
    "           Linux the environment variable TVD_CODEPAGE names it: 874 or 1250\n"
    "           to 1258 (default 1252)\n"
    "\n"
    "exit status: 0 done, 1 the file did not load or save, 2 bad usage\n";

// Loads path as opening it in the program does; 1 when loaded.
int check(Document& doc, ConsoleView& view, const char* path)
{
    setFileError("");
    LoadReport report = loadDataFile(doc, path);
    if (!view.show(report)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    printf("names=%d actions=%d entries=%lld read-only=%s encoding=%s\n", int(doc.liveNames),
           int(doc.liveActions), static_cast<long long>(doc.liveEntryTotal()), report.damaged() ? "yes" : "no",
           doc.utf8File ? "utf-8" : "ansi");
    fflush(stdout);
    return 1;
}

int runCheck(char** args)
{
    Document doc;
    ConsoleView view(stdout);
    return check(doc, view, args[0]) ? 0 : 1;
}

int runResave(char** args)
{
    Document doc;
    ConsoleView view(stdout);
    if (!check(doc, view, args[0]))
        return 1;
    setFileError("");
    return saveDocumentFile(doc, view, args[1]) ? 0 : 1;
}

int runAddNamesCommand(char** args)
{
    return runAddNames(args[0], args[1], stdout);
}

int runMergeCommand(char** args)
{
    return runMerge(args[0], args[1], args[2], args[3], stdout);
}

int runConflicts(char** args)
{
    for (const std::string& path : ConflictCopy::findFor(args[0], computerName()))
        printf("%s\n", fileNamePart(path.c_str()));
    return 0;
}

int runExportCommand(char** args)
{
    bool html = strcmp(args[1], "--html") == 0;
    if (!html && strcmp(args[1], "--csv") != 0)
        return 2;
    return runExport(args[0], html, args[2]);
}

// One line per command: its name, the number of arguments after the name,
// and what runs it; a run returns the exit status, 2 for bad usage.
struct Command {
    const char* name;
    int arguments;
    int (*run)(char** args);
};

const Command kCommands[] = {
    {"check", 1, runCheck},
    {"resave", 2, runResave},
    {"add-names", 2, runAddNamesCommand},
    {"export", 3, runExportCommand},
    {"merge", 4, runMergeCommand},
    {"conflicts", 1, runConflicts},
};

int usage()
{
    fputs(kUsage, stderr);
    return 2;
}

// A report that did not reach standard output (a full disk, a closed pipe)
// is a failure like a file that was not saved.
int finishOutput(int status)
{
    if (fflush(stdout) == 0 && !ferror(stdout))
        return status;
    fprintf(stderr, "tvd: standard output: %s\n", strerror(errno ? errno : EIO));
    return status ? status : 1;
}

int dispatch(int argc, char** argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("tvd %s\n", TVD_VERSION);
        return 0;
    }
    for (int i = 2; i < argc; ++i)
        if (!argv[i][0])
            return usage();
    if (!AnsiText::legacyCodePageKnown()) {
        fputs("tvd: TVD_CODEPAGE names no code page tvd knows: 874 or 1250 to 1258\n", stderr);
        return 2;
    }
    for (const Command& command : kCommands) {
        if (argc < 2 || strcmp(argv[1], command.name) != 0)
            continue;
        if (argc - 2 != command.arguments)
            return usage();
        int status = command.run(argv + 2);
        return status == 2 ? usage() : status;
    }
    return usage();
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Names in the reports are UTF-8 where tvd runs in the UTF-8 code page
    // (its manifest): a console shows them so while tvd runs, and gets its
    // own code page back afterwards.
    UINT consolePage = GetConsoleOutputCP();
    if (GetACP() == CP_UTF8 && consolePage && consolePage != CP_UTF8)
        SetConsoleOutputCP(CP_UTF8);
    int status = finishOutput(dispatch(argc, argv));
    if (consolePage && GetConsoleOutputCP() != consolePage)
        SetConsoleOutputCP(consolePage);
    return status;
#else
    return finishOutput(dispatch(argc, argv));
#endif
}
