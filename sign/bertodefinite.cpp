#include "sign/bertodefinite.h"

#include "sign/derencoder.h"

namespace {

const int kMaxDepth = 64;

struct Reader
{
    const QByteArray &data;
    int nodes = 0;
    int maxNodes = 0;
};

// One element at pos: appends its definite form to out and moves pos past it; false on malformed input.
// changed is set when the element's bytes differ from the input's.
bool Convert(Reader &r, int &pos, int end, int depth, QByteArray &out, bool &changed,
             quint8 *tagOut = nullptr);

// Elements from pos until end (definite) or until an end-of-contents mark (indefinite).
bool ConvertContents(Reader &r, int &pos, int end, bool indefinite, int depth, QByteArray &content,
                     bool joinOctets, bool &changed)
{
    while (true) {
        if (indefinite) {
            if (pos + 1 >= end)
                return false;
            if (r.data.at(pos) == '\0' && r.data.at(pos + 1) == '\0') {
                pos += 2;
                return true;
            }
        } else if (pos >= end) {
            return pos == end;
        }
        QByteArray element;
        quint8 tag = 0;
        if (!Convert(r, pos, end, depth + 1, element, changed, &tag))
            return false;
        if (joinOctets) {
            // A segment is itself an OCTET STRING, now primitive: keep its content only.
            if ((tag & 0x1F) != 4 || element.size() < 2)
                return false;
            const quint8 lengthOctet = quint8(element.at(1));
            const int header = 2 + ((lengthOctet & 0x80) ? (lengthOctet & 0x7F) : 0);
            content += element.mid(header);
        } else {
            content += element;
        }
    }
}

bool Convert(Reader &r, int &pos, int end, int depth, QByteArray &out, bool &changed, quint8 *tagOut)
{
    if (depth > kMaxDepth || ++r.nodes > r.maxNodes || pos + 1 >= end)
        return false;
    const quint8 identifier = quint8(r.data.at(pos));
    if ((identifier & 0x1F) == 0x1F)
        return false; // multi-octet tags are not used by the structures read here
    const bool constructed = identifier & 0x20;
    const quint8 lengthOctet = quint8(r.data.at(pos + 1));
    int header = 2;
    qint64 length = lengthOctet & 0x7F;
    const bool indefinite = lengthOctet == 0x80;
    if ((lengthOctet & 0x80) && !indefinite) {
        const int count = lengthOctet & 0x7F;
        if (count > 4 || pos + 2 + count > end)
            return false;
        length = 0;
        for (int i = 0; i < count; ++i)
            length = (length << 8) | quint8(r.data.at(pos + 2 + i));
        header += count;
    }
    if (indefinite && !constructed)
        return false;
    int content = pos + header;
    if (!indefinite && content + length > end)
        return false;
    if (tagOut)
        *tagOut = identifier;

    if (!constructed) {
        out += r.data.mid(pos, header + int(length));
        pos = content + int(length);
        return true;
    }
    const bool joinOctets = (identifier & 0xC0) == 0 && (identifier & 0x1F) == 4;
    QByteArray inner;
    const int innerEnd = indefinite ? end : content + int(length);
    bool innerChanged = false;
    if (!ConvertContents(r, content, innerEnd, indefinite, depth, inner, joinOctets, innerChanged))
        return false;
    if (!indefinite && !joinOctets && !innerChanged) {
        // Untouched elements keep their bytes, so that signatures over them still verify.
        out += r.data.mid(pos, content - pos);
    } else {
        out += DerEncoder::Element(joinOctets ? quint8(identifier & ~0x20) : identifier, inner);
        changed = true;
    }
    pos = content;
    return true;
}

} // namespace

QByteArray BerToDefinite(const QByteArray &ber, int maxNodes)
{
    Reader reader{ber, 0, maxNodes};
    QByteArray out;
    int pos = 0;
    bool changed = false;
    if (!Convert(reader, pos, ber.size(), 0, out, changed))
        return QByteArray();
    return out;
}
