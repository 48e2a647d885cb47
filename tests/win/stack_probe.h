/*
 * Calls a function with 32-bit arguments pushed right to left, as a
 * 32-bit host does, and measures how much of the stack the callee left
 * behind: 0 for a function that pops its own arguments (__stdcall), four
 * bytes per argument for one that leaves them to the caller (__cdecl).
 * A C++ caller cannot see this: the compiler trusts the declared
 * convention, and a mismatch only shows up later as a corrupted frame.
 */
#ifndef VOLUME_WIN_TESTS_STACK_PROBE_H
#define VOLUME_WIN_TESTS_STACK_PROBE_H

#include <cstdint>

extern "C" int32_t stackBytesLeftByCall(const void *function,
                                        const uint32_t *arguments,
                                        uint32_t argumentCount,
                                        uint32_t *returned);

#endif
