#include "code_page.h"

#include <windows.h>

enum { CODE_PAGE_SHIFT_JIS = 932 };

std::string inCodePage932(const std::wstring &text) {
  if (text.empty())
    return std::string();
  int length =
      WideCharToMultiByte(CODE_PAGE_SHIFT_JIS, 0, text.data(), (int)text.size(),
                          nullptr, 0, nullptr, nullptr);
  std::string bytes((size_t)length, '\0');
  WideCharToMultiByte(CODE_PAGE_SHIFT_JIS, 0, text.data(), (int)text.size(),
                      &bytes[0], length, nullptr, nullptr);
  return bytes;
}
