#include "sign/ofdsealpicture.h"

namespace {

OfdSealPicture::OfdPictureRenderer &Renderer()
{
    static OfdSealPicture::OfdPictureRenderer renderer;
    return renderer;
}

} // namespace

void OfdSealPicture::SetOfdPictureRenderer(const OfdPictureRenderer &renderer)
{
    Renderer() = renderer;
}

bool OfdSealPicture::HasOfdPictureRenderer()
{
    return bool(Renderer());
}

bool OfdSealPicture::IsOfd() const
{
    return m_type.toLower().contains(QLatin1String("ofd"));
}

bool OfdSealPicture::SetData(const QString &type, int width, int height, const QByteArray &data)
{
    m_type = type;
    m_width = width;
    m_height = height;
    m_data = data;
    m_image = QImage();
    if (IsOfd()) {
        // A seal picture that is an OFD package may itself carry signed seals with OFD pictures; only
        // kMaxOfdNesting levels are drawn, so that a package nested in itself ends.
        static int nesting = 0;
        if (Renderer() && !data.isEmpty() && nesting < kMaxOfdNesting) {
            ++nesting;
            const QImage page = Renderer()(data);
            --nesting;
            if (!page.isNull())
                m_image = MakeWhiteTransparent(page);
        }
    } else {
        QImage loaded;
        if (!data.isEmpty() && loaded.loadFromData(data))
            m_image = loaded.convertToFormat(QImage::Format_ARGB32);
    }
    return !m_image.isNull();
}

QImage OfdSealPicture::MakeWhiteTransparent(const QImage &image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                line[x] = 0;
        }
    }
    return out;
}
