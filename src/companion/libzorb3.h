// Tokenizer of text files: a file is read line by line, a line is split into tokens.
//
// Lexical rules:
// - Lines end with LF or CRLF; a final line without an end counts. A UTF-8 byte-order mark at
//   the start of the file is skipped. Lines may be of any length.
// - A line that is not valid UTF-8 is taken as Windows-1251 and handed out converted to UTF-8.
//   A NUL byte inside a line is read as a blank, so the rest of the line is not lost.
// - Tokens are separated by runs of the delimiter characters given to tokStart and of tab
//   characters; leading and trailing separators are ignored.
// - A double quote opens a quoted part of a token that ends at the next unescaped double quote
//   (or at the end of the line): separators inside it belong to the token, the quotes do not.
//   Inside a quoted part \" stands for a double quote and \\ for a backslash; any other
//   backslash stands for itself. "" is an empty token.
//
// Handles are opaque; every handle handed out is released with libzorbFree, once. Texts handed
// out stay valid until the next call on the same handle or its release.
#pragma once

#include <cstdint>

struct TZorbHandle;

// A handle on the file's lines, or null when the file cannot be read or holds no byte. The
// delimiters are those of the lines' own tokStart calls and are not kept.
TZorbHandle* tokStartFile(const char* fileName, const char* delimiters);
// Advances to the next line: non-zero while there was one, zero at the end and after it (also
// when the file can no longer be read).
std::int32_t tokString(TZorbHandle* file);
// File handle: the current line ("" before the first tokString). Line handle: the token that
// tokNext returned last, or null before the first tokNext and after the last token.
const char* tokLast(TZorbHandle* handle);
// A handle on the tokens of `text` (copied at once). Null text reads as an empty line.
TZorbHandle* tokStart(const char* text, const char* delimiters);
// The next token of the line, or null when none is left.
const char* tokNext(TZorbHandle* line);
// Releases a handle of either kind; null is ignored.
void libzorbFree(TZorbHandle* handle);
