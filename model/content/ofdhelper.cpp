#include "model/content/ofdhelper.h"

#include <QDebug>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>

#include "app/qthelper.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/xml/xmlnode.h"
#include "model/xml/xmlnodeparse.h"

QString OfdHelper::GetAttrString(const QXmlStreamAttributes &attrs, QLatin1String name, const QString &def)
{
    if (!attrs.hasAttribute(name))
        return def;
    const QString value = attrs.value(name).toString();
    return value.isEmpty() ? def : value;
}

int OfdHelper::GetAttrInt(const QXmlStreamAttributes &attrs, QLatin1String name, int def)
{
    return StringToInt(attrs.value(name).toString(), def);
}

float OfdHelper::GetAttrFloat(const QXmlStreamAttributes &attrs, QLatin1String name, float def)
{
    return StringToFloat(attrs.value(name).toString(), def);
}

double OfdHelper::GetAttrDouble(const QXmlStreamAttributes &attrs, QLatin1String name, double def)
{
    return StringToDouble(attrs.value(name).toString(), def);
}

bool OfdHelper::GetAttrBool(const QXmlStreamAttributes &attrs, QLatin1String name, bool def)
{
    return StringToBool(attrs.value(name).toString(), def);
}

int OfdHelper::StringToInt(const QString &text, int def)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? def : ToInt(t);
}

float OfdHelper::StringToFloat(const QString &text, float def)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? def : float(ToDouble(t));
}

double OfdHelper::StringToDouble(const QString &text, double def)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? def : ToDouble(t);
}

bool OfdHelper::StringToBool(const QString &text, bool def)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return def;
    return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

namespace {
// Plain decimals ("12", "-4.25", ".5"), the numbers documents are made of, read without the
// locale machinery: at most 15 digits, so that the digits and the power of ten are both exact and
// their quotient is the correctly rounded value, the same the general reader gives. False for
// anything else (exponents, infinities, blanks, long digit strings), which that reader takes.
bool ReadPlainDecimal(const QChar *s, int n, double &value)
{
    static const double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int i = 0;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        negative = s[i++] == QLatin1Char('-');
    qint64 digits = 0;
    int count = 0;
    int fraction = -1; // digits after the point; -1 before a point
    for (; i < n; ++i) {
        const ushort c = s[i].unicode();
        if (c >= '0' && c <= '9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - '0');
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (count == 0)
        return false;
    const double v = fraction > 0 ? double(digits) / kPowers[fraction] : double(digits);
    value = negative ? -v : v;
    return true;
}
} // namespace

double OfdHelper::ToDouble(const QString &token)
{
    double fast = 0;
    if (ReadPlainDecimal(token.constData(), token.size(), fast))
        return fast;
    bool ok = false;
    const double v = token.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

int OfdHelper::ToInt(const QString &token)
{
    const QString t = token.trimmed();
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok)
        return v;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d) || d >= 2147483648.0 || d <= -2147483649.0)
        return 0;
    return int(d);
}

namespace {
// The blank-separated tokens of a list as references into the text: no string per token.
QVector<QStringRef> SplitListRefs(const QString &text)
{
    QVector<QStringRef> out;
    int start = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const bool space = i == text.size() || text.at(i).isSpace();
        if (space) {
            if (start >= 0)
                out.append(text.midRef(start, i - start));
            start = -1;
        } else if (start < 0) {
            start = i;
        }
    }
    return out;
}

double RefToDouble(const QStringRef &token)
{
    double fast = 0;
    if (ReadPlainDecimal(token.constData(), token.size(), fast))
        return fast;
    bool ok = false;
    const double v = token.toDouble(&ok);
    return ok ? v : 0.0;
}
} // namespace

QStringList OfdHelper::SplitList(const QString &text)
{
    QStringList out;
    for (const QStringRef &token : SplitListRefs(text))
        out << token.toString();
    return out;
}

QList<double> OfdHelper::ParseDoubleList(const QString &text)
{
    QList<double> out;
    for (const QStringRef &token : SplitListRefs(text))
        out << RefToDouble(token);
    return out;
}

QList<double> OfdHelper::ParseDeltaList(const QString &text)
{
    // Read token by token straight from the text: these lists hold one number per character.
    const QChar *chars = text.constData();
    const int size = text.size();
    int at = 0;
    auto next = [&](QStringRef &token) {
        while (at < size && chars[at].isSpace())
            ++at;
        if (at == size)
            return false;
        const int begin = at;
        while (at < size && !chars[at].isSpace())
            ++at;
        token = text.midRef(begin, at - begin);
        return true;
    };
    QList<double> out;
    QStringRef token;
    while (out.size() < kMaxDeltaCount && next(token)) {
        if (token.size() == 1 && (token.at(0) == QLatin1Char('g') || token.at(0) == QLatin1Char('G'))) {
            QStringRef countToken;
            QStringRef valueToken;
            if (!next(countToken) || !next(valueToken)) // a repetition without count and value adds nothing
                break;
            const double count = RefToDouble(countToken);
            const double value = double(float(RefToDouble(valueToken)));
            if (!(count >= 1)) // also NaN
                continue;
            const int room = kMaxDeltaCount - out.size();
            const int n = count >= room ? room : int(count);
            out.reserve(out.size() + n);
            for (int k = 0; k < n; ++k)
                out << value;
        } else {
            out << RefToDouble(token);
        }
    }
    return out;
}

