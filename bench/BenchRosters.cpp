// Benchmark of tvd add-names, tvd export and tvd merge against tvd resave,
// on the 40,000-name file of bench_data_file: adding a roster of 10,000 new
// names, and exporting the file as CSV and as HTML, should each take at most
// twice as long as loading and saving the file again; merging two changed
// copies (three files read, one written) at most five times as long. The
// commands run in-process as tvd runs them, best of five; the ratios use
// processor time.
//   bench_rosters   run everything; exit 1 when a check fails
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/AddNamesCommand.h"
#include "cli/ConsoleView.h"
#include "cli/ExportCommand.h"
#include "cli/MergeCommand.h"
#include "document/Document.h"
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
    return loadDataFile(doc, view, in.c_str()) && saveDocumentFile(doc, view, out.c_str());
}

bool check(bool ok, const char* what)
{
    printf("  %-58s %s\n", what, ok ? "ok" : "FAILED");
    return ok;
}

} // namespace

int main(int, char** argv)
{
    fs::path folder = fs::temp_directory_path()
                      / ("tallyvane-rosters-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007));
    fs::create_directories(folder);
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
        if (!loadDataFile(doc, view, data.c_str()))
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
    printf("csv %lld bytes, html %lld bytes\n", csvBytes, htmlBytes);

    bool ok = true;
    ok &= check(addTime.cpu <= 2 * resaveTime.cpu, "add-names of 10,000 names <= 2 x resave");
    ok &= check(csvTime.cpu <= 2 * resaveTime.cpu, "export --csv <= 2 x resave");
    ok &= check(mergeTime.cpu <= 5 * resaveTime.cpu, "merge (3 loads, 1 save) <= 5 x resave");
    return ok ? 0 : 1;
}
