// What a screen reader reads from the program, through the same calls it
// makes (AccessibleObjectFromWindow and IAccessible): every row of the
// example file in every view with its name, role, state and description;
// the state change of a tick seen by an out-of-context event hook; the text
// of a message window; the view bar's buttons; and the colours drawn in
// high-contrast mode.
#include <oleacc.h>

#include <set>

#include "tests/app/ProgramFixture.h"
#include "app/grid/GridPainter.h"
#include "framework/HighContrast.h"
#include "framework/MessageWindow.h"
#include "tests/support/ModalAnswerer.h"
#include "framework/ViewBar.h"
#include "resource.h"

namespace {

// The accessible object of window's client area; null when there is none.
IAccessible* clientObject(HWND window) {
    IAccessible* object = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
        ADD_FAILURE() << "AccessibleObjectFromWindow: " << std::hex << hr;
        return nullptr;
    }
    return object;
}

std::string narrow(BSTR text) {
    if (!text) return "";
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], length, nullptr, nullptr);
    out.resize(out.size() - 1);
    SysFreeString(text);
    return out;
}

VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string nameOf(IAccessible* object, long id) {
    BSTR name = nullptr;
    object->get_accName(child(id), &name);
    return narrow(name);
}

long roleOf(IAccessible* object, long id) {
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(child(id), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

long stateOf(IAccessible* object, long id) {
    VARIANT state;
    VariantInit(&state);
    object->get_accState(child(id), &state);
    return state.vt == VT_I4 ? state.lVal : -1;
}

// A row as "name|role|ticked|description", role "item" or "check", ticked
// "x" or "".
std::string rowOf(IAccessible* object, long id) {
    BSTR description = nullptr;
    object->get_accDescription(child(id), &description);
    long role = roleOf(object, id);
    std::string shown = nameOf(object, id) + "|" +
                        (role == ROLE_SYSTEM_CHECKBUTTON ? "check" : role == ROLE_SYSTEM_LISTITEM ? "item" : "?") + "|" +
                        (stateOf(object, id) & STATE_SYSTEM_CHECKED ? "x" : "") + "|" + narrow(description);
    return shown;
}

// The list's name, then every row.
std::vector<std::string> readList(HWND list) {
    std::vector<std::string> read;
    IAccessible* object = clientObject(list);
    if (!object) return {"<no object>"};
    long count = -1;
    object->get_accChildCount(&count);
    read.push_back(nameOf(object, CHILDID_SELF) + (roleOf(object, CHILDID_SELF) == ROLE_SYSTEM_LIST ? "" : " (not a list)"));
    for (long id = 1; id <= count; ++id) read.push_back(rowOf(object, id));
    object->Release();
    return read;
}

using Lines = std::vector<std::string>;

class Accessibility : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        startWithExample();
    }
    void TearDown() override {
        HighContrast::force(-1);
        AppTest::TearDown();
    }
};

TEST_F(Accessibility, EveryRowOfEveryViewHasItsNameRoleStateAndDate) {
    EXPECT_EQ((Lines{"Names", "Ann Smith|item||", "Bob Jones|item||", "Carla Diaz|item||", "Dev Patel|item||"}),
              readList(names()));

    doubleClick(program::namesPane, 1);  // Bob Jones
    EXPECT_EQ((Lines{"Bob Jones", "Returned the key|check||", "Signed the safety form|check|x|done 03/16/26 11:00 AM",
                     "Parking permit|check|x|done 03/15/26 02:30 PM", "Paid the annual dues|check||"}),
              readList(entries()));
    pressBack();
    doubleClick(program::namesPane, 0);  // Ann Smith, with a memo
    EXPECT_EQ((Lines{"Ann Smith", "Returned the key|check|x|done 03/20/26 06:45 PM", "Phoned on Monday|item||",
                     "Signed the safety form|check||", "Paid the annual dues|check|x|done 03/14/26 09:05 AM"}),
              readList(entries()));

    window().showActionItems();
    EXPECT_EQ((Lines{"Action items", "Returned the key|item||", "Signed the safety form|item||",
                     "Paid the annual dues|item||"}),
              readList(actions()));
    doubleClick(program::actionsPane, 1);
    EXPECT_EQ((Lines{"Signed the safety form \x97 not done", "Ann Smith|item||", "Dev Patel|item||"}),
              readList(pending()));

    // The focused, selected row says so.
    IAccessible* list = clientObject(pending());
    ASSERT_TRUE(list);
    SetFocus(pending());
    EXPECT_EQ(STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED,
              stateOf(list, 1) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED));
    EXPECT_EQ(0, stateOf(list, 2) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED));
    list->Release();
}