QList<float> OfdHelper::ParseColorValue(const QString &text)
{
    const QVector<QStringRef> tokens = SplitListRefs(text);
    QList<float> out;
    auto hex = [](const QStringRef &digits) {
        bool ok = false;
        const qulonglong v = digits.toULongLong(&ok, 16);
        return ok ? float(v) : 0.0f;
    };
    if (tokens.size() == 1 && tokens[0].size() == 7 && tokens[0].startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint rgb = tokens[0].mid(1).toUInt(&ok, 16);
        if (ok) {
            out << float((rgb >> 16) & 0xff) << float((rgb >> 8) & 0xff) << float(rgb & 0xff);
            return out;
        }
    }
    for (const QStringRef &token : tokens) {
        if (token.startsWith(QLatin1Char('#')))
            out << hex(token.mid(1));
        else
            out << float(RefToDouble(token));
    }
    return out;
}

bool OfdHelper::PasrseRect(const QString &text, QRectF &rect)
{
    const QList<double> v = ParseDoubleList(text);
    bool ok = v.size() >= 4;
    for (int i = 0; ok && i < 4; ++i)
        ok = std::isfinite(float(v[i]));
    if (!ok) {
        if (QtHelper::IsShowDebugMessage())
            qDebug().noquote() << QStringLiteral("PasrseRect error! ") + text;
        rect = QRectF();
        return false;
    }
    rect = QRectF(double(float(v[0])), double(float(v[1])), double(float(v[2])), double(float(v[3])));
    return true;
}

QString OfdHelper::NumberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString OfdHelper::NumberTextF(float value)
{
    if (!std::isfinite(value))
        return NumberText(double(value));
    // The fewest significant digits that read back as the same float, written in shortest form.
    for (int precision = 1; precision < 9; ++precision) {
        const QString text = QString::number(double(value), 'g', precision);
        if (text.toFloat() == value)
            return NumberText(text.toDouble());
    }
    return NumberText(double(value));
}

QColor OfdHelper::CreateQColor(const OfdTypeFillColor &color, const OfdTypeColorSpace &space)
{
    QList<float> values = color.GetValues();
    if (space.IsNeedAdjustColorValue())
        space.AdjustColorValue(values, values);
    return CreateQColor(values, space, color.GetAlpha());
}

static int Component(float v)
{
    if (!(v > 0)) // negative and NaN
        return 0;
    return v >= 255 ? 255 : int(v);
}

QColor OfdHelper::CreateQColor(const QList<float> &values, const OfdTypeColorSpace &space, int alpha)
{
    QColor out(0, 0, 0);
    if (space.IsRGB()) {
        if (values.size() == 3)
            out = QColor(Component(values[0]), Component(values[1]), Component(values[2]));
    } else if (space.IsGRAY()) {
        if (values.size() == 1)
            out = QColor(Component(values[0]), Component(values[0]), Component(values[0]));
    } else if (space.IsCMYK()) {
        if (values.size() == 4)
            out = QtHelper::CMYK2RGB(Component(values[0]), Component(values[1]), Component(values[2]),
                                     Component(values[3]));
    }
    out.setAlpha(qBound(0, alpha, 255));
    return out;
}

XmlNode *OfdHelper::ReadCurrentElementTree(QXmlStreamReader &reader)
{
    if (!reader.isStartElement())
        return nullptr;
    auto *root = new XmlNode;
    const QXmlStreamNamespaceDeclarations decls = reader.namespaceDeclarations();
    if (!decls.isEmpty()) {
        QVector<NamePair> pairs;
        for (const QXmlStreamNamespaceDeclaration &d : decls)
            pairs.append(NamePair{d.prefix().toString(), d.namespaceUri().toString()});
        root->SetNameSpaceAttr(pairs);
    }
    root->SetQualifiedName(reader.qualifiedName().toString());
    if (!reader.namespaceUri().isEmpty())
        root->SetNameSpaceUrl(reader.namespaceUri().toString());
    for (const QXmlStreamAttribute &attr : reader.attributes())
        root->AddAttr(attr.name().toString(), attr.value().toString());
    // Each round reads one child subtree; a round that finds none has reached the element's end tag.
    for (;;) {
        XmlNodeParse parse;
        parse.ParseXml(reader, true);
        XmlNode *child = parse.DetachHeaderNode();
        if (!child)
            break;
        root->AddChild(child, false);
        if (reader.hasError())
            break;
    }
    root->ResetNodeId();
    return root;
}

QString GetTextDeltaList(const QList<double> &values)
{
    QString out;
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(' ');
        out += OfdHelper::NumberText(values[i]);
    }
    return out;
}
