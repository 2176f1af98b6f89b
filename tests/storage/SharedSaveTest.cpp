// Save of a file that someone else may have changed: what the file on disk
// was at the save, and what the save did; then several savers at once.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/SaveLock.h"
#include "storage/sharing/SharedFile.h"
#include "storage/sharing/SharedSave.h"

using namespace testing_support;

namespace {

// The names of the file at path, comma-separated.
std::string namesIn(const std::string& path)
{
    Document doc;
    RecordingView view;
    if (!loadDataFile(doc, view, path.c_str()))
        return "(not loaded)";
    std::string out;
    for (int32_t i = 0; i < doc.namesCount; ++i)
        if (doc.names[i].name[0])
            out += (out.empty() ? "" : ",") + std::string(doc.names[i].name);
    return out;
}

struct DiskCase {
    const char* what;
    const char* onDisk;          // what someone else leaves in the file: "name X", "gone", "garbage", "touch"
    SharedSave::Result result;
    const char* names;           // the names in the file afterwards
};

TEST(SharedSave, WhatTheFileOnDiskBecame)
{
    const DiskCase cases[] = {
        {"nobody else wrote it", "", SharedSave::Saved, "Ann Smith,Bob Jones,Mine"},
        {"rewritten with the same bytes", "touch", SharedSave::Saved, "Ann Smith,Bob Jones,Mine"},
        {"someone added a name", "name Theirs", SharedSave::Merged, "Ann Smith,Bob Jones,Theirs,Mine"},
        {"deleted", "gone", SharedSave::Saved, "Ann Smith,Bob Jones,Mine"},
        {"not a data file any more", "garbage", SharedSave::TheirsUnreadable, "(not loaded)"},
        // Half-written by a sync client: it reads as a file without names.
        {"cut off before its names", "cut", SharedSave::TheirsUnreadable, ""},
    };
    for (const DiskCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        std::string path = folder.file("club.tvd");
        writeBytes(path, exampleFile());
        SharedFile shared;
        ASSERT_EQ(shared.remember(path.c_str()), 1);
        Document doc;
        RecordingView view;
        ASSERT_EQ(loadDataFile(doc, view, path.c_str()), 1);
        ASSERT_GE(doc.addName("Mine"), 0);
        doc.modified = 1;

        std::string what = c.onDisk;
        if (what == "touch") {
            writeBytes(path, exampleFile());
        } else if (what == "gone") {
            std::remove(path.c_str());
        } else if (what == "garbage") {
            writeBytes(path, "PK\x03\x04 a workbook");
        } else if (what == "cut") {
            writeBytes(path, exampleFile().substr(0, exampleFile().find("[Names]")));
        } else if (what.rfind("name ", 0) == 0) {
            Document theirs;
            ASSERT_EQ(loadDataFile(theirs, view, path.c_str()), 1);
            ASSERT_GE(theirs.addName(what.substr(5).c_str()), 0);
            ASSERT_EQ(writeDataFile(theirs, path.c_str()), SaveResult::Saved);
        }
        std::string before = exists(path) ? readBytes(path) : "";

        SharedSave save;
        int backups = 0;
        save.beforeReplace = [&](const char*) { ++backups; };
        Document merged;
        MergeReport report;
        SharedSave::Result result = save.save(doc, view, path.c_str(), shared, merged, report);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(namesIn(path), c.names);
        if (result == SharedSave::TheirsUnreadable) {
            // Nothing written: the file stays as it was, the document modified.
            EXPECT_EQ(readBytes(path), before);
            EXPECT_EQ(doc.modified, 1);
            EXPECT_EQ(backups, 0);
            if (what == "cut") {
                EXPECT_EQ(save.problem, "Tallyvane: Data file is incomplete");
            }
            continue;
        }
        EXPECT_EQ(backups, what == "gone" ? 0 : 1);
        // The base is now the file as written: the next save has nothing to merge.
        EXPECT_EQ(shared.compare(path.c_str(), false), SharedFile::Same);
        EXPECT_EQ(result == SharedSave::Merged ? report.names : 0, result == SharedSave::Merged ? 1 : 0);
        EXPECT_EQ((result == SharedSave::Merged ? merged : doc).modified, 0);
    }
}

// The base after a save is what it wrote, never the file read again: a
// sync client may put its own version there the moment after the replace.
TEST(SharedSave, TheNewBaseIsTheBytesWritten)
{
    FaultGuard guard;
    for (bool first : {false, true}) {
        SCOPED_TRACE(first ? "first save" : "save");
        ScratchFolder folder;
        std::string path = folder.file("club.tvd");
        SharedFile shared;
        Document doc;
        RecordingView view;
        if (first) {
            ASSERT_EQ(doc.resetDocument(0, 0), 1);
        } else {
            writeBytes(path, exampleFile());
            ASSERT_EQ(shared.remember(path.c_str()), 1);
            ASSERT_EQ(loadDataFile(doc, view, path.c_str()), 1);
        }
        ASSERT_GE(doc.addName("Mine"), 0);
        doc.modified = 1;
        fileFaults.afterReplace = [](const char* target) { writeBytes(target, exampleFile()); };
        SharedSave save;
        Document merged;
        MergeReport report;
        ASSERT_EQ(save.save(doc, view, path.c_str(), shared, merged, report), SharedSave::Saved);
        ASSERT_TRUE(shared.hasBase());
        EXPECT_NE(std::string(shared.baseData(), shared.baseSize()).find("Mine"), std::string::npos);
        // Their version is news to the next save, to be merged.
        EXPECT_EQ(shared.compare(path.c_str(), false), SharedFile::Changed);
    }
}

// Savers in several threads, each adding its own names to its own copy and
// saving after every one: every name of every saver ends in the file.
TEST(SharedSave, SaversAtOnceLoseNothing)
{
    ScratchFolder folder;
    std::string path = folder.file("club.tvd");
    writeBytes(path, exampleFile());
    const int kSavers = 4, kNames = 12;
    std::vector<std::thread> savers;
    std::vector<int> failures(kSavers, 0);
    for (int s = 0; s < kSavers; ++s)
        savers.emplace_back([&, s] {
            SharedFile shared;
            Document doc;
            RecordingView view;
            // Another saver may hold the file for a moment (Windows opens it without sharing).
            for (int tries = 0; tries < 100 && !shared.remember(path.c_str()); ++tries)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!shared.hasBase() || !loadDataBytes(doc, view, shared.baseData(), shared.baseSize())) {
                failures[s]++;
                return;
            }
            for (int n = 0; n < kNames; ++n) {
                doc.addName(("Saver " + std::to_string(s) + " name " + std::to_string(n)).c_str());
                doc.modified = 1;
                SharedSave save;
                Document merged;
                MergeReport report;
                SharedSave::Result result = save.save(doc, view, path.c_str(), shared, merged, report);
                if (result == SharedSave::Merged)
                    doc.swap(merged);
                else if (result != SharedSave::Saved)
                    failures[s]++;
            }
        });
    for (std::thread& saver : savers)
        saver.join();
    EXPECT_EQ(failures, std::vector<int>(kSavers, 0));
    std::string names = namesIn(path) + ",";
    for (int s = 0; s < kSavers; ++s)
        for (int n = 0; n < kNames; ++n)
            EXPECT_NE(names.find("Saver " + std::to_string(s) + " name " + std::to_string(n) + ","), std::string::npos)
                << names;
    char lock[320];
    ASSERT_EQ(SaveLock::lockPathFor(path.c_str(), lock, sizeof lock), 1);
    EXPECT_FALSE(exists(lock)) << "the lock file is gone after the last save";
}

}  // namespace
