#include "renderfixture.h"

#include <QPainter>

#include <cmath>

#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdviewmanage.h"

namespace {
const char *const kNs = "xmlns:ofd=\"http://www.ofdspec.org/2016\"";
}

RenderPackage &RenderPackage::PageSize(double widthMM, double heightMM)
{
    m_width = widthMM;
    m_height = heightMM;
    return *this;
}

RenderPackage &RenderPackage::Content(const QString &layersXml, const QString &beforeContentXml)
{
    m_layers = layersXml;
    m_beforeContent = beforeContentXml;
    return *this;
}

RenderPackage &RenderPackage::Resources(const QString &resXml)
{
    m_res = resXml;
    return *this;
}

RenderPackage &RenderPackage::Template(int id, const QString &layersXml, const QString &beforeContentXml)
{
    m_templates.append({id, layersXml, beforeContentXml});
    return *this;
}

RenderPackage &RenderPackage::PackageFile(const QString &path, const QByteArray &bytes)
{
    m_files.append(qMakePair(QLatin1Char('/') + path, bytes));
    return *this;
}

RenderPackage &RenderPackage::ResFile(const QString &name, const QByteArray &bytes)
{
    m_files.append(qMakePair(name, bytes));
    return *this;
}

QByteArray RenderPackage::Build() const
{
    PackageBuilder builder;
    builder.AddText(QStringLiteral("OFD.xml"),
                    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                   "<ofd:OFD %1 Version=\"1.0\" DocType=\"OFD\"><ofd:DocBody>"
                                   "<ofd:DocInfo><ofd:DocID>render</ofd:DocID></ofd:DocInfo>"
                                   "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
                        .arg(QLatin1String(kNs)));
    QString templates;
    for (const auto &t : m_templates)
        templates +=
            QStringLiteral("<ofd:TemplatePage ID=\"%1\" BaseLoc=\"Tpls/Tpl_%1/Content.xml\"/>").arg(t.id);
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Document %1><ofd:CommonData>"
                       "<ofd:MaxUnitID>1000</ofd:MaxUnitID><ofd:PageArea><ofd:PhysicalBox>0 0 %2 "
                       "%3</ofd:PhysicalBox></ofd:PageArea><ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
                       "%4</ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" "
                       "BaseLoc=\"Pages/Page_0/Content.xml\"/></ofd:Pages></ofd:Document>")
            .arg(QLatin1String(kNs))
            .arg(m_width)
            .arg(m_height)
            .arg(templates));
    builder.AddText(
        QStringLiteral("Doc_0/PublicRes.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Res %1 BaseLoc=\"Res\">%2</ofd:Res>")
            .arg(QLatin1String(kNs), m_res));
    builder.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
                    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Page %1>%2<ofd:Content>%3"
                                   "</ofd:Content></ofd:Page>")
                        .arg(QLatin1String(kNs), m_beforeContent, m_layers));
    for (const auto &t : m_templates) {
        builder.AddText(
            QStringLiteral("Doc_0/Tpls/Tpl_%1/Content.xml").arg(t.id),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Page %1>%2<ofd:Content>%3"
                           "</ofd:Content></ofd:Page>")
                .arg(QLatin1String(kNs), t.beforeContent, t.layers));
    }
    for (const auto &f : m_files) {
        if (f.first.startsWith(QLatin1Char('/')))
            builder.Add(f.first.mid(1), f.second);
        else
            builder.Add(QStringLiteral("Doc_0/Res/") + f.first, f.second);
    }
    return builder.Build();
}

QImage RenderPackage::Render(double dpi) const
{
    std::unique_ptr<OfdViewManage> manage = OpenPackage(Build());
    if (!manage)
        return QImage();
    return OfdPageRenderer::RenderPage(manage.get(), 0, 0, dpi);
}

std::unique_ptr<OfdViewManage> OpenPackage(const QByteArray &bytes)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(bytes))
        return nullptr;
    auto manage = std::make_unique<OfdViewManage>();
    if (!manage->SetFileReader(reader))
        return nullptr;
    return manage;
}

std::unique_ptr<OfdViewManage> OpenPackageFile(const QString &path)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(path))
        return nullptr;
    auto manage = std::make_unique<OfdViewManage>();
    if (!manage->SetFileReader(reader))
        return nullptr;
    return manage;
}

bool IsColor(const QImage &image, int x, int y, const QColor &expected, int tolerance)
{
    if (!image.valid(x, y))
        return false;
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - expected.red()) <= tolerance &&
           std::abs(c.green() - expected.green()) <= tolerance &&
           std::abs(c.blue() - expected.blue()) <= tolerance;
}

QString Describe(const QImage &image, int x, int y)
{
    if (!image.valid(x, y))
        return QStringLiteral("(%1,%2) outside").arg(x).arg(y);
    const QColor c = image.pixelColor(x, y);
    return QStringLiteral("(%1,%2)=rgb(%3,%4,%5)").arg(x).arg(y).arg(c.red()).arg(c.green()).arg(c.blue());
}

ImageDifference CompareImages(const QImage &a, const QImage &b, const QRect &ignore)
{
    ImageDifference result;
    if (a.isNull() || a.size() != b.size())
        return result;
    result.sameSize = true;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    qint64 count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (ignore.contains(col, row))
                continue;
            const int dr = std::abs(qRed(p[col]) - qRed(q[col]));
            const int dg = std::abs(qGreen(p[col]) - qGreen(q[col]));
            const int db = std::abs(qBlue(p[col]) - qBlue(q[col]));
            sum += dr + dg + db;
            ++count;
            if (std::max({dr, dg, db}) > 64)
                ++result.badPixels;
        }
    }
    result.similarity = count > 0 ? 1.0 - sum / (3.0 * 255.0 * double(count)) : 1.0;
    return result;
}
