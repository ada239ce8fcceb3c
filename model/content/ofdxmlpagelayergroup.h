#pragma once

#include <QList>
#include <QString>

#include <memory>

class OfdTemplateInfo;
class OfdTypePageArea;
class OfdXmlPageLayer;

// The layers of one content file: the page's own ("Body") or one template's (its z-order). Owns its
// page area, template references and layers.
class OfdXmlPageLayerGroup
{
public:
    OfdXmlPageLayerGroup();
    ~OfdXmlPageLayerGroup();
    OfdXmlPageLayerGroup(const OfdXmlPageLayerGroup &) = delete;
    OfdXmlPageLayerGroup &operator=(const OfdXmlPageLayerGroup &) = delete;

    // 0 for the page's own content, 1 for a template's.
    int GetTemplateFlag() const { return m_templateFlag; }
    void SetTemplateFlag(int flag) { m_templateFlag = flag; }
    const QString &GetKind() const { return m_kind; }
    void SetKind(const QString &kind) { m_kind = kind; }

    OfdTypePageArea *GetPageArea() const { return m_pageArea.get(); }
    void SetPageArea(OfdTypePageArea *area);
    const QList<OfdTemplateInfo *> &GetTemplates() const { return m_templates; }
    void AddTemplate(OfdTemplateInfo *info) { m_templates.append(info); }
    const QList<OfdXmlPageLayer *> &GetLayers() const { return m_layers; }
    void AddLayer(OfdXmlPageLayer *layer) { m_layers.append(layer); }

private:
    int m_templateFlag = 0;
    QString m_kind = QStringLiteral("Body");
    std::unique_ptr<OfdTypePageArea> m_pageArea;
    QList<OfdTemplateInfo *> m_templates;
    QList<OfdXmlPageLayer *> m_layers;
};
