#include "render/ofdvisualitemtext.h"

#include <QHash>
#include <QMutex>
#include <QPainter>

#include <cmath>
#include <memory>

#include "model/content/ofdconvert.h"
#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypetextcode.h"
#include "model/content/ofdtypetextcodemanage.h"
#include "render/fonts/fontsubstitution.h"
#include "render/ofdpagescene.h"
#include "render/ofdvisualsource.h"
#include "render/pdf/ofdpdfengine.h"
#include "render/textglyphlayout.h"

namespace {

// Marks painted beneath the characters.
const QColor kTextSelectColor(8, 120, 215);
const QColor kTextSearchColor(255, 150, 50);
const QColor kCustomTagColor(0, 120, 215);

// A colour element was read for the object (not the default stroke colour).
bool HasOwnColor(const OfdTypeFillColor &color)
{
    return color.IsSet() && color.GetColorSpaceId() != -2;
}

// The strings of single characters and their case-folded forms, made once per thread on first use:
// BMP characters in pages of 256, the rest by code point.
struct CharStrings
{
    struct Entry
    {
        QString text;
        QString folded;
    };
    std::unique_ptr<Entry[]> pages[256];
    QHash<uint, Entry> others;

    const Entry &Get(uint ucs4)
    {
        Entry *entry = nullptr;
        if (ucs4 > 0xffff) {
            entry = &others[ucs4];
        } else {
            std::unique_ptr<Entry[]> &page = pages[ucs4 >> 8];
            if (!page)
                page.reset(new Entry[256]);
            entry = &page[ucs4 & 0xff];
        }
        if (entry->text.isNull()) {
            if (QChar::requiresSurrogates(ucs4)) {
                const QChar pair[2] = {QChar(QChar::highSurrogate(ucs4)), QChar(QChar::lowSurrogate(ucs4))};
                entry->text = QString(pair, 2);
            } else {
                entry->text = QString(QChar(ushort(ucs4)));
            }
            entry->folded = entry->text.toCaseFolded();
        }
        return *entry;
    }
};

CharStrings &ThreadCharStrings()
{
    thread_local CharStrings strings;
    return strings;
}

// Texts of several characters, each kept once. Never destroyed: records may be read until exit.
struct LongTexts
{
    QMutex mutex;
    QVector<QString> texts;
    QHash<QString, quint32> numbers;
};

LongTexts &SharedLongTexts()
{
    static auto *texts = new LongTexts;
    return *texts;
}

} // namespace

OfdCharText OfdCharText::FromUcs4(uint ucs4)
{
    return ucs4 < 0x110000 ? OfdCharText(ucs4 + 1) : FromString(QString::fromUcs4(&ucs4, 1));
}

