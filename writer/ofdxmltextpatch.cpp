#include "writer/ofdxmltextpatch.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

bool OfdXmlTextPatch::Load(const QByteArray &bytes)
{
    m_loaded = false;
    m_bytes = bytes;
    m_elements.clear();
    m_rootNamespaces.clear();
    m_edits.clear();
    // A byte-order mark is not part of the text (the decoder drops it); it is written back as found.
    m_bom = bytes.startsWith("\xef\xbb\xbf");
    const QByteArray body = m_bom ? bytes.mid(3) : bytes;
    m_text = QString::fromUtf8(body);
    if (body.isEmpty() || m_text.toUtf8() != body)
        return false;

    QXmlStreamReader reader(m_text);
    QList<int> open;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.hasError())
            return false;
        const int after = int(reader.characterOffset());
        if (token == QXmlStreamReader::StartDocument) {
            const QString encoding = reader.documentEncoding().toString();
            if (!encoding.isEmpty() && encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0)
                return false;
        } else if (token == QXmlStreamReader::StartElement) {
            Element e;
            e.qualifiedName = reader.qualifiedName().toString();
            e.localName = reader.name().toString();
            e.prefix = reader.prefix().toString();
            e.depth = open.size() + 1;
            e.parent = open.isEmpty() ? -1 : open.last();
            e.startEnd = after;
            // No '<' can stand inside a start tag, so the last one before its end begins it.
            e.start = m_text.lastIndexOf(QLatin1Char('<'), after - 1);
            if (e.start < 0 || m_text.midRef(e.start + 1, e.qualifiedName.size()) != e.qualifiedName)
                return false;
            if (open.isEmpty()) {
                for (const QXmlStreamNamespaceDeclaration &ns : reader.namespaceDeclarations())
                    m_rootNamespaces.append({ns.prefix().toString(), ns.namespaceUri().toString()});
            }
            open.append(m_elements.size());
            m_elements.append(e);
        } else if (token == QXmlStreamReader::EndElement) {
            if (open.isEmpty())
                return false;
            Element &e = m_elements[open.takeLast()];
            if (after == e.startEnd && m_text.midRef(after - 2, 2) == QLatin1String("/>")) {
                e.selfClosing = true;
                e.endStart = after - 2;
            } else {
                e.endStart = m_text.lastIndexOf(QLatin1Char('<'), after - 1);
                if (e.endStart < e.startEnd || m_text.midRef(e.endStart, 2) != QLatin1String("</"))
                    return false;
            }
            e.end = after;
        }
    }
    if (reader.hasError() || m_elements.isEmpty())
        return false;
    m_loaded = true;
    return true;
}

QList<int> OfdXmlTextPatch::GetChildren(int element, const QString &localName) const
{
    QList<int> out;
    for (int i = element + 1; i < m_elements.size(); ++i) {
        if (m_elements[i].start >= m_elements.value(element).end)
            break;
        if (m_elements[i].parent == element && (localName.isEmpty() || m_elements[i].localName == localName))
            out.append(i);
    }
    return out;
}

QString OfdXmlTextPatch::GetRootPrefixOf(const QString &uri) const
{
    for (const auto &ns : m_rootNamespaces) {
        if (ns.second == uri)
            return ns.first;
    }
    return QString();
}

QString OfdXmlTextPatch::GetRootNamespaceUri(const QString &prefix) const
{
    for (const auto &ns : m_rootNamespaces) {
        if (ns.first == prefix)
            return ns.second;
    }
    return QString();
}

QString OfdXmlTextPatch::GetInnerText(int element) const
{
    const Element &e = m_elements.at(element);
    return e.selfClosing ? QString() : m_text.mid(e.startEnd, e.endStart - e.startEnd);
}

QString OfdXmlTextPatch::GetStartTag(int element) const
{
    const Element &e = m_elements.at(element);
    return m_text.mid(e.start, e.startEnd - e.start);
}

void OfdXmlTextPatch::AddEdit(int from, int to, const QString &text)
{
    m_edits.append({from, to, text, m_edits.size()});
}

void OfdXmlTextPatch::AppendChildText(int element, const QString &text)
{
    const Element &e = m_elements.at(element);
    if (e.selfClosing) {
        // Opened once: later appends go in front of the end tag made here.
        const QString endTag = QStringLiteral("</%1>").arg(e.qualifiedName);
        for (Edit &edit : m_edits) {
            if (edit.from == e.endStart && edit.to == e.end && edit.text.endsWith(endTag)) {
                edit.text.insert(edit.text.size() - endTag.size(), text);
                return;
            }
        }
        AddEdit(e.endStart, e.end, QStringLiteral(">") + text + endTag);
        return;
    }
    AddEdit(e.endStart, e.endStart, text);
}

void OfdXmlTextPatch::InsertBefore(int element, const QString &text)
{
    AddEdit(m_elements.at(element).start, m_elements.at(element).start, text);
}

void OfdXmlTextPatch::RemoveElement(int element)
{
    const Element &e = m_elements.at(element);
    int from = e.start;
    while (from > 0 && m_text.at(from - 1).isSpace())
        --from;
    AddEdit(from, e.end, QString());
}

void OfdXmlTextPatch::SetAttribute(int element, const QString &name, const QString &value)
{
    const Element &e = m_elements.at(element);
    const QString tag = GetStartTag(element);
    const QRegularExpression attr(
        QStringLiteral("\\s%1\\s*=\\s*(\"[^\"]*\"|'[^']*')").arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch match = attr.match(tag);
    if (match.hasMatch()) {
        AddEdit(e.start + match.capturedStart(1), e.start + match.capturedEnd(1),
                QStringLiteral("\"%1\"").arg(Escape(value)));
        return;
    }
    // After the name, so that the tag's own end ('>' or '/>') and its attributes stay as they are.
    AddEdit(e.start + 1 + e.qualifiedName.size(), e.start + 1 + e.qualifiedName.size(),
            QStringLiteral(" %1=\"%2\"").arg(name, Escape(value)));
}

void OfdXmlTextPatch::SetInnerText(int element, const QString &text)
{
    const Element &e = m_elements.at(element);
    if (e.selfClosing)
        AddEdit(e.endStart, e.end, QStringLiteral(">") + text + QStringLiteral("</%1>").arg(e.qualifiedName));
    else
        AddEdit(e.startEnd, e.endStart, text);
}

QByteArray OfdXmlTextPatch::GetBytes() const
{
    if (m_edits.isEmpty())
        return m_bytes;
    QList<Edit> edits = m_edits;
    // From the end of the text backwards, so that earlier offsets stay valid; at one place a
    // replacement goes before the insertions, and insertions keep their call order.
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        if (a.from != b.from)
            return a.from > b.from;
        if ((a.to > a.from) != (b.to > b.from))
            return a.to > a.from;
        return a.order > b.order;
    });
    QString text = m_text;
    int limit = text.size();
    for (const Edit &edit : edits) {
        if (edit.to > limit)
            continue; // inside a range already replaced or removed
        text.replace(edit.from, edit.to - edit.from, edit.text);
        limit = edit.from;
    }
    return m_bom ? QByteArray("\xef\xbb\xbf") + text.toUtf8() : text.toUtf8();
}

QString OfdXmlTextPatch::Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}
