#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

// Picture of an electronic seal: the type text, stored width and height (the seal standard's units, kept
// for display) and data bytes as read, and the ARGB image made from them. A value object.
class OfdSealPicture
{
public:
    // Seal pictures inside seal pictures that are OFD packages drawn at most.
    static const int kMaxOfdNesting = 2;
    // Renders the first page of an OFD package held in memory (the seal's picture data) to an image at the
    // export scale 5; a null image when the package cannot be opened or has no page.
    using OfdPictureRenderer = std::function<QImage(const QByteArray &package)>;

    // Registration point for the page renderer, which sits above this library; an empty function removes
    // it. Without one, pictures of type "ofd" keep an empty image.
    static void SetOfdPictureRenderer(const OfdPictureRenderer &renderer);
    static bool HasOfdPictureRenderer();

    // Keeps the fields and makes the image: an OFD package when the lower-case type contains "ofd",
    // otherwise any format the platform's image readers recognise from the data (PNG, JPEG, GIF, BMP …).
    // True when an image was made; the fields are kept either way.
    bool SetData(const QString &type, int width, int height, const QByteArray &data);

    QString GetType() const { return m_type; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    QByteArray GetData() const { return m_data; }
    // ARGB32 image; null when the data could not be turned into one.
    QImage GetImage() const { return m_image; }
    bool IsOfd() const;

    // Copy of the image in ARGB32 with every pure white pixel made fully transparent.
    static QImage MakeWhiteTransparent(const QImage &image);

private:
    QString m_type;
    int m_width = 0;
    int m_height = 0;
    QByteArray m_data;
    QImage m_image;
};
