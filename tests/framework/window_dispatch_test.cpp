// The window dispatcher: every message of the table reaches its handler with
// its arguments, and the procedure returns what the table says.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/ListBoxControl.h"
#include "tests/support/TestSupport.h"
#include "framework/WindowBase.h"

namespace {

MessageRecorder rec;

class RecordingWindow : public WindowBase {
public:
    static constexpr const char* className = "TvRecordingWindow";
    int createResult = 1;
    bool recordClose = true;
    bool handleInOnMessage = false;
    bool nccreateSawObject = false;
    UINT firstMessage = 0;

    RecordingWindow() { style = WS_OVERLAPPEDWINDOW; }

    int RegisterWindowClass() override
    {
        static bool registered = false;
        if (registered)
            return 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StaticWndProc;
        wc.cbWndExtra = 4;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        registered = RegisterClassA(&wc) != 0;
        return registered ? 1 : 0;
    }
    int create()
    {
        RegisterWindowClass();
        return CreateWindowObject(className, nullptr, nullptr, "Rec", 0, 0, 200, 100);
    }

    int OnMessage(UINT message, WPARAM, LPARAM) override
    {
        if (!firstMessage) {
            firstMessage = message;
            nccreateSawObject = hwnd && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
        }
        if (message == WM_GETTEXTLENGTH) {
            rec.add("OnMessage WM_GETTEXTLENGTH");
            return handleInOnMessage;
        }
        return 0;
    }
    int OnCreate() override { rec.add("OnCreate hwnd=%d", hwnd != nullptr); return createResult; }
    void OnDestroy() override { rec.add("OnDestroy"); }
    int OnShutdown() override { rec.add("OnShutdown"); return 0; }
    void OnFinalDestroy() override { rec.add("OnFinalDestroy"); }
    void OnClose() override
    {
        if (recordClose)
            rec.add("OnClose");
        else
            WindowBase::OnClose();
    }

#define TV_RECORD2(Name) \
    void Name(WPARAM w, LPARAM l) override { rec.add(#Name " %u %ld", unsigned(w), long(l)); }
    TV_RECORD2(OnChar)
    TV_RECORD2(OnCommand)
    TV_RECORD2(OnContextMenu)
    TV_RECORD2(OnDrawItem)
    TV_RECORD2(OnEndSession)
    TV_RECORD2(OnKeyDown)
    TV_RECORD2(OnKeyUp)
    TV_RECORD2(OnLButtonDown)
    TV_RECORD2(OnLButtonUp)
    TV_RECORD2(OnMouseMove)
    TV_RECORD2(OnNotify)
    TV_RECORD2(OnRButtonDown)
    TV_RECORD2(OnRButtonUp)
    TV_RECORD2(OnSize)
    TV_RECORD2(OnSysKeyDown)
    TV_RECORD2(OnSysKeyUp)
#undef TV_RECORD2
    LRESULT OnCtlColorListBox(WPARAM w, LPARAM l) override
    {
        rec.add("OnCtlColorListBox %u %ld", unsigned(w), long(l));
        return 0x1234;
    }
    int OnMenuSelect(WPARAM w, LPARAM l) override
    {
        rec.add("OnMenuSelect %u %ld", unsigned(w), long(l));
        return 9;
    }
    void OnDropFiles(WPARAM w) override { rec.add("OnDropFiles %u", unsigned(w)); }
    void OnTimer(WPARAM w) override { rec.add("OnTimer %u", unsigned(w)); }
    int OnVKeyToItem(WPARAM w) override
    {
        rec.add("OnVKeyToItem %u", unsigned(w));
        return 5;
    }
    void OnInitMenu() override { rec.add("OnInitMenu"); }
    void OnKillFocus() override { rec.add("OnKillFocus"); }
    void OnPaint() override
    {
        rec.add("OnPaint");
        WindowBase::OnPaint();
    }
    int OnQueryEndSession() override
    {
        rec.add("OnQueryEndSession");
        return 7;
    }
    void OnSetFocus() override { rec.add("OnSetFocus"); }
    void OnSysColorChange() override { rec.add("OnSysColorChange"); }
};

// Windows whose class keeps every default, OnCreate included.
class BareWindow : public WindowBase {
public:
    int RegisterWindowClass() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StaticWndProc;
        wc.cbWndExtra = 4;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TvBareWindow";
        return RegisterClassA(&wc) ? 1 : 0;
    }
};

class NotifyingControl : public ListBoxControl {
public:
    LRESULT notify(NMHDR* header) override
    {
        rec.add("notify %u", header->code);
        return 42;
    }
};

struct Row {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* expected;
    LRESULT result;
};

} // namespace

class WindowDispatch : public testing::Test {
protected:
    void SetUp() override
    {
        rec.clear();
        ASSERT_EQ(1, window.create());
        rec.clear();
    }
    void TearDown() override
    {
        if (window.hwnd)
            DestroyWindow(window.hwnd);
    }
    RecordingWindow window;
};

TEST_F(WindowDispatch, EachTableMessageReachesItsHandlerAndReturnsTheTableResult)
{
    static DRAWITEMSTRUCT item = {};
    const Row table[] = {
        {WM_SIZE, 1, 0x00320064, "OnSize 1 3276900", 0},
        {WM_SETFOCUS, 0, 0, "OnSetFocus", 0},
        {WM_KILLFOCUS, 0, 0, "OnKillFocus", 0},
        {WM_PAINT, 0, 0, "OnPaint", 0},
        {WM_CLOSE, 0, 0, "OnClose", 0},
        {WM_QUERYENDSESSION, 0, 0, "OnQueryEndSession", 7},
        {WM_SYSCOLORCHANGE, 0, 0, "OnSysColorChange", 0},
        {WM_DRAWITEM, 12, reinterpret_cast<LPARAM>(&item), nullptr, 1},
        {WM_VKEYTOITEM, 40, 0, "OnVKeyToItem 40", 5},
        {WM_CONTEXTMENU, 3, 4, "OnContextMenu 3 4", 0},
        {WM_KEYDOWN, 'A', 5, "OnKeyDown 65 5", 0},
        {WM_KEYUP, 'B', 6, "OnKeyUp 66 6", 0},
        {WM_CHAR, 'c', 7, "OnChar 99 7", 0},
        {WM_SYSKEYDOWN, VK_F4, 0x20000000, "OnSysKeyDown 115 536870912", 0},
        {WM_SYSKEYUP, VK_F4, 8, "OnSysKeyUp 115 8", 0},
        {WM_COMMAND, 40001, 0, "OnCommand 40001 0", 0},
        {WM_TIMER, 17, 0, "OnTimer 17", 0},
        {WM_INITMENU, 0, 0, "OnInitMenu", 0},
        {WM_MENUSELECT, 40002, 0, "OnMenuSelect 40002 0", 0},
        {WM_CTLCOLORLISTBOX, 9, 10, "OnCtlColorListBox 9 10", 0x1234},
        {WM_MOUSEMOVE, 0, 0x00050006, "OnMouseMove 0 327686", 0},
        {WM_LBUTTONDOWN, 1, 11, "OnLButtonDown 1 11", 0},
        {WM_LBUTTONUP, 0, 12, "OnLButtonUp 0 12", 0},
        {WM_RBUTTONDOWN, 2, 13, "OnRButtonDown 2 13", 0},
        {WM_RBUTTONUP, 0, 14, "OnRButtonUp 0 14", 0},
        {WM_DROPFILES, 15, 0, "OnDropFiles 15", 0},
    };
    for (const Row& row : table) {
        LRESULT result = SendMessageA(window.hwnd, row.message, row.wParam, row.lParam);
        std::vector<std::string> seen = rec.take();
        char expected[64];
        if (!row.expected)
            std::snprintf(expected, sizeof expected, "OnDrawItem 12 %ld", long(row.lParam));
        EXPECT_EQ(std::vector<std::string>{row.expected ? row.expected : expected}, seen)
            << "message 0x" << std::hex << row.message;
        EXPECT_EQ(row.result, result) << "message 0x" << std::hex << row.message;
    }
}

TEST_F(WindowDispatch, OtherMessagesGoThroughOnMessageThenTheDefaultProcedure)
{
    EXPECT_EQ(3, SendMessageA(window.hwnd, WM_GETTEXTLENGTH, 0, 0));
    window.handleInOnMessage = true;
    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(2, rec.count("OnMessage WM_GETTEXTLENGTH"));
}

TEST_F(WindowDispatch, TheObjectIsAttachedAtNcCreateAndEarlierMessagesGetTheDefault)
{
    // WM_GETMINMAXINFO comes before WM_NCCREATE and never reaches the object.
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), window.firstMessage);
    EXPECT_TRUE(window.nccreateSawObject);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<WindowBase*>(&window)),
              GetWindowLongPtrA(window.hwnd, GWLP_USERDATA));
}

