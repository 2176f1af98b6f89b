// The clipboard helper, read back from the real clipboard.
#include <gtest/gtest.h>

#include <string>

#include "app/Clipboard.h"
#include "tests/support/TestSupport.h"

namespace {

using tvtest::clipboardText;

TEST(Clipboard, PutsTheTextAsCfText)
{
    TestWindow owner("clipboard owner");
    ASSERT_EQ(1, Clipboard::putText(owner, "Ann Smith"));
    EXPECT_EQ("Ann Smith", clipboardText());
    ASSERT_EQ(1, Clipboard::putText(owner, ""));
    EXPECT_EQ("", clipboardText());
}

TEST(Clipboard, AClipboardHeldElsewhereKeepsItsContents)
{
    TestWindow owner("clipboard owner");
    TestWindow other("other program");
    ASSERT_EQ(1, Clipboard::putText(owner, "before"));

    ASSERT_TRUE(OpenClipboard(other));
    EXPECT_EQ(0, Clipboard::putText(owner, "after"));
    CloseClipboard();
    EXPECT_EQ("before", clipboardText());
}

}  // namespace
