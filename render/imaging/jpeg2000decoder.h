#pragma once

#include <QByteArray>
#include <QImage>

// Decodes JPEG 2000 images (JP2 box files and raw codestreams) through OpenJPEG from memory.
class Jpeg2000Decoder
{
public:
    // True when the bytes start with the JP2 signature box (00 00 00 0C 6A 50 20 20 0D 0A 87 0A).
    static bool HasBoxSignature(const QByteArray &bytes);
    // True when the bytes start with a codestream's SOC and SIZ markers (FF 4F FF 51).
    static bool HasCodestreamSignature(const QByteArray &bytes);
    // The image as Format_Grayscale8, Format_RGB32 or Format_ARGB32; null when the data is malformed or
    // truncated, or when the image has more than maxPixels pixels (checked before decoding).
    // Components of any precision are scaled to 8 bits; sub-sampled components are stretched; sYCC is
    // converted to RGB and CMYK to RGB without a colour profile.
    static QImage Decode(const QByteArray &bytes, qint64 maxPixels);
};
