// Times opening documents, rendering pages and searching, on generated text-heavy A4 documents and on
// the files of a corpus folder. Prints one table row per measurement.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <functional>

#include "annot/ofdannotsupport.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "render/imaging/ofdimagecache.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"

namespace {
QTextStream out(stdout);

// Peak resident memory of the process so far, MiB: the kernel's high-water mark, which starts
// afresh in a child started for one scenario (the rusage figure would count the parent's pages
// that the fork shared).
double PeakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A text-heavy A4 page: 45 lines of about 40 Chinese and Latin characters, with DeltaX lists, in two
// fonts, plus a few rules.
QString PageContent(int page)
{
    static const QString chinese = QString::fromUtf8("关于进一步加强电子公文管理工作的通知各单位要高度重视");
    QString objects;
    int id = 1000 + page * 100;
    for (int line = 0; line < 45; ++line) {
        QString text;
        for (int i = 0; i < 30; ++i)
            text += chinese[(i + line + page) % chinese.size()];
        text += QStringLiteral(" OFD %1-%2 report").arg(page + 1).arg(line + 1);
        QString deltas;
        for (int i = 1; i < text.size(); ++i)
            deltas += i == 1 ? QStringLiteral("4.2") : QStringLiteral(" 4.2");
        objects +=
            QStringLiteral("<ofd:TextObject ID=\"%1\" Boundary=\"20 %2 175 6\" Font=\"%3\" Size=\"4.2\">"
                           "<ofd:FillColor Value=\"0 0 0\"/><ofd:TextCode X=\"0\" Y=\"4.5\" DeltaX=\"%4\">%5"
                           "</ofd:TextCode></ofd:TextObject>")
                .arg(id++)
                .arg(20 + line * 5.8)
                .arg(line % 2 ? 2 : 3)
                .arg(deltas, text.toHtmlEscaped());
    }
    objects += QStringLiteral("<ofd:PathObject ID=\"%1\" Boundary=\"20 15 175 1\" LineWidth=\"0.5\">"
                              "<ofd:AbbreviatedData>M 0 0.5 L 175 0.5</ofd:AbbreviatedData></ofd:PathObject>")
                   .arg(id++);
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Page "
                          "xmlns:ofd=\"http://www.ofdspec.org/2016\">"
                          "<ofd:Content><ofd:Layer ID=\"%1\">%2</ofd:Layer></ofd:Content></ofd:Page>")
        .arg(id)
        .arg(objects);
}

QByteArray TextDocument(int pages)
{
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\">"
            "<ofd:DocBody><ofd:DocInfo><ofd:DocID>bench</ofd:DocID></ofd:DocInfo>"
            "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    QString list;
    for (int i = 0; i < pages; ++i)
        list +=
            QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(i + 10).arg(i);
    b.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Document "
            "xmlns:ofd=\"http://www.ofdspec.org/2016\">"
            "<ofd:CommonData><ofd:MaxUnitID>999999</ofd:MaxUnitID><ofd:PageArea><ofd:PhysicalBox>0 0 210 297"
            "</ofd:PhysicalBox></ofd:PageArea><ofd:PublicRes>PublicRes.xml</ofd:PublicRes></ofd:CommonData>"
            "<ofd:Pages>%1</ofd:Pages></ofd:Document>")
            .arg(list));
    b.AddText(
        QStringLiteral("Doc_0/PublicRes.xml"),
        QString::fromUtf8(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" "
            "BaseLoc=\"Res\"><ofd:Fonts><ofd:Font ID=\"2\" FontName=\"宋体\" FamilyName=\"宋体\"/>"
            "<ofd:Font ID=\"3\" FontName=\"Times New Roman\"/></ofd:Fonts></ofd:Res>"));
    for (int i = 0; i < pages; ++i)
        b.AddText(QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i), PageContent(i));
    return b.Build();
}

// A page of a scan: one full-page JPEG at 200 dpi (1654 x 2339 pixels, about 15 MiB decoded), its
// own picture on every page.
QByteArray ScanPicture(int page)
{
    QImage image(1654, 2339, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), image.height());
    gradient.setColorAt(0, QColor::fromHsv(page * 37 % 360, 40, 250));
    gradient.setColorAt(1, QColor::fromHsv(page * 37 % 360, 90, 200));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(40);
    painter.setFont(font);
    for (int line = 0; line < 40; ++line)
        painter.drawText(150, 200 + line * 52,
                         QStringLiteral("Scanned page %1, line %2").arg(page + 1).arg(line + 1));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

