#pragma once

#include <QRectF>

#include <memory>

class QXmlStreamReader;

// The page boxes of an Area element; only the physical box (millimetres) is kept.
class OfdTypePageArea
{
public:
    OfdTypePageArea();
    virtual ~OfdTypePageArea();
    OfdTypePageArea(const OfdTypePageArea &) = delete;
    OfdTypePageArea &operator=(const OfdTypePageArea &) = delete;

    // Reads the Area/PageArea element the reader is on, to its end tag. A later PhysicalBox replaces
    // an earlier one; one that does not hold four numbers is ignored.
    virtual void ParseXml(QXmlStreamReader &reader);

    // Null when the element had no usable PhysicalBox.
    const QRectF *GetPhysicalBox() const { return m_physicalBox.get(); }
    void SetPhysicalBox(const QRectF &box) { m_physicalBox = std::make_unique<QRectF>(box); }

private:
    std::unique_ptr<QRectF> m_physicalBox;
};
