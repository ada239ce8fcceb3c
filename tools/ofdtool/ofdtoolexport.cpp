#include "ofdtoolexport.h"

#include <QMutexLocker>
#include <QPainter>
#include <QRecursiveMutex>
#include <QSaveFile>
#include <QSemaphore>
#include <QTextStream>
#include <QThreadPool>

#include <cstdio>
#include <unistd.h>

#include "model/content/ofdxmlpage.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmlpagemanage.h"
#include "ofdtoolcommand.h"
#include "ofdtooldocument.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/pdf/ofdpdfengine.h"

namespace {
const char *const kPdfUsage = "Usage: ofdtool pdf FILE -o OUT.pdf [--pages A-B] [--doc M]\n";
const char *const kTextUsage = "Usage: ofdtool text FILE [--page N] [--doc M]\n";

int UsageError(OfdToolStreams &io, const char *command, const char *usage, const QString &message)
{
    io.err << "ofdtool " << command << ": " << message << "\n" << usage;
    return OfdToolExit_Usage;
}

int PositiveNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 1 ? value : 0;
}

// The document a command works on, opened and checked; null (with the message written and the exit
// code set) when it cannot be used.
OfdFile *OpenDocument(OfdToolDocument &package, const QString &path, int documentNumber, OfdToolStreams &io,
                      int &exitCode)
{
    if (!package.Open(path)) {
        io.err << "ofdtool: " << package.Error() << "\n";
        exitCode = OfdToolExit_Unreadable;
        return nullptr;
    }
    if (documentNumber > package.GetDocumentCount()) {
        io.err << "ofdtool: document " << documentNumber << " does not exist (the package has "
               << package.GetDocumentCount() << ")\n";
        exitCode = OfdToolExit_Usage;
        return nullptr;
    }
    OfdFile *document = package.GetDocument(documentNumber - 1);
    if (!document || document->GetPageCount() <= 0) {
        io.err << "ofdtool: " << path << ": the document has no readable pages\n";
        exitCode = OfdToolExit_Unreadable;
        return nullptr;
    }
    return document;
}

// Parses the options shared by both commands; false (with the usage shown) when they are wrong.
bool ParseCommon(const QStringList &args, const QStringList &valued, OfdToolArgs &parsed, int &documentNumber,
                 OfdToolStreams &io, const char *command, const char *usage, int &exitCode)
{
    if (!parsed.Parse(args, valued, {})) {
        exitCode = UsageError(io, command, usage, parsed.Error());
        return false;
    }
    if (parsed.Positional().size() != 1) {
        exitCode = UsageError(io, command, usage, QStringLiteral("expected one FILE"));
        return false;
    }
    documentNumber = 1;
    if (parsed.Has(QStringLiteral("--doc"))) {
        documentNumber = PositiveNumber(parsed.Value(QStringLiteral("--doc")));
        if (documentNumber == 0) {
            exitCode = UsageError(io, command, usage, QStringLiteral("--doc wants a document number from 1"));
            return false;
        }
    }
    return true;
}

bool IsTerminal(FILE *stream)
{
    return isatty(fileno(stream)) == 1;
}

// The document as a page parsed on another thread sees it: each request waits for the lock, which the
// export holds whenever it works with the document itself.
class LockedDocument : public OfdDocumentAccess
{
public:
    LockedDocument(OfdDocumentAccess *document, QRecursiveMutex *lock) : m_document(document), m_lock(lock) {}

    QByteArray GetOfdFileContent(const QString &path) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetOfdFileContent(path);
    }
    OfdTypeColorSpace *GetColorSpace(int id) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetColorSpace(id);
    }
    OfdTypeFont *GetFont(int id) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetFont(id);
    }
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetCompositeGraphicUnit(id);
    }
    OfdTypeMultiMedia *GetMultiMedia(int id, int pageKey) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetMultiMedia(id, pageKey);
    }
    OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetDrawParam(id, pageKey);
    }
    OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetFillColor(id, pageKey);
    }
    OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetStrokeColor(id, pageKey);
    }
    QByteArray GetTemplateFileContent(int id) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetTemplateFileContent(id);
    }
    QString GetTemplateFilePath(int id) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetTemplateFilePath(id);
    }
    void AddPageRes(const QString &path, int pageKey) override
    {
        QMutexLocker held(m_lock);
        m_document->AddPageRes(path, pageKey);
    }
    QString GetFontFromEmbedFile(const QString &path) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetFontFromEmbedFile(path);
    }
    float GetBaseline(const QFont &font, int fontId, float size) override
    {
        QMutexLocker held(m_lock);
        return m_document->GetBaseline(font, fontId, size);
    }

