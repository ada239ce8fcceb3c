#include "render/ofdtoimage.h"

#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "render/imaging/qtimagehelper.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdviewmanage.h"

OfdToImage::OfdToImage() = default;
OfdToImage::~OfdToImage() = default;

bool OfdToImage::ParseOfdData(const QByteArray &data)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(data))
        return false;
    SetOfdFileReader(reader);
    CreatePagesContent();
    return true;
}

void OfdToImage::SetOfdFileReader(const QSharedPointer<OfdFileReader> &reader)
{
    m_viewManage = std::make_unique<OfdViewManage>();
    m_viewManage->SetFileReader(reader);
    m_viewManage->TryParseAllPage(0);
}

void OfdToImage::CreatePagesContent()
{
    m_imageCount += GetPageCount();
}

int OfdToImage::GetPageCount() const
{
    OfdFile *document = m_viewManage ? m_viewManage->GetOfdFile(0) : nullptr;
    return document ? document->GetPageCount() : 0;
}

QPixmap OfdToImage::GetImage(int index, float zoom) const
{
    if (!m_viewManage || index < 0 || index >= GetPageCount() || !(zoom > 0))
        return QPixmap();
    const QImage image =
        OfdPageRenderer::RenderPage(m_viewManage.get(), 0, index, OfdConvert::Px_PerInch * zoom);
    return QPixmap::fromImage(image);
}

QImage OfdToImage::RenderSealPicture(const QByteArray &package)
{
    OfdToImage renderer;
    if (!renderer.ParseOfdData(package) || renderer.GetImageCount() == 0)
        return QImage();
    QImage image = renderer.GetImage(0, 5).toImage();
    if (image.isNull())
        return image;
    QtImageHelper::MakeTransparent(image, Qt::white);
    return image;
}
