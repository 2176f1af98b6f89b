// tvd add-names and tvd export, run in-process on files in a scratch folder,
// and their output read back the way a spreadsheet or the program would.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/storage/FileTestSupport.h"
#include "cli/AddNamesCommand.h"
#include "cli/ExportCommand.h"
#include "cli/MergeCommand.h"
#include "export/HtmlExport.h"
#include "document/Document.h"
#include "storage/file/FileHandle.h"
#include "storage/format/BackupName.h"
#include "storage/format/DataFile.h"
#include "session/DocumentSession.h"
#include "session/SessionEnvironment.h"
#include "storage/format/RosterFile.h"

using namespace testing_support;

namespace {

// The commands keep backups of the files they replace: here in the
// system's temporary folder, never among the user's.
const bool backupsInTemp = [] {
    std::string folder = (std::filesystem::temp_directory_path() / "tallyvane-cli-tests").string();
#ifdef _WIN32
    _putenv_s("LOCALAPPDATA", folder.c_str());
#else
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
#endif
    return true;
}();


using Rows = std::vector<std::vector<std::string>>;

// Enough of RFC 4180 to read the export back: quoted fields with doubled
// quotes, CR LF after every row. Fails the test on anything else.
Rows parseCsv(const std::string& text)
{
    Rows rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r') {
            EXPECT_EQ(text[i + 1], '\n') << "CR without LF at " << i;
            ++i;
            rows.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "LF without CR at " << i;
            field += c;
        }
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "last row without CR LF";
    rows.pop_back();
    return rows;
}

size_t countOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        count++;
    return count;
}

class CommandsTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    RecordingView view;
    std::string data = folder.file("club.tvd");

    // Runs add-names and returns what it printed.
    std::string addNames(const std::string& roster, int expectRc)
    {
        std::string outPath = folder.file("out.txt");
        FILE* out = fopen(outPath.c_str(), "wb");
        EXPECT_EQ(runAddNames(data.c_str(), roster.c_str(), out), expectRc);
        fclose(out);
        return readBytes(outPath);
    }

    // Actions with a comma and quotes; names that differ only in case, one
    // with markup characters, one non-ASCII; ticks with and without a date,
    // an open checkbox that kept its date; memos and single checkboxes.
    void writeClub(Document& doc)
    {
        ASSERT_EQ(doc.resetDocument(0, 0), 1);
        for (const char* action : {"Dues", "Form, signed", "Say \"hi\""}) {
            ASSERT_EQ(doc.addActionItem(action), 1);
            ASSERT_EQ(doc.addActionEntries(), 1);
        }
        std::vector<std::string> names = {"bob", "Zo\xC3\xAB", "Bob", "<b>&'\"", "Ann"};
        for (int i = 0; i < 20; ++i)
            names.push_back("Person " + std::to_string(19 - i));
        for (size_t n = 0; n < names.size(); ++n) {
            int32_t slot = doc.addName(names[n].c_str());
            ASSERT_GE(slot, 0);
            for (int a = 0; a < 3; ++a) {
                Entry& entry = doc.names[slot].entries[a];
                int pick = int(n * 3 + size_t(a)) % 4;
                entry.kind = pick < 2 ? ActionDone : ActionOpen;
                if (pick == 0 || pick == 2)
                    snprintf(entry.date, sizeof entry.date, "0%d/1%d/26 09:0%d AM", a + 1, int(n % 10), a);
            }
        }
        int32_t ann = 4;
        ASSERT_EQ(doc.addMemo(ann, "Paid | in cash"), 1);
        ASSERT_EQ(doc.addCheckbox(ann, "Permit"), 1);
        ASSERT_EQ(doc.addCheckbox(ann, "Badge"), 1);
        ASSERT_EQ(doc.addCheckbox(ann, "Guest"), 1);
        doc.names[ann].entries[4].kind = CheckboxDone;
        strcpy(doc.names[ann].entries[4].date, "03/15/26 02:30 PM");
        doc.names[ann].entries[5].kind = CheckboxDone;
        ASSERT_EQ(writeDataFile(doc, data.c_str()), SaveResult::Saved);
    }
};