// Events reach a hook set from outside the program's thread's code
// (out of context, as a screen reader's), in the order they happen.
std::vector<std::string> g_events;
void CALLBACK recordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG childId, DWORD, DWORD) {
    if (object != OBJID_CLIENT) return;
    const char* what = event == EVENT_OBJECT_STATECHANGE ? "state"
                       : event == EVENT_OBJECT_FOCUS     ? "focus"
                       : event == EVENT_OBJECT_NAMECHANGE ? "name"
                                                          : nullptr;
    if (!what) return;
    const char* where = window == program::entriesPane.hwnd ? "entries"
                        : window == program::namesPane.hwnd ? "names"
                        : window == program::statusBar.hwnd ? "status"
                                                            : "other";
    g_events.push_back(std::string(what) + " " + where + " " + std::to_string(childId));
}

TEST_F(Accessibility, ATickFlipsTheCheckedStateAndIsAnnounced) {
    doubleClick(program::namesPane, 1);  // Bob Jones: Returned the key is open
    SetFocus(entries());
    IAccessible* list = clientObject(entries());
    ASSERT_TRUE(list);
    EXPECT_EQ(0, stateOf(list, 1) & STATE_SYSTEM_CHECKED);

    g_events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, recordEvent, 0, 0,
                                         WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    clickSquare(0);
    tvtest::pumpMessages(100);
    EXPECT_EQ(STATE_SYSTEM_CHECKED, stateOf(list, 1) & STATE_SYSTEM_CHECKED);
    BSTR description = nullptr;
    list->get_accDescription(child(1), &description);
    EXPECT_EQ("done " + statusText(0).substr(8), narrow(description));
    std::set<std::string> seen(g_events.begin(), g_events.end());
    EXPECT_EQ(1u, seen.count("state entries 1")) << ::testing::PrintToString(g_events);
    EXPECT_EQ(1u, seen.count("name status 1")) << ::testing::PrintToString(g_events);

    // The default action ticks as Space does; a view change moves the focus.
    VARIANT second = child(2);
    EXPECT_EQ(S_OK, list->accDoDefaultAction(second));
    tvtest::pumpMessages(100);
    EXPECT_EQ(0, stateOf(list, 2) & STATE_SYSTEM_CHECKED);
    g_events.clear();
    pressBack();
    tvtest::pumpMessages(100);
    seen = std::set<std::string>(g_events.begin(), g_events.end());
    EXPECT_EQ(1u, seen.count("focus names 2")) << ::testing::PrintToString(g_events);
    UnhookWinEvent(hook);
    list->Release();
}

