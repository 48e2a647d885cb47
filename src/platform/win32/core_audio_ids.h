/*
 * The Core Audio class and interface identifiers, written once for the
 * plug-in and the host kit. Defined here rather than taken from an import
 * library (uuid), which would bring along every GUID it holds.
 */
#ifndef VOLUME_CORE_AUDIO_IDS_H
#define VOLUME_CORE_AUDIO_IDS_H

#include <windows.h>

/* MMDeviceEnumerator, {BCDE0395-E52F-467C-8E3D-C4579291692E}. */
static const CLSID DEVICE_ENUMERATOR_CLASS = {
    0xbcde0395,
    0xe52f,
    0x467c,
    {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
/* IMMDeviceEnumerator. */
static const IID DEVICE_ENUMERATOR_INTERFACE = {
    0xa95664d2,
    0x9614,
    0x4f35,
    {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
/* IAudioEndpointVolume. */
static const IID ENDPOINT_VOLUME_INTERFACE = {
    0x5cdf2c82,
    0x841e,
    0x4546,
    {0x97, 0x22, 0x0c, 0xf7, 0x40, 0x78, 0x22, 0x9a}};
/* IAudioSessionManager2 (Windows 7 and later). */
static const IID SESSION_MANAGER_INTERFACE = {
    0x77aa99a0,
    0x1bd6,
    0x484f,
    {0x8b, 0xc7, 0x2c, 0x65, 0x4c, 0x9a, 0x9b, 0x6f}};
/* IAudioSessionControl2. */
static const IID SESSION_CONTROL2_INTERFACE = {
    0xbfb7ff88,
    0x7239,
    0x4fc9,
    {0x8f, 0xa2, 0x07, 0xc9, 0x50, 0xbe, 0x9c, 0x6d}};
/* ISimpleAudioVolume. */
static const IID SIMPLE_VOLUME_INTERFACE = {
    0x87ce5498,
    0x68d6,
    0x44e5,
    {0x92, 0x15, 0x6d, 0xa4, 0x7e, 0xf8, 0x83, 0xd8}};

/* PKEY_Device_FriendlyName: an endpoint's name as the Sound control panel
 * shows it. */
static const PROPERTYKEY DEVICE_FRIENDLY_NAME = {
    {0xa45c254e,
     0xdf1c,
     0x4efd,
     {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}},
    14};

#endif
