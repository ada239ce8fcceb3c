#include "model/content/ofdvisualitemtransfer.h"

OfdVisualItemTransfer::OfdVisualItemTransfer(const OfdVisualItemTransfer &other)
{
    *this = other;
}

OfdVisualItemTransfer &OfdVisualItemTransfer::operator=(const OfdVisualItemTransfer &other)
{
    if (this == &other)
        return *this;
    m_boundary = other.m_boundary ? std::make_unique<QRectF>(*other.m_boundary) : nullptr;
    m_ctm = other.m_ctm ? std::make_unique<OfdTypeCTM>(*other.m_ctm) : nullptr;
    return *this;
}
