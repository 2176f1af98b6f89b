#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/RosterFile.h"

using namespace testing_support;

namespace {

struct RosterCase {
    const char* what;
    std::string roster;
    bool csv;
    std::vector<const char*> held;       // names the document holds already
    std::vector<std::string> added;      // ANSI (Windows-1252), in roster order
    std::vector<std::string> notes;      // "LINE: reason"
    int present, skipped;
    std::string refused = "";            // the error of a refused roster
};

const std::string kLongName(130, 'x');

// Each reading rule once. Texts with non-ASCII letters are given in UTF-8
// unless the case is about ANSI rosters; names come out in Windows-1252.
const RosterCase kCases[] = {
    {"header row and byte-order mark", "\xEF\xBB\xBFNAME,Email\r\nAnn,a@x\r\n", true, {}, {"Ann"}, {}, 0, 0},
    {"only the first row is a header", "Ann\nName\n", false, {}, {"Ann", "Name"}, {}, 0, 0},
    {"quoted CSV: commas, doubled quotes, a line break, other columns",
     "Name,Note\r\n\"Smith, Ann\",x\r\n\"Quote \"\"Q\"\" Man\",\"a,\r\nb\"\r\n\"Multi\r\nLine\",y\r\nBob,\"\"\r\nbob\r\n",
     true, {}, {"Smith, Ann", "Quote \"Q\" Man", "Multi Line", "Bob"}, {"8: same name as line 7 - skipped"}, 0, 1},
    {"a text roster keeps commas", "Smith, Ann\r\n", false, {}, {"Smith, Ann"}, {}, 0, 0},
    {"blanks trimmed, blank lines skipped, CR-only line ends", "  Ann  \r\r \t \rBob\r", false, {},
     {"Ann", "Bob"}, {}, 0, 0},
    {"duplicates in the file and in the roster, ignoring case", "ANN SMITH\nBob\nbob\nCarl\n", false,
     {"Ann Smith"}, {"Bob", "Carl"}, {"1: already in the data file - skipped", "3: same name as line 2 - skipped"}, 1,
     1},
    {"case of non-ASCII letters", "zo\xC3\xAB\n", false, {"ZO\xCB"}, {}, {"1: already in the data file - skipped"},
     1, 0},
    {"an overlong name is cut", "Ann\n" + kLongName + "\n", false, {}, {"Ann", kLongName.substr(0, 127)},
     {"2: name cut to 127 characters"}, 0, 0},
    {"a name with no ANSI form is skipped", "\xC5\x81ukasz\nZo\xC3\xAB \xE2\x82\xAC\n", false, {}, {"Zo\xEB \x80"},
     {"1: a character of the name has no ANSI form - skipped"}, 0, 1},
    {"UTF-16 with its byte-order mark", std::string("\xFF\xFEN\0a\0m\0e\0\r\0\n\0Z\0o\0\xEB\0\n\0", 20), false, {},
     {"Zo\xEB"}, {}, 0, 0},
    {"an ANSI roster is taken as it is", "Zo\xEB\nRen\xE9\n", false, {}, {"Zo\xEB", "Ren\xE9"}, {}, 0, 0},

    // Separators: Excel's "sep=" line, else ';' or a tab when the first line
    // has one outside quotes and no comma.
    {"semicolon CSV", "Name;Email;Phone\r\nSmith;ann@example.org;123\r\n\"Doe; Jane\";x\r\nBob, Jr.;y\r\n", true, {},
     {"Smith", "Doe; Jane", "Bob, Jr."}, {}, 0, 0},
    {"Excel's sep= line", "\xEF\xBB\xBFsep=;\r\nName;Email\r\nSmith, Ann;x\r\nsmith, ann;y\r\n", true, {},
     {"Smith, Ann"}, {"4: same name as line 3 - skipped"}, 0, 1},
    {"tab-separated CSV", "Name\tEmail\nAnn\ta@x\n", true, {}, {"Ann"}, {}, 0, 0},
    {"a comma outside quotes keeps the comma", "\"a;b\",Name;x\nAnn;B,c\n", true, {}, {"a;b", "Ann;B"}, {}, 0, 0},

    // Encodings: UTF-16 without a byte-order mark; UTF-8 or ANSI line by line.
    {"UTF-16 LE without a byte-order mark", std::string("N\0a\0m\0e\0\r\0\n\0Z\0o\0\xEB\0\n\0", 18), false, {},
     {"Zo\xEB"}, {}, 0, 0},
    {"UTF-16 BE without a byte-order mark", std::string("\0A\0n\0n\0\n\0B\0o\0b", 14), false, {}, {"Ann", "Bob"}, {},
     0, 0},
    {"a UTF-8 roster with one ANSI line", "Zo\xC3\xAB Brandt\nRen\xE9 Roy\nzo\xC3\xAB brandt\nJos\xC3\xA9\n", false, {},
     {"Zo\xEB Brandt", "Ren\xE9 Roy", "Jos\xE9"}, {"3: same name as line 1 - skipped"}, 0, 1},

    // Both sides tidied alike: blanks, tabs and non-breaking spaces.
    {"names held untidied are found", "Ann Smith\nBob Jones\n\xC2\xA0" "Cy Lee\xC2\xA0\nDee\xA0\n", false,
     {"Ann Smith ", "Bob\tJones", "\xA0" "Cy Lee"}, {"Dee"},
     {"1: already in the data file - skipped", "2: already in the data file - skipped",
      "3: already in the data file - skipped"}, 3, 0},

    // Rows without a name in the first column are reported; empty rows are not.
    {"a row with text but no name", "Name,Email\r\n,ann@x\r\n,,\r\n  ,\r\nBob,\r\n", true, {}, {"Bob"},
     {"2: no name in the first column - skipped"}, 0, 1},
    // The guard of the CSV export before a would-be formula goes again.
    {"formula guard dropped", "'=SUM(A1)\r\n'-Bob\r\n\"'@home\"\r\n'Tis\r\n''+1\r\n", true, {},
     {"=SUM(A1)", "-Bob", "@home", "'Tis", "''+1"}, {}, 0, 0},

    // Refused: nothing is added.
    {"an unclosed quote", "Name\r\nAnn\r\n\"Bob,unterminated\r\nCarl\r\nDave\r\n", true, {}, {}, {}, 0, 0,
     "Not a roster of names - the quote opened on line 3 is never closed"},
    {"a quote left open in another column", "Ann,\"x\r\nBob\r\n", true, {}, {}, {}, 0, 0,
     "Not a roster of names - the quote opened on line 1 is never closed"},
    {"a workbook", std::string("PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0", 14), true, {}, {}, {}, 0, 0,
     "Not a roster of names - it looks like a spreadsheet workbook: save it as CSV first"},
    {"an old workbook", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10), false, {}, {}, {}, 0, 0,
     "Not a roster of names - it looks like a spreadsheet workbook: save it as CSV first"},
    {"a program", std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0", 12), false, {}, {}, {}, 0, 0,
     "Not a roster of names - it looks like a program"},
    {"other binary data", std::string("Ann\nB\0b\0\0\n", 10), false, {}, {}, {}, 0, 0,
     "Not a roster of names - it is not a text file"},
};

