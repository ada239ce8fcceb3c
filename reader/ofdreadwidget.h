#pragma once

#include <QList>
#include <QMap>
#include <QSharedPointer>

#include "app/appparam.h"
#include "reader/ofdannottype.h"
#include "reader/readwidget.h"

class FormOfd;
class FormOfdPage;
class MenuButton;
class OfdFileReader;
struct VerifyOfdResult;
class OfdVisualItemAnnot;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPropertyAnimation;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;
struct OES_SealInfoEx;

// Page moves of the navigation buttons.
enum EN_PageMove
{
    EN_PageMove_First = 0,
    EN_PageMove_PreRow = 1,
    EN_PageMove_NextRow = 2,
    EN_PageMove_Last = 3,
};

// The content of one document tab: a document view surrounded by the file menu, the quick
// buttons, four mode buttons with their tool bars, the search box, the collapsible side bar with
// its panels and the status bar. Every command of the reader is a button or menu entry here.
class OfdReadWidget : public ReadWidget
{
    Q_OBJECT
    Q_PROPERTY(int leftBarWidth READ GetLeftBarWidth WRITE SetLeftBarWidth)
public:
    // Verifies every signature of the open file through the seal provider ("验证签章").
    QSharedPointer<VerifyOfdResult> RunProviderVerification();
    // The same, with the results shown in a dialog.
    void ShowProviderVerification();
    explicit OfdReadWidget(QWidget *parent = nullptr);
    ~OfdReadWidget() override;

    // Opens the package at path and shows it; false (after telling the user) when that fails.
    bool OpenFile(const QString &path);
    bool ShowOfd(QSharedPointer<OfdFileReader> reader);
    QSharedPointer<OfdFileReader> GetFileReader() const;
    FormOfd *GetFormOfd() const { return m_formOfd; }
    // Removes the document view and deletes it; the tab is closing.
    void OnClosed();
    void ShowOfdFullScreen(bool fullScreen);

    // Negative rates are fit modes: -2 fit width, -1 fit page height, others 1.0. The rate is kept
    // between 10% and 6400%.
    void SetPageScale(float rate);
    void MovePage(EN_PageMove move);
    void SearchText(const QString &text);
    void SetMouseShape(EN_MouseShape shape);
    void StartAnnot(EN_AnnotType type);
    void ClearAnnotOperation();
    // Writes the package with this widget's annotations to path; false when that fails (the user
    // was told why) or the user cancelled. When the change would break signatures of the
    // document, the user is asked first, with the signatures named.
    bool SaveOfdFile(const QString &path);
    // True when the annotations differ from what was last saved (or opened): new, moved, hidden,
    // shown again or deleted ones.
    bool IsModified() const;
    // Before the tab or the window closes: with unsaved annotations asks "保存/不保存/取消".
    // True when closing may go on (saved, or not wanted); false when cancelled or saving failed.
    bool ConfirmClose();
    // The name a file dialog returned with the suffix (".ofd", ".png", ".pdf") appended unless the
    // name ends so already (case-sensitive).
    static QString AppendSuffix(const QString &name, const QString &suffix);
    // Writes one PNG per page (name1.png, name2.png ...); the name gets ".png" when it lacks it.
    void ExportToImageFile(const QString &fileName);
    void ExportToPdfFile(const QString &fileName);
    // The print command: the print dialog over the view's page scenes, run modally.
    void ShowPrintDialog();
    // Ctrl+F: puts the keyboard focus into the search box with its text selected.
    void FocusSearchBox();
    // Gives the keyboard focus to the page area, so that the page keys work at once.
    void FocusView();
    // The actions with keyboard shortcuts (open, save, save as, print, zoom, full screen, search
    // hits); they are added to this widget and to the document view, which is a window of its own
    // while it is full screen.
    const QList<QAction *> &GetKeyActions() const { return m_keyActions; }
    bool IsFullScreenView() const;
    // The context menu of the pages: "复制" (the selected text; disabled without a selection) and
    // the zoom commands. The caller owns the menu.
    QMenu *CreatePageContextMenu(QWidget *parent);
    // F3 / Shift+F3 (and Enter again in the search box): the next or previous hit of the search;
    // searches the box's text first when it has not been searched yet. The status bar tells the page.
    void ShowNextHit(bool backwards);

    void ShowLeftBar(bool open);
    bool IsLeftBarOpen() const { return m_leftBarOpen; }
    int GetLeftBarWidth() const;
    void SetLeftBarWidth(int width);
    // Opens, or closes when it is showing, the side panel 0 outline, 1 thumbnails, 2 custom tags,
    // 3 annotations, 4 attachments.
    void ShowLeftPanel(int panel);
    int GetCurrentPanel() const { return m_currentPanel; }
    QWidget *GetPanel(int panel) const;

