#pragma once

#include <QRectF>

#include <memory>

#include "model/content/ofdtypectm.h"

// The placement of one enclosing composite object: its boundary (millimetres) and its CTM, each
// optional.
class OfdVisualItemTransfer
{
public:
    OfdVisualItemTransfer() = default;
    OfdVisualItemTransfer(const OfdVisualItemTransfer &other);
    OfdVisualItemTransfer &operator=(const OfdVisualItemTransfer &other);

    void SetBoundary(const QRectF &boundary) { m_boundary = std::make_unique<QRectF>(boundary); }
    const QRectF *GetBoundary() const { return m_boundary.get(); }
    void SetCTM(const OfdTypeCTM &ctm) { m_ctm = std::make_unique<OfdTypeCTM>(ctm); }
    const OfdTypeCTM *GetCTM() const { return m_ctm.get(); }

private:
    std::unique_ptr<QRectF> m_boundary;
    std::unique_ptr<OfdTypeCTM> m_ctm;
};
