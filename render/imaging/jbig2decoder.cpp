#include "render/imaging/jbig2decoder.h"

#include "render/imaging/imaginglog.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

extern "C" {
#include <jbig2.h>
}

namespace {

const char kFileId[] = "\x97JB2\r\n\x1a\n";
const int kFileIdLength = 8;

// Segment types of the JBIG2 standard that may appear in a stream.
bool IsKnownSegmentType(int type)
{
    switch (type) {
    case 0:
    case 4:
    case 6:
    case 7:
    case 16:
    case 20:
    case 22:
    case 23:
    case 36:
    case 38:
    case 39:
    case 40:
    case 42:
    case 43:
    case 48:
    case 49:
    case 50:
    case 51:
    case 52:
    case 53:
    case 62:
        return true;
    default:
        return false;
    }
}

quint32 ReadBe32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// One segment header as read from the stream; offsets are byte positions in the whole buffer.
struct SegmentHeader
{
    quint32 number = 0;
    int type = 0;
    quint32 page = 0;
    quint32 dataLength = 0; // 0xffffffff: unknown (immediate generic region ended by a marker)
    qint64 headerLength = 0;
};

// Reads the segment header at pos; false when it runs past the end or is malformed.
bool ReadSegmentHeader(const uchar *data, qint64 size, qint64 pos, SegmentHeader &out)
{
    qint64 p = pos;
    if (size - p < 6)
        return false;
    out.number = ReadBe32(data + p);
    const uchar flags = data[p + 4];
    out.type = flags & 0x3f;
    if (!IsKnownSegmentType(out.type))
        return false;
    const bool longPage = (flags & 0x40) != 0;
    p += 5;
    quint64 referredCount = data[p] >> 5;
    if (referredCount == 5 || referredCount == 6)
        return false;
    if (referredCount == 7) {
        if (size - p < 4)
            return false;
        referredCount = ReadBe32(data + p) & 0x1fffffffu;
        p += 4 + qint64((referredCount + 8) / 8);
    } else {
        p += 1;
    }
    const qint64 referredSize = out.number <= 256 ? 1 : (out.number <= 65536 ? 2 : 4);
    if (referredCount > quint64(size)) // cannot fit; also keeps the product below in range
        return false;
    p += qint64(referredCount) * referredSize;
    const qint64 pageSize = longPage ? 4 : 1;
    if (p < 0 || size - p < pageSize + 4)
        return false;
    out.page = longPage ? ReadBe32(data + p) : data[p];
    p += pageSize;
    out.dataLength = ReadBe32(data + p);
    p += 4;
    out.headerLength = p - pos;
    return true;
}

// What a walk over the segments found out before any decoding.
struct StreamSurvey
{
    bool complete = false;  // every segment lies inside the buffer
    bool endOfPage = false; // an end-of-page segment was seen (or the data runs to its end marker)
    bool pageInfo = false;
    quint32 width = 0;
    quint32 height = 0;        // 0xffffffff: striped page of unknown height
    int regions = 0;           // region segments (immediate and intermediate)
    quint64 largestRegion = 0; // pixels of the largest region bitmap declared
};

bool IsRegionSegment(int type)
{
    return (type >= 20 && type <= 23) || (type >= 36 && type <= 43);
}

// Region segments start with the region's width and height; the decoder allocates a bitmap of that size.
void NoteRegion(const uchar *data, qint64 dataPos, qint64 available, StreamSurvey &survey)
{
    survey.regions++;
    if (available < 8)
        return;
    const quint64 pixels = quint64(ReadBe32(data + dataPos)) * ReadBe32(data + dataPos + 4);
    survey.largestRegion = std::max(survey.largestRegion, pixels);
}

void NotePageInfo(const uchar *data, qint64 dataPos, quint32 length, StreamSurvey &survey)
{
    if (survey.pageInfo || length < 19)
        return;
    survey.pageInfo = true;
    survey.width = ReadBe32(data + dataPos);
    survey.height = ReadBe32(data + dataPos + 4);
}

// Walks sequentially organised segments from pos; stops at the end of the buffer or an end-of-file segment.
void SurveySequential(const uchar *data, qint64 size, qint64 pos, StreamSurvey &survey, int maxSegments)
{
    int count = 0;
    while (pos < size && count++ < maxSegments) {
        SegmentHeader header;
        if (!ReadSegmentHeader(data, size, pos, header))
            return;
        pos += header.headerLength;
        if (header.dataLength == 0xffffffffu) {
            // Only an immediate generic region may leave its length open; its end marker is found by
            // the decoder, so the rest of the buffer is taken as that region.
            if (header.type != 38 && header.type != 39)
                return;
            NoteRegion(data, pos, size - pos, survey);
            survey.endOfPage = true;
            survey.complete = true;
            return;
        }
        if (qint64(header.dataLength) > size - pos)
            return;
        if (header.type == 48)
            NotePageInfo(data, pos, header.dataLength, survey);
        else if (header.type == 49)
            survey.endOfPage = true;
        else if (IsRegionSegment(header.type))
            NoteRegion(data, pos, header.dataLength, survey);
        pos += header.dataLength;
        if (header.type == 51)
            break;
    }
    survey.complete = pos <= size;
}

// Walks the random-access organisation: all headers (ending with end-of-file), then the data parts.
void SurveyRandomAccess(const uchar *data, qint64 size, qint64 pos, StreamSurvey &survey)
{
    // Data parts follow all headers, so page and region information is read once the headers are known.
    struct Pending
    {
        int type;
        qint64 offset; // from the start of the data parts
        quint32 length;
    };
    std::vector<Pending> pending;
    qint64 dataTotal = 0;
    bool sawEndOfFile = false;
    while (pos < size) {
        SegmentHeader header;
        if (!ReadSegmentHeader(data, size, pos, header) || header.dataLength == 0xffffffffu)
            return;
        pos += header.headerLength;
        if (header.type == 48 || IsRegionSegment(header.type))
            pending.push_back(Pending{header.type, dataTotal, header.dataLength});
        else if (header.type == 49)
            survey.endOfPage = true;
        dataTotal += header.dataLength;
        if (header.type == 51) {
            sawEndOfFile = true;
            break;
        }
    }
    if (!sawEndOfFile || dataTotal > size - pos)
        return;
    for (const Pending &item : pending) {
        if (item.type == 48)
            NotePageInfo(data, pos + item.offset, item.length, survey);
        else
            NoteRegion(data, pos + item.offset, item.length, survey);
    }
    survey.complete = true;
}

// Allocator that refuses to hand out more than a fixed budget in total; jbig2dec passes the embedded
// Jbig2Allocator back, so it must stay the first member.
struct BoundedAllocator
{
    Jbig2Allocator base;
    size_t budget;
    size_t used;
};

const size_t kBlockHeader = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t)
                                                                       : sizeof(size_t);

