// Save of a file that someone else may have changed: what the file on disk
// was at the save, and what the save did; then several savers at once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
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
    if (!view.load(loadDataFile(doc, path.c_str())))
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
        ASSERT_EQ(view.load(loadDataFile(doc, path.c_str())), 1);
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
            ASSERT_EQ(view.load(loadDataFile(theirs, path.c_str())), 1);
            ASSERT_GE(theirs.addName(what.substr(5).c_str()), 0);
            ASSERT_EQ(writeDataFile(theirs, path.c_str()), SaveResult::Saved);
        }
        std::string before = exists(path) ? readBytes(path) : "";

        SharedSave save;
        int backups = 0;
        save.beforeReplace = [&](const char*, const char*, size_t) { ++backups; };
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

// Whenever the save can't be sure it holds the other version, it writes
// nothing: the file stays as it was, no backup is taken and the document
// keeps its changes.
TEST(SharedSave, WhatItCantBeSureOfIsNotWrittenOver)
{
    struct Case {
        const char* what;
        SharedSave::Result result;
    };
    const Case cases[] = {
        {"the file can't be read for all of the wait", SharedSave::Unreadable},
#ifndef _WIN32
        // A 250-byte name leaves no room for the lock's 7 more (Windows
        // takes such a lock in its long form: see the savers below).
        {"the lock's name is too long for the system", SharedSave::NoLock},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        std::string path = folder.file(c.result == SharedSave::NoLock ? std::string(246, 'c') + ".tvd" : "club.tvd");
        writeBytes(path, exampleFile());
        ASSERT_EQ(readBytes(path), exampleFile());
        SharedFile shared;
        ASSERT_EQ(shared.remember(path.c_str()), 1);
        Document doc;
        RecordingView view;
        ASSERT_EQ(view.load(loadDataBytes(doc, shared.baseData(), shared.baseSize())), 1);
        ASSERT_GE(doc.addName("Mine"), 0);
        doc.modified = 1;

        FaultGuard faults;
        if (c.result == SharedSave::Unreadable)
            fileFaults.failOpenRead = 1000;
        SharedSave save;
        int backups = 0;
        save.beforeReplace = [&](const char*, const char*, size_t) { ++backups; };
        Document merged;
        MergeReport report;
        EXPECT_EQ(save.save(doc, view, path.c_str(), shared, merged, report), c.result);
        fileFaults.reset();
        EXPECT_FALSE(save.problem.empty());
        EXPECT_EQ(readBytes(path), exampleFile());
        EXPECT_EQ(backups, 0);
        EXPECT_EQ(doc.modified, 1);
    }
}

// While another save holds the lock, the save runs whileWaiting at every
// pause (the window paints and says why it waits) and goes on once it is free.
TEST(SharedSave, TheWaitForAnotherSaveIsToldAbout)
{
    ScratchFolder folder;
    std::string path = folder.file("club.tvd");
    writeBytes(path, exampleFile());
    SharedFile shared;
    ASSERT_EQ(shared.remember(path.c_str()), 1);
    Document doc;
    RecordingView view;
    ASSERT_EQ(view.load(loadDataBytes(doc, shared.baseData(), shared.baseSize())), 1);
    doc.modified = 1;
    SaveLock other;
    ASSERT_EQ(other.acquire(path.c_str(), 0), SaveLock::Held);
    SharedSave save;
    int waits = 0;
    save.whileWaiting = [&] {
        if (++waits == 3)
            other.release();
    };
    Document merged;
    MergeReport report;
    EXPECT_EQ(save.save(doc, view, path.c_str(), shared, merged, report), SharedSave::Saved);
    EXPECT_GE(waits, 3);
}

// The activation look: the stamp handed back with their bytes is the one
// from before the read, so a change landing after it is seen next time.
TEST(SharedFile, AChangeLandingAfterTheReadIsSeenByTheNextLook)
{
    ScratchFolder folder;
    std::string path = folder.file("club.tvd");
    auto writeAt = [&](const std::string& bytes, int minutes) {
        writeBytes(path, bytes);
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                                   std::chrono::minutes(minutes));
    };
    writeAt(exampleFile(), 0);
    SharedFile shared;
    ASSERT_EQ(shared.remember(path.c_str()), 1);
    writeAt(exampleFile() + "\r\n", 1);
    char* theirs = nullptr;
    int32_t length = 0;
    FileStamp stamp;
    ASSERT_EQ(shared.compare(path.c_str(), true, &theirs, &length, &stamp), SharedFile::Changed);
    writeAt(exampleFile() + "\r\n\r\n", 2);   // lands while the window takes in what it read
    shared.adopt(theirs, length, stamp);
    EXPECT_EQ(shared.compare(path.c_str(), true), SharedFile::Changed);
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
            ASSERT_EQ(view.load(loadDataFile(doc, path.c_str())), 1);
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

void saveAtOnce(const std::string& path);

// Savers in several threads, each adding its own names to its own copy and
// saving after every one: every name of every saver ends in the file.
TEST(SharedSave, SaversAtOnceLoseNothing)
{
    ScratchFolder folder;
    std::vector<std::string> paths = {folder.file("club.tvd")};
#ifdef _WIN32
    // 255 characters: the lock's name passes MAX_PATH and is taken in its long form.
    paths.push_back(folder.file(std::string(255 - folder.file("").size() - 4, 'c') + ".tvd"));
#endif
    for (const std::string& path : paths)
        saveAtOnce(path);
}

void saveAtOnce(const std::string& path)
{
    SCOPED_TRACE(path.size());
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
            if (!shared.hasBase() || !view.load(loadDataBytes(doc, shared.baseData(), shared.baseSize()))) {
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
    EXPECT_FALSE(exists(SaveLock::lockPathFor(path.c_str()))) << "the lock file is gone after the last save";
}

}  // namespace
