/*
 * Making a device the default: the policy-config class.
 *
 * UNDOCUMENTED. Windows offers no documented call that sets the default
 * audio device; the Sound control panel does it through a COM class of
 * its own, which is what this file reaches. The identifiers and the
 * place of the one method used are public knowledge, not a contract:
 *
 *  - Windows 7 to 11: class {870AF99C-171D-4F9E-AF0D-E63DF40C2BC9},
 *    interface {F8679F50-850A-41CF-9C72-430F290290C8}. Some Windows 10
 *    builds answer that interface with E_NOINTERFACE and answer
 *    {CA286FC3-91FD-42C3-8E9B-CAAFA66242E3} or
 *    {6BE54BE8-A068-4875-A49D-0C2966473B11} instead, with the same method
 *    table. SetDefaultEndpoint(PCWSTR deviceId, ERole role) comes after
 *    IUnknown's three methods and ten others: slot 13.
 *  - Windows Vista: class {294935CE-F637-4E7C-A41B-AB255460B862},
 *    interface {568B9108-44BF-40B4-9006-86AFE5B5A620}; the table lacks
 *    ResetDeviceFormat, so the method is one slot earlier: slot 12.
 *
 * Each (class, interface) pair is asked for in that order, the newest
 * first, the next class only when a class cannot be had. What a failure
 * looks like: CoCreateInstance fails (REGDB_E_CLASSNOTREG where a build
 * has no such class, E_NOINTERFACE where it knows none of the ids), or
 * SetDefaultEndpoint returns a failure code; either way nothing has
 * changed, and the caller reports a plain failure. A build that kept an
 * id but moved the method would be called in the wrong slot: no build
 * known does that, and the caller's look at the default afterwards
 * catches a call that did nothing.
 */
#include <windows.h>

#include <objbase.h>

#include <cstddef>

#include "platform/platform.h"

/* ---- The identifiers -------------------------------------------------- */

/* CPolicyConfigClient, Windows 7 and later. */
static const CLSID POLICY_CONFIG_CLASS = {
    0x870af99c,
    0x171d,
    0x4f9e,
    {0xaf, 0x0d, 0xe6, 0x3d, 0xf4, 0x0c, 0x2b, 0xc9}};
/* Its interface, Windows 7 to 11. */
static const IID POLICY_CONFIG_INTERFACE = {
    0xf8679f50,
    0x850a,
    0x41cf,
    {0x9c, 0x72, 0x43, 0x0f, 0x29, 0x02, 0x90, 0xc8}};
/* The ids some Windows 10 builds answer instead. */
static const IID POLICY_CONFIG_INTERFACE_10A = {
    0xca286fc3,
    0x91fd,
    0x42c3,
    {0x8e, 0x9b, 0xca, 0xaf, 0xa6, 0x62, 0x42, 0xe3}};
static const IID POLICY_CONFIG_INTERFACE_10B = {
    0x6be54be8,
    0xa068,
    0x4875,
    {0xa4, 0x9d, 0x0c, 0x29, 0x66, 0x47, 0x3b, 0x11}};
/* CPolicyConfigVistaClient, Windows Vista. */
static const CLSID POLICY_CONFIG_VISTA_CLASS = {
    0x294935ce,
    0xf637,
    0x4e7c,
    {0xa4, 0x1b, 0xab, 0x25, 0x54, 0x60, 0xb8, 0x62}};
static const IID POLICY_CONFIG_VISTA_INTERFACE = {
    0x568b9108,
    0x44bf,
    0x40b4,
    {0x90, 0x06, 0x86, 0xaf, 0xe5, 0xb5, 0xa6, 0x20}};

/* ---- The method tables ------------------------------------------------ */

typedef HRESULT(STDMETHODCALLTYPE *SetDefaultEndpointMethod)(void *self,
                                                             LPCWSTR deviceId,
                                                             int role);

/* Windows 7 and later: IUnknown, ten methods this file never calls (the
 * device formats, the processing period, the share mode and the
 * property values), then SetDefaultEndpoint. */
struct PolicyConfigMethods {
  void *unknown[3];
  void *notCalled[10];
  SetDefaultEndpointMethod setDefaultEndpoint;
};

/* Windows Vista: the same without ResetDeviceFormat. */
struct PolicyConfigVistaMethods {
  void *unknown[3];
  void *notCalled[9];
  SetDefaultEndpointMethod setDefaultEndpoint;
};

static_assert(offsetof(PolicyConfigMethods, setDefaultEndpoint) ==
                  13 * sizeof(void *),
              "slot 13");
static_assert(offsetof(PolicyConfigVistaMethods, setDefaultEndpoint) ==
                  12 * sizeof(void *),
              "slot 12");

/* ---- Which pair answered ---------------------------------------------- */

struct PolicyVariant {
  const CLSID *policyClass;
  const IID *policyInterface;
  int vista; /* the method one slot earlier */
};

/* In the order they are asked for; the index is the variant. */
static const PolicyVariant POLICY_VARIANTS[] = {
    {&POLICY_CONFIG_CLASS, &POLICY_CONFIG_INTERFACE, 0},
    {&POLICY_CONFIG_CLASS, &POLICY_CONFIG_INTERFACE_10A, 0},
    {&POLICY_CONFIG_CLASS, &POLICY_CONFIG_INTERFACE_10B, 0},
    {&POLICY_CONFIG_VISTA_CLASS, &POLICY_CONFIG_VISTA_INTERFACE, 1},
};

enum {
  POLICY_VARIANT_COUNT = sizeof POLICY_VARIANTS / sizeof POLICY_VARIANTS[0]
};

ComResult platformCreatePolicyConfig(ComObject *policy, uint32_t *variant) {
  *policy = nullptr;
  HRESULT result = REGDB_E_CLASSNOTREG;
  for (uint32_t k = 0; k < POLICY_VARIANT_COUNT; k++) {
    const PolicyVariant &pair = POLICY_VARIANTS[k];
    /* Another interface of a class that could not be had is not tried. */
    if (k > 0 && pair.policyClass == POLICY_VARIANTS[k - 1].policyClass &&
        result != E_NOINTERFACE)
      continue;
    result = CoCreateInstance(*pair.policyClass, nullptr, CLSCTX_INPROC_SERVER,
                              *pair.policyInterface, policy);
    if (SUCCEEDED(result) && *policy) {
      *variant = k;
      return result;
    }
    if (SUCCEEDED(result))
      result = E_POINTER;
  }
  return result;
}

ComResult platformSetDefaultEndpoint(ComObject policy, uint32_t variant,
                                     const uint16_t *deviceId, AudioRole role) {
  if (!policy || variant >= POLICY_VARIANT_COUNT)
    return E_INVALIDARG;
  void *const *table = *(void *const *const *)policy;
  SetDefaultEndpointMethod method =
      POLICY_VARIANTS[variant].vista
          ? ((const PolicyConfigVistaMethods *)table)->setDefaultEndpoint
          : ((const PolicyConfigMethods *)table)->setDefaultEndpoint;
  return method(policy, (LPCWSTR)deviceId, (int)role);
}
