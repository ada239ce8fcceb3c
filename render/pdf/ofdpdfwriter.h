#pragma once

#include <QByteArray>
#include <QVector>

class QIODevice;
class QString;

// The object structure of a PDF file, written to a device as the objects are finished: numbered
// objects, streams, the cross-reference table and the trailer. Object numbers may be reserved before
// their objects are written (a page names its parent before the page tree exists). The device is not
// owned; a failed write is remembered and reported by Finish.
class OfdPdfWriter
{
public:
    explicit OfdPdfWriter(QIODevice *out);

    // Writes the header; false when the device does not take it.
    bool Begin();
    // A new object number, to be written later.
    int Reserve();
    // Writes object id with body (a dictionary, an array, ...).
    void WriteObject(int id, const QByteArray &body);
    // Writes object id as a stream: dictionary entries (without << >>, without Length and Filter),
    // then data, deflated when compress is set and the data is not tiny.
    void WriteStream(int id, const QByteArray &entries, const QByteArray &data, bool compress = true);
    // Writes a stream whose data is already encoded with filter (a name such as "/DCTDecode").
    void WriteEncodedStream(int id, const QByteArray &entries, const QByteArray &filter,
                            const QByteArray &data);
    // Cross-reference table and trailer; every reserved object must have been written (those that
    // were not become free entries). False when anything could not be written.
    bool Finish(int catalog, int info);
    bool HasError() const { return m_error; }

    // Deflates data (zlib format, the speed level page content uses).
    static QByteArray Deflate(const QByteArray &data);

private:
    void Write(const QByteArray &bytes);
    void StartObject(int id);

    QIODevice *m_out;
    qint64 m_offset = 0;
    QVector<qint64> m_offsets; // by object number - 1; -1 while not written
    bool m_error = false;
};

// Pieces of PDF syntax.
namespace OfdPdfSyntax {
// A real number as PDF writes it: no exponent, at most decimals places, no trailing zeros.
void AppendNumber(QByteArray &out, double value, int decimals = 3);
QByteArray Number(double value, int decimals = 3);
// A text string: UTF-16BE with a byte order mark, hex encoded.
QByteArray TextString(const QString &text);
// A name object (with the slash) from any text; bytes outside printable ASCII are #-escaped.
QByteArray Name(const QByteArray &name);
// "id 0 R".
QByteArray Ref(int id);
} // namespace OfdPdfSyntax
