// The clipboard helper, read back from the real clipboard.
#include <gtest/gtest.h>

#include <string>

#include "app/Clipboard.h"
#include "tests/support/TestSupport.h"

namespace {

std::string clipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<clipboard not open>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* chars = static_cast<const char*>(GlobalLock(data));
        if (chars)
            text = chars;
        GlobalUnlock(data);
    } else {
        text = "<no text>";
    }
    CloseClipboard();
    return text;
}

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
