#pragma once

#include <QList>
#include <QString>

class QXmlStreamReader;

// A colour space resource: its id, type ("RGB", "GRAY", "CMYK", compared exactly) and bits per
// component (8 when absent or 0).
class OfdTypeColorSpace
{
public:
    static const QString ColorSpaceType_RGB;  // "RGB"
    static const QString ColorSpaceType_GRAY; // "GRAY"
    static const QString ColorSpaceType_CMYK; // "CMYK"

    OfdTypeColorSpace() = default;
    OfdTypeColorSpace(int id, const QString &type, int bitsPerComponent = 8);
    virtual ~OfdTypeColorSpace();

    // Reads the ColorSpace element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    const QString &GetType() const { return m_type; }
    int GetBitsPerComponent() const { return m_bitsPerComponent; }

    bool IsRGB() const { return m_type == ColorSpaceType_RGB; }
    bool IsGRAY() const { return m_type == ColorSpaceType_GRAY; }
    bool IsCMYK() const { return m_type == ColorSpaceType_CMYK; }
    // True for 1, 2, 4 and 16 bits per component.
    bool IsNeedAdjustColorValue() const;
    // Scales components so that the largest code of the bit depth becomes 255 (in may equal out).
    void AdjustColorValue(const QList<float> &in, QList<float> &out) const;

private:
    int m_id = 0;
    QString m_type = ColorSpaceType_RGB;
    int m_bitsPerComponent = 8;
};
