// Helpers for the in-process GUI tests (they run under Wine on a virtual
// display). Everything works on the test's own thread, with real windows and
// real messages, so that the code under test runs its own message loops.
//
// ModalAnswerer (ModalAnswerer.h)
//   Answers modal windows (message boxes, dialogs) from a thread timer while
//   the code under test sits in its modal loop. Each step receives the next
//   new visible, enabled top-level window of the thread:
//
//     ModalAnswerer answer;
//     answer.then([](HWND box) { tvtest::pressKey(GetFocus(), 'Y'); });
//     EXPECT_EQ(IDYES, messageWindow.showModal(owner, ...));
//     EXPECT_EQ(1, answer.answered());
//
//   Windows that exist when the answerer is made are never answered, so make
//   owners and parents first; a class name in then() narrows the match.
//   A window that no step answers within the answerer's patience is closed
//   (IDCANCEL, then WM_CLOSE, then DestroyWindow) so a failing test can't hang;
//   timedOut() tells.
//
// GuiActions.h — real input by posted messages: pressKey, pressAltKey,
//   typeText, clickButton, clickAt; lookups findChild/findChildByClass;
//   pumpMessages, pumpUntil.
// TestWindow.h — TestWindow, a plain top-level window of a private class to
//   act as owner or parent; destroyed with the object.
// Screenshot.h — captureWindow (pixels of a window as drawn on the display),
//   Image::pixel, savePng; saveWindowPng(window, "name") writes
//   <build>/screenshots/name.png (beside the bin/ folder of the test).
// DialogInput.h — typeAndAccept: a name typed into a common file dialog, then
//   its OK button.
// MessageRecorder.h — MessageRecorder, an ordered list of formatted entries
//   ("OnSize 0 0x00320064") for comparing message order with expected tables.
#pragma once
#include "tests/support/GuiActions.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestWindow.h"