QByteArray ScanDocument(int pages)
{
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\">"
            "<ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    QString list;
    QString media;
    for (int i = 0; i < pages; ++i) {
        list +=
            QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(i + 10).arg(i);
        media += QStringLiteral(
                     "<ofd:MultiMedia ID=\"%1\" Type=\"Image\"><ofd:MediaFile>scan%2.jpg</ofd:MediaFile>"
                     "</ofd:MultiMedia>")
                     .arg(100000 + i)
                     .arg(i);
    }
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              QStringLiteral(
                  "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:CommonData><ofd:MaxUnitID>"
                  "999999</ofd:MaxUnitID><ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox>"
                  "</ofd:PageArea><ofd:PublicRes>PublicRes.xml</ofd:PublicRes></ofd:CommonData>"
                  "<ofd:Pages>%1</ofd:Pages></ofd:Document>")
                  .arg(list));
    b.AddText(QStringLiteral("Doc_0/PublicRes.xml"),
              QStringLiteral(
                  "<ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" BaseLoc=\"Res\"><ofd:MultiMedias>%1"
                  "</ofd:MultiMedias></ofd:Res>")
                  .arg(media));
    for (int i = 0; i < pages; ++i) {
        b.Add(QStringLiteral("Doc_0/Res/scan%1.jpg").arg(i), ScanPicture(i));
        b.AddText(QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
                  QStringLiteral(
                      "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Content><ofd:Layer ID=\"%1\">"
                      "<ofd:ImageObject ID=\"%2\" ResourceID=\"%3\" Boundary=\"0 0 210 297\" "
                      "CTM=\"210 0 0 297 0 0\"/></ofd:Layer></ofd:Content></ofd:Page>")
                      .arg(200000 + 2 * i)
                      .arg(200001 + 2 * i)
                      .arg(100000 + i));
    }
    return b.Build();
}

void Row(const QString &name, const QString &what, double ms, const QString &extra = QString())
{
    out << QStringLiteral("| %1 | %2 | %3 ms | %4 MiB | %5 |")
               .arg(name, -28)
               .arg(what, -26)
               .arg(ms, 9, 'f', 1)
               .arg(PeakMiB(), 7, 'f', 0)
               .arg(extra)
        << Qt::endl;
}

double TimeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Median of a few runs, to keep one slow run from deciding.
double MedianMs(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times.append(TimeMs(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void BenchFile(const QString &name, const QString &path, bool search)
{
    // Open and show the first page: open the package, load the document, render page 1 on screen.
    std::unique_ptr<OfdViewManage> view;
    const double open = TimeMs([&]() {
        auto reader = QSharedPointer<OfdFileReader>::create();
        if (!reader->Open(path))
            return;
        view = std::make_unique<OfdViewManage>();
        if (!view->SetFileReader(reader))
            return;
        OfdPageRenderer::RenderPage(view.get(), 0, 0, 96);
    });
    OfdFile *doc = view ? view->GetOfdFile(0) : nullptr;
    if (!doc || doc->GetPageCount() == 0) {
        Row(name, QStringLiteral("open (failed)"), open);
        return;
    }
    Row(name, QStringLiteral("open + first page"), open, QStringLiteral("%1 pages").arg(doc->GetPageCount()));
    const int page = doc->GetPageCount() > 1 ? 1 : 0; // a page not rendered yet
    Row(name, QStringLiteral("render page @96 dpi"),
        MedianMs(5, [&]() { OfdPageRenderer::RenderPage(view.get(), 0, page, 96); }));
    Row(name, QStringLiteral("render page @300 dpi"),
        MedianMs(3, [&]() { OfdPageRenderer::RenderPage(view.get(), 0, page, 300); }));
    if (!search)
        return;
    // Cold: every page parsed, built and searched. Warm: the scenes exist (the reader keeps one per
    // page), the search itself.
    int hits = 0;
    std::vector<std::unique_ptr<OfdPageScene>> scenes;
    const double buildMs = TimeMs([&]() {
        for (int i = 0; i < doc->GetPageCount(); ++i) {
            auto scene = std::make_unique<OfdPageScene>();
            scene->SetViewManage(view.get());
            scene->SetPageIndex(0, i);
            scene->CreateScene();
            scenes.push_back(std::move(scene));
        }
    });
    const double firstSearchMs = TimeMs([&]() {
        for (auto &scene : scenes)
            hits += scene->SearchText(QStringLiteral("report"));
    });
    int again = 0;
    const double secondSearchMs = TimeMs([&]() {
        for (auto &scene : scenes)
            again += scene->SearchText(QString::fromUtf8("电子公文"));
    });
    Row(name, QStringLiteral("search, cold (parse+build)"), buildMs + firstSearchMs,
        QStringLiteral("%1 hits; building %2 ms").arg(hits).arg(buildMs, 0, 'f', 0));
    Row(name, QStringLiteral("search, pages open"), secondSearchMs, QStringLiteral("%1 hits").arg(again));
}
} // namespace

// Lets the view lay out and paint what it shows.
void Paint(QWidget *widget)
{
    QCoreApplication::processEvents();
    widget->repaint();
    QCoreApplication::processEvents();
}

// Opens the file in the view and paints its first screen.
bool OpenView(FormOfd &form, const QString &path)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(path) || !form.SetOfdFileReader(reader))
        return false;
    form.ShowPages();
    Paint(&form);
    return true;
}