private:
    OfdDocumentAccess *m_document;
    QRecursiveMutex *m_lock;
};

QSizeF PageSizeOf(OfdFile *document, int index)
{
    QSizeF mm;
    if (!OfdPageRenderer::GetPageSizeMM(document, index, mm) || mm.width() <= 0 || mm.height() <= 0)
        mm = QSizeF(210, 297);
    return mm;
}
} // namespace

bool OfdToolPdf::ParseRange(const QString &text, int count, int &first, int &last)
{
    const QString range = text.trimmed();
    const int dash = range.indexOf(QLatin1Char('-'));
    if (dash < 0) {
        first = last = PositiveNumber(range);
    } else {
        const QString a = range.left(dash).trimmed();
        const QString b = range.mid(dash + 1).trimmed();
        first = a.isEmpty() ? 1 : PositiveNumber(a);
        last = b.isEmpty() ? count : PositiveNumber(b);
    }
    return first >= 1 && last >= first && last <= count;
}

int OfdToolPdf::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    int documentNumber = 1;
    int exitCode = OfdToolExit_Ok;
    const QStringList valued = {QStringLiteral("-o"), QStringLiteral("--output"), QStringLiteral("--pages"),
                                QStringLiteral("--doc")};
    if (!ParseCommon(args, valued, parsed, documentNumber, io, "pdf", kPdfUsage, exitCode))
        return exitCode;
    const QString out = parsed.Has(QStringLiteral("-o")) ? parsed.Value(QStringLiteral("-o"))
                                                         : parsed.Value(QStringLiteral("--output"));
    if (out.isEmpty())
        return UsageError(io, "pdf", kPdfUsage, QStringLiteral("-o OUT.pdf is required"));

    const QString path = parsed.Positional().first();
    OfdToolDocument package;
    OfdFile *document = OpenDocument(package, path, documentNumber, io, exitCode);
    if (!document)
        return exitCode;
    const int count = document->GetPageCount();
    int first = 1;
    int last = count;
    if (parsed.Has(QStringLiteral("--pages")) &&
        !ParseRange(parsed.Value(QStringLiteral("--pages")), count, first, last))
        return UsageError(io, "pdf", kPdfUsage,
                          QStringLiteral("--pages wants A-B within 1-%1 (the document's pages)").arg(count));

    // Written beside the target and renamed over it once whole.
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) {
        io.err << "ofdtool: cannot write " << out << "\n";
        return OfdToolExit_Output;
    }
    OfdPdfDevice writer(&file);
    writer.SetCreator(QStringLiteral("ofdtool"));
    writer.SetPageSizeMM(PageSizeOf(document, first - 1));
    QPainter painter;
    if (!painter.begin(&writer)) {
        io.err << "ofdtool: cannot write " << out << "\n";
        return OfdToolExit_Output;
    }
    const bool progress = IsTerminal(stderr);
    const int total = last - first + 1;
    int result = OfdToolExit_Ok;
    // The page after the one being drawn is parsed on a second thread. What it asks of the document
    // waits for the lock, which this loop lets go only while nothing here uses the document: while
    // the writer compresses and writes out a finished page, and while waiting for the page read ahead.
    QRecursiveMutex documentLock;
    LockedDocument lockedDocument(document, &documentLock);
    QMutexLocker held(&documentLock);
    QThreadPool parser;
    parser.setMaxThreadCount(1);
    QSemaphore readAhead;
    int aheadIndex = -1; // the page being parsed on the other thread
    const auto waitForAhead = [&]() {
        if (aheadIndex < 0)
            return;
        held.unlock();
        readAhead.acquire();
        held.relock();
        aheadIndex = -1;
    };
    OfdXmlPageManage *pages = document->GetPageManage();
    for (int number = first; number <= last; ++number) {
        const int index = number - 1;
        if (aheadIndex == index)
            waitForAhead();
        if (number > first)
            writer.SetPageSizeMM(PageSizeOf(document, index));
        OfdXmlPage *next = number < last && pages ? pages->GetOfdPage(index + 1, false) : nullptr;
        if (next && !next->IsParsed()) {
            next->SetOfdFile(&lockedDocument);
            aheadIndex = index + 1;
            parser.start([next, &readAhead]() {
                next->TryParse();
                readAhead.release();
            });
        }
        if (number > first) {
            held.unlock();
            writer.NewPage();
            held.relock();
        }
        const QRectF target(0, 0, painter.device()->width(), painter.device()->height());
        if (!OfdPageRenderer::RenderPage(package.GetViewManage(), documentNumber - 1, index, &painter,
                                         target)) {
            io.err << "ofdtool: page " << number << " cannot be drawn (it has no size)\n";
            result = OfdToolExit_Output;
        }
        // The page's objects are not needed again: memory stays that of one page.
        document->ReleasePage(index);
        if (OfdXmlPage *page = pages ? pages->GetOfdPage(index, false) : nullptr) {
            if (page->GetOfdFile() == &lockedDocument)
                page->SetOfdFile(document);
        }
        if (progress && (number == last || (number - first) % 10 == 0)) {
            io.err << "\r" << QStringLiteral("page %1/%2").arg(number - first + 1).arg(total);
            io.err.flush();
        }
    }
    waitForAhead();
    if (progress)
        io.err << "\n";
    if (!painter.end() && result == OfdToolExit_Ok) {
        io.err << "ofdtool: cannot write " << out << "\n";
        result = OfdToolExit_Output;
    }
    if (result != OfdToolExit_Ok) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        io.err << "ofdtool: cannot write " << out << "\n";
        return OfdToolExit_Output;
    }
    io.out << out << " " << total << " page(s)\n";
    return OfdToolExit_Ok;
}

