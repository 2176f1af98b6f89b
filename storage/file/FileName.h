#pragma once

// File-name helpers. They look only at the last component of a path: the
// scan from the end stops at the last dot, backslash, slash or colon. The
// second byte of a double-byte character of the ANSI code page is never
// taken for one.

// Position of the extension's dot, or the end of the path when the name has
// no extension, or null when the path is empty or names a folder or drive
// ("dir\", "C:"). A name that starts with a dot is all extension.
char* findExtension(char* path);
const char* findExtension(const char* path);
// The file-name part of path: the text after its last backslash, slash or colon.
const char* fileNamePart(const char* path);
// Whether the path's extension is extension (with its dot), a-z matching A-Z.
bool hasExtension(const char* path, const char* extension);
// Cuts the path at its extension's dot, if it has one.
void stripExtension(char* path);
// Puts extension (with or without its leading dot) in place of the path's
// extension within a buffer of size bytes. 0, with the path unchanged, when
// the path has no file-name part or the result does not fit.
int replaceExtension(char* path, int size, const char* extension);

// Bytes for the path buffer the common dialogs fill: MAX_PATH (260)
// characters, each up to three bytes in UTF-8, the program's code page.
const int kPathBytes = 3 * 260 + 4;

// Test hook: lead bytes of another code page than the system's (null: the system's again).
void setLeadBytesForTest(bool (*leadByte)(unsigned char));
