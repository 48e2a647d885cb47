/*
 * Japanese text as the host sees it: code page 932 (Shift JIS) bytes.
 */
#ifndef VOLUME_WIN_TESTS_CODE_PAGE_H
#define VOLUME_WIN_TESTS_CODE_PAGE_H

#include <string>

/* The UTF-16 text converted by the system's own code page 932 table. */
std::string inCodePage932(const std::wstring &text);

#endif
