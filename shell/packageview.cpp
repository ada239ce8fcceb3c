#include "shell/packageview.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>

#include "app/qthelper.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnodeparse.h"

PackageView::PackageView(const QSharedPointer<OfdFileReader> &reader, QWidget *parent)
    : QWidget(parent), m_reader(reader), m_path(reader->GetFileFullName())
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(this);
    m_entries = new QListWidget(splitter);
    m_entries->addItems(m_reader->GetFilePathList());
    m_text = new QPlainTextEdit(splitter);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter);

    connect(m_entries, &QListWidget::currentTextChanged, this, &PackageView::ShowEntry);
    const int root = m_reader->GetFilePathList().indexOf(QStringLiteral("OFD.xml"));
    if (root >= 0)
        m_entries->setCurrentRow(root);
}

void PackageView::ShowEntry(const QString &entry)
{
    const QByteArray bytes = m_reader->GetFileContent(entry);
    const bool isXml = entry.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
    QString text = isXml ? XmlNodeParse::FormateXmlToPlainTxt(bytes) : QString();
    if (text.isEmpty()) {
        text = QtHelper::fromString("%1 字节").arg(bytes.size());
        if (isXml)
            text += QtHelper::fromString("（无法解析为 XML）");
    }
    m_text->setPlainText(text);
}
