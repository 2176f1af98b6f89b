// Which encoding a data file is read and written in, and what survives:
// legacy files keep their bytes, a text the legacy code page can't hold
// makes the file UTF-8 with its marker, and UTF-8 files stay so.
//
// Built twice in the Windows flavour: with the program's manifest (UTF-8 code
// page) and without it (an older Windows, where the program's text is ANSI).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/storage/FileTestSupport.h"
#include "document/CaseFold.h"
#include "document/Document.h"
#include "document/Merge.h"
#include "document/MergeReport.h"
#include "document/RowSearch.h"
#include "storage/file/AnsiText.h"
#include "storage/format/DataFile.h"
#include "storage/format/RosterFile.h"
#ifdef _WIN32
#include "storage/format/PresenceFile.h"
#include "storage/sharing/win32/Processes.h"
#endif

using namespace testing_support;

namespace {

// One name of every script the program's users write, each with its
// lower-case part for Find (empty: a script without case).
struct WorldName {
    const char* name;
    const char* findPart;
};

const WorldName kWorldNames[] = {
    {"\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87", "\xC5\xBC\xC3\xB3\xC5\x82"},   // Polish
    {"Ji\xC5\x99\xC3\xAD \xC4\x8C" "ern\xC3\xBD", "\xC4\x8D" "ern"},                  // Czech
    {"\xC4\xB0pek Y\xC4\xB1ld\xC4\xB1z", "y\xC4\xB1ld"},                               // Turkish (dotted I, dotless i)
    {"J\xC3\xBCrgen Stra\xC3\x9F" "e", "stra\xC3\x9F"},                                 // German sharp s
    {"\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF\xCF\x82 \xCE\xA0\xCE\xB1\xCF\x80\xCE\xAC\xCF\x82",
     "\xCF\x80\xCE\xB1\xCF\x80"},                                                     // Greek
    {"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2",
     "\xD0\xBF\xD0\xB5\xD1\x82"},                                                     // Cyrillic
    {"Nguy\xE1\xBB\x85n V\xC4\x83n An", "nguy\xE1\xBB\x85n"},                          // Vietnamese
    {"\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E", ""},                          // Japanese
    {"\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E", ""},                                      // Chinese
    {"\xEA\xB9\x80\xEB\xAF\xBC\xEC\xA4\x80", ""},                                      // Korean
    {"\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF \xD8\xB9\xD9\x84\xD9\x8A", ""},                 // Arabic
    {"\xD7\x93\xD7\x95\xD7\x93 \xD7\x9B\xD7\x94\xD7\x9F", ""},                         // Hebrew
    {"\xE0\xA4\xB0\xE0\xA4\xBE\xE0\xA4\x9C \xE0\xA4\x95\xE0\xA5\x81\xE0\xA4\xAE\xE0\xA4\xBE\xE0\xA4\xB0", ""},  // Hindi
    {"Rene\xCC\x81 Lef\xC3\xA8vre", "rene\xCC\x81"},                                   // a combining accent
    {"Mia \xF0\x9F\x8E\x89 Party", "mia \xF0\x9F\x8E\x89"},                            // outside the BMP
};

class EncodingTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    RecordingView view;
    std::string path = folder.file("club.tvd");

    int load(Document& doc, const std::string& bytes)
    {
        writeBytes(path, bytes);
        view.calls.clear();
        return view.load(loadDataFile(doc, path.c_str()));
    }
    std::string save(Document& doc)
    {
        EXPECT_EQ(saveDataFile(doc, view, path.c_str()), 1);
        return readBytes(path);
    }
    // The legacy file of the tests, in Windows-1252: "Émile" and "Ødegård".
    static std::string legacyFile()
    {
        return crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Caf\xE9 dues", "", "[Names]", "2",
                     "0 \xC9mile", "1 \xD8" "deg\xE5rd", "", "[0]", "2", "0 ", "2 Pay\xE9", "[1]", "1", "1 "});
    }
};