void *BoundedAlloc(Jbig2Allocator *allocator, size_t size)
{
    auto *self = reinterpret_cast<BoundedAllocator *>(allocator);
    if (size > self->budget - self->used || size > std::numeric_limits<size_t>::max() - kBlockHeader)
        return nullptr;
    auto *block = static_cast<unsigned char *>(std::malloc(size + kBlockHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof(size_t));
    self->used += size;
    return block + kBlockHeader;
}

void BoundedFree(Jbig2Allocator *allocator, void *p)
{
    if (!p)
        return;
    auto *self = reinterpret_cast<BoundedAllocator *>(allocator);
    unsigned char *block = static_cast<unsigned char *>(p) - kBlockHeader;
    size_t size = 0;
    std::memcpy(&size, block, sizeof(size_t));
    self->used -= size;
    std::free(block);
}

void *BoundedRealloc(Jbig2Allocator *allocator, void *p, size_t size)
{
    if (!p)
        return BoundedAlloc(allocator, size);
    auto *self = reinterpret_cast<BoundedAllocator *>(allocator);
    unsigned char *block = static_cast<unsigned char *>(p) - kBlockHeader;
    size_t oldSize = 0;
    std::memcpy(&oldSize, block, sizeof(size_t));
    if (size > oldSize && (size - oldSize > self->budget - self->used ||
                           size > std::numeric_limits<size_t>::max() - kBlockHeader))
        return nullptr;
    auto *grown = static_cast<unsigned char *>(std::realloc(block, size + kBlockHeader));
    if (!grown)
        return nullptr;
    std::memcpy(grown, &size, sizeof(size_t));
    self->used = self->used - oldSize + size;
    return grown + kBlockHeader;
}

// Collects jbig2dec's complaints: fatal ones fail the decode, the first few go to the debug log.
struct ErrorSink
{
    int fatal = 0;
    int logged = 0;
};

void OnJbig2Error(void *data, const char *msg, Jbig2Severity severity, uint32_t segment)
{
    auto *sink = static_cast<ErrorSink *>(data);
    if (severity == JBIG2_SEVERITY_FATAL)
        sink->fatal++;
    if (severity >= JBIG2_SEVERITY_WARNING && sink->logged < 8) {
        sink->logged++;
        qCDebug(lcOfdImaging) << "jbig2dec:" << (severity == JBIG2_SEVERITY_FATAL ? "error" : "warning")
                              << "segment" << segment << msg;
    }
}

QImage ToQImage(const Jbig2Image *page)
{
    if (!page || !page->data || page->width == 0 || page->height == 0 || page->width > INT_MAX ||
        page->height > INT_MAX)
        return QImage();
    QImage image(int(page->width), int(page->height), QImage::Format_Mono);
    if (image.isNull())
        return QImage();
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const size_t rowBytes = std::min<size_t>(page->stride, size_t(image.bytesPerLine()));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), page->data + size_t(y) * page->stride, rowBytes);
    return image;
}

} // namespace

