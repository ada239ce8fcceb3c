#include "render/ofdpdftounicode.h"

#include <QChar>
#include <QFile>

namespace OfdPdfToUnicode {

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A <XXXX> token at at (four hex digits) mended in place.
void FixToken(QByteArray &text, int at)
{
    uint cp = 0;
    for (int i = 1; i <= 4; ++i) {
        const int v = HexValue(text.at(at + i));
        if (v < 0)
            return;
        cp = cp * 16 + uint(v);
    }
    const uint ideograph = IdeographOf(cp);
    if (!ideograph)
        return;
    const QByteArray hex = QByteArray::number(ideograph, 16).toUpper().rightJustified(4, '0');
    for (int i = 0; i < 4; ++i)
        text[at + 1 + i] = hex.at(i);
}

// The destinations of one "beginbf… … endbf…" section: for bfchar the second token of each pair,
// for bfrange the third token or every token of the bracketed list.
void FixSection(QByteArray &text, int from, int to, bool range)
{
    int position = 0; // tokens seen in the current entry
    bool inList = false;
    for (int i = from; i < to; ++i) {
        const char c = text.at(i);
        if (c == '[') {
            inList = true;
            continue;
        }
        if (c == ']') {
            inList = false;
            position = 0;
            continue;
        }
        if (c != '<')
            continue;
        const int close = text.indexOf('>', i);
        if (close < 0 || close >= to)
            return;
        const bool destination = inList || (range ? position == 2 : position == 1);
        if (destination && close - i == 5)
            FixToken(text, i);
        if (!inList)
            position = (position + 1) % (range ? 3 : 2);
        i = close;
    }
}
} // namespace

uint IdeographOf(uint cp)
{
    if (cp < 0x2E80 || cp > 0x2FDF)
        return 0;
    if (cp < 0x2F00) {
        // The radicals supplement has no decomposition: the ideographs that CJK fonts draw with the
        // same glyph (read off the Noto Sans and Serif CJK and AR PL faces), those of the Basic Multilingual
        // Plane.
        static const struct
        {
            ushort radical;
            ushort ideograph;
        } kSupplement[] = {
            {0x2E82, 0x4E5B}, {0x2E83, 0x4E5A}, {0x2E85, 0x4EBB}, {0x2E89, 0x5202}, {0x2E8B, 0x353E},
            {0x2E8E, 0x5140}, {0x2E8F, 0x5C23}, {0x2E90, 0x5C22}, {0x2E92, 0x5DF3}, {0x2E93, 0x5E7A},
            {0x2E94, 0x5F51}, {0x2E95, 0x5F50}, {0x2E96, 0x5FC4}, {0x2E98, 0x624C}, {0x2E99, 0x6535},
            {0x2E9B, 0x65E1}, {0x2E9E, 0x6B7A}, {0x2E9F, 0x6BCD}, {0x2EA0, 0x6C11}, {0x2EA1, 0x6C35},
            {0x2EA3, 0x706C}, {0x2EA4, 0x722B}, {0x2EA6, 0x4E2C}, {0x2EA8, 0x72AD}, {0x2EAB, 0x7F52},
            {0x2EAD, 0x793B}, {0x2EAF, 0x7CF9}, {0x2EB0, 0x7E9F}, {0x2EB1, 0x7F53}, {0x2EB2, 0x7F52},
            {0x2EB3, 0x34C1}, {0x2EB9, 0x8002}, {0x2EBA, 0x8080}, {0x2EBE, 0x8279}, {0x2EBF, 0x8279},
            {0x2EC1, 0x864E}, {0x2EC2, 0x8864}, {0x2EC3, 0x8980}, {0x2EC4, 0x897F}, {0x2EC5, 0x89C1},
            {0x2EC6, 0x89D2}, {0x2EC8, 0x8BA0}, {0x2EC9, 0x8D1D}, {0x2ECB, 0x8F66}, {0x2ECC, 0x8FB6},
            {0x2ECD, 0x8FB6}, {0x2ECE, 0x8FB6}, {0x2ED0, 0x9485}, {0x2ED1, 0x9577}, {0x2ED2, 0x9578},
            {0x2ED3, 0x957F}, {0x2ED4, 0x95E8}, {0x2ED6, 0x961D}, {0x2ED8, 0x9752}, {0x2ED9, 0x97E6},
            {0x2EDA, 0x9875}, {0x2EDB, 0x98CE}, {0x2EDC, 0x98DE}, {0x2EDD, 0x98DF}, {0x2EDF, 0x98E0},
            {0x2EE0, 0x9963}, {0x2EE2, 0x9A6C}, {0x2EE3, 0x9AA8}, {0x2EE4, 0x9B3C}, {0x2EE5, 0x9C7C},
            {0x2EE6, 0x9E1F}, {0x2EE7, 0x5364}, {0x2EE8, 0x9EA6}, {0x2EE9, 0x9EC4}, {0x2EEA, 0x9EFE},
            {0x2EEB, 0x6589}, {0x2EEC, 0x9F50}, {0x2EED, 0x6B6F}, {0x2EEE, 0x9F7F}, {0x2EEF, 0x7ADC},
            {0x2EF0, 0x9F99}, {0x2EF1, 0x9F9C}, {0x2EF2, 0x4E80}, {0x2EF3, 0x9F9F}};
        for (const auto &entry : kSupplement) {
            if (entry.radical == cp)
                return entry.ideograph;
        }
        return 0;
    }
    // Kangxi radicals: the compatibility decomposition names the ideograph.
    const QString decomposed = QChar(ushort(cp)).decomposition();
    if (decomposed.size() != 1 || QChar(ushort(cp)).decompositionTag() != QChar::Compat)
        return 0;
    const uint target = decomposed.at(0).unicode();
    return target >= 0x3400 ? target : 0;
}