bool legacyIs1252()
{
    return AnsiText::legacyCodePage() == 1252;
}

// The whole rule, step by step: a legacy file resaves byte for byte; a name
// outside its code page makes the next save UTF-8 with the marker; the file
// reads back with every name right whatever the legacy code page; deleting
// the name again leaves the file UTF-8.
TEST_F(EncodingTest, LegacyFileTurnsUtf8AtTheFirstNameThatDoesNotFitAndStaysSo)
{
    if (!legacyIs1252())
        GTEST_SKIP() << "the legacy code page here is " << AnsiText::legacyCodePage();
    Document doc;
    ASSERT_EQ(load(doc, legacyFile()), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.utf8File, 0);
    std::string emile;
    ASSERT_TRUE(AnsiText::fromLegacy("\xC9mile", 5, emile));
    EXPECT_STREQ(doc.names[0].name, emile.c_str());
    EXPECT_EQ(save(doc), legacyFile());
    EXPECT_EQ(doc.utf8File, 0);

    std::string lukasz;
    if (!AnsiText::fromUtf8("\xC5\x81ukasz", 7, lukasz)) {
        // An older Windows: the name can't be held, so it never reaches the
        // document (the prompt refuses it) and the file stays as it was.
        EXPECT_FALSE(AnsiText::programIsUtf8());
        return;
    }
    int32_t slot = doc.addName(lukasz.c_str());
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(dataFileInUtf8(doc));
    std::string written = save(doc);
    EXPECT_EQ(doc.utf8File, 1);
    EXPECT_EQ(written.rfind("[Program]\r\nTallyvane\r\nUTF-8\r\n\r\n[Action Items]", 0), 0u) << written;
    EXPECT_NE(written.find("0 \xC3\x89mile\r\n1 \xC3\x98" "deg\xC3\xA5rd\r\n2 \xC5\x81ukasz\r\n"), std::string::npos);
    EXPECT_NE(written.find("Caf\xC3\xA9 dues"), std::string::npos);
    EXPECT_NE(written.find("2 Pay\xC3\xA9"), std::string::npos);

    // Read as UTF-8 whatever the legacy code page is.
    Document again;
    ASSERT_EQ(load(again, written), 1);
    EXPECT_EQ(again.utf8File, 1);
    EXPECT_STREQ(again.names[2].name, lukasz.c_str());
    EXPECT_STREQ(again.names[0].name, emile.c_str());
#ifndef _WIN32
    setenv("TVD_CODEPAGE", "1250", 1);
    Document polish;
    EXPECT_EQ(load(polish, written), 1);
    unsetenv("TVD_CODEPAGE");
    EXPECT_STREQ(polish.names[0].name, emile.c_str());
    EXPECT_STREQ(polish.names[2].name, lukasz.c_str());
#endif

    // Once UTF-8, always: without the name it still saves UTF-8, the same bytes.
    again.deleteName(2);
    std::string without = save(again);
    EXPECT_EQ(without.rfind("[Program]\r\nTallyvane\r\nUTF-8\r\n\r\n[Action Items]", 0), 0u);
    EXPECT_EQ(save(again), without);
}

