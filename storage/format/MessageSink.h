#pragma once

// Where a save tells why it failed: the main window shows the message in
// its message window, tvd prints it, tests record it. (A load tells in the
// LoadReport it returns.)
class MessageSink {
public:
    virtual ~MessageSink() = default;

    // Shows a message with the exclamation icon and an OK button.
    virtual void reportError(const char* caption, const char* text) = 0;
};
