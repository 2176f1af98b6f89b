#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/storage/FileTestSupport.h"
#include "storage/format/SectionFile.h"

using namespace testing_support;

namespace {

class SectionFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    FaultGuard faults;

    // Files being read are held open without sharing on Windows: two
    // readers at once need two files.
    void open(SectionFile& file, const std::string& bytes, const char* name = "sections.txt")
    {
        std::string path = folder.file(name);
        writeBytes(path, bytes);
        ASSERT_EQ(file.openRead(path.c_str()), 1);
    }

    std::vector<std::string> lines(const std::string& bytes)
    {
        SectionFile file;
        open(file, bytes);
        std::vector<std::string> out;
        char line[SectionFile::kLineSize];
        while (file.readLine(line))
            out.push_back(line);
        return out;
    }
};

TEST_F(SectionFileTest, LineEndsCrLfCrAndLf)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(lines("a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(lines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(lines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(lines("a\r\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(lines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(lines(""), V{});
    EXPECT_EQ(lines("\r\n"), V{""});
}

TEST_F(SectionFileTest, LongLinesAreCutAndReadingGoesOn)
{
    std::string longLine(400, 'x');
    SectionFile file;
    open(file, longLine + "\r\nnext\r\n");
    char line[SectionFile::kLineSize];
    ASSERT_EQ(file.readLine(line), 1);
    EXPECT_EQ(std::string(line), std::string(159, 'x'));
    ASSERT_EQ(file.readLine(line), 1);
    EXPECT_STREQ(line, "next");
}

TEST_F(SectionFileTest, SectionsAreFoundInAnyCaseAndTheFirstWins)
{
    SectionFile file;
    open(file, "junk\r\n[program]\r\nfirst\r\n[PROGRAM]\r\nsecond\r\n[Mixed Case]x\r\nm\r\n [Blank]\r\n[Open\r\no\r\n");
    char line[SectionFile::kLineSize];
    ASSERT_EQ(file.findSection("Program"), 1);
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_STREQ(line, "first");
    ASSERT_EQ(file.findSection("mixed case"), 1);
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_STREQ(line, "m");
    ASSERT_EQ(file.findSection("OPEN"), 1);
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_STREQ(line, "o");
    EXPECT_EQ(file.findSection("Blank"), 0);
    EXPECT_EQ(file.readLine(line), 0);   // the cursor stands at the end
}

TEST_F(SectionFileTest, ReadValueStopsAtTheNextHeaderAndConsumesIt)
{
    SectionFile file;
    open(file, "[A]\r\n1\r\n[B]\r\n2\r\n");
    char line[SectionFile::kLineSize];
    ASSERT_EQ(file.findSection("a"), 1);
    EXPECT_EQ(file.countValues(), 1);
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_EQ(file.readValue(line), 0);
    EXPECT_STREQ(line, "");
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_STREQ(line, "2");
    EXPECT_EQ(file.readValue(line), 0);
}

TEST_F(SectionFileTest, HeaderNamesAreCutWhereTheSearchBufferEnds)
{
    std::string name(300, 'n');
    SectionFile file;
    open(file, "[" + name + "]\r\nbody\r\n");
    EXPECT_EQ(file.findSection(name.c_str()), 0);
    EXPECT_EQ(file.findSection(name.substr(0, 258).c_str()), 1);
    EXPECT_EQ(file.findSectionByScan(name.substr(0, 258).c_str()), 1);
}

// The header index gives the same answers and cursor as reading the file
// from the start, on files made of the characters that matter.
TEST_F(SectionFileTest, IndexAgreesWithThePlainSearch)
{
    const char alphabet[] = "[[]]aAbB0 \r\n\n\r";
    const char* names[] = {"A", "a", "B", "AB", "0", "", "A0", "a b", "BA"};
    uint32_t seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        int length = int(seed % 60);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        if (round % 7 == 0)
            bytes += '\0';
        SectionFile indexed, scanned;
        open(indexed, bytes);
        open(scanned, bytes, "scanned.txt");
        for (const char* name : names) {
            int found = indexed.findSection(name);
            ASSERT_EQ(found, scanned.findSectionByScan(name)) << "file: " << bytes << " name: " << name;
            ASSERT_EQ(indexed.position(), scanned.position()) << "file: " << bytes << " name: " << name;
        }
    }
}

TEST_F(SectionFileTest, WritesSectionsAndLinesWithCrLf)
{
    std::string path = folder.file("out.txt");
    SectionFile file;
    ASSERT_EQ(file.openWrite(path.c_str()), 1);
    file.writeSection("Files");
    file.writeLine("one");
    file.writeLine("");
    ASSERT_EQ(file.close(), 1);
    EXPECT_EQ(readBytes(path), "[Files]\r\none\r\n\r\n");
}

TEST_F(SectionFileTest, FailedWritesFlushAndCloseAreRemembered)
{
    std::string path = folder.file("out.txt");
    for (int step = 0; step < 3; ++step) {
        SectionFile file;
        ASSERT_EQ(file.openWrite(path.c_str()), 1);
        if (step == 0)
            fileFaults.failWriteAt = 1;
        if (step == 1)
            fileFaults.failFlush = 1;
        if (step == 2)
            fileFaults.failClose = 1;
        for (int i = 0; i < 2000; ++i)
            file.writeLine("a line of the file");
        EXPECT_EQ(file.close(), 0) << "step " << step;
        EXPECT_TRUE(file.writeFailed());
        fileFaults.reset();
    }
}

// A file is read through a view of exactly its bytes: the last line, a
// header cut by the end of the file, must not be read beyond it.
TEST_F(SectionFileTest, FilesEndingAtAPageBoundaryEndTheirLastLine)
{
    for (const char* tail : {"last", "[Tail", "["}) {
        std::string bytes = "[Head]\r\n";
        bytes += std::string(8192 - bytes.size() - strlen(tail) - 2, 'v') + "\r\n" + tail;
        SectionFile file;
        open(file, bytes);
        char line[SectionFile::kLineSize];
        ASSERT_EQ(file.findSection("Head"), 1) << tail;
        EXPECT_EQ(file.countValues(), tail[0] == '[' ? 1 : 2) << tail;
        ASSERT_EQ(file.readValue(line), 1);
        const char* text;
        size_t length;
        EXPECT_EQ(file.readValueInPlace(&text, &length), tail[0] == '[' ? 0 : 1) << tail;
        EXPECT_EQ(std::string(text, length), tail[0] == '[' ? "" : tail);
        EXPECT_EQ(file.findSection(tail + 1), tail[0] == '[' ? 1 : 0) << tail;
        EXPECT_EQ(file.readLine(line), 0) << tail;
    }
}

TEST_F(SectionFileTest, OpenFailures)
{
    SectionFile file;
    EXPECT_EQ(file.openRead(folder.file("missing.txt").c_str()), 0);
    EXPECT_EQ(file.openWrite(folder.file("no-folder/x.txt").c_str()), 0);
    std::string path = folder.file("there.txt");
    writeBytes(path, "x");
    // An empty file can't be mapped and is read into a block instead.
    std::string empty = folder.file("empty.txt");
    writeBytes(empty, "");
    heapHooks.failAt = 1;
    EXPECT_EQ(file.openRead(empty.c_str()), 0);
    EXPECT_EQ(file.openRead(empty.c_str()), 1);
    fileFaults.failOpenRead = 1;
    EXPECT_EQ(file.openRead(path.c_str()), 0);
    EXPECT_EQ(file.openRead(path.c_str()), 1);
}

TEST_F(SectionFileTest, TheSearchStillWorksWhenTheIndexCantBeBuilt)
{
    SectionFile file;
    open(file, "[A]\r\na\r\n[B]\r\nb\r\n");
    heapHooks.failAt = 1;
    char line[SectionFile::kLineSize];
    ASSERT_EQ(file.findSection("b"), 1);
    ASSERT_EQ(file.readValue(line), 1);
    EXPECT_STREQ(line, "b");
    EXPECT_EQ(file.findSection("c"), 0);
}

} // namespace