#ifndef _WIN32
// The native build's legacy code page: one byte read as Windows-1250 and as
// Windows-1252 gives the two different letters; an unknown one is refused.
TEST_F(EncodingTest, TvdCodePageNamesTheLegacyCodePage)
{
    const char* bytes = "\xA3ukasz \x8A";
    struct Case {
        const char* codePage;
        const char* utf8;
        bool known;
    } cases[] = {
        {nullptr, "\xC2\xA3ukasz \xC5\xA0", true},
        {"1250", "\xC5\x81ukasz \xC5\xA0", true},
        {"1252", "\xC2\xA3ukasz \xC5\xA0", true},
        {"1251", "\xD0\x88ukasz \xD0\x89", true},
        {"437", "\xC2\xA3ukasz \xC5\xA0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage ? c.codePage : "unset");
        if (c.codePage)
            setenv("TVD_CODEPAGE", c.codePage, 1);
        else
            unsetenv("TVD_CODEPAGE");
        std::string out;
        AnsiText::legacyToUtf8(bytes, strlen(bytes), out);
        EXPECT_EQ(out, c.utf8);
        EXPECT_EQ(AnsiText::legacyCodePageKnown(), c.known);
        std::string back;
        EXPECT_TRUE(AnsiText::utf8ToLegacy(out.data(), out.size(), back));
        EXPECT_EQ(back, bytes);
    }
    unsetenv("TVD_CODEPAGE");
}
#endif

#ifdef _WIN32
// The presence file names this user in UTF-8 in either code page, so that
// "Łukasz" reads the same in the question on every computer; a name longer
// than the field loses a whole character only.
TEST_F(EncodingTest, PresenceFileNamesTheUserInUtf8)
{
    wchar_t before[257] = L"";
    const DWORD had = GetEnvironmentVariableW(L"USERNAME", before, 257);
    SetEnvironmentVariableW(L"USERNAME", L"\u0141ukasz \u5C71\u7530");
    char name[PresenceFile::kFieldSize];
    thisUserName(name, sizeof name);
    EXPECT_STREQ(name, "\xC5\x81ukasz \xE5\xB1\xB1\xE7\x94\xB0");
    char cut[10];
    thisUserName(cut, sizeof cut);
    EXPECT_STREQ(cut, "\xC5\x81ukasz ");
    SetEnvironmentVariableW(L"USERNAME", had ? before : nullptr);
}
#endif

#ifdef _WIN32
// A file with no marker, written where the legacy code page is 1250 (there
// "Łukasz Šimek"), reads by the code page of the user's locale: right on a
// Polish computer, as the 1252 letters "£ukasz" on an English one. CTest runs
// it once more in each of those locales (encoding_locale_1250 and _1252, the
// locale set through LC_ALL for Wine), TV_LOCALE_CODE_PAGE saying which code
// page the locale must have given.
TEST_F(EncodingTest, UnmarkedFileReadsInTheCodePageOfTheUserLocale)
{
    struct Reading {
        unsigned codePage;
        const char* name;  // UTF-8
    } const readings[] = {{1250, "\xC5\x81ukasz \xC5\xA0imek"}, {1252, "\xC2\xA3ukasz \xC5\xA0imek"}};
    if (const char* expected = getenv("TV_LOCALE_CODE_PAGE")) {
        ASSERT_EQ(AnsiText::legacyCodePage(), strtoul(expected, nullptr, 10)) << "the run's locale did not take";
    }
    const Reading* reading = nullptr;
    for (const Reading& r : readings)
        if (r.codePage == AnsiText::legacyCodePage())
            reading = &r;
    if (!reading)
        GTEST_SKIP() << "the legacy code page here is " << AnsiText::legacyCodePage();
    std::string name;
    if (!AnsiText::fromUtf8(reading->name, strlen(reading->name), name))
        GTEST_SKIP() << "the program's code page can't hold the name";
    Document doc;
    ASSERT_EQ(load(doc, crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "1",
                              "0 \xA3ukasz \x8Aimek", "", "[0]", "0"})),
              1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.utf8File, 0);
    EXPECT_STREQ(doc.names[0].name, name.c_str());
}
#endif

