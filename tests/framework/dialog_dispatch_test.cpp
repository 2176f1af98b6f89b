// The dialog dispatcher: handlers, return values and the routing of
// WM_COMMAND, WM_DRAWITEM and WM_NOTIFY to control wrappers.
#include <gtest/gtest.h>

#include "framework/ButtonControl.h"
#include "framework/DialogBase.h"
#include "tests/support/TestSupport.h"

namespace {

MessageRecorder rec;

class RecordingDialog : public DialogBase, public CallbackTarget {
public:
    INT_PTR OnMessage(UINT message, WPARAM, LPARAM) override { return message == WM_APP ? 33 : 0; }
    int OnInitDialog() override
    {
        rec.add("OnInitDialog hwnd=%d", hwnd != nullptr);
        return 1;
    }
    void OnCommand(WPARAM w, LPARAM) override { rec.add("OnCommand %u", unsigned(w)); }
    void OnDrawItem(WPARAM w, LPARAM) override { rec.add("OnDrawItem %u", unsigned(w)); }
    void OnNotify(WPARAM w, LPARAM) override { rec.add("OnNotify %u", unsigned(w)); }
    void OnHScroll(WPARAM w, LPARAM l) override { rec.add("OnHScroll %u %ld", unsigned(w), long(l)); }
    void OnDestroy() override { rec.add("OnDestroy"); }
    int OnQueryEndSession() override { return 8; }
    int OnVKeyToItem(WPARAM) override { return -2; }
    LRESULT OnCtlColorListBox(WPARAM, LPARAM) override { return 0x4321; }
    void clicked(int id) { rec.add("callback %d", id); }
};

class DrawingButton : public ButtonControl {
public:
    void drawItem(DRAWITEMSTRUCT* item) override { rec.add("drawItem %u", item->CtlID); }
    LRESULT notify(NMHDR* header) override
    {
        rec.add("notify %u", header->code);
        return 55;
    }
};

// An empty in-memory dialog template: no menu, default class, no title.
struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu, windowClass, title;
};

} // namespace

class DialogDispatch : public testing::Test {
protected:
    void SetUp() override
    {
        rec.clear();
        static EmptyTemplate tmpl = {{WS_POPUP | WS_CAPTION, 0, 0, 10, 10, 100, 60}, 0, 0, 0};
        dialogWindow = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.head, owner, StaticDlgProc,
                                                  reinterpret_cast<LPARAM>(static_cast<DialogBase*>(&dialog)));
        ASSERT_NE(nullptr, dialogWindow);
    }
    void TearDown() override { DestroyWindow(dialogWindow); }

    TestWindow owner;
    RecordingDialog dialog;
    HWND dialogWindow = nullptr;
};

TEST_F(DialogDispatch, InitDialogAttachesTheObjectToTheDialog)
{
    EXPECT_EQ(dialogWindow, dialog.hwnd);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<DialogBase*>(&dialog)),
              GetWindowLongPtrA(dialogWindow, DWLP_USER));
    EXPECT_EQ((std::vector<std::string>{"OnInitDialog hwnd=1"}), rec.take());
}

TEST_F(DialogDispatch, ResultsFollowTheTable)
{
    rec.clear();
    // DialogProc itself, so the dialog manager's own work doesn't blur the results.
    EXPECT_EQ(8, dialog.DialogProc(WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(-2, dialog.DialogProc(WM_VKEYTOITEM, 0, 0));
    EXPECT_EQ(0x4321, dialog.DialogProc(WM_CTLCOLORLISTBOX, 0, 0));
    EXPECT_EQ(33, dialog.DialogProc(WM_APP, 0, 0));
    EXPECT_EQ(0, dialog.DialogProc(WM_APP + 1, 0, 0));
    EXPECT_EQ(0, dialog.DialogProc(WM_HSCROLL, 3, 4));
    EXPECT_EQ(1, dialog.DialogProc(WM_INITDIALOG, 0, 0));
    EXPECT_EQ(0, dialog.DialogProc(WM_DESTROY, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"OnHScroll 3 4", "OnInitDialog hwnd=1", "OnDestroy"}), rec.take());
}

TEST_F(DialogDispatch, CommandsGoToTheWrapperFirstAndOnCommandWhenItDeclines)
{
    ButtonControl withCallback, without;
    ASSERT_EQ(1, withCallback.create(dialogWindow, 500, "a", 0, 0, 20, 20));
    ASSERT_EQ(1, without.create(dialogWindow, 501, "b", 30, 0, 20, 20));
    withCallback.setCallback(&dialog, static_cast<ControlCallback>(&RecordingDialog::clicked));
    rec.clear();

    SendMessageA(dialogWindow, WM_COMMAND, MAKEWPARAM(500, BN_CLICKED), reinterpret_cast<LPARAM>(withCallback.hwnd));
    SendMessageA(dialogWindow, WM_COMMAND, MAKEWPARAM(501, BN_CLICKED), reinterpret_cast<LPARAM>(without.hwnd));
    SendMessageA(dialogWindow, WM_COMMAND, MAKEWPARAM(500, BN_SETFOCUS), reinterpret_cast<LPARAM>(withCallback.hwnd));
    SendMessageA(dialogWindow, WM_COMMAND, 40001, 0);
    EXPECT_EQ((std::vector<std::string>{"callback 500", "OnCommand 501", "OnCommand 393716", "OnCommand 40001"}),
              rec.take());
}

TEST_F(DialogDispatch, DrawItemAndNotifyGoToTheWrapper)
{
    DrawingButton owned;
    ASSERT_EQ(1, owned.create(dialogWindow, 600, "", 0, 0, 20, 20));
    HWND bare = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 5, 5, dialogWindow, reinterpret_cast<HMENU>(601),
                                GetModuleHandleA(nullptr), nullptr);
    rec.clear();
    DRAWITEMSTRUCT item = {};
    item.CtlID = 600;
    item.hwndItem = owned.hwnd;
    EXPECT_EQ(1, dialog.DialogProc(WM_DRAWITEM, 600, reinterpret_cast<LPARAM>(&item)));
    item.CtlID = 601;
    item.hwndItem = bare;
    EXPECT_EQ(1, dialog.DialogProc(WM_DRAWITEM, 601, reinterpret_cast<LPARAM>(&item)));
    NMHDR header = {owned.hwnd, 600, 5};
    EXPECT_EQ(1, dialog.DialogProc(WM_NOTIFY, 600, reinterpret_cast<LPARAM>(&header)));  // wrapper's 55 dropped
    header = {bare, 601, 6};
    EXPECT_EQ(1, dialog.DialogProc(WM_NOTIFY, 601, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ((std::vector<std::string>{"drawItem 600", "OnDrawItem 601", "notify 5", "OnNotify 601"}), rec.take());
}
