// The fixture of the main window's file tests, in-process: the program is
// started as the entry function would, with a command line, and its modal
// windows (message window, common dialogs) are answered from a timer.
#pragma once
#include "tests/storage/gui/DialogInput.h"
#include "storage/win32/Folders.h"
#include "app/Program.h"
#include "tests/support/Screenshot.h"
#include "storage/file/FileFaults.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace files_test {

const char kClub[] =
    "[Program]\r\nTallyvane\r\n\r\n"
    "[Action Items]\r\n1\r\nSign the safety form\r\n\r\n"
    "[Names]\r\n1\r\n0 Ann Smith\r\n\r\n"
    "[0]\r\n1\r\n1 03/14/26 09:05 AM\r\n";

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One message window as the user saw it.
struct Box {
    std::string caption;
    std::string text;
    bool operator==(const Box& o) const { return caption == o.caption && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "{\"" << b.caption << "\", \"" << b.text << "\"}";
}

class MainWindowFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int serial = 0;
        folder = std::string(temp) + "tv-main-" + std::to_string(GetCurrentProcessId()) + "-"
                 + std::to_string(++serial) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);

        // The settings file of whoever runs the tests is put aside meanwhile.
        settings = specialFolderPath(nullptr, CSIDL_APPDATA) + "\\Vantorell\\Tallyvane\\Tallyvane.ini";
        kept = settings + ".kept-by-test";
        hadSettings = MoveFileExA(settings.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        fileFaults.reset();
    }

    void TearDown() override
    {
        if (running)
            stop();
        fileFaults.reset();
        DeleteFileA(settings.c_str());
        if (hadSettings)
            MoveFileA(kept.c_str(), settings.c_str());
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string file = folder + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    // Starts the program as "<folder>Tallyvane.exe" args, answering whatever
    // start-up shows with steps.
    void start(const std::string& args, const std::vector<int>& answers = {})
    {
        std::string line = "\"" + folder + "Tallyvane.exe\"" + (args.empty() ? "" : " " + args);
        {
            ModalAnswerer answer(20, 8000);
            for (int result : answers)
                answer.then(MessageWindow::className, answerWith(result));
            ASSERT_EQ(1, program::start(GetModuleHandleA(nullptr), SW_SHOWNORMAL, line.c_str()));
            EXPECT_EQ(static_cast<int>(answers.size()), answer.answered());
        }
        running = true;
    }

    // Closes the main window as Exit does after "Save data?" was settled.
    void stop()
    {
        program::mainWindow.history.markSaved();
        DestroyWindow(w.hwnd);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT)
                DispatchMessageA(&msg);
        }
        running = false;
    }

    // A message-window step: notes caption and text, then clicks the button
    // that gives result (IDOK, IDYES, IDNO, IDCANCEL).
    ModalAnswerer::Step answerWith(int result)
    {
        return [this, result](HWND) {
            MessageWindow& box = program::messageWindow;
            boxes.push_back({box.caption ? box.caption : "", box.message ? box.message : ""});
            for (int i = 0; i < MessageWindow::buttonCount; ++i) {
                if (box.buttonResults[i] == result)
                    tvtest::clickButton(MessageWindow::buttons[i].hwnd);
            }
        };
    }

    std::string title() const
    {
        char text[300] = "";
        GetWindowTextA(w.hwnd, text, sizeof text);
        return text;
    }

    // Texts of the recent items, top first, "(grayed)" after a grayed one.
    std::vector<std::string> recentItems() const
    {
        std::vector<std::string> items;
        HMENU file = GetSubMenu(GetMenu(w.hwnd), 0);
        for (int i = 0; i < w.recentFiles.count(); ++i) {
            char text[MAX_PATH] = "";
            GetMenuStringA(file, 5900 + i, text, sizeof text, MF_BYCOMMAND);
            std::string item = text;
            if (GetMenuState(file, 5900 + i, MF_BYCOMMAND) & MF_GRAYED)
                item += " (grayed)";
            items.push_back(item);
        }
        return items;
    }

    // Posts a drop of paths to the main window in a block of the shell's own
    // layout, as a drag from Explorer does, and dispatches messages until
    // the window has handled it (the window frees the block).
    void drop(const std::vector<std::string>& paths)
    {
        size_t chars = 1;
        for (const std::string& path : paths)
            chars += path.size() + 1;
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
        ASSERT_NE(nullptr, block);
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        char* names = reinterpret_cast<char*>(header + 1);
        for (const std::string& path : paths) {
            std::memcpy(names, path.c_str(), path.size() + 1);
            names += path.size() + 1;
        }
        GlobalUnlock(block);
        ASSERT_TRUE(PostMessageA(w.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
            if (msg.message == WM_DROPFILES)
                break;
        }
    }

    int nameRows() const { return static_cast<int>(SendMessageA(program::namesPane.hwnd, LB_GETCOUNT, 0, 0)); }

    // Gives the open document a change of its own.
    void edit(const char* name = "Bob Jones")
    {
        program::document.addName(name);
        program::mainWindow.history.clearUnsaved();
    }

    MainWindow& w = program::mainWindow;
    std::string folder;
    std::string settings;
    std::string kept;
    bool hadSettings = false;
    bool running = false;
    std::vector<Box> boxes;
};

using Strings = std::vector<std::string>;

} // namespace files_test
