#include "model/content/ofdconvert.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QTransform>

#include <cmath>

#include "model/content/ofdtypectm.h"

double OfdConvert::Px_PerInch = 96.0;
double OfdConvert::PxOfOneMM = 96.0 / 25.4;
double OfdConvert::MMOfOnePx = 25.4 / 96.0;

void OfdConvert::Init()
{
    double dpi = 96.0;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            dpi = screen->logicalDotsPerInch();
    }
    Init(dpi);
}

void OfdConvert::Init(double pxPerInch)
{
    if (!std::isfinite(pxPerInch) || pxPerInch <= 0)
        return;
    Px_PerInch = pxPerInch;
    PxOfOneMM = Px_PerInch / MM_PerInch;
    MMOfOnePx = MM_PerInch / Px_PerInch;
}

void OfdConvert::OfdMMToPixel(QRectF &r)
{
    r = QRectF(r.x() * PxOfOneMM, r.y() * PxOfOneMM, r.width() * PxOfOneMM, r.height() * PxOfOneMM);
}

void OfdConvert::OfdPixelToMM(QRectF &r)
{
    r = QRectF(r.x() / PxOfOneMM, r.y() / PxOfOneMM, r.width() / PxOfOneMM, r.height() / PxOfOneMM);
}

QRectF OfdConvert::OfdPixelToMM2(const QRectF &r)
{
    QRectF out = r;
    OfdPixelToMM(out);
    return out;
}

void OfdConvert::ToQTransform(const OfdTypeCTM &ctm, QTransform &out)
{
    if (!ctm.IsValidate()) {
        out.reset();
        return;
    }
    out.setMatrix(ctm.A(), ctm.B(), 0, ctm.C(), ctm.D(), 0, OfdMMToPixel(ctm.E()), OfdMMToPixel(ctm.F()), 1);
}

double OfdConvert::GetFontSizeMM(const QFont &font)
{
    if (font.pixelSize() > 0)
        return OfdPixelToMM(double(font.pixelSize()));
    if (font.pointSizeF() > 0)
        return OfdPixelToMM(PointSizeToPixelSize(font.pointSizeF()));
    return 0;
}

int OfdConvert::ToQtFontWeight(int weight)
{
    switch (weight) {
    case 100:
        return 0;
    case 200:
        return 12;
    case 300:
        return 25;
    case 500:
        return 57;
    case 600:
        return 63;
    case 700:
        return 75;
    case 800:
        return 81;
    case 900:
        return 87;
    default:
        return 50;
    }
}