TEST_F(WindowDispatch, EndSessionCallsShutdownOnlyWhenTheSessionEnds)
{
    SendMessageA(window.hwnd, WM_ENDSESSION, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"OnEndSession 0 0"}), rec.take());
    SendMessageA(window.hwnd, WM_ENDSESSION, 1, 0);
    EXPECT_EQ((std::vector<std::string>{"OnEndSession 1 0", "OnShutdown"}), rec.take());
}

TEST_F(WindowDispatch, DefaultCloseDestroysOnceAndClearsTheHandle)
{
    window.recordClose = false;
    HWND old = window.hwnd;
    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(nullptr, window.hwnd);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ((std::vector<std::string>{"OnDestroy", "OnShutdown", "OnFinalDestroy"}), rec.take());
    // The object can make a new window afterwards.
    EXPECT_EQ(1, window.create());
    EXPECT_NE(nullptr, window.hwnd);
}

TEST_F(WindowDispatch, NotifyFromAWrappedControlReturnsTheWrappersResult)
{
    NotifyingControl wrapped;
    ListBoxControl plainWrapper;
    ASSERT_EQ(1, wrapped.create(window.hwnd, 300, "", 0, 0, 50, 50));
    ASSERT_EQ(1, plainWrapper.create(window.hwnd, 301, "", 60, 0, 50, 50));
    HWND bare = CreateWindowExA(0, "BUTTON", "bare", WS_CHILD, 0, 60, 50, 20, window.hwnd,
                                reinterpret_cast<HMENU>(302), GetModuleHandleA(nullptr), nullptr);

    NMHDR header = {wrapped.hwnd, 300, 77};
    EXPECT_EQ(42, SendMessageA(window.hwnd, WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&header)));
    header = {plainWrapper.hwnd, 301, 78};
    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ((std::vector<std::string>{"notify 77"}), rec.take());

    header = {bare, 302, 79};
    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_NOTIFY, 302, reinterpret_cast<LPARAM>(&header)));
    ASSERT_EQ(1u, rec.entries().size());
    EXPECT_EQ(0u, rec.entries()[0].find("OnNotify 302 "));
}

