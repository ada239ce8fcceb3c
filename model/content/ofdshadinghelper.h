#pragma once

#include <QPointF>
#include <QString>

class XmlNode;

// Attribute reading shared by the shadings and patterns: non-finite numbers are replaced by the
// default and magnitudes above 1e8 mm are clamped.

// "x y" in millimetres; (0, 0) when absent or malformed.
QPointF ReadShadingPoint(const XmlNode *node, const QString &name);
double ReadShadingNumber(const XmlNode *node, const QString &name, double def);
