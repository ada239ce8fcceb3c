#pragma once

// Seals, signed values, SM2 keys and certificates of both seal standards for the tests: the builders of
// tools/testseal under the names the tests use, plus what only tests need (OFD pictures, a sample
// Signature.xml, a quiet log).

#include "tools/testseal/testseal.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace SealFixtures {

using TestSeal::Base64Sm3;
using TestSeal::BuildSeal;
using TestSeal::BuildSignedValue;
using TestSeal::BuiltSeal;
using TestSeal::BuiltSignedValue;
using TestSeal::EncodeSignature;
using TestSeal::GifBytes;
using TestSeal::ImageBytes;
using TestSeal::OpenSslCertificatePublicKey;
using TestSeal::OpenSslVerify;
using TestSeal::SealOptions;
using TestSeal::SignatureIntegerLengths;
using TestSeal::SignedValueOptions;
using TestSeal::Sm2Digest;
using TestSeal::Sm2TestKey;
using TestSeal::Sm3;

// A minimal OFD package with the given number of empty pages.
QByteArray OfdPackageBytes(int pages = 1);

// Options of a seal whose picture is an OFD package of the given page count.
SealOptions OfdPictureSealOptions(int type = 2, int pages = 1);

// A small Signature.xml; its Base64 SM3 digest is the expected digest of a signed value over it.
QByteArray SampleSignatureXml();

// Drops debug and warning output (parser traces, image reader complaints) while it lives; for loops
// over thousands of damaged inputs.
class QuietLog
{
public:
    QuietLog();
    ~QuietLog();
    QuietLog(const QuietLog &) = delete;
    QuietLog &operator=(const QuietLog &) = delete;

private:
    QtMessageHandler m_previous;
};

} // namespace SealFixtures