TEST(RosterFileTest, ReadingRules)
{
    for (const RosterCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Document doc;
        ASSERT_EQ(doc.resetDocument(0, 0), 1);
        for (const char* name : c.held)
            ASSERT_GE(doc.addName(name), 0);
        RosterFile roster;
        EXPECT_EQ(roster.parse(c.roster.data(), c.roster.size(), c.csv), c.refused.empty() ? 1 : 0);
        EXPECT_EQ(roster.error(), c.refused);
        EXPECT_EQ(roster.sortOut(doc), int32_t(c.added.size()));

        std::vector<int32_t> slots;
        EXPECT_EQ(roster.addTo(doc, &slots), int32_t(c.added.size()));
        std::vector<std::string> added;
        for (int32_t slot : slots)
            added.push_back(doc.names[slot].name);
        EXPECT_EQ(added, c.added);
        std::vector<std::string> notes;
        for (const RosterFile::Note& note : roster.notes())
            notes.push_back(std::to_string(note.line) + ": " + RosterFile::noteText(note));
        EXPECT_EQ(notes, c.notes);
        EXPECT_EQ(roster.presentCount(), c.present);
        EXPECT_EQ(roster.skippedCount(), c.skipped);
    }
}

// A roster adds its names as the Add name command does: an open checkbox for
// every live action item, none for a deleted one; a second drop adds nothing.
TEST(RosterFileTest, NamesGetAnOpenCheckboxForEachLiveActionItem)
{
    ScratchFolder folder;
    std::string path = folder.file("club.CSV");
    writeBytes(path, "Name\r\nAnn\r\nBob\r\n");
    Document doc;
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    for (const char* action : {"Dues", "Form", "Key"}) {
        ASSERT_EQ(doc.addActionItem(action), 1);
        ASSERT_EQ(doc.addActionEntries(), 1);
    }
    doc.deleteActionItem(1);

    RosterFile roster;
    ASSERT_EQ(roster.read(path.c_str()), 1);
    ASSERT_EQ(roster.sortOut(doc), 2);
    ASSERT_EQ(roster.addTo(doc), 2);
    for (int32_t slot : {0, 1}) {
        const NameRecord& record = doc.names[slot];
        ASSERT_EQ(record.entryCount, 2);
        EXPECT_EQ(record.liveEntries, 2);
        EXPECT_EQ(record.entries[0].kind, ActionOpen);
        EXPECT_EQ(record.entries[0].actionIndex, 0);
        EXPECT_EQ(record.entries[1].kind, ActionOpen);
        EXPECT_EQ(record.entries[1].actionIndex, 2);
    }
    EXPECT_EQ(roster.sortOut(doc), 0);
    EXPECT_EQ(roster.presentCount(), 2);
    EXPECT_EQ(roster.read(folder.file("missing.txt").c_str()), 0);
}

} // namespace
