// Automatic control ids count from 900 across all windows of the process.
#include <gtest/gtest.h>

#include "framework/ButtonControl.h"
#include "framework/EditControl.h"
#include "framework/ListBoxControl.h"
#include "tests/support/TestSupport.h"

TEST(ControlIds, CountFrom900AcrossWindowsAndExplicitIdsTakeNone)
{
    TestWindow first("first"), second("second");
    ListBoxControl list;
    ButtonControl button;
    ButtonControl fixed;
    EditControl edit;
    ASSERT_EQ(1, list.create(first, 0, "", 0, 0, 100, 100));
    ASSERT_EQ(1, fixed.create(first, 77, "fixed", 0, 0, 10, 10));
    ASSERT_EQ(1, button.create(second, 0, "&Go", 0, 0, 50, 20));
    ASSERT_EQ(1, edit.create(second, 0, "text", 0, 30, 50, 20));
    EXPECT_EQ(900, list.id);
    EXPECT_EQ(77, fixed.id);
    EXPECT_EQ(901, button.id);
    EXPECT_EQ(902, edit.id);
    EXPECT_EQ(901, GetDlgCtrlID(button.hwnd));
}
