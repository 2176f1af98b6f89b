// Control wrappers: attaching to template controls, callbacks, mnemonics and
// sub-classing with the saved standard procedures.
#include <gtest/gtest.h>

#include "framework/ButtonControl.h"
#include "framework/DialogBase.h"
#include "framework/EditControl.h"
#include "framework/Framework.h"
#include "framework/ListBoxControl.h"
#include "tests/support/TestSupport.h"
#include "resource.h"

namespace {

class Counter : public CallbackTarget {
public:
    void hit(int id)
    {
        ++hits;
        lastId = id;
    }
    int hits = 0;
    int lastId = 0;
};

// The input dialog's template, wrapped by hand: its field gets an EditControl.
class TemplateDialog : public DialogBase {
public:
    int OnInitDialog() override
    {
        attached = field.create(hwnd, 1000, "attached text", 1, 2, 3, 4);
        return 1;
    }
    EditControl field;
    int attached = 0;
};

class RecordingList : public ListBoxControl {
public:
    LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == LB_ADDSTRING)
            ++adds;
        return ListBoxControl::subclassProc(message, wParam, lParam);
    }
    int adds = 0;
};

LRESULT CALLBACK otherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(ListBoxControl::savedProcedure(), window, message, wParam, lParam);
}

int countChildrenWithId(HWND parent, int id)
{
    int n = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        n += GetDlgCtrlID(child) == id;
    return n;
}

} // namespace

TEST(Controls, CreateAttachesToTheTemplatesControlAndSetsItsText)
{
    TestWindow owner;
    TemplateDialog dialog;
    HWND window = CreateDialogParamA(framework::instance(), MAKEINTRESOURCEA(IDD_INPUT), owner, StaticDlgProc,
                                     reinterpret_cast<LPARAM>(static_cast<DialogBase*>(&dialog)));
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(1, dialog.attached);
    EXPECT_EQ(GetDlgItem(window, 1000), dialog.field.hwnd);
    EXPECT_EQ(1, countChildrenWithId(window, 1000));
    char text[64] = "";
    GetWindowTextA(dialog.field.hwnd, text, sizeof text);
    EXPECT_STREQ("attached text", text);
    // The template's style stays: a single-line field, not the wrapper's multi-line one.
    EXPECT_EQ(0, GetWindowLongA(dialog.field.hwnd, GWL_STYLE) & ES_MULTILINE);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<ControlBase*>(&dialog.field)),
              GetWindowLongPtrA(dialog.field.hwnd, GWLP_USERDATA));
    DestroyWindow(window);
}

TEST(Controls, CommandNotifyCallsTheCallbackForItsOwnCodeOnly)
{
    TestWindow parent;
    Counter counter;
    ListBoxControl list;
    ButtonControl button;
    EditControl edit;
    ASSERT_EQ(1, list.create(parent, 10, "", 0, 0, 100, 100));
    ASSERT_EQ(1, button.create(parent, 11, "b", 0, 110, 50, 20));
    ASSERT_EQ(1, edit.create(parent, 12, "", 0, 140, 50, 20));

    EXPECT_EQ(0, button.commandNotify(BN_CLICKED, 11));  // no callback set
    SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("zero"));
    SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(list.hwnd, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(0, list.commandNotify(LBN_SELCHANGE, 10));
    EXPECT_EQ(1, list.selection);

    const auto hit = static_cast<ControlCallback>(&Counter::hit);
    list.setCallback(&counter, hit);
    button.setCallback(&counter, hit);
    edit.setCallback(&counter, hit);
    EXPECT_EQ(0, list.commandNotify(LBN_DBLCLK, 10));
    EXPECT_EQ(0, button.commandNotify(BN_SETFOCUS, 11));
    EXPECT_EQ(0, edit.commandNotify(EN_CHANGE, 12));
    EXPECT_EQ(0, counter.hits);
    EXPECT_EQ(1, list.commandNotify(LBN_SELCHANGE, 10));
    EXPECT_EQ(1, button.commandNotify(BN_CLICKED, 11));
    EXPECT_EQ(1, edit.commandNotify(EN_KILLFOCUS, 12));
    EXPECT_EQ(3, counter.hits);
    EXPECT_EQ(12, counter.lastId);
}

TEST(Controls, ButtonKeepsTheLetterAfterTheAmpersand)
{
    TestWindow parent;
    ButtonControl yes, plain;
    yes.create(parent, 20, "&Yes", 0, 0, 60, 30);
    plain.create(parent, 21, "Plain", 0, 40, 60, 30);
    EXPECT_EQ('Y', yes.mnemonic);
    EXPECT_EQ(0, plain.mnemonic);
}

TEST(Controls, SubclassingKeepsTheFirstStandardProcedure)
{
    TestWindow parent;
    RecordingList first;
    ListBoxControl second;
    ASSERT_EQ(1, first.create(parent, 30, "", 0, 0, 100, 100));
    ASSERT_EQ(1, second.create(parent, 31, "", 110, 0, 100, 100));
    const WNDPROC standard = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC));

    EXPECT_EQ(standard, first.subclass());
    EXPECT_EQ(standard, ListBoxControl::savedProcedure());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(ControlSubclassProc), GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC));
    // The wrapper sees the messages and the list box still works.
    EXPECT_EQ(0, SendMessageA(first.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("row")));
    EXPECT_EQ(1, SendMessageA(first.hwnd, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, first.adds);

    // Later sub-classing never replaces the saved procedure.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(ControlSubclassProc), first.subclass(otherProc));
    EXPECT_EQ(standard, second.subclass(otherProc));
    EXPECT_EQ(standard, ListBoxControl::savedProcedure());
}

TEST(Controls, ButtonSubclassedOnCreateStillClicks)
{
    TestWindow parent;
    ButtonControl button(true);
    ASSERT_EQ(1, button.create(parent, 40, "&Press", 0, 0, 60, 30));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(ControlSubclassProc), GetWindowLongPtrA(button.hwnd, GWLP_WNDPROC));
    EXPECT_NE(nullptr, ButtonControl::savedProcedure());
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(button.hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST(Controls, SetWindowProcRefusesNullAndNonWindows)
{
    TestWindow parent;
    EXPECT_EQ(nullptr, SetWindowProc(parent, nullptr));
    EXPECT_EQ(nullptr, SetWindowProc(nullptr, DefWindowProcA));
}

TEST(Controls, CreateFailsWithoutAParentWindow)
{
    ListBoxControl list;
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(0, list.create(gone, 50, "", 0, 0, 10, 10));
    EXPECT_EQ(nullptr, list.hwnd);
}
