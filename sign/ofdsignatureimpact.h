#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class OfdFile;
class OfdXmlSignature;

// Which signatures of a document a change of package files would break: those with a reference
// to a changed file whose references still match now (a signature that already fails is not
// broken by the change).
namespace OfdSignatureImpact {
// The signatures (in list order) that the change of these package paths breaks.
QList<OfdXmlSignature *> GetBrokenBy(OfdFile *document, const QStringList &changedPaths);
// The paths among changedPaths that one of the signature's references names.
QStringList CoveredPaths(OfdXmlSignature *signature, const QStringList &changedPaths);
// After the change was written over the opened package: each signature it broke is told which of
// its files changed, so that its verdict no longer rests on the bytes read before the save.
void MarkWritten(OfdFile *document, const QStringList &changedPaths);
// How the user knows a signature: its identifier with the seal's and the signer's names.
QString Describe(OfdXmlSignature *signature);
} // namespace OfdSignatureImpact
