#include "render/pdf/ofdpdfwriter.h"

#include <QIODevice>
#include <QString>

#include <cmath>
#include <cstring>
#include <zlib.h>

namespace {
// zlib's fastest level: page content compresses to within a few per cent of the default level in a
// fraction of the time, and large documents are written page after page.
const int kDeflateLevel = Z_BEST_SPEED;
// Streams shorter than this are stored as they are.
const int kCompressMin = 64;
} // namespace

OfdPdfWriter::OfdPdfWriter(QIODevice *out) : m_out(out) {}

void OfdPdfWriter::Write(const QByteArray &bytes)
{
    if (m_error || bytes.isEmpty())
        return;
    if (!m_out || m_out->write(bytes) != bytes.size()) {
        m_error = true;
        return;
    }
    m_offset += bytes.size();
}

bool OfdPdfWriter::Begin()
{
    // The comment's high bytes tell transfer programs that the file is binary.
    Write(QByteArray("%PDF-1.5\n%\xe2\xe3\xcf\xd3\n"));
    return !m_error;
}

int OfdPdfWriter::Reserve()
{
    m_offsets.append(-1);
    return m_offsets.size();
}

void OfdPdfWriter::StartObject(int id)
{
    if (id < 1 || id > m_offsets.size()) {
        m_error = true;
        return;
    }
    m_offsets[id - 1] = m_offset;
    QByteArray head = QByteArray::number(id);
    head += " 0 obj\n";
    Write(head);
}

void OfdPdfWriter::WriteObject(int id, const QByteArray &body)
{
    StartObject(id);
    Write(body);
    Write(QByteArray("\nendobj\n"));
}

void OfdPdfWriter::WriteStream(int id, const QByteArray &entries, const QByteArray &data, bool compress)
{
    if (compress && data.size() >= kCompressMin) {
        const QByteArray packed = Deflate(data);
        if (!packed.isEmpty()) {
            WriteEncodedStream(id, entries, QByteArrayLiteral("/FlateDecode"), packed);
            return;
        }
    }
    WriteEncodedStream(id, entries, QByteArray(), data);
}

void OfdPdfWriter::WriteEncodedStream(int id, const QByteArray &entries, const QByteArray &filter,
                                      const QByteArray &data)
{
    StartObject(id);
    QByteArray head = "<<";
    head += entries;
    if (!filter.isEmpty())
        head += "/Filter" + filter;
    head += "/Length " + QByteArray::number(data.size()) + ">>\nstream\n";
    Write(head);
    Write(data);
    Write(QByteArray("\nendstream\nendobj\n"));
}

bool OfdPdfWriter::Finish(int catalog, int info)
{
    const qint64 xref = m_offset;
    QByteArray table = "xref\n0 " + QByteArray::number(m_offsets.size() + 1) + "\n0000000000 65535 f \n";
    table.reserve(table.size() + 20 * m_offsets.size());
    char entry[32];
    for (qint64 offset : qAsConst(m_offsets)) {
        if (offset < 0)
            std::snprintf(entry, sizeof entry, "0000000000 65535 f \n");
        else
            std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(offset));
        table += entry;
    }
    table += "trailer\n<</Size " + QByteArray::number(m_offsets.size() + 1) + "/Root " +
             OfdPdfSyntax::Ref(catalog);
    if (info > 0)
        table += "/Info " + OfdPdfSyntax::Ref(info);
    table += ">>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    Write(table);
    return !m_error;
}

QByteArray OfdPdfWriter::Deflate(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(int(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
                  kDeflateLevel) != Z_OK)
        return QByteArray();
    out.resize(int(size));
    return out;
}

namespace OfdPdfSyntax {
void AppendNumber(QByteArray &out, double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0;
    // Readers keep reals in a few bytes; far beyond any page they mean nothing anyway.
    value = qBound(-3.0e7, value, 3.0e7);
    static const double scales[] = {1, 10, 100, 1000, 10000, 100000};
    decimals = qBound(0, decimals, 5);
    const double scale = scales[decimals];
    long long fixed = std::llround(value * scale);
    char buffer[32];
    char *end = buffer + sizeof buffer;
    char *p = end;
    const bool negative = fixed < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(fixed) : fixed;
    // Fraction digits, trailing zeros left out.
    int places = decimals;
    while (places > 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        --places;
    }
    for (int i = 0; i < places; ++i) {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (places > 0)
        *--p = '.';
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (negative)
        *--p = '-';
    out.append(p, int(end - p));
}

QByteArray Number(double value, int decimals)
{
    QByteArray out;
    AppendNumber(out, value, decimals);
    return out;
}

QByteArray TextString(const QString &text)
{
    QByteArray out = "<FEFF";
    static const char hex[] = "0123456789ABCDEF";
    for (QChar c : text) {
        const ushort u = c.unicode();
        out += hex[(u >> 12) & 15];
        out += hex[(u >> 8) & 15];
        out += hex[(u >> 4) & 15];
        out += hex[u & 15];
    }
    out += '>';
    return out;
}

QByteArray Name(const QByteArray &name)
{
    QByteArray out = "/";
    static const char hex[] = "0123456789ABCDEF";
    for (char ch : name) {
        const uchar c = uchar(ch);
        if (c <= 32 || c >= 127 || std::strchr("#()<>[]{}/%", c)) {
            out += '#';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

QByteArray Ref(int id)
{
    return QByteArray::number(id) + " 0 R";
}
} // namespace OfdPdfSyntax
