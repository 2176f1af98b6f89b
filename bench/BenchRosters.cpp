// Benchmark of tvd add-names, tvd export and tvd merge against tvd resave,
// on the 40,000-name file of bench_data_file: adding a roster of 10,000 new
// names, and exporting the file as CSV and as HTML, should each take at most
// twice as long as loading and saving the file again; merging two changed
// copies (three files read, one written) at most three times as long, with
// at most twice resave's peak memory (each measured in a fresh process of
// its own). A merge of one person with many memos takes time linear in
// their number. The commands run in-process as tvd runs them, best of five;
// the ratios use processor time. The window's reload of a changed file and
// its Save (with and without deleted names) are timed the same way.
//   bench_rosters   run everything; exit 1 when a check fails
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/AddNamesCommand.h"
#include "cli/ConsoleView.h"
#include "cli/ExportCommand.h"
#include "cli/MergeCommand.h"
#include "document/Document.h"
#include "session/DocumentSession.h"
#include "session/SessionEnvironment.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

const int kNames = 40000;
const int kRosterNames = 10000;
const int kRuns = 5;

double cpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

// Runs step kRuns times, after prepare (not timed) each time; keeps the best.
template <typename Prepare, typename Step>
bool time(Timing& t, Prepare prepare, Step step)
{
    for (int run = 0; run < kRuns; ++run) {
        prepare();
        double cpu = cpuSeconds();
        auto start = std::chrono::steady_clock::now();
        if (!step())
            return false;
        t.wall = std::min(t.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        t.cpu = std::min(t.cpu, cpuSeconds() - cpu);
    }
    return true;
}

// tvd resave IN OUT.
bool resave(const std::string& in, const std::string& out, FILE* quiet)
{
    Document doc;
    ConsoleView view(quiet);
    return view.show(loadDataFile(doc, in.c_str())) && saveDocumentFile(doc, view, out.c_str());
}

// The peak resident set, in MB, of this program run afresh with args (one
// of the --peak modes of main), which prints its own; -1 when it failed.
// (The peak a parent sees in wait4 would start at the parent's size: Linux
// keeps it across exec.)
double peakMb(const char* self, const std::vector<std::string>& args)
{
    std::string command = std::string("\"") + self + "\"";
    for (const std::string& arg : args)
        command += " \"" + arg + "\"";
    fflush(stdout);
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return -1;
    long kb = -1;
    if (fscanf(child, "%ld", &kb) != 1)
        kb = -1;
    return pclose(child) == 0 && kb > 0 ? kb / 1024.0 : -1;
}

// This process's peak resident set in kB (VmHWM), printed for peakMb.
int printPeak(bool ok)
{
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status && fgets(line, sizeof line, status))
        if (sscanf(line, "VmHWM: %ld", &kb) == 1)
            break;
    if (status)
        fclose(status);
    printf("%ld\n", kb);
    return ok && kb > 0 ? 0 : 1;
}

// A file of one person with count memos (and 40 action items).
bool writeMemoFile(const std::string& path, int count, FILE* quiet)
{
    Document doc;
    ConsoleView view(quiet);
    if (!doc.resetDocument(1, 40))
        return false;
    for (int a = 0; a < 40; ++a)
        if (!doc.addActionWithEntries(("Action item " + std::to_string(a)).c_str()))
            return false;
    int32_t slot = doc.addName("Ann Smith");
    for (int i = 0; slot >= 0 && i < count; ++i)
        if (!doc.addMemo(slot, ("Memo number " + std::to_string(i) + " of the season").c_str()))
            return false;
    doc.modified = 1;
    return slot >= 0 && saveDocumentFile(doc, view, path.c_str());
}

bool check(bool ok, const char* what)
{
    printf("  %-58s %s\n", what, ok ? "ok" : "FAILED");
    return ok;
}

} // namespace

// The program's Save when someone else changed the file: data opened as
// the program opens it (at work), theirs put in its place meanwhile, Save.
bool saveThatMerges(const std::string& data, const std::string& work, const std::string& theirs, FILE* quiet)
{
    std::error_code error;
    fs::copy_file(data, work, fs::copy_options::overwrite_existing, error);
    Document doc;
    DocumentSession session(doc, systemEnvironment());
    session.announce = false;
    ConsoleView view(quiet);
    if (error || !view.show(session.open(work.c_str(), true)) || doc.addName("Added here") < 0)
        return false;
    fs::copy_file(theirs, work, fs::copy_options::overwrite_existing, error);
    MergeReport report;
    return !error && session.save(view, report) == DocumentSession::Save::Merged;
}