// A data file made by add-names opens with the new names, each with an open
// checkbox per action item; the names it had are untouched, and a second
// run changes nothing.
TEST_F(CommandsTest, AddNamesFileOpensWithTheNewNames)
{
    writeBytes(data, exampleFile());
    std::string roster = folder.file("roster.csv");
    writeBytes(roster, "Name,Phone\r\nCara Diaz,1\r\nann smith,2\r\n\"Dan, Jr.\",3\r\n");
    EXPECT_EQ(addNames(roster, 0), roster + ":3: already in the data file - skipped\nadded=2 present=1 skipped=0\n");
    EXPECT_FALSE(exists(folder.file("club.$$$")));
    // The version replaced is among the backups, as the program keeps them.
    Document none;
    const std::string backups = DocumentSession(none, systemEnvironment()).backupsFolder();
    const std::string prefix = BackupName::prefixFor(data.c_str());
    std::vector<std::string> kept = BackupName::surplus(filesIn(backups.c_str(), prefix), prefix, 0);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(readBytes(backups + kept.back()), exampleFile());

    Document doc;
    ASSERT_EQ(view.load(loadDataFile(doc, data.c_str())), 1);
    EXPECT_TRUE(view.errors().empty());
    ASSERT_EQ(doc.liveNames, 4);
    EXPECT_STREQ(doc.names[0].name, "Ann Smith");
    EXPECT_STREQ(doc.names[0].entries[0].date, "03/14/26 09:05 AM");
    EXPECT_STREQ(doc.names[1].entries[1].text, "Parking permit");
    EXPECT_STREQ(doc.names[2].name, "Cara Diaz");
    EXPECT_STREQ(doc.names[3].name, "Dan, Jr.");
    for (int32_t slot : {2, 3}) {
        ASSERT_EQ(doc.names[slot].entryCount, 2);
        EXPECT_EQ(doc.names[slot].entries[0].kind, ActionOpen);
        EXPECT_EQ(doc.names[slot].entries[1].kind, ActionOpen);
    }

    std::string saved = readBytes(data);
    EXPECT_EQ(addNames(roster, 0), roster + ":2: already in the data file - skipped\n" + roster
                                       + ":3: already in the data file - skipped\n" + roster
                                       + ":4: already in the data file - skipped\nadded=0 present=3 skipped=0\n");
    EXPECT_EQ(readBytes(data), saved);
}

// The CSV read back gives the document's table: a column per action item, a
// row per name sorted ignoring ASCII case (equal names in file order), the
// date or "done" where ticked, the memos and single checkboxes in Notes.
TEST_F(CommandsTest, CsvReadBackGivesTheDocumentsTable)
{
    Document doc;
    writeClub(doc);
    std::string csv = folder.file("club.csv");
    ASSERT_EQ(runExport(data.c_str(), false, csv.c_str()), 0);
    std::string text = readBytes(csv);
    ASSERT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0);
    Rows rows = parseCsv(text.substr(3));

    ASSERT_EQ(rows.size(), size_t(doc.liveNames) + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Name", "Dues", "Form, signed", "Say \"hi\"", "Notes"}));
    std::map<std::string, int32_t> slotOf;
    for (int32_t slot = 0; slot < doc.namesCount; ++slot)
        slotOf[doc.names[slot].name] = slot;
    std::vector<std::string> order;
    for (size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        ASSERT_EQ(row.size(), 5u) << r;
        order.push_back(row[0]);
        ASSERT_EQ(slotOf.count(row[0]), 1u) << row[0];
        const NameRecord& record = doc.names[slotOf[row[0]]];
        for (int a = 0; a < 3; ++a) {
            const Entry& entry = record.entries[a];
            std::string expected = entry.kind != ActionDone ? "" : entry.date[0] ? entry.date : "done";
            EXPECT_EQ(row[size_t(a) + 1], expected) << row[0] << " column " << a;
        }
        if (row[0] != "Ann") {
            EXPECT_EQ(row[4], "");
        }
    }
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 9),
              (std::vector<std::string>{"<b>&'\"", "Ann", "bob", "Bob", "Person 0", "Person 1", "Person 10",
                                        "Person 11", "Person 12"}));
    EXPECT_EQ(order.back(), "Zo\xC3\xAB");
    EXPECT_EQ(rows[2][4], "Paid | in cash | [x] Permit (03/15/26 02:30 PM) | [x] Badge | [ ] Guest");
}

