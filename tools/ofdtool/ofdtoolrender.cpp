#include "ofdtoolrender.h"

#include <QImage>
#include <QTextStream>

#include "model/document/ofdfile.h"
#include "ofdtoolcommand.h"
#include "ofdtooldocument.h"
#include "render/ofdpagerenderer.h"

namespace {
const char *const kUsage = "Usage: ofdtool render FILE -o OUT.png [--page N] [--dpi D] [--doc M]\n";

int UsageError(OfdToolStreams &io, const QString &message)
{
    io.err << "ofdtool render: " << message << "\n" << kUsage;
    return OfdToolExit_Usage;
}

// A whole number from 1 on; 0 when the text is not one.
int PositiveNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 1 ? value : 0;
}
} // namespace

QString OfdToolRender::PageFileName(const QString &out, int number)
{
    QString base = out;
    if (base.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        base.chop(4);
    return QStringLiteral("%1-%2.png").arg(base).arg(number);
}

int OfdToolRender::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    const QStringList valued = {QStringLiteral("-o"), QStringLiteral("--output"), QStringLiteral("--page"),
                                QStringLiteral("--dpi"), QStringLiteral("--doc")};
    if (!parsed.Parse(args, valued, {}))
        return UsageError(io, parsed.Error());
    if (parsed.Positional().size() != 1)
        return UsageError(io, QStringLiteral("expected one FILE"));
    const QString out = parsed.Has(QStringLiteral("-o")) ? parsed.Value(QStringLiteral("-o"))
                                                         : parsed.Value(QStringLiteral("--output"));
    if (out.isEmpty())
        return UsageError(io, QStringLiteral("-o OUT.png is required"));

    double dpi = kDefaultDpi;
    if (parsed.Has(QStringLiteral("--dpi"))) {
        bool ok = false;
        dpi = parsed.Value(QStringLiteral("--dpi")).toDouble(&ok);
        if (!ok || !(dpi > 0) || dpi > kMaxDpi)
            return UsageError(io, QStringLiteral("--dpi wants a number above 0 and at most %1").arg(kMaxDpi));
    }
    int pageNumber = 0;
    if (parsed.Has(QStringLiteral("--page"))) {
        pageNumber = PositiveNumber(parsed.Value(QStringLiteral("--page")));
        if (pageNumber == 0)
            return UsageError(io, QStringLiteral("--page wants a page number from 1"));
    }
    int documentNumber = 1;
    if (parsed.Has(QStringLiteral("--doc"))) {
        documentNumber = PositiveNumber(parsed.Value(QStringLiteral("--doc")));
        if (documentNumber == 0)
            return UsageError(io, QStringLiteral("--doc wants a document number from 1"));
    }

    const QString path = parsed.Positional().first();
    OfdToolDocument package;
    if (!package.Open(path)) {
        io.err << "ofdtool: " << package.Error() << "\n";
        return OfdToolExit_Unreadable;
    }
    if (documentNumber > package.GetDocumentCount())
        return UsageError(io, QStringLiteral("document %1 does not exist (the package has %2)")
                                  .arg(documentNumber)
                                  .arg(package.GetDocumentCount()));
    OfdFile *document = package.GetDocument(documentNumber - 1);
    if (!document) {
        io.err << "ofdtool: " << path << ": document " << documentNumber << " cannot be read\n";
        return OfdToolExit_Unreadable;
    }
    const int pageCount = document->GetPageCount();
    if (pageCount <= 0) {
        io.err << "ofdtool: " << path << ": the document has no pages\n";
        return OfdToolExit_Unreadable;
    }
    if (pageNumber > pageCount)
        return UsageError(io, QStringLiteral("page %1 does not exist (the document has %2 page(s))")
                                  .arg(pageNumber)
                                  .arg(pageCount));

    const int first = pageNumber > 0 ? pageNumber : 1;
    const int last = pageNumber > 0 ? pageNumber : pageCount;
    int result = OfdToolExit_Ok;
    for (int number = first; number <= last; ++number) {
        const QString file = pageNumber > 0 ? out : PageFileName(out, number);
        const QImage image =
            OfdPageRenderer::RenderPage(package.GetViewManage(), documentNumber - 1, number - 1, dpi);
        if (image.isNull()) {
            io.err << "ofdtool: page " << number << " cannot be rendered (no page size, or too large at "
                   << dpi << " dpi)\n";
            result = OfdToolExit_Output;
            continue;
        }
        if (!image.save(file, "PNG")) {
            io.err << "ofdtool: cannot write " << file << "\n";
            result = OfdToolExit_Output;
            continue;
        }
        io.out << file << " " << image.width() << "x" << image.height() << "\n";
    }
    return result;
}
