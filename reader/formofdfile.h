#pragma once

#include <QPointer>
#include <QTemporaryDir>

#include <memory>

#include "reader/formofdpanel.h"

class FormOfd;
class OfdFile;
class QPushButton;
class QTreeWidget;
struct OfdAttachmentInfo;

// Attachment panel: the files attached to the document (name, format, size, creation time), which
// the user opens with the desktop's program or saves. Names taken from the package are made safe
// (OfdXmlAttachments::SafeFileName) before anything is written.
//
// Interface: ShowAttachments(FormOfd* form), GetAttachmentCount(), GetTree(),
// GetAttachmentData(int row) (the attached bytes), SaveAttachment(int row, QString dir) -> written
// path (empty on failure; the file is dir/<safe name>), SaveAttachmentAs(int row, QString path),
// ExtractToTemp(int row) -> path in a folder the panel owns, OpenAttachment(int row) (extract and
// open with the desktop), SaveCurrent() / OpenCurrent() (the buttons, with dialogs and messages);
// SignalClose() (base).
class FormOfdFile : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdFile(QWidget *parent = nullptr);
    ~FormOfdFile() override;

    void ShowAttachments(FormOfd *form);
    int GetAttachmentCount() const;
    QTreeWidget *GetTree() const { return m_tree; }
    QByteArray GetAttachmentData(int row) const;
    QString SaveAttachment(int row, const QString &dir);
    bool SaveAttachmentAs(int row, const QString &path);
    QString ExtractToTemp(int row);
    bool OpenAttachment(int row);
    void SaveCurrent();
    void OpenCurrent();

private:
    const OfdAttachmentInfo *GetInfo(int row) const;
    OfdFile *GetDocument() const;

    QPointer<FormOfd> m_form;
    QTreeWidget *m_tree = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    std::unique_ptr<QTemporaryDir> m_tempDir;
};
