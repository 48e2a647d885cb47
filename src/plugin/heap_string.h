/*
 * The strings handed to the host, each a heap block of its own that the
 * plug-in frees when the host gives the record back.
 */
#ifndef VOLUME_HEAP_STRING_H
#define VOLUME_HEAP_STRING_H

/* A heap copy of exactly the string's length plus one, or null. */
char *copyString(const char *text);

#endif
