#pragma once

class Document;
class MessageSink;
class SharedFile;

// Saves doc to path the safe way: the data file is written completely to a
// temporary file beside it (TemporaryFile: "club.tvd.$$$"), flushed to the
// disk, and only then put in the place of path in one step.
//
// On failure the old file at path is untouched, the modified flag is as it
// was, and the user is told: "Data is corrupt - file not saved" (caption
// "Tallyvane") when the document fails the writer's checks, otherwise
// "Failed to save the file" with path as caption. The temporary file is
// removed whatever failed: the document still holds everything it held.
// Returns 1 when saved.
//
// written, when given, becomes the bytes just written with their stamp (read
// back from the temporary file before it takes path's place), never the file
// at path read again: someone may replace it the moment after. Left alone
// when the save fails.
int saveDocumentFile(Document& doc, MessageSink& view, const char* path, SharedFile* written = nullptr);