    // For the interface and its tests: the tool bar of a mode button's object name (null until it
    // was built), the current rate shown in the zoom box, the page box and its label.
    QWidget *GetToolBar(const QString &modeButton) const { return m_toolBars.value(modeButton); }
    QWidget *GetCurrentToolBar() const;
    QToolButton *FindToolButton(const QString &text) const;
    QComboBox *GetZoomBox() const { return m_zoomBox; }
    QLineEdit *GetPageEdit() const { return m_pageEdit; }
    QLabel *GetPageLabel() const { return m_pageLabel; }
    int GetReadTool() const { return m_readTool; }
    int GetAnnotState() const { return m_annotState; }
    // Opens a file in a tab of its own (a signed copy of this document, for example).
    void OpenFileInNewTab(const QString &path) { emit signalOpenFileInTab(path); }

signals:
    void signalOpenOfdFile(OfdReadWidget *sender);
    void signalPdfFileName(QString name);
    void signalOpenFileInTab(const QString &path);

protected:
    // The page area's context menu (the view's context-menu events that no page item took).
    bool eventFilter(QObject *watched, QEvent *event) override;
    // True when a seal or an annotation, which have menus of their own, is under the point.
    bool HasOwnMenuAt(const QPoint &globalPos) const;

private slots:
    void OnDrawAnnotEnd(FormOfd *view, OfdVisualItemAnnot *annot);

private:
    void BuildForm();
    void BuildFileMenu();
    void BuildKeyActions();
    QAction *AddKeyAction(const QString &name, const QList<QKeySequence> &keys);
    void WireTopButtons();
    void ShowToolBar(const QString &modeButton);
    QWidget *CreateToolBar(const QString &modeButton);
    void BuildReadToolBar(QWidget *bar);
    void BuildAnnotToolBar(QWidget *bar);
    void BuildConvertToolBar(QWidget *bar);
    void BuildSecurityToolBar(QWidget *bar);
    QToolButton *AddToolButton(QWidget *bar, const QString &text, const QString &icon, bool checkable = true);
    void AddSeparator(QWidget *bar);
    void AddCursorButtons(QWidget *bar);
    void AddZoomBox(QWidget *bar);
    void AddPageBox(QWidget *bar);
    void AddExportButtons(QWidget *bar);
    QIcon ToolIcon(const QString &name) const;
    static void SetCheckedInGroup(QAbstractButton *button, bool checked);

    void SetReaderMode(int mode);
    void ShowRate(double rate);
    void OnZoomBoxChanged(int index);
    void OnPageEditFinished();
    void ShowCurPageNum();
    void OnPageIndexChanged(FormOfd *view, int index);
    void OnAnnotChanged(FormOfd *view, FormOfdPage *page);
    void ToggleVerifySeal();
    QSharedPointer<OES_SealInfoEx> GetSelectSeal();
    void PlaceSeal(bool ride);
    void SaveAs();
    bool SaveTo(const QString &path, bool signaturesConfirmed);
    void Quit();
    void ExportToImage();
    void ExportToPdf();
    void ShowAbout();
    void ToggleToolStrip();
    QWidget *CreatePanel(int panel);
    void ShowMessage(const QString &text);

    FormOfd *m_formOfd = nullptr;
    // Digest of the changes last written (OfdPackagePatch::GetChangeDigest); at first that of none.
    QByteArray m_savedDigest;

    // The form.
    QWidget *m_centralWidget = nullptr;
    QWidget *m_topMenuWidget = nullptr;
    MenuButton *m_fileBtn = nullptr;
    QPushButton *m_pushButtonOpen = nullptr;
    QPushButton *m_pushButtonSave = nullptr;
    QPushButton *m_pushButtonPrint = nullptr;
    QPushButton *m_readBtn = nullptr;
    QPushButton *m_annotBtnTop = nullptr;
    QPushButton *m_convertBtn = nullptr;
    QPushButton *m_securityBtn = nullptr;
    QButtonGroup *m_modeGroup = nullptr;
    QLineEdit *m_lineEditSearch = nullptr;
    QPushButton *m_pushButtonSearch = nullptr;
    QPushButton *m_buttonShowReadToobar = nullptr;
    QWidget *m_topToolWidget = nullptr;
    QWidget *m_leftBarWidget = nullptr;
    QWidget *m_leftBarFirstColumnWidget = nullptr;
    QWidget *m_leftBarSecondColumnWidget = nullptr;
    QStackedWidget *m_stackedWidgetLeftBar = nullptr;
    QButtonGroup *m_panelGroup = nullptr;
    QWidget *m_widgetOfdView = nullptr;
    QHBoxLayout *m_horizontalLayoutOfdView = nullptr;
    QLabel *m_messageLabel = nullptr;
    QAction *m_actionSave = nullptr;
    QAction *m_actionSaveAs = nullptr;
    QList<QAction *> m_keyActions;

    // Tool bars.
    QMap<QString, QWidget *> m_toolBars;
    int m_toolBarX = 4;
    QList<QButtonGroup *> m_buttonGroups;
    QList<QAbstractButton *> m_cursorButtons;
    QList<QAbstractButton *> m_annotButtons;
    int m_readTool = 0;
    int m_annotState = 0;
    QComboBox *m_zoomBox = nullptr;
    bool m_zoomBoxArmed = true;
    QList<QAbstractButton *> m_fitButtons; // actual size, fit height, fit width
    QLineEdit *m_pageEdit = nullptr;
    QLabel *m_pageLabel = nullptr;

    // Side bar.
    bool m_leftBarOpen = false;
    int m_currentPanel = -1;
    QWidget *m_panels[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    QPropertyAnimation *m_leftBarAnimation = nullptr;

    int m_verifyCount = 0;
};