int OfdToolText::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    int documentNumber = 1;
    int exitCode = OfdToolExit_Ok;
    const QStringList valued = {QStringLiteral("--page"), QStringLiteral("--doc")};
    if (!ParseCommon(args, valued, parsed, documentNumber, io, "text", kTextUsage, exitCode))
        return exitCode;
    int pageNumber = 0;
    if (parsed.Has(QStringLiteral("--page"))) {
        pageNumber = PositiveNumber(parsed.Value(QStringLiteral("--page")));
        if (pageNumber == 0)
            return UsageError(io, "text", kTextUsage, QStringLiteral("--page wants a page number from 1"));
    }
    const QString path = parsed.Positional().first();
    OfdToolDocument package;
    OfdFile *document = OpenDocument(package, path, documentNumber, io, exitCode);
    if (!document)
        return exitCode;
    const int count = document->GetPageCount();
    if (pageNumber > count)
        return UsageError(io, "text", kTextUsage,
                          QStringLiteral("page %1 does not exist (the document has %2 page(s))")
                              .arg(pageNumber)
                              .arg(count));
    const int first = pageNumber > 0 ? pageNumber : 1;
    const int last = pageNumber > 0 ? pageNumber : count;
    for (int number = first; number <= last; ++number) {
        QString text;
        {
            OfdPageScene scene;
            scene.SetViewManage(package.GetViewManage());
            scene.SetPageIndex(documentNumber - 1, number - 1);
            scene.CreateScene();
            text = scene.GetPageText();
        }
        document->ReleasePage(number - 1);
        if (number > first)
            io.out << "\f";
        io.out << text;
        if (!text.endsWith(QLatin1Char('\n')))
            io.out << "\n";
    }
    io.out.flush();
    return OfdToolExit_Ok;
}