OfdCharText OfdCharText::FromString(const QString &text)
{
    if (text.isEmpty())
        return OfdCharText();
    if (text.size() == 1)
        return OfdCharText(quint32(text[0].unicode()) + 1);
    if (text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return OfdCharText(QChar::surrogateToUcs4(text[0], text[1]) + 1);
    LongTexts &table = SharedLongTexts();
    QMutexLocker lock(&table.mutex);
    auto it = table.numbers.constFind(text);
    if (it == table.numbers.constEnd()) {
        if (quint32(table.texts.size()) >= kTableFlag - 1)
            return OfdCharText();
        it = table.numbers.insert(text, quint32(table.texts.size()));
        table.texts.append(text);
    }
    return OfdCharText(kTableFlag | *it);
}

QString OfdCharText::ToString() const
{
    if (m_value == 0)
        return QString();
    if (m_value < kTableFlag)
        return ThreadCharStrings().Get(m_value - 1).text;
    LongTexts &table = SharedLongTexts();
    QMutexLocker lock(&table.mutex);
    return table.texts.value(int(m_value & ~kTableFlag));
}

const QString OfdCharText::toCaseFolded() const
{
    if (m_value != 0 && m_value < kTableFlag)
        return ThreadCharStrings().Get(m_value - 1).folded;
    return ToString().toCaseFolded();
}

QRectF OfdVisualTextInfo::ItemRect() const
{
    return item ? item->GetCharItemRect(index) : QRectF();
}

OfdVisualItemText::OfdVisualItemText(OfdPageItem *pageItem, QGraphicsItem *parent)
    : OfdVisualItem(pageItem, parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

OfdVisualItemText::~OfdVisualItemText() = default;

OfdPageItemText *OfdVisualItemText::TextItem() const
{
    return m_pageItem && m_pageItem->GetItemType() == EN_PageItemType_Text
               ? static_cast<OfdPageItemText *>(m_pageItem)
               : nullptr;
}

bool OfdVisualItemText::CreateQtFont()
{
    if (m_fontTried)
        return bool(m_font);
    m_fontTried = true;
    OfdPageItemText *text = TextItem();
    OfdDocumentAccess *document = text ? text->GetOfdFile() : nullptr;
    if (!document)
        return false;
    const double size = text->GetFontSize();
    if (size == 0 || !std::isfinite(size))
        return false;
    OfdTypeFont *resource = document->GetFont(text->GetFontID());
    static OfdTypeFont defaultFont = [] {
        OfdTypeFont font;
        font.SetFontName(QStringLiteral("宋体"));
        font.SetFamilyName(QStringLiteral("宋体"));
        return font;
    }();
    if (!resource && !text->HasFontAttr())
        resource = &defaultFont;
    if (!resource)
        return false;
    double built = std::abs(size);
    if (built > 60) {
        // Bounded so that absurd sizes cannot overflow the scene's geometry (60 m glyphs at most).
        m_fontScale = qMin(built / 60, 1000.0);
        built = 60;
    }
    const double pixelSize = OfdConvert::OfdMMToPixel(built);
    if (!(pixelSize > 0))
        return false;
    const double pointSize =
        std::abs(OfdConvert::PixelSizeToPointSize(OfdConvert::OfdMMToPixel(size))) / m_fontScale;

    // The installed font for the names the document gives: the font itself when nothing is embedded,
    // else the source of the characters the embedded file lacks.
    QFont substitute;
    FontSubstitution::Resolve(resource->GetFontName(), resource->GetFamilyName()).ApplyTo(substitute);
    if (resource->IsSerif())
        substitute.setStyleHint(QFont::Serif);
    if (resource->IsBold())
        substitute.setWeight(75);
    if (resource->IsItalic() || text->IsItalic())
        substitute.setItalic(true);
    if (text->GetWeight() != 400)
        substitute.setWeight(OfdConvert::ToQtFontWeight(text->GetWeight()));
    m_wantItalic = substitute.italic();
    m_wantBold = text->GetWeight() != 400 ? text->GetWeight() >= 700 : resource->IsBold();
    substitute.setHintingPreference(QFont::PreferNoHinting);
    substitute.setPointSizeF(pointSize);

    auto fonts = std::make_unique<TextFontSet>();
    QFont font = substitute;
    bool embedded = false;
    const QString &fontFile = resource->GetFontFile();
    if (!fontFile.isEmpty()) {
        // Drawn from the file's own bytes: documents often embed several subsets under one family name.
        const QRawFont raw = EmbeddedRawFontCache::Get(document->GetOfdFileContent(fontFile), pixelSize);
        if (raw.isValid()) {
            font = QFont(raw.familyName());
            fonts->InitEmbedded(raw, substitute, pixelSize);
            embedded = true;
        } else {
            const QString family = document->GetFontFromEmbedFile(fontFile);
            if (!family.isEmpty())
                font = QFont(family);
        }
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setPointSizeF(pointSize);
    }
    if (!embedded)
        fonts->InitSystem(font, pixelSize);
    if (!fonts->IsValid())
        return false;
    m_fonts = std::move(fonts);
    m_font = std::make_unique<QFont>(font);
    return true;
}

bool OfdVisualItemText::GetQtFont(QFont &font)
{
    if (!CreateQtFont())
        return false;
    font = *m_font;
    return true;
}

double OfdVisualItemText::GetFontScale()
{
    CreateQtFont();
    return m_fontScale;
}

bool OfdVisualItemText::IsDrawnFromEmbeddedFont()
{
    return CreateQtFont() && m_fonts->IsEmbedded();
}

float OfdVisualItemText::GetBaseline()
{
    return CreateQtFont() ? float(m_fonts->Fonts()[0].ascent()) : 0.0f;
}

std::unique_ptr<QPen> OfdVisualItemText::CreateLayerPen() const
{
    OfdPageItemText *text = TextItem();
    const OfdTypeFillColor *inherited = text ? text->GetInheritFillColor() : nullptr;
    if (!inherited || !inherited->IsHaveValue())
        return nullptr;
    const OfdTypeColorSpace *space = text->GetColorSpace(inherited->GetColorSpaceId());
    return std::make_unique<QPen>(CreatePen(*inherited, space, text->GetAlpha()));
}

std::unique_ptr<QPen> OfdVisualItemText::CreateFillPen() const
{
    OfdPageItemText *text = TextItem();
    if (!text || !text->IsFill())
        return nullptr;
    const OfdTypeFillColor &fill = text->GetFillColor();
    if (HasOwnColor(fill)) {
        if (fill.IsCreateBrush())
            return std::make_unique<QPen>(fill.CreateBrush(), 1);
        return std::make_unique<QPen>(CreatePen(fill, text->GetFillColorSpace(), text->GetAlpha()));
    }
    if (std::unique_ptr<QPen> layer = CreateLayerPen())
        return layer;
    return std::make_unique<QPen>(CreateDefaultPen(text->GetAlpha()));
}

std::unique_ptr<QPen> OfdVisualItemText::CreateStrokePen() const
{
    OfdPageItemText *text = TextItem();
    if (!text || !text->IsStroke())
        return nullptr;
    const OfdTypeFillColor &stroke = text->GetStrokeColor();
    std::unique_ptr<QPen> pen =
        HasOwnColor(stroke)
            ? std::make_unique<QPen>(CreatePen(stroke, text->GetStrokeColorSpace(), text->GetAlpha()))
            : CreateLayerPen();
    if (pen) {
        // The document's width in pixels of the object's space; 0 is the thinnest line the device draws.
        const double width = OfdConvert::OfdMMToPixel(text->GetLineWidth());
        pen->setWidthF(std::isfinite(width) && width > 0 ? width : 0);
        pen->setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

void OfdVisualItemText::TryCreatePen()
{
    if (m_pensTried)
        return;
    m_pensTried = true;
    m_fillPen = CreateFillPen();
    m_strokePen = CreateStrokePen();
}

const QPen *OfdVisualItemText::GetFillPen()
{
    TryCreatePen();
    return m_fillPen.get();
}

const QPen *OfdVisualItemText::GetStrokePen()
{
    TryCreatePen();
    return m_strokePen.get();
}

void OfdVisualItemText::EnsureCharRecords()
{
    if (m_measured)
        return;
    m_measured = true;
    QRectF bounds;
    OfdPageItemText *text = TextItem();
    if (text && CreateQtFont()) {
        m_layout = std::make_unique<TextGlyphLayout>();
        // Bold and italic asked for but not in the face drawn with (embedded files, and installed
        // families without such faces) are made up.
        const QRawFont &primary = m_fonts->Fonts()[0];
        if (m_wantItalic && primary.style() == QFont::StyleNormal)
            m_layout->slant = 0.2;
        if (m_wantBold && primary.weight() < QFont::DemiBold)
            m_layout->embolden = m_fonts->PixelSize() * 0.035;
        m_layout->Build(*text, *m_fonts, m_fontScale);
        const QVector<QRectF> &rects = m_layout->rects;
        m_chars.reserve(rects.size()); // exactly: resizing alone would leave room to grow
        m_chars.resize(rects.size());
        for (int i = 0; i < rects.size(); ++i) {
            OfdVisualTextInfo &info = m_chars[i];
            info.item = this;
            info.text = m_layout->texts[i];
            info.index = i;
            info.sceneRect = mapRectToScene(rects[i]);
            bounds = bounds.isNull() ? rects[i] : bounds.united(rects[i]);
        }
        // The records hold the texts from now on.
        m_layout->texts = QVector<OfdCharText>();
    }
    prepareGeometryChange();
    m_bounds = std::make_unique<QRectF>(bounds.isNull() ? QRectF() : bounds.adjusted(-2, -2, 2, 2));
}

QRectF OfdVisualItemText::GetCharItemRect(int index) const
{
    return m_layout && index >= 0 && index < m_layout->rects.size() ? m_layout->rects[index] : QRectF();
}

QRectF OfdVisualItemText::CalTextBoundary() const
{
    OfdPageItemText *text = TextItem();
    if (!text || text->GetFontSize() == 0)
        return QRectF();
    double left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const OfdTypeTextCode *code : text->GetTextCodeManage().GetCodes()) {
        double x = std::isfinite(code->GetX()) ? code->GetX() : 0;
        double y = std::isfinite(code->GetY()) ? code->GetY() : 0;
        const QList<double> &dx = code->GetDeltaX();
        const QList<double> &dy = code->GetDeltaY();
        for (int i = 0; i < code->GetCharCount(); ++i) {
            if (i > 0) {
                const double stepX = dx.isEmpty() ? 0 : dx[qMin(i - 1, dx.size() - 1)];
                const double stepY = dy.isEmpty() ? 0 : dy[qMin(i - 1, dy.size() - 1)];
                x += std::isfinite(stepX) ? stepX : 0;
                y += std::isfinite(stepY) ? stepY : 0;
            }
            left = any ? qMin(left, x) : x;
            right = any ? qMax(right, x) : x;
            top = any ? qMin(top, y) : y;
            bottom = any ? qMax(bottom, y) : y;
            any = true;
        }
    }
    if (!any)
        return QRectF();
    const double em = OfdConvert::OfdMMToPixel(qMin(std::abs(double(text->GetFontSize())), 60000.0));
    const QRectF span(OfdConvert::OfdMMToPixel(QPointF(left, top)),
                      OfdConvert::OfdMMToPixel(QPointF(right, bottom)));
    return std::isfinite(em) ? span.adjusted(-em - 2, -em - 2, em + 2, em + 2) : QRectF();
}

QRectF OfdVisualItemText::boundingRect() const
{
    if (m_bounds)
        return *m_bounds;
    if (!m_estimate)
        m_estimate = std::make_unique<QRectF>(CalTextBoundary());
    return *m_estimate;
}

QRectF OfdVisualItemText::GetGraphicsBoundary() const
{
    return mapRectToScene(boundingRect());
}

QString OfdVisualItemText::CellText(int cell) const
{
    return cell >= 0 && cell < m_chars.size() ? m_chars[cell].text.ToString() : QString();
}

void OfdVisualItemText::DrawGlyphs(QPainter *painter)
{
    const TextGlyphLayout &layout = *m_layout;
    const QVector<QRawFont> &fonts = m_fonts->Fonts();
    const QTransform base = painter->worldTransform();
    OfdPageItemText *text = TextItem();
    if (m_fillPen && text && text->GetFillColor().IsDrawPattern() && !layout.upsideDown) {
        // A pattern fills the glyphs' outlines with its tiles.
        if (!m_strokeOutline)
            m_strokeOutline = std::make_unique<QPainterPath>(layout.Outline(*m_fonts));
        painter->save();
        painter->setClipPath(*m_strokeOutline, Qt::IntersectClip);
        text->GetFillColor().DrawPattern(painter, m_strokeOutline->boundingRect());
        painter->restore();
    } else if (m_fillPen) {
        painter->setPen(*m_fillPen);
        if (!layout.upsideDown && layout.charDirection == 0 && layout.slant == 0 && layout.embolden == 0) {
            if (layout.fontScale != 1)
                painter->scale(layout.fontScale, layout.fontScale);
            if (OfdPdfDevice::EngineOf(painter)) {
                // PDF files get the characters with the glyphs, so that their text can be searched.
                for (int r = 0; r < layout.runs.size(); ++r) {
                    const QVector<int> &cells = layout.runCells[r];
                    OfdPdfDevice::DrawGlyphRun(painter, QPointF(), layout.runs[r], [this, &cells](int i) {
                        return CellText(cells.value(i, -1));
                    });
                }
            } else {
                for (const QGlyphRun &run : layout.runs)
                    painter->drawGlyphRun(QPointF(), run);
            }
            painter->setWorldTransform(base);
        } else {
            // Each character turned about its own origin.
            const bool pdf = OfdPdfDevice::EngineOf(painter) != nullptr;
            QGlyphRun run;
            for (const TextGlyphLayout::Glyph &g : layout.glyphs) {
                run.setRawFont(fonts[g.ref.font]);
                run.setGlyphIndexes({g.ref.glyph});
                run.setPositions({g.ref.offset});
                painter->setWorldTransform(layout.GlyphTransform(g) * base);
                if (pdf)
                    OfdPdfDevice::DrawGlyphRun(painter, QPointF(), run,
                                               [this, &g](int) { return CellText(g.cell); });
                else
                    painter->drawGlyphRun(QPointF(), run);
                if (layout.embolden > 0) {
                    // Bold the font has no face for: the outline stroked in the fill's colour.
                    QPen bold(m_fillPen->brush(), layout.embolden);
                    bold.setJoinStyle(Qt::RoundJoin);
                    painter->strokePath(fonts[g.ref.font].pathForGlyph(g.ref.glyph).translated(g.ref.offset),
                                        bold);
                }
            }
            painter->setWorldTransform(base);
        }
    }
    if (m_strokePen && !layout.upsideDown) {
        if (!m_strokeOutline)
            m_strokeOutline = std::make_unique<QPainterPath>(layout.Outline(*m_fonts));
        painter->strokePath(*m_strokeOutline, *m_strokePen);
    }
}

void OfdVisualItemText::PaintItem(QPainter *painter)
{
    if (!TextItem())
        return;
    if (m_source)
        m_source->InitPainter(painter);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setRenderHint(QPainter::Antialiasing, true);
    TryCreatePen();
    EnsureCharRecords();
    if (!m_layout || m_layout->IsEmpty())
        return;

    // Marks first, so that the characters stay on top.
    const QVector<QRectF> &rects = m_layout->rects;
    if (m_selected && m_scene && m_scene->IsShowSelect()) {
        for (const QRectF &rect : rects) {
            if (!m_selectArea.intersected(QPolygonF(rect)).isEmpty())
                painter->fillRect(rect, kTextSelectColor);
        }
    }
    if (m_customTag) {
        QRectF all;
        for (const QRectF &rect : rects)
            all = all.isNull() ? rect : all.united(rect);
        painter->fillRect(all, kCustomTagColor);
    }
    for (const OfdVisualTextInfo &info : qAsConst(m_searchHits))
        painter->fillRect(info.ItemRect(), kTextSearchColor);

    DrawGlyphs(painter);
}

void OfdVisualItemText::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!IsVisible())
        return;
    const bool first = m_firstPaint;
    TryCreatePen();
    EnsureCharRecords();
    painter->save();
    // Not clipped to its own boundary: producers write tight or loose text boundaries, and a glyph
    // drawn in a substituted or slanted font would lose its edge. Explicit clips and those of
    // enclosing composites still apply.
    ApplyCompositeClips(painter);
    ApplyObjectClips(painter);
    PaintItem(painter);
    painter->restore();
    if (first) {
        m_firstPaint = false;
        if (m_scene)
            m_scene->OnItemFirstPainter();
    }
}

void OfdVisualItemText::DrawPattern(QPainter *painter)
{
    TryCreatePen();
    painter->save();
    PlaceInPatternCell(painter);
    PaintItem(painter);
    painter->restore();
}

QPainterPath OfdVisualItemText::CreatePainterPathClip()
{
    if (!m_clipOutline) {
        QPainterPath outline;
        EnsureCharRecords();
        if (m_layout && m_fonts) {
            outline = m_layout->Outline(*m_fonts);
            QTransform t;
            if (m_pageItem->GetCTM().IsValidate())
                OfdConvert::ToQTransform(m_pageItem->GetCTM(), t);
            QRectF boundary;
            const bool hasBoundary = GetBoundary(boundary);
            if (hasBoundary)
                t = t * QTransform::fromTranslate(boundary.x(), boundary.y());
            outline = t.map(outline);
            if (hasBoundary) {
                QPainterPath box;
                box.addRect(boundary);
                outline = outline.intersected(box);
            }
            outline.setFillRule(Qt::WindingFill);
        }
        m_clipOutline = std::make_unique<QPainterPath>(outline);
    }
    return *m_clipOutline;
}

bool OfdVisualItemText::SetSelectArea(bool selected, const QPolygonF &area)
{
    m_selected = selected;
    m_selectArea = area;
    update();
    return selected && !GetSelectedChars().isEmpty();
}

QVector<OfdVisualTextInfo> OfdVisualItemText::GetSelectedChars() const
{
    QVector<OfdVisualTextInfo> chars;
    if (!m_selected)
        return chars;
    for (const OfdVisualTextInfo &info : m_chars) {
        if (!m_selectArea.intersected(QPolygonF(info.ItemRect())).isEmpty())
            chars.append(info);
    }
    return chars;
}

QString OfdVisualItemText::GetSelectText() const
{
    QString text;
    for (const OfdVisualTextInfo &info : GetSelectedChars())
        text += info.text;
    return text;
}

void OfdVisualItemText::AddSearch(const OfdVisualTextInfo &info)
{
    m_searchHits.append(info);
    update();
}

void OfdVisualItemText::ClearSearch()
{
    if (m_searchHits.isEmpty())
        return;
    m_searchHits.clear();
    update();
}

void OfdVisualItemText::SetCustomTagMark(bool marked)
{
    m_customTag = marked;
    update();
}