// One row per name and one column per action item, every text escaped, and
// nothing that would load from elsewhere or run.
TEST_F(CommandsTest, HtmlPageHasTheTableAndEscapesEveryText)
{
    Document doc;
    writeClub(doc);
    std::string html = folder.file("club.html");
    ASSERT_EQ(runExport(data.c_str(), true, html.c_str()), 0);
    std::string page = readBytes(html);

    size_t body = page.find("<tbody>");
    ASSERT_NE(body, std::string::npos);
    std::string grid = page.substr(body, page.find("</tbody>") - body);
    EXPECT_EQ(countOf(grid, "<tr>"), size_t(doc.liveNames));
    EXPECT_EQ(countOf(page, "<th class=\"act\""), size_t(doc.liveActions));
    int64_t done = 0;
    for (int32_t slot = 0; slot < doc.namesCount; ++slot)
        for (int a = 0; a < 3; ++a)
            done += doc.names[slot].entries[a].kind == ActionDone;
    EXPECT_EQ(countOf(grid, "\xE2\x9C\x93"), size_t(done));
    EXPECT_NE(page.find("Ticks done</th><td>" + std::to_string(done) + " of 75 "), std::string::npos);

    EXPECT_NE(page.find("<th>&lt;b&gt;&amp;&#39;&quot;</th>"), std::string::npos);
    EXPECT_NE(page.find("title=\"Say &quot;hi&quot;\""), std::string::npos);
    EXPECT_NE(page.find("<th>Zo\xC3\xAB</th>"), std::string::npos);
    EXPECT_NE(page.find("<h1>club.tvd</h1>"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    for (const char* outside : {"<script", "src=", "href=", "url(", "@import"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;

    // Per action item its rounded share and the pending names, one list item
    // each ("Form, signed" pending would not split either).
    for (int a = 0; a < 3; ++a) {
        std::string items;
        int64_t doneHere = 0;
        for (int32_t slot = 0; slot < doc.namesCount; ++slot)
            doneHere += doc.names[slot].entries[a].kind == ActionDone;
        size_t at = page.find("<h3>", page.find("<section class=\"actions\">"));
        for (int skip = 0; skip < a; ++skip)
            at = page.find("<h3>", at + 1);
        at = page.find("</h3>", at);
        std::string block = page.substr(at, page.find("</div>", at) - at);
        EXPECT_NE(block.find("<span class=\"pct\">" + std::to_string(reportPercent(doneHere, 25)) + "% (" +
                             std::to_string(doneHere) + " of 25)"),
                  std::string::npos)
            << block;
        EXPECT_EQ(countOf(block, "<li>"), size_t(25 - doneHere)) << block;
        EXPECT_EQ(block.find(", "), std::string::npos) << block;
    }
    EXPECT_NE(page.find("<li>&lt;b&gt;&amp;&#39;&quot;</li>"), std::string::npos);
}

// The page's shares: nearest whole percent, yet never 100 with someone
// pending nor 0 with someone done.
TEST(HtmlPercent, RoundsToTheNearestWithoutClaimingAllOrNothing)
{
    const struct {
        int64_t part, whole;
        int shown;
    } cases[] = {{1, 3, 33}, {2, 3, 67}, {1, 8, 13}, {199, 200, 99}, {1, 200, 1}, {4, 14, 29}, {5, 14, 36},
                 {1, 1000, 1}, {999, 1000, 99}, {0, 7, 0}, {7, 7, 100}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(reportPercent(c.part, c.whole), c.shown) << c.part << "/" << c.whole;
}

// Runs "add-names|FILE|ROSTER", "merge|BASE|MINE|THEIRS|OUT" or
// "export|FILE|--csv|OUT" in folder (names relative to it); returns the exit
// status and, for add-names and merge, what it printed with the folder's
// path taken out.
int runTvd(const ScratchFolder& folder, const std::string& command, std::string* printed = nullptr)
{
    std::vector<std::string> args;
    for (size_t start = 0;;) {
        size_t bar = command.find('|', start);
        args.push_back(command.substr(start, bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::string base = folder.file("");
    auto path = [&](size_t i) { return folder.file(args[i]); };
    if (args[0] == "export")
        return runExport(path(1).c_str(), args[2] == "--html", path(3).c_str());
    std::string outPath = folder.file("printed.txt");
    FILE* out = fopen(outPath.c_str(), "wb");
    int rc = args[0] == "merge" ? runMerge(path(1).c_str(), path(2).c_str(), path(3).c_str(), path(4).c_str(), out)
                                : runAddNames(path(1).c_str(), path(2).c_str(), out);
    fclose(out);
    std::string text = readBytes(outPath);
    for (size_t at; (at = text.find(base)) != std::string::npos;)
        text.erase(at, base.size());
    if (printed)
        *printed = text;
    return rc;
}

void makeReadOnly(const std::string& path)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write
                                           | std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
}

const char kCsvStart[] = "\xEF\xBB\xBFName,";
const char kHtmlStart[] = "<!DOCTYPE html>";

// What a case finds after its run: a file's whole content, or its start.
struct Found {
    std::string file;
    std::string content;
    bool whole;
};

struct OutputCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;   // written first
    std::function<void(const ScratchFolder&)> prepare;        // then this, when set
    std::string command;
    int rc;
    std::vector<Found> after;
    std::string printed = "";   // add-names and merge: the whole output
    std::function<void(const ScratchFolder&)> check = nullptr;   // more to look at, when set
};

#ifndef _WIN32
std::function<void(const ScratchFolder&)> modeIs(const char* name, unsigned mode)
{
    return [=](const ScratchFolder& f) {
        struct stat st;
        ASSERT_EQ(stat(f.file(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode) << name;
    };
}

std::function<void(const ScratchFolder&)> staysLink(const char* name)
{
    return [=](const ScratchFolder& f) {
        struct stat st;
        ASSERT_EQ(lstat(f.file(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << name;
    };
}
#endif

#ifdef _WIN32
HANDLE heldByOther = INVALID_HANDLE_VALUE;   // a case's file held open by "another program"
#endif

std::vector<OutputCase> outputCases()
{
    const std::string club = exampleFile();
    auto cutAt = [&](const char* before) { return club.substr(0, club.find(before)); };
    const std::string cyLee = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "2", "Sign the safety form",
                                    "Return the badge", "", "[Names]", "1", "0 Cy Lee", "", "[0]", "2", "0 ", "0 "});
    const std::string longFolder = std::string(200, 'd') + "/" + std::string(150, 'e');
    std::vector<OutputCase> cases = {
        {"an export leaves a data file's .$$$ file alone (the only copy after a failed save)",
         {{"club.tvd", club}, {"club.$$$", "only copy"}}, nullptr, "export|club.tvd|--csv|club.csv", 0,
         {{"club.$$$", "only copy", true}, {"club.csv", kCsvStart, false}}},
        {"an export of a .$$$ file keeps its input", {{"saved.$$$", club}}, nullptr,
         "export|saved.$$$|--html|saved.html", 0, {{"saved.$$$", club, true}, {"saved.html", kHtmlStart, false}}},
        {"an export never writes into a file of that name that it did not create",
         {{"club.tvd", club}, {"club.csv.tmp", "the user's"}}, nullptr, "export|club.tvd|--csv|club.csv", 0,
         {{"club.csv.tmp", "the user's", true}, {"club.csv", kCsvStart, false}}},
        {"a merge writes through a temporary file of OUT's own, not another's (git's OUT has no extension)",
         {{"club.tvd", club}, {".$$$", "someone's"}, {".merge_file_a.$$$", "someone's"}}, nullptr,
         "merge|club.tvd|club.tvd|club.tvd|.merge_file_a", 0,
         {{".$$$", "someone's", true}, {".merge_file_a.$$$", "someone's", true}, {".merge_file_a", "[Program]", false}},
         "Nothing new from the other copy.\n"},
        {"a merge into git's temporary copy keeps no backup of it (git keeps every version)",
         {{"club.tvd", club}, {".merge_file_b", club}}, nullptr, "merge|club.tvd|club.tvd|club.tvd|.merge_file_b", 0,
         {{".merge_file_b", "[Program]", false}}, "Nothing new from the other copy.\n",
         [](const ScratchFolder& f) {
             Document none;
             std::string backups = DocumentSession(none, systemEnvironment()).backupsFolder();
             std::string prefix = BackupName::prefixFor(f.file(".merge_file_b").c_str());
             EXPECT_TRUE(BackupName::surplus(filesIn(backups.c_str(), prefix), prefix, 0).empty());
         }},
        {"a merge into a folder leaves no temporary file", {{"club.tvd", club}},
         [](const ScratchFolder& f) { std::filesystem::create_directory(f.file("adir")); },
         "merge|club.tvd|club.tvd|club.tvd|adir", 1, {{"club.tvd", club, true}},
#ifdef _WIN32
         "Nothing new from the other copy.\nadir: Failed to save the file - access is denied\n"},
#else
         "Nothing new from the other copy.\nadir: Failed to save the file - it is a folder\n"},
#endif
        {"OUT the data file itself, without an extension", {{"clubdata", club}}, nullptr,
         "export|clubdata|--csv|clubdata", 2, {{"clubdata", club, true}}},
        {"OUT spelled like a data file as Windows reads it", {{"club.tvd", club}}, nullptr,
         "export|club.tvd|--csv|club.tvd. ", 2, {{"club.tvd", club, true}}},
        {"the roster is the data file", {{"list.txt", "Ann\n"}}, nullptr, "add-names|list.txt|list.txt", 2,
         {{"list.txt", "Ann\n", true}}},
        {"a read-only data file is not replaced", {{"club.tvd", club}, {"r.txt", "Zed\n"}},
         [](const ScratchFolder& f) { makeReadOnly(f.file("club.tvd")); }, "add-names|club.tvd|r.txt", 1,
         {{"club.tvd", club, true}}, "club.tvd: Failed to save the file - the file is read-only\n"},
        {"a read-only OUT is not replaced", {{"club.tvd", club}, {"out.csv", "old"}},
         [](const ScratchFolder& f) { makeReadOnly(f.file("out.csv")); }, "export|club.tvd|--csv|out.csv", 1,
         {{"out.csv", "old", true}}},
        {"a missing roster: the reason", {{"club.tvd", club}}, nullptr, "add-names|club.tvd|missing.txt", 1,
         {{"club.tvd", club, true}}, "missing.txt: Failed to open the existing file - the file does not exist\n"},
        {"a folder as roster: the reason", {{"club.tvd", club}},
         [](const ScratchFolder& f) { std::filesystem::create_directory(f.file("dir.csv")); },
         "add-names|club.tvd|dir.csv", 1, {{"club.tvd", club, true}},
         "dir.csv: Failed to open the existing file - it is a folder\n"},
        {"a workbook as roster: the likely cause", {{"club.tvd", club}, {"r.csv", std::string("PK\x03\x04\0\0", 6)}},
         nullptr, "add-names|club.tvd|r.csv", 1, {{"club.tvd", club, true}},
         "r.csv: Not a roster of names - it looks like a spreadsheet workbook: save it as CSV first\n"},
        // tvd merge refuses a copy cut off by a write that never ended, as
        // any input (the first message says why); OUT stays as it was.
        {"merge: THEIRS cut before its names", {{"b.tvd", club}, {"m.tvd", club}, {"t.tvd", cutAt("[Names]")}, {"o.tvd", "old"}},
         nullptr, "merge|b.tvd|m.tvd|t.tvd|o.tvd", 1, {{"o.tvd", "old", true}},
         "Tallyvane: Data file is incomplete\nt.tvd: Damaged data file - not merged\n"},
        {"merge: MINE with only its magic", {{"b.tvd", club}, {"m.tvd", cutAt("\r\n\r\n[Action")}, {"t.tvd", club}},
         nullptr, "merge|b.tvd|m.tvd|t.tvd|o.tvd", 1, {{"o.tvd", "", true}},
         "Tallyvane: Data file is incomplete\nm.tvd: Damaged data file - not merged\n"},
        {"merge: BASE cut inside the names header", {{"b.tvd", cutAt("mes]")}, {"m.tvd", club}, {"t.tvd", club}},
         nullptr, "merge|b.tvd|m.tvd|t.tvd|o.tvd", 1, {{"o.tvd", "", true}},
         "Tallyvane: Data file is incomplete\nb.tvd: Damaged data file - not merged\n"},
        {"merge: THEIRS cut inside its last date", {{"b.tvd", club}, {"m.tvd", club}, {"t.tvd", club.substr(0, club.size() - 5)}},
         nullptr, "merge|b.tvd|m.tvd|t.tvd|o.tvd", 1, {{"o.tvd", "", true}},
         "Tallyvane: Data file is incomplete\nt.tvd: Damaged data file - not merged\n"},
        {"merge: a read-only OUT is not replaced", {{"b.tvd", club}, {"m.tvd", club}, {"t.tvd", club}, {"o.tvd", "old"}},
         [](const ScratchFolder& f) { makeReadOnly(f.file("o.tvd")); }, "merge|b.tvd|m.tvd|t.tvd|o.tvd", 1,
         {{"o.tvd", "old", true}}, "o.tvd: Failed to save the file - the file is read-only\n"},
        // git's common ancestor of a file added on two branches is empty: no
        // ancestor, so the result holds everything of both.
        {"merge: an empty BASE is no common ancestor", {{"b.tvd", ""}, {"m.tvd", club}, {"t.tvd", cyLee}}, nullptr,
         "merge|b.tvd|m.tvd|t.tvd|o.tvd", 0, {{"o.tvd", "[Program]", false}},
         "From the other copy: 1 name.\nCy Lee\n",
         [](const ScratchFolder& f) {
             Document doc;
             RecordingView view;
             ASSERT_EQ(view.load(loadDataFile(doc, f.file("o.tvd").c_str())), 1);
             EXPECT_EQ(doc.liveNames, 3);
             EXPECT_EQ(doc.liveActions, 2);
         }},
#ifdef _WIN32
        // A spreadsheet keeps the file it shows open for writing, sharing only reading.
        {"a roster that a spreadsheet holds open", {{"club.tvd", club}, {"r.csv", "Name\r\nZed\r\n"}},
         [](const ScratchFolder& f) {
             heldByOther = CreateFileA(f.file("r.csv").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(heldByOther, INVALID_HANDLE_VALUE);
         },
         "add-names|club.tvd|r.csv", 0, {{"club.tvd", "[Program]", false}}, "added=1 present=0 skipped=0\n",
         [](const ScratchFolder&) { CloseHandle(heldByOther); }},
#else
        // The native build's file system: permissions, links, pipes, long paths, UTF-8 names.
        {"a 0600 data file keeps its mode", {{"club.tvd", club}, {"r.txt", "Zed\n"}},
         [](const ScratchFolder& f) { chmod(f.file("club.tvd").c_str(), 0600); }, "add-names|club.tvd|r.txt", 0,
         {{"club.tvd", "[Program]", false}}, "added=1 present=0 skipped=0\n", modeIs("club.tvd", 0600)},
        {"a 0600 OUT keeps its mode", {{"club.tvd", club}, {"out.csv", "old"}},
         [](const ScratchFolder& f) { chmod(f.file("out.csv").c_str(), 0600); }, "export|club.tvd|--csv|out.csv", 0,
         {{"out.csv", kCsvStart, false}}, "", modeIs("out.csv", 0600)},
        {"a linked data file is saved through the link", {{"real.tvd", club}, {"r.txt", "Zed\n"}},
         [](const ScratchFolder& f) { ASSERT_EQ(symlink("real.tvd", f.file("club.tvd").c_str()), 0); },
         "add-names|club.tvd|r.txt", 0, {{"real.tvd", "[Program]", false}}, "added=1 present=0 skipped=0\n",
         staysLink("club.tvd")},
        {"a merge never writes through a link named like its temporary file",
         {{"club.tvd", club}, {"precious.txt", "precious"}},
         [](const ScratchFolder& f) { ASSERT_EQ(symlink("precious.txt", f.file("out.tvd.$$$").c_str()), 0); },
         "merge|club.tvd|club.tvd|club.tvd|out.tvd", 0, {{"precious.txt", "precious", true}, {"out.tvd", "[Program]", false}},
         "Nothing new from the other copy.\n", staysLink("out.tvd.$$$")},
        {"a linked OUT is written through the link", {{"club.tvd", club}, {"real.csv", "old"}},
         [](const ScratchFolder& f) { ASSERT_EQ(symlink("real.csv", f.file("out.csv").c_str()), 0); },
         "export|club.tvd|--csv|out.csv", 0, {{"real.csv", kCsvStart, false}}, "", staysLink("out.csv")},
        {"OUT a hard link of the data file", {{"club.tvd", club}},
         [](const ScratchFolder& f) { ASSERT_EQ(link(f.file("club.tvd").c_str(), f.file("same").c_str()), 0); },
         "export|club.tvd|--csv|same", 2, {{"club.tvd", club, true}}},
        {"a pipe as roster: the reason", {{"club.tvd", club}},
         [](const ScratchFolder& f) { ASSERT_EQ(mkfifo(f.file("pipe.txt").c_str(), 0600), 0); },
         "add-names|club.tvd|pipe.txt", 1, {{"club.tvd", club, true}},
         "pipe.txt: Failed to open the existing file - it is not a file (a device or a pipe)\n"},
        {"an OUT path of 400 characters", {{"club.tvd", club}},
         [longFolder](const ScratchFolder& f) { std::filesystem::create_directories(f.file(longFolder)); },
         "export|club.tvd|--csv|" + longFolder + "/" + std::string(40, 'f') + ".csv", 0,
         {{longFolder + "/" + std::string(40, 'f') + ".csv", kCsvStart, false}}},
        {"a UTF-8 file name in the page's title", {{"Zo\xC3\xAB club.tvd", club}}, nullptr,
         "export|Zo\xC3\xAB club.tvd|--html|zoe.html", 0,
         {{"zoe.html", kHtmlStart, false}, {"zoe.html", "<title>Zo\xC3\xAB club.tvd - Tallyvane</title>", false}}},
#endif
    };
    return cases;
}

// Each case in a fresh folder: the exit status, what add-names printed, the
// files it must have left as they were or written, and no temporary file
// left behind.
TEST(OutputFileTest, OutputFileCases)
{
    for (const OutputCase& c : outputCases()) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        for (const auto& file : c.files)
            writeBytes(folder.file(file.first), file.second);
        if (c.prepare)
            c.prepare(folder);
        std::string printed;
        EXPECT_EQ(runTvd(folder, c.command, &printed), c.rc);
        if (c.command.rfind("export", 0) != 0) {
            EXPECT_EQ(printed, c.printed);
        }
        for (const Found& found : c.after) {
            std::string content = readBytes(folder.file(found.file));
            if (found.whole) {
                EXPECT_EQ(content, found.content) << found.file;
            } else if (found.content.rfind("<title>", 0) == 0) {
                EXPECT_NE(content.find(found.content), std::string::npos) << found.file;
            } else {
                EXPECT_EQ(content.compare(0, found.content.size(), found.content), 0)
                    << found.file << ": " << content.substr(0, 40);
            }
        }
        if (c.check)
            c.check(folder);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.file(""))) {
            std::string name = entry.path().filename().string();
            bool given = name == "club.csv.tmp" || name == "out.tvd.$$$";
            for (const auto& file : c.files)
                given = given || file.first == name;
            if (!given) {
                EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
                EXPECT_EQ(name.find(".$$$"), std::string::npos) << entry.path();
            }
        }
    }
}

// Two commands at once on the files of one data file, many times over:
// add-names with an export, a CSV and an HTML export, two exports of the
// same file. Each leaves every file complete and its own. In the native
// build each ends with 0; in the Windows build, where a data file is read
// without sharing, one may instead fail to open it (exit 1) and change nothing.
TEST(OutputFileTest, TwoWritersAtOnce)
{
    ScratchFolder folder;
    std::string club = folder.file("club.tvd");
    writeBytes(club, exampleFile());
    std::string nul = folder.file("printed.txt");
    const int kRounds = 40;
    int added = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        std::string roster = folder.file("r" + std::to_string(round) + ".txt");
        writeBytes(roster, "Member " + std::to_string(round) + "\n");
        std::atomic<int> ready{0};
        auto together = [&ready]() {
            ready++;
            while (ready.load() < 2) {
            }
        };
        int rc[2] = {-1, -1};
        std::function<int()> runs[3][2] = {
            {[&] {
                 FILE* out = fopen(nul.c_str(), "ab");
                 int status = runAddNames(club.c_str(), roster.c_str(), out);
                 fclose(out);
                 added += status == 0;
                 return status;
             },
             [&] { return runExport(club.c_str(), false, folder.file("club.csv").c_str()); }},
            {[&] { return runExport(club.c_str(), false, folder.file("club.csv").c_str()); },
             [&] { return runExport(club.c_str(), true, folder.file("club.html").c_str()); }},
            {[&] { return runExport(club.c_str(), true, folder.file("club.html").c_str()); },
             [&] { return runExport(club.c_str(), true, folder.file("club.html").c_str()); }},
        };
        for (auto& pair : runs) {
            ready = 0;
            std::thread other([&] {
                together();
                rc[1] = pair[1]();
            });
            together();
            rc[0] = pair[0]();
            other.join();
            for (int status : rc) {
#ifdef _WIN32
                EXPECT_TRUE(status == 0 || status == 1) << status;
#else
                EXPECT_EQ(status, 0);
#endif
            }
        }
        EXPECT_EQ(readBytes(club).compare(0, 11, "[Program]\r\n"), 0);
        EXPECT_EQ(readBytes(folder.file("club.csv")).compare(0, strlen(kCsvStart), kCsvStart), 0);
        std::string page = readBytes(folder.file("club.html"));
        EXPECT_EQ(page.compare(0, strlen(kHtmlStart), kHtmlStart), 0);
        EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
        if (::testing::Test::HasFailure())
            break;
    }
    Document doc;
    RecordingView view;
    ASSERT_EQ(view.load(loadDataFile(doc, club.c_str())), 1);
    EXPECT_EQ(doc.liveNames, 2 + added);
    for (const auto& entry : std::filesystem::directory_iterator(folder.file("")))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// Two commands saving one data file at once, many times over: two
// add-names on a file that does not exist yet, and add-names with a merge
// into the file. Every name reported added ends in the file. (In the
// Windows build one may find the file held by the other and fail, exit 1,
// having changed nothing.)
TEST(SharedSaveCommands, TwoSaversOfOneFileLoseNothing)
{
    ScratchFolder folder;
    std::string nul = folder.file("printed.txt");
    std::string base = folder.file("base.tvd"), theirs = folder.file("theirs.tvd");
    writeBytes(base, exampleFile());
    {
        Document doc;
        RecordingView view;
        ASSERT_EQ(view.load(loadDataFile(doc, base.c_str())), 1);
        ASSERT_GE(doc.addName("From the merge"), 0);
        ASSERT_EQ(writeDataFile(doc, theirs.c_str()), SaveResult::Saved);
    }
    const int kRounds = 12;
    for (bool merge : {false, true}) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(merge ? "add-names and merge, " : "two add-names, ") + std::to_string(round));
            std::string club = folder.file("club" + std::to_string(round) + (merge ? "m" : "") + ".tvd");
            if (merge)
                writeBytes(club, exampleFile());
            std::string rosters[2];
            for (int i = 0; i < 2; ++i) {
                rosters[i] = folder.file("r" + std::to_string(i) + ".txt");
                std::string names;
                for (int n = 0; n < 200; ++n)
                    names += "Roster " + std::to_string(i) + " name " + std::to_string(n) + "\n";
                writeBytes(rosters[i], names);
            }
            std::atomic<int> ready{0};
            auto together = [&ready] {
                ready++;
                while (ready.load() < 2) {
                }
            };
            int rc[2] = {-1, -1};
            auto run = [&](int i) {
                together();
                FILE* out = fopen(nul.c_str(), "ab");
                rc[i] = merge && i == 1 ? runMerge(base.c_str(), club.c_str(), theirs.c_str(), club.c_str(), out)
                                        : runAddNames(club.c_str(), rosters[i].c_str(), out);
                fclose(out);
            };
            std::thread other(run, 1);
            run(0);
            other.join();
            Document doc;
            RecordingView view;
            ASSERT_EQ(view.load(loadDataFile(doc, club.c_str())), 1);
            std::string names = ",";
            for (int32_t i = 0; i < doc.namesCount; ++i)
                names += std::string(doc.names[i].name) + ",";
            for (int i = 0; i < 2; ++i) {
#ifdef _WIN32
                EXPECT_TRUE(rc[i] == 0 || rc[i] == 1) << rc[i];
#else
                EXPECT_EQ(rc[i], 0);
#endif
                if (rc[i] != 0)
                    continue;
                std::string expected = merge && i == 1 ? ",From the merge," : ",Roster " + std::to_string(i) + " name 199,";
                EXPECT_NE(names.find(expected), std::string::npos) << expected;
            }
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

// Names that a spreadsheet would run as formulas are written with a "'" in
// front, and a roster read from the export gives the same names again.
TEST_F(CommandsTest, FormulaNamesAreGuardedAndReadBack)
{
    Document doc;
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addActionItem("=HYPERLINK(\"x\")"), 1);
    const std::vector<std::string> names = {"=1+2", "+44 Ann", "-Bob", "@home", "Ann", "'Tis", "Zo\xC3\xAB"};
    for (const std::string& name : names)
        ASSERT_GE(doc.addName(name.c_str()), 0);
    ASSERT_EQ(writeDataFile(doc, data.c_str()), SaveResult::Saved);
    std::string csv = folder.file("club.csv");
    ASSERT_EQ(runExport(data.c_str(), false, csv.c_str()), 0);
    Rows rows = parseCsv(readBytes(csv).substr(3));
    EXPECT_EQ(rows[0][1], "'=HYPERLINK(\"x\")");
    std::vector<std::string> cells;
    for (size_t r = 1; r < rows.size(); ++r)
        cells.push_back(rows[r][0]);
    EXPECT_EQ(cells, (std::vector<std::string>{"'Tis", "'+44 Ann", "'-Bob", "'=1+2", "'@home", "Ann", "Zo\xC3\xAB"}));

    RosterFile roster;
    ASSERT_EQ(roster.read(csv.c_str()), 1);
    std::vector<std::string> read;
    for (const RosterFile::Name& name : roster.names())
        read.push_back(name.text);
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, sorted);
}

} // namespace
