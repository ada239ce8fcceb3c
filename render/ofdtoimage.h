#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QSharedPointer>

#include <memory>

class OfdFileReader;
class OfdViewManage;

// Renders an OFD package held in memory (the picture of a seal, say) into page pictures, through the
// same page scene as the reader. Owns the documents it parsed.
class OfdToImage
{
public:
    OfdToImage();
    ~OfdToImage();
    OfdToImage(const OfdToImage &) = delete;
    OfdToImage &operator=(const OfdToImage &) = delete;

    // Opens and parses the package; false when it cannot be opened.
    bool ParseOfdData(const QByteArray &data);
    // Replaces the documents by those of reader and parses every page of the first one.
    void SetOfdFileReader(const QSharedPointer<OfdFileReader> &reader);
    // Prepares one picture per page of the first document.
    void CreatePagesContent();
    int GetPageCount() const;
    int GetImageCount() const { return m_imageCount; }
    // Page index at zoom (1.0 is the page's natural pixel size); null when out of range.
    QPixmap GetImage(int index, float zoom) const;

    // The first page at zoom 5 with white made transparent: the picture of a seal stored as a package.
    static QImage RenderSealPicture(const QByteArray &package);

private:
    std::unique_ptr<OfdViewManage> m_viewManage;
    int m_imageCount = 0;
};
