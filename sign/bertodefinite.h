#pragma once

#include <QByteArray>

// Re-encodes BER with definite lengths, the form the node reader decodes: indefinite lengths (ended by
// two zero bytes) are replaced by their lengths and OCTET STRINGs made of segments are joined. Other
// choices of BER (length octets longer than needed) are kept. Empty when the input is not BER, holds
// more than maxNodes elements or nests deeper than 64 levels; trailing bytes after the first element
// are dropped.
QByteArray BerToDefinite(const QByteArray &ber, int maxNodes = 100000);
