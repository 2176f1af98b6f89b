// tvd add-names and tvd export, run in-process on files in a scratch folder,
// and their output read back the way a spreadsheet or the program would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "cli/AddNamesCommand.h"
#include "cli/ExportCommand.h"
#include "document/Document.h"
#include "storage/DataFile.h"

using namespace testing_support;

namespace {

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

std::string latin1ToUtf8(const std::string& ansi)
{
    std::string out;
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
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
        std::vector<std::string> names = {"bob", "Zo\xEB", "Bob", "<b>&'\"", "Ann"};
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

    Document doc;
    ASSERT_EQ(loadDataFile(doc, view, data.c_str()), 1);
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
        slotOf[latin1ToUtf8(doc.names[slot].name)] = slot;
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
}

} // namespace
