// Tokenizer of text files: a file is read line by line, a line is split into tokens.
//
// Lexical rules:
// - Lines end with LF or CRLF; a final line without an end counts. A UTF-8 byte-order mark at
//   the start of the file is skipped. Lines may be of any length.
// - A line that is not valid UTF-8 is taken as Windows-1251 and handed out converted to UTF-8.
// - Reading stops at the first byte that no text holds (NUL, most C0 controls), at a UTF-16
//   byte-order mark, past kZorbMaxFileBytes, or when a line does not fit in memory; tokFileError
//   then tells why. A file may be a FIFO or another stream: it is read once, front to back.
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

// Most bytes a file is read to.
inline constexpr std::uint64_t kZorbMaxFileBytes = 256ULL << 20;

// Why the lines of a file ended early.
enum : std::int32_t {
    kZorbOk = 0,
    kZorbTooLarge = 1,   // more than the limit of bytes
    kZorbBinary = 2,     // a byte no text holds
    kZorbNoMemory = 3,   // a line too long for the memory
    kZorbReadError = 4,  // the system's read failed
    kZorbUtf16 = 5,      // a UTF-16 byte-order mark at the start
};

// A handle on the file's lines, or null when the file cannot be read or holds no byte. The
// delimiters are those of the lines' own tokStart calls and are not kept.
TZorbHandle* tokStartFile(const char* fileName, const char* delimiters);
// The same with a limit of bytes of its own.
TZorbHandle* tokStartFileLimited(const char* fileName, const char* delimiters,
                                 std::uint64_t maxBytes);
// kZorbOk, or why tokString stopped before the end of the file.
std::int32_t tokFileError(TZorbHandle* file);
// Advances to the next line: non-zero while there was one, zero at the end and after it (also
// when the file can no longer be read).
std::int32_t tokString(TZorbHandle* file);
// File handle: the current line ("" before the first tokString). Line handle: the token that
// tokNext returned last, or null before the first tokNext and after the last token.
const char* tokLast(TZorbHandle* handle);
// A handle on the tokens of `text` (copied at once), or null when there is no memory for the
// copy. Null text reads as an empty line.
TZorbHandle* tokStart(const char* text, const char* delimiters);
// The next token of the line, or null when none is left.
const char* tokNext(TZorbHandle* line);
// Releases a handle of either kind; null is ignored.
void libzorbFree(TZorbHandle* handle);