// Names of every script: saved, read back and saved again unchanged; 126
// characters of four bytes fit a slot and a line; a line cut at the limit
// loses a whole character only.
TEST_F(EncodingTest, EveryNameSurvivesAndLongNamesAreCutAtAWholeCharacter)
{
    if (!AnsiText::programIsUtf8())
        GTEST_SKIP() << "the program's text is not UTF-8 here";
    Document doc;
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addActionItem("\xE4\xBC\x9A\xE8\xB4\xB9 dues"), 1);
    ASSERT_EQ(doc.addActionEntries(), 1);
    for (const WorldName& name : kWorldNames)
        ASSERT_GE(doc.addName(name.name), 0);
    std::string emoji126;
    for (int i = 0; i < 126; ++i)
        emoji126 += "\xF0\x9F\x8E\x89";
    int32_t longSlot = doc.addName(emoji126.c_str());
    ASSERT_GE(longSlot, 0);
    ASSERT_EQ(doc.addMemo(longSlot, emoji126.c_str()), 1);
    std::string first = save(doc);

    Document again;
    ASSERT_EQ(load(again, first), 1);
    EXPECT_TRUE(view.errors().empty());
    size_t i = 0;
    for (const WorldName& name : kWorldNames)
        EXPECT_STREQ(again.names[i++].name, name.name);
    EXPECT_EQ(std::string(again.names[longSlot].name), emoji126);
    EXPECT_EQ(std::string(again.entryAt(longSlot, 1)->text), emoji126);
    again.modified = 1;
    EXPECT_EQ(save(again), first);

    // A hand-made line longer than a UTF-8 line holds (639 bytes): the
    // character the limit falls in goes whole, the file is not damaged.
    std::string overlong = "x" + emoji126 + emoji126;
    Document cut;
    ASSERT_EQ(load(cut, crlf({"[Program]", "Tallyvane", "UTF-8", "", "[Action Items]", "0", "", "[Names]", "1",
                              "0 Ann", "", "[0]", "1", ("2 " + overlong).c_str()})),
              1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(std::string(cut.entryAt(0, 0)->text), overlong.substr(0, 1 + 4 * 159));
}

// The rule of every text cut to a field, a line or a title: whole
// characters only, counted in bytes (Utf8::cutPoint) or in characters
// (Utf8::bytesOfCharacters, where a byte that starts no valid sequence
// counts as one).
TEST(Utf8Cut, TextsAreCutAtAWholeCharacter)
{
    struct Case {
        const char* text;
        size_t limit;
        size_t cutBytes;        // cutPoint(text, limit bytes)
        size_t characterBytes;  // bytesOfCharacters(text, limit characters)
    } const cases[] = {
        {"abc", 5, 3, 3},
        {"abc", 2, 2, 2},
        {"abc", 0, 0, 0},
        {"\xC5\x81u", 1, 0, 2},                     // "Łu": the limit inside the two-byte "Ł"
        {"\xC5\x81u", 2, 2, 3},
        {"a\xE5\xB1\xB1", 2, 1, 4},                  // "a山": inside the three-byte "山"
        {"a\xE5\xB1\xB1", 3, 1, 4},
        {"a\xE5\xB1\xB1", 4, 4, 4},
        {"\xF0\x9F\x8E\x89x", 3, 0, 5},              // four bytes outside the BMP
        {"\xF0\x9F\x8E\x89x", 4, 4, 5},
        {"\xF0\x9F\x8E\x89x", 1, 0, 4},
        {"\xC0\xAFz", 2, 2, 2},                      // an overlong form: two characters of one byte
        {"\xFFz\xC3", 2, 2, 2},                      // no UTF-8 at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\" at " << c.limit);
        const size_t length = strlen(c.text);
        EXPECT_EQ(Utf8::cutPoint(c.text, length, c.limit), c.cutBytes);
        EXPECT_EQ(Utf8::bytesOfCharacters(c.text, length, c.limit), c.characterBytes);
        if (AnsiText::programIsUtf8()) {
            EXPECT_EQ(AnsiText::cutPoint(c.text, length, c.limit), c.cutBytes);
        }
    }
}