// The program's own session on a copy of data (at work), as the window
// holds it; kept between the untimed preparation and the timed step.
struct OpenFile {
    Document doc;
    DocumentSession session{doc, systemEnvironment()};
    bool open(const std::string& data, const std::string& work, FILE* quiet)
    {
        std::error_code error;
        fs::copy_file(data, work, fs::copy_options::overwrite_existing, error);
        session.announce = false;
        ConsoleView view(quiet);
        return !error && view.show(session.open(work.c_str(), true));
    }
};

int main(int argc, char** argv)
{
    // The modes peakMb runs: one command, in a process of its own.
    if (argc == 4 && std::string(argv[1]) == "--peak-resave")
        return printPeak(resave(argv[2], argv[3], fopen("/dev/null", "w")));
    if (argc == 6 && std::string(argv[1]) == "--peak-merge")
        return printPeak(runMerge(argv[2], argv[3], argv[4], argv[5], fopen("/dev/null", "w")) == 0);
    if (argc == 5 && std::string(argv[1]) == "--peak-save-merge")
        return printPeak(saveThatMerges(argv[2], argv[3], argv[4], fopen("/dev/null", "w")));
    if (argc == 2 && std::string(argv[1]) == "--peak-nothing")
        return printPeak(true);
    fs::path folder = fs::temp_directory_path()
                      / ("tallyvane-rosters-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007));
    fs::create_directories(folder);
    // The backups that add-names and merge keep of the files they replace go
    // to the folder (and away with it), not to the user's backups folder;
    // the commands run in child processes inherit it.
    setenv("LOCALAPPDATA", folder.string().c_str(), 1);
    std::string data = (folder / "names-40000.tvd").string();
    std::string work = (folder / "work.tvd").string();
    std::string roster = (folder / "roster.csv").string();
    std::string generator = (fs::path(argv[0]).parent_path() / "bench_data_file").string();
    std::string command = "\"" + generator + "\" --generate " + std::to_string(kNames) + " \"" + data + "\"";
    if (std::system(command.c_str()) != 0) {
        fprintf(stderr, "bench_rosters: %s failed\n", command.c_str());
        return 1;
    }
    {
        FILE* file = fopen(roster.c_str(), "wb");
        fputs("\xEF\xBB\xBFName,Email\r\n", file);
        for (int i = 0; i < kRosterNames; ++i)
            fprintf(file, "\"New member %05d, of the club\",member%d@example.org\r\n", i, i);
        fclose(file);
    }
    FILE* quiet = fopen("/dev/null", "w");
    auto nothing = [] {};
    auto freshCopy = [&] { fs::copy_file(data, work, fs::copy_options::overwrite_existing); };

    Timing resaveTime, addTime, csvTime, htmlTime, mergeTime;
    // The merge: mine is the file with the roster added (left in work by
    // the add-names runs), theirs the file with every name's first action ticked.
    std::string theirs = (folder / "theirs.tvd").string();
    std::string merged = (folder / "merged.tvd").string();
    auto tickAll = [&] {
        Document doc;
        ConsoleView view(quiet);
        if (!view.show(loadDataFile(doc, data.c_str())))
            return false;
        for (int32_t i = 0; i < doc.namesCount; ++i)
            if (doc.names[i].entries && doc.names[i].entryCount)
                doc.names[i].entries[0].kind = 1;
        doc.modified = 1;
        return saveDocumentFile(doc, view, theirs.c_str()) != 0;
    };
    bool ran = time(resaveTime, nothing, [&] { return resave(data, work, quiet); })
               && time(addTime, freshCopy, [&] { return runAddNames(work.c_str(), roster.c_str(), quiet) == 0; })
               && tickAll()
               && time(mergeTime, nothing, [&] {
                      return runMerge(data.c_str(), work.c_str(), theirs.c_str(), merged.c_str(), quiet) == 0;
                  })
               && time(csvTime, nothing, [&] { return runExport(data.c_str(), false, (folder / "out.csv").string().c_str()) == 0; })
               && time(htmlTime, nothing, [&] { return runExport(data.c_str(), true, (folder / "out.html").string().c_str()) == 0; });
    // The program's look at a file someone else changed, nothing unsaved
    // here: the reload with the merge that counts what came in. And its
    // Save after deleting names, which reads the old file once more to
    // learn which names this save deletes.
    Timing reloadTime, saveTime, deleteSaveTime;
    std::unique_ptr<OpenFile> open;
    // Opens work afresh, deleting every every-th name (none for 0).
    auto openChanged = [&](int every) {
        open = std::make_unique<OpenFile>();
        if (open->open(data, work, quiet))
            for (int32_t i = 0; every && i < open->doc.namesCount; i += every)
                open->doc.deleteName(i);
        open->doc.modified = 1;
    };
    auto saveOpen = [&] {
        ConsoleView view(quiet);
        MergeReport report;
        return open->session.save(view, report) == DocumentSession::Save::Saved;
    };
    ran = ran && time(reloadTime, [&] {
              open = std::make_unique<OpenFile>();
              std::error_code error;
              if (open->open(data, work, quiet))
                  fs::copy_file(theirs, work, fs::copy_options::overwrite_existing, error);
          }, [&] { return open->session.checkDisk(false) == DocumentSession::Disk::Reloaded; })
          && time(saveTime, [&] { openChanged(0); }, saveOpen)
          && time(deleteSaveTime, [&] { openChanged(400); }, saveOpen);
    open.reset();
    // Peak memory, each command alone in a child process.
    double resavePeak = ran ? peakMb(argv[0], {"--peak-resave", data, work}) : -1;
    double mergePeak = ran ? peakMb(argv[0], {"--peak-merge", data, work, theirs, merged}) : -1;
    double savePeak = ran ? peakMb(argv[0], {"--peak-save-merge", data, work, theirs}) : -1;
    double idlePeak = peakMb(argv[0], {"--peak-nothing"});
    // One person with N memos, merged with itself: linear in N.
    const int memoCounts[] = {20000, 40000, 80000};
    Timing memoTime[3];
    for (int i = 0; ran && i < 3; ++i) {
        std::string memos = (folder / ("memos-" + std::to_string(memoCounts[i]) + ".tvd")).string();
        ran = writeMemoFile(memos, memoCounts[i], quiet) && time(memoTime[i], nothing, [&] {
            return runMerge(memos.c_str(), memos.c_str(), memos.c_str(), merged.c_str(), quiet) == 0;
        });
    }
    long long csvBytes = ran ? (long long)fs::file_size(folder / "out.csv") : 0;
    long long htmlBytes = ran ? (long long)fs::file_size(folder / "out.html") : 0;
    fclose(quiet);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!ran) {
        fprintf(stderr, "bench_rosters: a command failed\n");
        return 1;
    }

    printf("%-34s %9s %9s %10s\n", "40,000 names x 40 action items", "wall s", "cpu s", "cpu/resave");
    auto row = [&](const char* what, const Timing& t) {
        printf("%-34s %9.3f %9.3f %10.2f\n", what, t.wall, t.cpu, t.cpu / resaveTime.cpu);
    };
    row("resave", resaveTime);
    row("add-names (10,000 new names)", addTime);
    row("export --csv", csvTime);
    row("export --html", htmlTime);
    row("merge (10,000 names / 40,000 ticks)", mergeTime);
    row("window: reload a changed file", reloadTime);
    row("window: save", saveTime);
    row("window: save, 100 names deleted", deleteSaveTime);
    printf("csv %lld bytes, html %lld bytes\n", csvBytes, htmlBytes);
    printf("peak memory: resave %.0f MB, merge %.0f MB (%.2f x resave); an idle child %.0f MB\n", resavePeak, mergePeak,
           mergePeak / resavePeak, idlePeak);
    printf("peak memory of the program's Save that merges (mine open with room to grow): %.0f MB (%.2f x resave)\n",
           savePeak, savePeak / resavePeak);
    printf("%-34s %9s %9s\n", "one person, N memos, merge", "wall s", "cpu s");
    for (int i = 0; i < 3; ++i)
        printf("  N = %-29d %9.3f %9.3f\n", memoCounts[i], memoTime[i].wall, memoTime[i].cpu);

    bool ok = true;
    ok &= check(addTime.cpu <= 2 * resaveTime.cpu, "add-names of 10,000 names <= 2 x resave");
    ok &= check(csvTime.cpu <= 2 * resaveTime.cpu, "export --csv <= 2 x resave");
    ok &= check(mergeTime.cpu <= 3 * resaveTime.cpu, "merge (3 loads, 1 save) <= 3 x resave");
    ok &= check(mergePeak > 0 && mergePeak <= 2 * resavePeak, "merge peak memory <= 2 x resave's");
    ok &= check(memoTime[2].cpu <= 8 * memoTime[0].cpu, "merge of 80,000 memos <= 8 x 20,000 (linear 4, square 16)");
    return ok ? 0 : 1;
}
