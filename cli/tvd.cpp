// tvd, the command-line companion: checks a data file as the program opens
// it, loads and saves it again as the program saves, adds a roster of names
// to it, or exports it as a spreadsheet or a printable page.
#include <cstdio>
#include <cstring>

#include "AddNamesCommand.h"
#include "ConsoleView.h"
#include "ExportCommand.h"
#include "MergeCommand.h"
#include "document/Document.h"
#include "storage/DataFile.h"
#include "storage/DocumentFile.h"
#include "storage/FileName.h"

namespace {

const char kUsage[] =
    "usage: tvd check FILE\n"
    "       tvd resave IN OUT\n"
    "       tvd add-names FILE ROSTER\n"
    "       tvd export FILE --csv OUT\n"
    "       tvd export FILE --html OUT\n"
    "       tvd merge BASE MINE THEIRS OUT\n"
    "\n"
    "check      loads FILE as Tallyvane opens it and prints every message it would\n"
    "           show as CAPTION: TEXT, then names=N actions=M entries=E read-only=yes|no\n"
    "resave     checks IN, then saves it to OUT through OUT's \".$$$\" file\n"
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
    "\n"
    "exit status: 0 done, 1 the file did not load or save, 2 bad usage\n";

int usage()
{
    fputs(kUsage, stderr);
    return 2;
}

// Loads path as opening it in the program does; 1 when loaded.
int check(Document& doc, ConsoleView& view, const char* path)
{
    if (!loadDataFile(doc, view, path)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    printf("names=%d actions=%d entries=%lld read-only=%s\n", int(doc.liveNames), int(doc.liveActions),
           static_cast<long long>(doc.liveEntryTotal()), view.readOnly() ? "yes" : "no");
    fflush(stdout);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const char* command = argv[1];
    for (int i = 2; i < argc; ++i)
        if (!argv[i][0])
            return usage();
    if (strcmp(command, "merge") == 0)
        return argc == 6 ? runMerge(argv[2], argv[3], argv[4], argv[5], stdout) : usage();
    if (strcmp(command, "add-names") == 0)
        return argc == 4 ? runAddNames(argv[2], argv[3], stdout) : usage();
    if (strcmp(command, "export") == 0) {
        if (argc != 5 || (strcmp(argv[3], "--csv") != 0 && strcmp(argv[3], "--html") != 0))
            return usage();
        // An export named like a data file would most likely replace one by mistake.
        if (hasExtension(argv[4], ".tvd")) {
            fprintf(stderr, "tvd: %s: an export is not written over a .tvd file\n", argv[4]);
            return usage();
        }
        return runExport(argv[2], strcmp(argv[3], "--html") == 0, argv[4]);
    }
    bool isCheck = strcmp(command, "check") == 0 && argc == 3;
    bool isResave = strcmp(command, "resave") == 0 && argc == 4;
    if (!isCheck && !isResave)
        return usage();

    Document doc;
    ConsoleView view(stdout);
    if (!check(doc, view, argv[2]))
        return 1;
    if (isResave && !saveDocumentFile(doc, view, argv[3]))
        return 1;
    return 0;
}