// The reader's document view on a file: usable (first page painted), then a jump near the end.
int ViewScenario(const QString &path, const QString &name)
{
    FormOfd form;
    form.resize(1000, 800);
    form.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    if (!OpenView(form, path))
        return 1;
    FormOfdPage *first = form.GetPage(0);
    if (!first || first->grab().isNull())
        return 1;
    const double usable = timer.nsecsElapsed() / 1e6;
    Row(name, QStringLiteral("view usable (page 1 painted)"), usable,
        QStringLiteral("%1 pages, %2 widgets, %3 scenes")
            .arg(form.GetPageCount())
            .arg(form.GetLivePageCount())
            .arg(form.GetSceneCount()));
    const int target = form.GetPageCount() - 2;
    timer.restart();
    form.ScrollToPage(target);
    Paint(&form);
    FormOfdPage *far = form.GetPage(target);
    if (!far)
        return 1;
    far->grab();
    Row(name, QStringLiteral("jump to page %1, painted").arg(target + 1), timer.nsecsElapsed() / 1e6);
    // Zoomed far in: the column is taller than a widget may be.
    timer.restart();
    form.SetViewCurrentRate(16.0, true);
    Paint(&form);
    Row(name, QStringLiteral("zoom to 1600%"), timer.nsecsElapsed() / 1e6,
        QStringLiteral("column %1 px, page %2 current")
            .arg(form.GetContentHeight())
            .arg(form.GetCurShowPageIndex() + 1));
    return 0;
}

// Scrolls the view through the whole document, painting every screenful.
int ScrollScenario(const QString &path, const QString &name)
{
    FormOfd form;
    form.resize(1000, 800);
    form.show();
    if (!OpenView(form, path))
        return 1;
    QElapsedTimer timer;
    timer.start();
    QScrollBar *bar = form.GetScrollArea()->verticalScrollBar();
    int screens = 0;
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->pageStep());
        Paint(&form);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ++screens;
    }
    Row(name, QStringLiteral("scroll end to end"), timer.nsecsElapsed() / 1e6,
        QStringLiteral("%1 screens; pictures kept %2 MiB (budget %3 MiB)")
            .arg(screens)
            .arg(OfdImageCache::Instance().GetUsedBytes() / 1048576.0, 0, 'f', 0)
            .arg(OfdImageCache::Instance().GetBudget() / 1048576));
    return 0;
}

// Search through the whole view, page by page (no hit until the last page).
int SearchScenario(const QString &path, const QString &name)
{
    FormOfd form;
    form.resize(1000, 800);
    form.show();
    if (!OpenView(form, path))
        return 1;
    QElapsedTimer timer;
    timer.start();
    const int hits = form.SearchText(QStringLiteral("%1-45 report").arg(form.GetPageCount()));
    Row(name, QStringLiteral("view search, all pages"), timer.nsecsElapsed() / 1e6,
        QStringLiteral("%1 hit(s), %2 scenes kept").arg(hits).arg(form.GetSceneCount()));
    return 0;
}

// ofdtool pdf on the file, as a user runs it. Run before any other child process, so that the
// children's peak is the tool's own.
int PdfScenario(const QString &path, const QString &name, const QString &tool)
{
    const QString pdfPath = path + QStringLiteral(".pdf");
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(tool, {QStringLiteral("pdf"), path, QStringLiteral("-o"), pdfPath});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return 1;
    const double ms = timer.nsecsElapsed() / 1e6;
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    Row(name, QStringLiteral("ofdtool pdf (whole file)"), ms,
        QStringLiteral("%1 KiB written; the tool's peak %2 MiB")
            .arg(QFileInfo(pdfPath).size() / 1024)
            .arg(children.ru_maxrss / 1024.0, 0, 'f', 0));
    return 0;
}

