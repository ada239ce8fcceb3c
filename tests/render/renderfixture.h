#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class OfdViewManage;

// A one-document package made in a test and rendered through the page scene: page content,
// resources, templates and extra files are given as XML fragments.
class RenderPackage
{
public:
    // Page size in millimetres (default 100 × 100).
    RenderPackage &PageSize(double widthMM, double heightMM);
    // The layers of the page (what goes inside ofd:Content), and children of the page root before
    // the content (templates, Area).
    RenderPackage &Content(const QString &layersXml, const QString &beforeContentXml = QString());
    // Children of ofd:Res in the public resources (ColorSpaces, DrawParams, CompositeGraphicUnits,
    // MultiMedias ...), paths relative to Doc_0/Res.
    RenderPackage &Resources(const QString &resXml);
    // A template page (TemplatePage ID) with its own content layers, stored as
    // Doc_0/Tpls/Tpl_<id>/Content.xml, and children of its root before the content.
    RenderPackage &Template(int id, const QString &layersXml, const QString &beforeContentXml = QString());
    // Any other file of the package, path relative to Doc_0/Res.
    RenderPackage &ResFile(const QString &name, const QByteArray &bytes);
    // Any file of the package by its full package path.
    RenderPackage &PackageFile(const QString &path, const QByteArray &bytes);

    QByteArray Build() const;
    // Opens the package and renders page 1 at dpi; null image on failure.
    QImage Render(double dpi = 96) const;

private:
    double m_width = 100;
    double m_height = 100;
    QString m_layers;
    QString m_beforeContent;
    QString m_res;
    struct TemplateContent
    {
        int id;
        QString layers;
        QString beforeContent;
    };
    QList<TemplateContent> m_templates;
    QList<QPair<QString, QByteArray>> m_files;
};

// Opens package bytes (or a file) into a view manager; null when it cannot be read.
std::unique_ptr<OfdViewManage> OpenPackage(const QByteArray &bytes);
std::unique_ptr<OfdViewManage> OpenPackageFile(const QString &path);

// Pixel checks: the colour at (x, y) within tolerance per channel.
bool IsColor(const QImage &image, int x, int y, const QColor &expected, int tolerance = 40);
QString Describe(const QImage &image, int x, int y);

// Similarity of two pictures of equal size on white: 1 − mean(|ΔR|+|ΔG|+|ΔB|)/(3·255), and the
// count of pixels whose largest channel difference exceeds 64.
struct ImageDifference
{
    double similarity = 0;
    int badPixels = 0;
    bool sameSize = false;
};
ImageDifference CompareImages(const QImage &a, const QImage &b, const QRect &ignore = QRect());