// What a reader makes of texts that are not what the file says.
TEST_F(EncodingTest, TextThatIsNotUtf8InAUtf8FileOpensReadOnly)
{
    Document doc;
    ASSERT_EQ(load(doc, crlf({"[Program]", "Tallyvane", "UTF-8", "", "[Action Items]", "0", "", "[Names]", "1",
                              "0 Zo\xEB", "", "[0]", "0"})),
              1);
    EXPECT_EQ(view.errors(), std::vector<std::string>{"Tallyvane: Data file is corrupt - Err# 8"});
    EXPECT_TRUE(view.has("readonly"));

    // A UTF-8 file whose names this system can't hold (an older Windows)
    // opens read-only with its own message; elsewhere it simply opens.
    ASSERT_EQ(load(doc, crlf({"[Program]", "Tallyvane", "UTF-8", "", "[Action Items]", "0", "", "[Names]", "1",
                              "0 \xE5\xB1\xB1\xE7\x94\xB0", "", "[0]", "0"})),
              1);
    std::string shown;
    if (AnsiText::fromUtf8("\xE5\xB1\xB1\xE7\x94\xB0", 6, shown)) {
        EXPECT_TRUE(view.errors().empty());
        EXPECT_FALSE(view.has("readonly"));
    } else {
        ASSERT_EQ(view.errors().size(), 1u);
        EXPECT_NE(view.errors()[0].find("can't be shown on this computer"), std::string::npos);
        EXPECT_TRUE(view.has("readonly"));
    }
}

// Simple case folding wherever case is ignored: the table's characters,
// Find by a lower-case part, duplicates in a roster, the merge's matching.
TEST_F(EncodingTest, CaseIsIgnoredTheUnicodeWayEverywhere)
{
    struct Fold {
        const char* a;
        const char* b;
        bool equal;
    } folds[] = {
        {"\xC5\x81UKASZ", "\xC5\x82ukasz", true},               // Ł ł
        {"\xCE\xA3\xCE\xA9\xCE\xA3", "\xCF\x83\xCF\x89\xCF\x82", true},  // ΣΩΣ σως (final sigma)
        {"\xD0\x98\xD0\x92\xD0\x90\xD0\x9D", "\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD", true},  // ИВАН иван
        {"\xE1\xBA\x9E", "\xC3\x9F", true},                      // ẞ ß (status S)
        {"\xC3\x9F", "ss", false},                               // no full folding
        {"\xC4\xB0", "i", false},                                // İ folds to itself
        {"I", "\xC4\xB1", false},                                // I and dotless ı stay apart
        {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", true},          // Deseret, outside the BMP
        {"e\xCC\x81", "\xC3\xA9", false},                        // no normalisation
    };
    for (const Fold& f : folds)
        EXPECT_EQ(CaseFold::foldEqual(f.a, f.b), f.equal) << f.a << " / " << f.b;

    if (!AnsiText::programIsUtf8())
        return;
    for (const WorldName& name : kWorldNames) {
        if (name.findPart[0]) {
            EXPECT_TRUE(RowSearch::containsIgnoringCase(name.name, name.findPart)) << name.name;
        }
    }

    // A roster repeats a name in another case: one person.
    RosterFile roster;
    std::string text = "\xC5\x81ukasz\n\xC5\x82UKASZ\n\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n";
    ASSERT_EQ(roster.parse(text.data(), text.size(), false), 1);
    Document doc;
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_GE(doc.addName("\xD0\x98\xD0\x92\xD0\x90\xD0\x9D"), 0);
    EXPECT_EQ(roster.sortOut(doc), 1);
    EXPECT_EQ(roster.skippedCount(), 1);
    EXPECT_EQ(roster.presentCount(), 1);

    // Two copies each add the same person, spelled in another case: the
    // merge makes one person of them and keeps the file UTF-8.
    Document base, mine, theirs, result;
    for (Document* d : {&base, &mine, &theirs})
        ASSERT_EQ(d->resetDocument(0, 0), 1);
    ASSERT_GE(mine.addName("\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87"), 0);
    ASSERT_GE(theirs.addName("\xC5\x82ukasz \xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"), 0);
    theirs.utf8File = 1;
    MergeReport report;
    ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
    EXPECT_EQ(result.liveNames, 1);
    EXPECT_EQ(result.utf8File, 1);
}

} // namespace
