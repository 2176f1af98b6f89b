#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "document/Document.h"
#include "storage/RosterFile.h"

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
        roster.parse(c.roster.data(), c.roster.size(), c.csv);
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
