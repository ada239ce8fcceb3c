#include "app/ofdparams.h"

const QString OfdParam::File_OfdRoot = QStringLiteral("OFD.xml");

QBrush *OfdViewParam::CreatTextSelectBrush()
{
    return new QBrush(QColor(8, 120, 215), Qt::SolidPattern);
}

QBrush *OfdViewParam::CreatTextSearchBrush()
{
    return new QBrush(QColor(255, 150, 50), Qt::SolidPattern);
}

QBrush *OfdViewParam::CreatCustomTagBrush()
{
    return new QBrush(QColor(0, 120, 215), Qt::SolidPattern);
}