QByteArray FixCMap(const QByteArray &cmap)
{
    QByteArray text = cmap;
    static const char *const kinds[][2] = {{"beginbfchar", "endbfchar"}, {"beginbfrange", "endbfrange"}};
    for (int k = 0; k < 2; ++k) {
        for (int at = text.indexOf(kinds[k][0]); at >= 0; at = text.indexOf(kinds[k][0], at + 1)) {
            const int end = text.indexOf(kinds[k][1], at);
            if (end < 0)
                break;
            FixSection(text, at, end, k == 1);
        }
    }
    return text;
}

bool FixFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    // The maps stand with the fonts; slices that overlap by more than a map is long keep memory
    // flat for long documents.
    const qint64 slice = 8 << 20;
    const qint64 overlap = 1 << 20;
    for (qint64 offset = 0; offset < file.size(); offset += slice - overlap) {
        if (!file.seek(offset))
            return false;
        const QByteArray bytes = file.read(slice);
        int at = bytes.indexOf("begincmap");
        while (at >= 0) {
            const int end = bytes.indexOf("endcmap", at);
            if (end < 0)
                break; // the next slice sees it whole
            const QByteArray fixed = FixCMap(bytes.mid(at, end - at));
            if (fixed != bytes.mid(at, end - at)) {
                if (!file.seek(offset + at) || file.write(fixed) != fixed.size())
                    return false;
            }
            at = bytes.indexOf("begincmap", end);
        }
        if (offset + bytes.size() >= file.size())
            break;
    }
    return file.flush();
}

Filter::Filter(QIODevice *target) : m_target(target)
{
    open(QIODevice::WriteOnly);
}

qint64 Filter::readData(char *, qint64)
{
    return -1;
}

qint64 Filter::writeData(const char *data, qint64 size)
{
    // The writer hands each map over in one piece.
    const QByteArray chunk = QByteArray::fromRawData(data, int(size));
    if (chunk.contains("begincmap") && chunk.contains("endcmap")) {
        const QByteArray fixed = FixCMap(chunk);
        return m_target->write(fixed) == fixed.size() ? size : -1;
    }
    return m_target->write(data, size);
}

} // namespace OfdPdfToUnicode
