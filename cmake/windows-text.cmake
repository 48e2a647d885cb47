# Writes a text file the way Notepad and the Windows profile reader on a
# Japanese Windows take it: CRLF line ends and, for Japanese text, code page
# 932 (Shift_JIS), the system's ANSI code page there. No byte order mark:
# the ANSI profile reader does not know one, and it would stick to the
# first line if a user ever made that a section header.
#
#   cmake -DINPUT=<utf-8 file> -DOUTPUT=<file> [-DCODE_PAGE=CP932] -P windows-text.cmake
#
# The sources stay UTF-8 with LF line ends in the repository.
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(NOT CODE_PAGE)
  if(NOT text MATCHES "^[\t\r\n -~]*$")
    message(FATAL_ERROR "${INPUT} is to stay ASCII but holds other characters")
  endif()
  file(WRITE "${OUTPUT}" "${text}")
  return()
endif()
file(WRITE "${OUTPUT}.utf-8" "${text}")
# glibc's CP932 is Microsoft's table (0x8160 is U+FF5E, as Windows has it).
execute_process(COMMAND iconv -f UTF-8 -t ${CODE_PAGE}
                INPUT_FILE "${OUTPUT}.utf-8" OUTPUT_FILE "${OUTPUT}"
                RESULT_VARIABLE status ERROR_VARIABLE error)
file(REMOVE "${OUTPUT}.utf-8")
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${INPUT} cannot be written in ${CODE_PAGE}: ${error}")
endif()