// Runs one scenario in a child process so that each peak figure is that scenario's own.
void RunChild(const QString &scenario, const QString &path, const QString &name)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--scenario"), scenario, path, name});
    child.waitForFinished(1800000);
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    OfdConvert::Init(96);
    OfdRenderInit::Init();
    OfdAnnotSupport::Install();
    const QStringList args = app.arguments().mid(1);
    // ofdbench --scenario view|scroll|search FILE NAME: one measurement of the document view.
    if (args.value(0) == QLatin1String("--scenario")) {
        const QString scenario = args.value(1);
        const QString path = args.value(2);
        const QString name = args.value(3);
        if (scenario == QLatin1String("view"))
            return ViewScenario(path, name);
        if (scenario == QLatin1String("scroll"))
            return ScrollScenario(path, name);
        if (scenario == QLatin1String("search"))
            return SearchScenario(path, name);
        return 2;
    }
    // ofdbench [corpus folder] [--keep DIR] [--pages N]: --keep writes the generated documents to DIR;
    // --pages runs the generated document of N pages only (and no corpus), for profiling.
    const QString corpus = args.value(0).startsWith(QLatin1String("--")) ? QString() : args.value(0);
    const int keep = args.indexOf(QStringLiteral("--keep"));
    const QString keepDir = keep >= 0 ? args.value(keep + 1) : QString();
    const int pagesArg = args.indexOf(QStringLiteral("--pages"));
    const int onlyPages = pagesArg >= 0 ? args.value(pagesArg + 1).toInt() : 0;
    QList<int> sizes = {10, 100, 1000};
    if (onlyPages > 0)
        sizes = {onlyPages};
    // --views: only the document-view, scan and ofdtool measurements.
    const bool viewsOnly = args.contains(QStringLiteral("--views"));
    const QString tool =
        QFileInfo(QCoreApplication::applicationFilePath()).dir().filePath(QStringLiteral("ofdtool"));

    out << "| document                     | measurement                |      time |    peak | note |"
        << Qt::endl;
    out << "|------------------------------|----------------------------|-----------|---------|------|"
        << Qt::endl;
    QTemporaryDir tempDir;
    const QDir dir(keepDir.isEmpty() ? tempDir.path() : keepDir);
    for (int pages : qAsConst(sizes)) {
        if (viewsOnly)
            break;
        const QString path = dir.filePath(QStringLiteral("text-%1.ofd").arg(pages));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(TextDocument(pages)) <= 0)
            return 1;
        file.close();
        BenchFile(QStringLiteral("generated %1 pages").arg(pages), path, true);
    }
    // The document view and the command-line export on long documents, each in a process of its own.
    if (onlyPages == 0) {
        for (int pages : {1000, 10000}) {
            const QString path = dir.filePath(QStringLiteral("text-%1.ofd").arg(pages));
            QFile file(path);
            if (!file.exists() && (!file.open(QIODevice::WriteOnly) || file.write(TextDocument(pages)) <= 0))
                return 1;
            file.close();
            const QString name = QStringLiteral("generated %1 pages").arg(pages);
            if (pages == 1000 && QFileInfo::exists(tool))
                PdfScenario(path, name, tool);
            RunChild(QStringLiteral("view"), path, name);
            if (pages == 1000)
                RunChild(QStringLiteral("search"), path, name);
        }
        const QString scans = dir.filePath(QStringLiteral("scans-200.ofd"));
        QFile file(scans);
        if (!file.exists() && (!file.open(QIODevice::WriteOnly) || file.write(ScanDocument(200)) <= 0))
            return 1;
        file.close();
        RunChild(QStringLiteral("scroll"), scans, QStringLiteral("200 full-page scans"));
    }
    if (onlyPages == 0 && !corpus.isEmpty() && QDir(corpus).exists()) {
        double total = 0;
        int files = 0;
        QDirIterator it(corpus, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            total += TimeMs([&]() {
                auto reader = QSharedPointer<OfdFileReader>::create();
                if (!reader->Open(path))
                    return;
                OfdViewManage view;
                if (view.SetFileReader(reader))
                    OfdPageRenderer::RenderPage(&view, 0, 0, 96);
            });
            ++files;
        }
        Row(QStringLiteral("corpus (%1 files)").arg(files), QStringLiteral("open + first page, all"), total,
            QStringLiteral("%1 ms per file").arg(files ? total / files : 0, 0, 'f', 1));
    }
    return 0;
}