TEST(WindowCreation, OnCreateReturningZeroFailsTheCreation)
{
    rec.clear();
    RecordingWindow window;
    window.createResult = 0;
    EXPECT_EQ(0, window.create());
    EXPECT_EQ(nullptr, window.hwnd);
    // Windows sends WM_DESTROY to the failed window, Wine does not: the destroy
    // steps run at most once.
    ASSERT_FALSE(rec.entries().empty());
    EXPECT_EQ("OnCreate hwnd=1", rec.entries()[0]);
    EXPECT_GE(1, rec.count("OnDestroy"));
    EXPECT_EQ(rec.count("OnDestroy"), rec.count("OnFinalDestroy"));
}

TEST(WindowCreation, AClassWithoutOnCreateCannotBeCreated)
{
    BareWindow window;
    window.RegisterWindowClass();
    EXPECT_EQ(0, window.CreateWindowObject("TvBareWindow", nullptr, nullptr, "", 0, 0, 10, 10));
    EXPECT_EQ(nullptr, window.hwnd);
}

TEST(WindowCreation, AWindowWithoutAnObjectGetsTheDefaultProcedure)
{
    RecordingWindow registrar;
    registrar.RegisterWindowClass();
    HWND orphan = CreateWindowExA(0, RecordingWindow::className, "orphan", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, orphan);
    EXPECT_EQ(0, GetWindowLongPtrA(orphan, GWLP_USERDATA));
    EXPECT_EQ(6, SendMessageA(orphan, WM_GETTEXTLENGTH, 0, 0));
    DestroyWindow(orphan);
}

TEST(WindowCreation, MissingCreateIsReportedInABoxAndReturnsZero)
{
    BareWindow window;
    std::string caption, text;
    ModalAnswerer answer;
    answer.then("#32770", [&](HWND box) {
        char buffer[64] = "";
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        HWND label = GetDlgItem(box, 0xFFFF);  // the message text of a MessageBox
        GetWindowTextA(label, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(0, window.Create(nullptr, 0, "", 0, 0, 10, 10));
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("App Error", caption);
    EXPECT_EQ("Missing Create", text);
}
