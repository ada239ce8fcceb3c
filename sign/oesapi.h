#pragma once

// The OES function set of a seal-provider library, as both sides see it: the reader resolves these
// names with QLibrary and calls them through the function types below; the test seal provider declares
// its exported functions with the same types, so caller and library cannot disagree on a signature.
//
// Conventions of every function:
// - the result is 0 on success, otherwise a code of the provider (the reader passes it on unchanged);
// - a text argument is the UTF-8 bytes of the text and their count (no terminating zero counted);
// - a byte argument is the bytes and their count;
// - an output buffer comes with a pointer to its length (two-call form): called with a null buffer, the
//   provider stores the length it needs and returns 0; called with a buffer of at least *length bytes,
//   it fills it and stores the count written; a buffer that is too small gives a provider code and the
//   needed length in *length.

extern "C" {

// Name, company, version and extension text of the provider: four output texts.
typedef int OES_GetProviderInfo_t(unsigned char *name, int *nameLength, unsigned char *company,
                                  int *companyLength, unsigned char *version, int *versionLength,
                                  unsigned char *extend, int *extendLength);
// The seal list: zero-terminated UTF-8 texts taken in pairs, seal identifier then seal name.
typedef int OES_GetSealList_t(unsigned char *list, int *listLength);
// The SES_Seal of a seal identifier.
typedef int OES_GetSeal_t(const unsigned char *sealId, int sealIdLength, unsigned char *seal,
                          int *sealLength);
// The signing time the provider will use, as text.
typedef int OES_GetSignDateTime_t(unsigned char *time, int *timeLength);
// The signature method (algorithm identifier) the provider signs with, as dotted text.
typedef int OES_GetSignMethod_t(unsigned char *method, int *methodLength);
// Opens access to the seals with a PIN.
typedef int OES_Login_t(const unsigned char *pin, int pinLength);
// Signs a digest with a seal; the output is the signed value (SES_Signature).
typedef int OES_Sign_t(const unsigned char *sealId, int sealIdLength, const unsigned char *documentProperty,
                       int documentPropertyLength, const unsigned char *digest, int digestLength,
                       const unsigned char *signMethod, int signMethodLength,
                       const unsigned char *signDateTime, int signDateTimeLength, unsigned char *signedValue,
                       int *signedValueLength);
// Verifies a signed value against a digest; online is 1 or 0.
typedef int OES_Verify_t(const unsigned char *sealData, int sealDataLength,
                         const unsigned char *documentProperty, int documentPropertyLength,
                         const unsigned char *digest, int digestLength, const unsigned char *signMethod,
                         int signMethodLength, const unsigned char *signDateTime, int signDateTimeLength,
                         const unsigned char *signedValue, int signedValueLength, int online);
// The provider's text for one of its codes.
typedef int OES_GetErrMessage_t(int errorCode, unsigned char *message, int *messageLength);

// Second generation of the interface (OESV4Helper); nothing in the reader uses it.
// Name, company, version and extension text, as OES_GetProviderInfo.
typedef int OESV4_GetProviderInfo_t(unsigned char *name, int *nameLength, unsigned char *company,
                                    int *companyLength, unsigned char *version, int *versionLength,
                                    unsigned char *extend, int *extendLength);
// Opens a session; the handle belongs to the provider and stays valid while the library is loaded.
typedef int OESV4_OpenSession_t(void **session);
// The seal list of a session, as OES_GetSealList.
typedef int OESV4_GetSealList_t(void *session, unsigned char *list, int *listLength);
}

// Code of every helper operation that needs the library while none is loaded (or it lacks the function).
constexpr int OES_NOT_LOADED = 0x20000;
// Code of a helper operation whose provider reported a length below 0 or beyond OES_MAX_BUFFER.
constexpr int OES_BAD_LENGTH = 0x20001;
// Largest output buffer the helpers allocate, in bytes.
constexpr int OES_MAX_BUFFER = 256 * 1024 * 1024;

// The fixed six-digit PIN with which the reader logs in to sign and verify; the test provider accepts
// no other.
constexpr char OES_FIXED_PIN[] = "246810";
