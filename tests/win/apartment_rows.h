/*
 * The three COM states a host's thread can be in when it calls a command,
 * one list for every Windows test that runs commands through Core Audio,
 * and the state a thread is in.
 */
#ifndef VOLUME_APARTMENT_ROWS_H
#define VOLUME_APARTMENT_ROWS_H

#include <windows.h>

#include <objbase.h>

struct ApartmentRow {
  const char *name;
  DWORD hostModel; /* how the host entered COM, or NO_COM: it did not */
};

const DWORD NO_COM = ~0u;

const ApartmentRow APARTMENT_ROWS[] = {
    {"NoCom", NO_COM},
    {"SingleThreaded", COINIT_APARTMENTTHREADED},
    {"MultiThreaded", COINIT_MULTITHREADED},
};

/* The apartment of the calling thread: an APTTYPE, or -1 for none. */
static inline int threadApartment(void) {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (FAILED(CoGetApartmentType(&type, &qualifier)))
    return -1;
  return (int)type;
}

#endif