bool Jbig2Decoder::HasFileHeader(const QByteArray &bytes)
{
    return bytes.size() >= kFileIdLength && std::memcmp(bytes.constData(), kFileId, kFileIdLength) == 0;
}

bool Jbig2Decoder::LooksLikeEmbeddedStream(const QByteArray &bytes)
{
    if (HasFileHeader(bytes))
        return false;
    StreamSurvey survey;
    SurveySequential(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size(), 0, survey, 4);
    return survey.pageInfo;
}

QImage Jbig2Decoder::Decode(const QByteArray &bytes, qint64 maxPixels)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qint64 size = bytes.size();
    const bool fileForm = HasFileHeader(bytes);

    StreamSurvey survey;
    if (fileForm) {
        if (size < kFileIdLength + 1)
            return QImage();
        const uchar flags = data[kFileIdLength];
        if (flags & 0xfc) // reserved bits set: not a file this decoder understands
            return QImage();
        const qint64 start = kFileIdLength + 1 + ((flags & 0x02) ? 0 : 4);
        if (flags & 0x01)
            SurveySequential(data, size, start, survey, std::numeric_limits<int>::max());
        else
            SurveyRandomAccess(data, size, start, survey);
    } else {
        SurveySequential(data, size, 0, survey, std::numeric_limits<int>::max());
    }
    if (!survey.complete || !survey.pageInfo || survey.regions == 0 || survey.width == 0 ||
        survey.height == 0) {
        qCDebug(lcOfdImaging) << "JBIG2: incomplete or empty stream of" << size << "bytes";
        return QImage();
    }
    if (fileForm && !survey.endOfPage)
        return QImage(); // a file that stops before its page ends has been cut short
    const bool heightKnown = survey.height != 0xffffffffu;
    if (qint64(survey.width) > maxPixels ||
        (heightKnown && qint64(survey.width) * qint64(survey.height) > maxPixels) ||
        survey.largestRegion > quint64(maxPixels)) {
        qCDebug(lcOfdImaging) << "JBIG2: page" << survey.width << "x" << survey.height << "exceeds the limit";
        return QImage();
    }

    // The page bitmap takes one bit per pixel; decoding contexts and region bitmaps need a few times that.
    const qint64 budget = std::min<qint64>(maxPixels / 2 + (32 << 20), qint64(1) << 40);
    BoundedAllocator allocator{{BoundedAlloc, BoundedFree, BoundedRealloc}, size_t(budget), 0};
    ErrorSink sink;
    Jbig2Ctx *ctx = jbig2_ctx_new(&allocator.base, fileForm ? Jbig2Options(0) : JBIG2_OPTIONS_EMBEDDED,
                                  nullptr, OnJbig2Error, &sink);
    if (!ctx)
        return QImage();
    QImage result;
    const int status = jbig2_data_in(ctx, data, size_t(size));
    if (status >= 0 && sink.fatal == 0) {
        Jbig2Image *page = jbig2_page_out(ctx);
        if (!page && !fileForm && jbig2_complete_page(ctx) >= 0 && sink.fatal == 0)
            page = jbig2_page_out(ctx);
        if (page) {
            if (qint64(page->width) * qint64(page->height) <= maxPixels && sink.fatal == 0)
                result = ToQImage(page);
            jbig2_release_page(ctx, page);
        }
    }
    jbig2_ctx_free(ctx);
    return result;
}