// The question of a message window is read before its buttons; the view
// bar's buttons are named by what they do.
TEST_F(Accessibility, MessageWindowsAndTheViewBarAreNamed) {
    IAccessible* back = clientObject(program::viewBar.backButton.hwnd);
    IAccessible* toActions = clientObject(program::viewBar.actionsButton.hwnd);
    IAccessible* bar = clientObject(program::viewBar.hwnd);
    ASSERT_TRUE(back && toActions && bar);
    EXPECT_EQ("Back", nameOf(back, CHILDID_SELF));
    EXPECT_EQ("Action items", nameOf(toActions, CHILDID_SELF));
    EXPECT_EQ("Names", nameOf(bar, CHILDID_SELF));
    for (IAccessible* object : {back, toActions, bar}) object->Release();

    std::string name, description, staticText;
    long role = 0;
    ModalAnswerer answer;
    answer.then(MessageWindow::className, [&](HWND box) {
        IAccessible* dialog = clientObject(box);
        if (dialog) {
            name = nameOf(dialog, CHILDID_SELF);
            role = roleOf(dialog, CHILDID_SELF);
            BSTR text = nullptr;
            dialog->get_accDescription(child(CHILDID_SELF), &text);
            description = narrow(text);
            dialog->Release();
        }
        HWND hidden = tvtest::findChildByClass(box, "Static");
        IAccessible* label = hidden ? clientObject(hidden) : nullptr;
        if (label) {
            staticText = nameOf(label, CHILDID_SELF);
            label->Release();
        }
        tvtest::pressKey(GetFocus(), VK_ESCAPE);
    });
    window().history.clearUnsaved();
    EXPECT_EQ(0, window().queryClose());
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("Tallyvane", name);
    EXPECT_EQ(ROLE_SYSTEM_DIALOG, role);
    EXPECT_EQ("Save data?", description);
    EXPECT_EQ("Save data?", staticText);
}

// The colours of window's client area (every other column) from column left on.
std::set<COLORREF> coloursOf(HWND window, int left = 0) {
    UpdateWindow(window);
    tvtest::pumpMessages(50);
    std::set<COLORREF> used;
    HDC dc = GetDC(window);
    RECT r;
    GetClientRect(window, &r);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = left; x < r.right; x += 2) used.insert(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return used;
}

// With high contrast on, the Names list, a person's page and a message
// window are drawn in the system's colours (and the blends of their text's
// edges), none of the program's own; off, in the program's own.
TEST_F(Accessibility, HighContrastDrawsInTheSystemColoursOnly) {
    const COLORREF own[] = {RGB(0, 0, 0x80), RGB(0xFF, 0, 0), RGB(0, 0xFF, 0), RGB(0xFF, 0xFF, 0),
                            RGB(0xC0, 0xC0, 0xC0), RGB(0, 0x80, 0x80)};
    doubleClick(program::namesPane, 1);  // Bob Jones, two rows ticked
    SendMessageA(entries(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    std::set<COLORREF> normal = coloursOf(entries());
    for (COLORREF colour : {RGB(0, 0, 0x80), RGB(0xFF, 0, 0), RGB(0, 0xFF, 0)})
        EXPECT_EQ(1u, normal.count(colour)) << std::hex << colour;

    HighContrast::force(1);
    SendMessageA(window().hwnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    auto systemOnly = [&](HWND shown, const char* picture, int background, int text, int left = 0) {
        std::set<COLORREF> used = coloursOf(shown, left), system;
        for (int index = COLOR_SCROLLBAR; index <= COLOR_MENUBAR; ++index) system.insert(GetSysColor(index));
        for (COLORREF colour : own) {
            if (!system.count(colour)) {
                EXPECT_EQ(0u, used.count(colour)) << picture << ": " << std::hex << colour;
            }
        }
        EXPECT_EQ(1u, used.count(GetSysColor(background))) << picture;
        EXPECT_EQ(1u, used.count(GetSysColor(text))) << picture;
        tvtest::saveWindowPng(shown, picture);
    };
    systemOnly(entries(), "high-contrast-entries", COLOR_WINDOW, COLOR_WINDOWTEXT);
    pressBack();
    SendMessageA(names(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    systemOnly(names(), "high-contrast-names", COLOR_WINDOW, COLOR_WINDOWTEXT);
    ModalAnswerer answer;
    answer.then(MessageWindow::className, [&](HWND box) {
        // Right of the question icon, which is the system's own image.
        systemOnly(box, "high-contrast-message", COLOR_BTNFACE, COLOR_BTNTEXT, program::messageWindow.textRect.left);
        tvtest::pressKey(GetFocus(), VK_ESCAPE);
    });
    window().history.clearUnsaved();
    window().queryClose();
    EXPECT_EQ(1, answer.answered());
}

}  // namespace
