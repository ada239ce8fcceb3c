#include "reader/ofdreadwidget.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>

#include "annot/ofdvisualitemannot.h"
#include "app/mytimer.h"
#include "app/qthelper.h"
#include "model/package/ofdfilereader.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formofdprint.h"
#include "reader/formsealselect.h"
#include "reader/ofdopenerror.h"
#include "reader/ofdreadpanels.h"
#include "reader/readerviewstate.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemsignseal.h"
#include "shell/fileinforecord.h"
#include "sign/oesv2helper.h"
#include "sign/ofdsignatureimpact.h"
#include "sign/ofdxmlsignature.h"
#include "sign/verifyofdfile.h"
#include "widgets/appdialog.h"
#include "widgets/commonutils.h"
#include "widgets/menubutton.h"
#include "widgets/toast.h"
#include "writer/ofdcreator.h"
#include "writer/ofdpackagepatch.h"

namespace {
const char *kToolBarIcons = ":/MainWindow/Resources/ToolBar/";
const int kToolStripHeight = 60;
const int kLeftBarClosed = 45;
const int kLeftBarOpen = 360;
const double kMinRate = 0.1;  // 10%: a rate at or below 0 is never shown
const double kMaxRate = 64.0; // 6400%, the largest entry of the zoom box
const char *kModeButtons[] = {"readBtn", "annotBtnTop", "convertBtn", "securityBtn"};
const char *kPanelProperties[] = {"formOfdOutline", "formOfdThumbnail", "formOfdCustomtag",
                                  "formOfdAnnot",   "formOfdFile",      "formOfdSignature"};

QString T(const char *utf8)
{
    return QtHelper::fromString(utf8);
}
} // namespace

OfdReadWidget::OfdReadWidget(QWidget *parent)
    : ReadWidget(parent), m_savedDigest(QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha1))
{
    BuildForm();
    setWindowTitle(T("OFD阅读器"));
    m_leftBarAnimation = new QPropertyAnimation(this, "leftBarWidth", this);
    m_leftBarAnimation->setDuration(0);
    m_leftBarAnimation->setEasingCurve(QEasingCurve::Linear);
    BuildFileMenu();
    BuildKeyActions();
    WireTopButtons();
    ShowToolBar(QStringLiteral("readBtn"));
    ShowLeftBar(false);
    findChild<QPushButton *>(QStringLiteral("bookmarkbtn"))->hide();
}

OfdReadWidget::~OfdReadWidget()
{
    // Children losing focus while they are torn down (the page box ends its editing) must not
    // call back into this half-destroyed widget.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    // A view shown full screen is a window of its own and is not deleted with the children.
    if (m_formOfd && !m_formOfd->parent())
        delete m_formOfd;
}

// ---------------------------------------------------------------------------------------------
// The form

void OfdReadWidget::BuildForm()
{
    setStyleSheet(QtHelper::GetTopReaderSwithQss());

    m_centralWidget = new QWidget(this);
    m_centralWidget->setObjectName(QStringLiteral("centralWidget"));
    auto *verticalLayout = new QVBoxLayout(m_centralWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    verticalLayout->setSpacing(0);
    setCentralWidget(m_centralWidget);

    // Top menu bar: file menu, quick buttons, mode buttons, search box.
    m_topMenuWidget = new QWidget(m_centralWidget);
    m_topMenuWidget->setObjectName(QStringLiteral("topMenuWidget"));
    m_topMenuWidget->setAttribute(Qt::WA_StyledBackground);
    m_topMenuWidget->setFixedHeight(40);
    auto *horizontalLayout2 = new QHBoxLayout(m_topMenuWidget);
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout2->setContentsMargins(6, 2, 8, 2);
    horizontalLayout2->setSpacing(4);

    m_fileBtn = new MenuButton(T("文件"), m_topMenuWidget);
    m_fileBtn->setObjectName(QStringLiteral("fileBtn"));
    m_fileBtn->setIcon(QIcon(QString::fromLatin1(kToolBarIcons) + QStringLiteral("file_logo.png")));
    m_fileBtn->setIconSize(QSize(18, 18));
    m_fileBtn->GetMenu()->setObjectName(QStringLiteral("fileMenu"));
    auto *line = new QFrame(m_topMenuWidget);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::VLine);
    line->setFixedWidth(1);
    m_pushButtonOpen = new QPushButton(m_topMenuWidget);
    m_pushButtonOpen->setObjectName(QStringLiteral("pushButtonOpen"));
    m_pushButtonOpen->setToolTip(T("打开"));
    m_pushButtonSave = new QPushButton(m_topMenuWidget);
    m_pushButtonSave->setObjectName(QStringLiteral("pushButtonSave"));
    m_pushButtonPrint = new QPushButton(m_topMenuWidget);
    m_pushButtonPrint->setObjectName(QStringLiteral("pushButtonPrint"));
    m_pushButtonPrint->setToolTip(T("打印"));

    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->setExclusive(true);
    const char *modeTexts[] = {"阅读", "批注", "转换", "安全"};
    QPushButton **modeButtons[] = {&m_readBtn, &m_annotBtnTop, &m_convertBtn, &m_securityBtn};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(T(modeTexts[i]), m_topMenuWidget);
        button->setObjectName(QString::fromLatin1(kModeButtons[i]));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        m_modeGroup->addButton(button, i);
        *modeButtons[i] = button;
    }
    m_readBtn->setChecked(true);

    m_lineEditSearch = new QLineEdit(m_topMenuWidget);
    m_lineEditSearch->setObjectName(QStringLiteral("lineEditSearch"));
    m_lineEditSearch->setPlaceholderText(T("搜索"));
    m_lineEditSearch->setFixedWidth(200);
    m_lineEditSearch->setClearButtonEnabled(true);
    m_pushButtonSearch = new QPushButton(m_topMenuWidget);
    m_pushButtonSearch->setObjectName(QStringLiteral("pushButtonSearch"));
    m_pushButtonSearch->setToolTip(T("搜索"));
    m_buttonShowReadToobar = new QPushButton(m_topMenuWidget);
    m_buttonShowReadToobar->setObjectName(QStringLiteral("buttonShowReadToobar"));
    m_buttonShowReadToobar->setCheckable(true);
    m_buttonShowReadToobar->setToolTip(T("收起工具栏"));
    for (QPushButton *button :
         {m_pushButtonOpen, m_pushButtonSave, m_pushButtonPrint, m_pushButtonSearch, m_buttonShowReadToobar})
        button->setFocusPolicy(Qt::NoFocus);

    horizontalLayout2->addWidget(m_fileBtn);
    horizontalLayout2->addWidget(line);
    horizontalLayout2->addWidget(m_pushButtonOpen);
    horizontalLayout2->addWidget(m_pushButtonSave);
    horizontalLayout2->addWidget(m_pushButtonPrint);
    horizontalLayout2->addStretch(1);
    for (QPushButton **button : modeButtons)
        horizontalLayout2->addWidget(*button);
    horizontalLayout2->addStretch(1);
    horizontalLayout2->addWidget(m_lineEditSearch);
    horizontalLayout2->setSpacing(4);
    horizontalLayout2->addWidget(m_pushButtonSearch);
    horizontalLayout2->addSpacing(6);
    horizontalLayout2->addWidget(m_buttonShowReadToobar);
    verticalLayout->addWidget(m_topMenuWidget);

    // Tool-bar strip: one tool bar per mode, placed by hand.
    m_topToolWidget = new QWidget(m_centralWidget);
    m_topToolWidget->setObjectName(QStringLiteral("topToolWidget"));
    m_topToolWidget->setAttribute(Qt::WA_StyledBackground);
    m_topToolWidget->setFixedHeight(kToolStripHeight);
    verticalLayout->addWidget(m_topToolWidget);

    // Main area: side bar and the document view.
    auto *widgetMainView = new QWidget(m_centralWidget);
    widgetMainView->setObjectName(QStringLiteral("widgetMainView"));
    widgetMainView->setAttribute(Qt::WA_StyledBackground);
    auto *mainLayout = new QHBoxLayout(widgetMainView);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);

    m_leftBarWidget = new QWidget(widgetMainView);
    m_leftBarWidget->setObjectName(QStringLiteral("leftBarWidget"));
    m_leftBarWidget->setAttribute(Qt::WA_StyledBackground);
    auto *leftLayout = new QHBoxLayout(m_leftBarWidget);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    m_leftBarFirstColumnWidget = new QWidget(m_leftBarWidget);
    m_leftBarFirstColumnWidget->setObjectName(QStringLiteral("leftBarFirstColumnWidget"));
    m_leftBarFirstColumnWidget->setAttribute(Qt::WA_StyledBackground);
    m_leftBarFirstColumnWidget->setFixedWidth(kLeftBarClosed);
    auto *firstColumn = new QVBoxLayout(m_leftBarFirstColumnWidget);
    firstColumn->setContentsMargins(4, 8, 4, 8);
    firstColumn->setSpacing(6);
    m_panelGroup = new QButtonGroup(this);
    m_panelGroup->setExclusive(true);
    struct PanelButton
    {
        const char *name;
        const char *tip;
        int panel;
    };
    const PanelButton panelButtons[] = {{"imagebtn", "缩略图", 1},   {"outlinebtn", "大纲", 0},
                                        {"customTagbtn", "标引", 2}, {"annotBtn", "批注", 3},
                                        {"bookmarkbtn", "书签", -1}, {"attachmentBtn", "附件", 4},
                                        {"signatureBtn", "签章", 5}};
    for (const PanelButton &info : panelButtons) {
        auto *button = new QPushButton(m_leftBarFirstColumnWidget);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setToolTip(T(info.tip));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        firstColumn->addWidget(button, 0, Qt::AlignHCenter);
        if (info.panel >= 0) {
            m_panelGroup->addButton(button, info.panel);
            const int panel = info.panel;
            connect(button, &QPushButton::clicked, this, [this, panel]() { ShowLeftPanel(panel); });
        }
    }
    firstColumn->addStretch(1);
    m_leftBarSecondColumnWidget = new QWidget(m_leftBarWidget);
    m_leftBarSecondColumnWidget->setObjectName(QStringLiteral("leftBarSecondColumnWidget"));
    m_leftBarSecondColumnWidget->setAttribute(Qt::WA_StyledBackground);
    auto *secondColumn = new QVBoxLayout(m_leftBarSecondColumnWidget);
    secondColumn->setContentsMargins(0, 0, 0, 0);
    m_stackedWidgetLeftBar = new QStackedWidget(m_leftBarSecondColumnWidget);
    m_stackedWidgetLeftBar->setObjectName(QStringLiteral("stackedWidgetLeftBar"));
    secondColumn->addWidget(m_stackedWidgetLeftBar);
    leftLayout->addWidget(m_leftBarFirstColumnWidget);
    leftLayout->addWidget(m_leftBarSecondColumnWidget, 1);
    mainLayout->addWidget(m_leftBarWidget);

    m_widgetOfdView = new QWidget(widgetMainView);
    m_widgetOfdView->setObjectName(QStringLiteral("widgetOfdView"));
    m_horizontalLayoutOfdView = new QHBoxLayout(m_widgetOfdView);
    m_horizontalLayoutOfdView->setObjectName(QStringLiteral("horizontalLayout_OfdView"));
    m_horizontalLayoutOfdView->setContentsMargins(0, 0, 0, 0);
    m_horizontalLayoutOfdView->setSpacing(0);
    mainLayout->addWidget(m_widgetOfdView, 1);
    verticalLayout->addWidget(widgetMainView, 1);

    // Status bar.
    auto *bottomWidget = new QWidget(m_centralWidget);
    bottomWidget->setObjectName(QStringLiteral("bottomWidget"));
    bottomWidget->setAttribute(Qt::WA_StyledBackground);
    bottomWidget->setFixedHeight(24);
    auto *bottomLayout = new QHBoxLayout(bottomWidget);
    bottomLayout->setContentsMargins(0, 0, 8, 0);
    m_messageLabel = new QLabel(bottomWidget);
    m_messageLabel->setObjectName(QStringLiteral("messageLabel"));
    m_messageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bottomLayout->addWidget(m_messageLabel, 1);
    verticalLayout->addWidget(bottomWidget);
}

void OfdReadWidget::BuildFileMenu()
{
    const QString icons = QString::fromLatin1(kToolBarIcons);
    QAction *open =
        m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_open.png")), T("打开"), T("打开"));
    open->setShortcut(QKeySequence(QStringLiteral("CTRL+N")));
    m_actionSave =
        m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_save.png")), T("保存"), T("保存"));
    m_actionSave->setShortcut(QKeySequence(QStringLiteral("CTRL+S")));
    m_actionSaveAs = m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_saveas.png")), T("另存为"),
                                              T("另存文件"));
    QAction *print =
        m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_print.png")), T("打印"), T("打印"));
    m_fileBtn->GetMenu()->addSeparator();
    QAction *about =
        m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_about.png")), T("关于"), T("关于"));
    QAction *quit =
        m_fileBtn->AddMenuAction(QIcon(icons + QStringLiteral("menu_exit.png")), T("退出"), T("关闭程序"));
    // The shortcuts work wherever the focus is in this tab, and in the full-screen view.
    m_actionSaveAs->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_S));
    print->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_P));
    m_keyActions = {open, m_actionSave, m_actionSaveAs, print};
    addActions(m_keyActions);

    connect(open, &QAction::triggered, this, [this]() { emit signalOpenOfdFile(this); });
    connect(m_actionSave, &QAction::triggered, this, [this]() { SaveOfdFile(GetFilePath()); });
    connect(m_actionSaveAs, &QAction::triggered, this, &OfdReadWidget::SaveAs);
    connect(print, &QAction::triggered, this, &OfdReadWidget::ShowPrintDialog);
    connect(about, &QAction::triggered, this, &OfdReadWidget::ShowAbout);
    connect(quit, &QAction::triggered, this, &OfdReadWidget::Quit);
}

QAction *OfdReadWidget::AddKeyAction(const QString &name, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(this);
    action->setObjectName(name);
    action->setShortcuts(keys);
    addAction(action);
    m_keyActions.append(action);
    return action;
}

void OfdReadWidget::BuildKeyActions()
{
    QAction *zoomIn = AddKeyAction(QStringLiteral("actionZoomIn"), {QKeySequence(Qt::CTRL + Qt::Key_Plus),
                                                                    QKeySequence(Qt::CTRL + Qt::Key_Equal)});
    QAction *zoomOut =
        AddKeyAction(QStringLiteral("actionZoomOut"), {QKeySequence(Qt::CTRL + Qt::Key_Minus)});
    QAction *actual = AddKeyAction(QStringLiteral("actionActualSize"), {QKeySequence(Qt::CTRL + Qt::Key_0)});
    QAction *full = AddKeyAction(QStringLiteral("actionFullScreen"), {QKeySequence(Qt::Key_F11)});
    QAction *next = AddKeyAction(QStringLiteral("actionNextHit"), {QKeySequence(Qt::Key_F3)});
    QAction *previous =
        AddKeyAction(QStringLiteral("actionPreviousHit"), {QKeySequence(Qt::SHIFT + Qt::Key_F3)});
    auto step = [this](float delta) {
        if (m_formOfd)
            SetPageScale(float(m_formOfd->GetViewCurrentRate()) + delta);
    };
    connect(zoomIn, &QAction::triggered, this, [step]() { step(0.1f); });
    connect(zoomOut, &QAction::triggered, this, [step]() { step(-0.1f); });
    connect(actual, &QAction::triggered, this, [this]() { SetPageScale(1.0f); });
    connect(full, &QAction::triggered, this, [this]() { ShowOfdFullScreen(!IsFullScreenView()); });
    connect(next, &QAction::triggered, this, [this]() { ShowNextHit(false); });
    connect(previous, &QAction::triggered, this, [this]() { ShowNextHit(true); });
}

bool OfdReadWidget::IsFullScreenView() const
{
    return m_formOfd && !m_formOfd->parent();
}

QMenu *OfdReadWidget::CreatePageContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("pageContextMenu"));
    QAction *copy = menu->addAction(T("复制"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(m_formOfd && !m_formOfd->GetCopyText().isEmpty());
    connect(copy, &QAction::triggered, this, [this]() {
        if (m_formOfd)
            m_formOfd->ActionCopyClick();
    });
    menu->addSeparator();
    const struct
    {
        const char *text;
        const char *keys;
        float rate; // +-0.1: one step in or out; else a rate or fit mode for SetPageScale
    } entries[] = {
        {"放大", "Ctrl++", 0.1f}, {"缩小", "Ctrl+-", -0.1f}, {"实际大小", "Ctrl+0", 1.0f},
        {"适合宽度", "", -2.0f},  {"适合高度", "", -1.0f},
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(T(entry.text));
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.keys)));
        const float rate = entry.rate;
        connect(action, &QAction::triggered, this, [this, rate]() {
            if (!m_formOfd)
                return;
            if (qAbs(rate) < 0.2f)
                SetPageScale(float(m_formOfd->GetViewCurrentRate()) + rate);
            else
                SetPageScale(rate);
        });
    }
    return menu;
}

bool OfdReadWidget::HasOwnMenuAt(const QPoint &globalPos) const
{
    if (!m_formOfd)
        return false;
    // Only pages with a widget can be under the pointer.
    for (FormOfdPage *page : m_formOfd->GetPageList()) {
        if (!page || !page->isVisible() || !page->GetPageScene())
            continue;
        const QPoint local = page->viewport()->mapFromGlobal(globalPos);
        if (!page->viewport()->rect().contains(local))
            continue;
        for (QGraphicsItem *item : page->GetPageScene()->items(page->mapToScene(local))) {
            if (dynamic_cast<OfdVisualItemSignSeal *>(item) || dynamic_cast<OfdVisualItemAnnot *>(item))
                return true;
        }
        return false;
    }
    return false;
}

bool OfdReadWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_formOfd && event->type() == QEvent::ContextMenu) {
        auto *request = static_cast<QContextMenuEvent *>(event);
        if (HasOwnMenuAt(request->globalPos()))
            return false; // seals and annotations opened their own menu on the press
        QMenu *menu = CreatePageContextMenu(m_formOfd);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(request->globalPos());
        request->accept();
        return true;
    }
    return ReadWidget::eventFilter(watched, event);
}

void OfdReadWidget::FocusView()
{
    if (m_formOfd)
        m_formOfd->setFocus(Qt::OtherFocusReason);
}

void OfdReadWidget::WireTopButtons()
{
    connect(m_pushButtonOpen, &QPushButton::clicked, this, [this]() { emit signalOpenOfdFile(this); });
    connect(m_pushButtonSave, &QPushButton::clicked, this, [this]() { SaveOfdFile(GetFilePath()); });
    connect(m_pushButtonPrint, &QPushButton::clicked, this, &OfdReadWidget::ShowPrintDialog);
    connect(m_pushButtonSearch, &QPushButton::clicked, this,
            [this]() { SearchText(m_lineEditSearch->text().trimmed()); });
    // Enter again on the same text goes to the next hit, as F3 does.
    connect(m_lineEditSearch, &QLineEdit::returnPressed, this, [this]() {
        const QString text = m_lineEditSearch->text().trimmed();
        if (m_formOfd && !text.isEmpty() && text == m_formOfd->GetSearchText() && !m_formOfd->IsSearching() &&
            m_formOfd->GetSearchHitTotal() > 0)
            ShowNextHit(false);
        else
            SearchText(text);
    });
    connect(m_buttonShowReadToobar, &QPushButton::clicked, this, &OfdReadWidget::ToggleToolStrip);
    connect(m_modeGroup, &QButtonGroup::idClicked, this, &OfdReadWidget::SetReaderMode);
}

void OfdReadWidget::ToggleToolStrip()
{
    const bool collapse = m_topToolWidget->height() > 0;
    m_topToolWidget->setFixedHeight(collapse ? 0 : kToolStripHeight);
    m_buttonShowReadToobar->setChecked(collapse);
    m_buttonShowReadToobar->setToolTip(collapse ? T("展开工具栏") : T("收起工具栏"));
}

void OfdReadWidget::SetReaderMode(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    if (m_formOfd)
        m_formOfd->SetReaderView(static_cast<EN_OfdReaderView>(mode));
    ClearAnnotOperation();
    if (m_annotState == 2) {
        // The annotation tool does not outlive its tool bar; the hand takes over.
        m_annotState = 0;
        SetMouseShape(EN_MouseShape_Hand);
    }
    ShowToolBar(QString::fromLatin1(kModeButtons[mode]));
}

// ---------------------------------------------------------------------------------------------
// Tool bars

void OfdReadWidget::ShowToolBar(const QString &modeButton)
{
    QWidget *bar = m_toolBars.value(modeButton);
    if (!bar) {
        bar = CreateToolBar(modeButton);
        m_toolBars.insert(modeButton, bar);
    }
    for (QWidget *other : qAsConst(m_toolBars))
        other->setVisible(other == bar);
}

QWidget *OfdReadWidget::GetCurrentToolBar() const
{
    for (QWidget *bar : m_toolBars) {
        if (!bar->isHidden())
            return bar;
    }
    return nullptr;
}

QToolButton *OfdReadWidget::FindToolButton(const QString &text) const
{
    // The shown tool bar first: "手型" and "文本" are on every one.
    QList<QWidget *> bars = m_toolBars.values();
    if (QWidget *current = GetCurrentToolBar()) {
        bars.removeOne(current);
        bars.prepend(current);
    }
    for (QWidget *bar : qAsConst(bars)) {
        for (QToolButton *button : bar->findChildren<QToolButton *>()) {
            if (button->text() == text)
                return button;
        }
    }
    return nullptr;
}

QWidget *OfdReadWidget::CreateToolBar(const QString &modeButton)
{
    auto *bar = new QWidget(m_topToolWidget);
    bar->setObjectName(modeButton + QStringLiteral("ToolBar"));
    m_toolBarX = 4;
    if (modeButton == QLatin1String("readBtn"))
        BuildReadToolBar(bar);
    else if (modeButton == QLatin1String("annotBtnTop"))
        BuildAnnotToolBar(bar);
    else if (modeButton == QLatin1String("convertBtn"))
        BuildConvertToolBar(bar);
    else
        BuildSecurityToolBar(bar);
    bar->setGeometry(0, 0, m_toolBarX, kToolStripHeight);
    // A tool bar built after a shape change shows the current tool.
    const int shape = m_formOfd ? int(m_formOfd->GetMouseShape()) : m_readTool;
    for (QAbstractButton *button : qAsConst(m_cursorButtons)) {
        if (button->parentWidget() != bar)
            continue;
        const bool hand = button->property("tag_hand").toString() == QLatin1String("true");
        SetCheckedInGroup(button, hand ? shape == 0 : shape == 1);
    }
    return bar;
}

QIcon OfdReadWidget::ToolIcon(const QString &name) const
{
    // Drawn from the SVG source where there is one, at the sizes of 100 % to 300 % screens, so that
    // high-DPI screens get sharp icons; the PNG otherwise.
    QString svg = QString::fromLatin1(kToolBarIcons) + name;
    svg.replace(QRegularExpression(QStringLiteral("\\.png$")), QStringLiteral(".svg"));
    QSvgRenderer renderer;
    if (!QFile::exists(svg) || !renderer.load(svg)) {
        QPixmap pixmap(QString::fromLatin1(kToolBarIcons) + name);
        if (AppParam::AppStatus == 2)
            pixmap = CommonUtils::recolor(pixmap, Qt::black);
        return QIcon(pixmap);
    }
    QIcon icon;
    for (int size : {32, 48, 64, 96}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        QPixmap pixmap = QPixmap::fromImage(image);
        if (AppParam::AppStatus == 2)
            pixmap = CommonUtils::recolor(pixmap, Qt::black);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QToolButton *OfdReadWidget::AddToolButton(QWidget *bar, const QString &text, const QString &icon,
                                          bool checkable)
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(12);
    const int textWidth =
        qMax(QFontMetrics(font).horizontalAdvance(text), QFontMetrics(bar->font()).horizontalAdvance(text));
    auto *button = new QToolButton(bar);
    button->setText(text);
    button->setToolTip(text);
    button->setIcon(ToolIcon(icon));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(m_toolBarX, 3, qMax(textWidth + 14, 40), 54);
    m_toolBarX += qMax(textWidth + 20, 46);
    return button;
}

void OfdReadWidget::AddSeparator(QWidget *bar)
{
    auto *separator = new QFrame(bar);
    separator->setStyleSheet(QStringLiteral("background-color:#dadada;"));
    separator->setGeometry(m_toolBarX, 6, 1, 48);
    m_toolBarX += 7;
}

void OfdReadWidget::SetCheckedInGroup(QAbstractButton *button, bool checked)
{
    // An exclusive group refuses to uncheck its checked button; open it for the change.
    QButtonGroup *group = button->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive)
        group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive)
        group->setExclusive(true);
}

void OfdReadWidget::AddCursorButtons(QWidget *bar)
{
    const bool edition0 = AppParam::AppStatus == 0;
    const bool annotBar = bar->objectName() == QLatin1String("annotBtnTopToolBar");
    QToolButton *hand = AddToolButton(
        bar, T("手型"), edition0 ? QStringLiteral("hand.png") : QStringLiteral("read_hand.png"));
    hand->setProperty("tag_hand", QStringLiteral("true"));
    QToolButton *text = AddToolButton(
        bar, T("文本"), edition0 ? QStringLiteral("arrow.png") : QStringLiteral("read_arrow.png"));
    text->setProperty("tag_text", QStringLiteral("true"));
    auto *group = new QButtonGroup(bar);
    group->setExclusive(true);
    group->addButton(hand);
    group->addButton(text);
    hand->setChecked(true);
    m_buttonGroups.append(group);
    m_cursorButtons.append(hand);
    m_cursorButtons.append(text);
    connect(hand, &QToolButton::clicked, this, [this, annotBar]() {
        if (annotBar) {
            ClearAnnotOperation();
            m_annotState = 0;
        } else {
            m_readTool = 0;
        }
        SetMouseShape(EN_MouseShape_Hand);
    });
    connect(text, &QToolButton::clicked, this, [this, annotBar]() {
        if (annotBar) {
            ClearAnnotOperation();
            m_annotState = 1;
        } else {
            m_readTool = 1;
        }
        SetMouseShape(EN_MouseShape_Text);
    });
}

void OfdReadWidget::AddZoomBox(QWidget *bar)
{
    const int x = m_toolBarX;
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("comboBoxZoom"));
    m_zoomBox->setEditable(false);
    m_zoomBox->setFocusPolicy(Qt::NoFocus);
    m_zoomBox->addItems({QString(), QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"),
                         QStringLiteral("75%"), QStringLiteral("100%"), QStringLiteral("125%"),
                         QStringLiteral("150%"), QStringLiteral("200%"), QStringLiteral("400%"),
                         QStringLiteral("800%"), QStringLiteral("1600%"), QStringLiteral("2400%"),
                         QStringLiteral("3200%"), QStringLiteral("6400%")});
    m_zoomBox->setGeometry(x, 10, 100, 20);
    auto *label = new QLabel(T("显示比例"), bar);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(x, 34, 100, 18);
    m_toolBarX += 106;
    ShowRate(m_formOfd ? m_formOfd->GetViewCurrentRate() : 1.0);
    connect(m_zoomBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &OfdReadWidget::OnZoomBoxChanged);
}

void OfdReadWidget::AddPageBox(QWidget *bar)
{
    auto *box = new QWidget(bar);
    box->setObjectName(QStringLiteral("pageBox"));
    box->setGeometry(m_toolBarX, 0, 72, 60);
    m_pageEdit = new QLineEdit(box);
    m_pageEdit->setObjectName(QStringLiteral("lineEditPage"));
    m_pageEdit->setGeometry(6, 10, 60, 20);
    m_pageEdit->setAlignment(Qt::AlignCenter);
    m_pageLabel = new QLabel(T("0 页"), box);
    m_pageLabel->setObjectName(QStringLiteral("labelPage"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setGeometry(0, 34, 72, 18);
    m_toolBarX += 78;
    connect(m_pageEdit, &QLineEdit::editingFinished, this, &OfdReadWidget::OnPageEditFinished);
    if (m_formOfd) {
        m_pageLabel->setText(T("共 %1 %2").arg(m_formOfd->GetPageCount()).arg(T("页")));
        ShowCurPageNum();
    }
}

void OfdReadWidget::AddExportButtons(QWidget *bar)
{
    QToolButton *image = AddToolButton(bar, T("OFD转图片"), QStringLiteral("ofd2image.png"), false);
    QToolButton *pdf = AddToolButton(bar, T("OFD转PDF"), QStringLiteral("ofd2pdf.png"), false);
    connect(image, &QToolButton::clicked, this, &OfdReadWidget::ExportToImage);
    connect(pdf, &QToolButton::clicked, this, &OfdReadWidget::ExportToPdf);
}

void OfdReadWidget::BuildReadToolBar(QWidget *bar)
{
    const bool edition0 = AppParam::AppStatus == 0;
    auto icon = [edition0](const char *ownIcon, const char *edition0Icon) {
        return QString::fromLatin1(edition0 ? edition0Icon : ownIcon);
    };
    AddCursorButtons(bar);
    AddSeparator(bar);

    QToolButton *actual = AddToolButton(bar, T("实际大小"), icon("read_actual.png", "normal.png"));
    QToolButton *height = AddToolButton(bar, T("适合高度"), icon("read_height.png", "full.png"));
    QToolButton *width = AddToolButton(bar, T("适合宽度"), icon("read_width.png", "full_width.png"));
    m_fitButtons = {actual, height, width};
    auto *fitGroup = new QButtonGroup(bar);
    fitGroup->setExclusive(true);
    for (QToolButton *button : {actual, height, width})
        fitGroup->addButton(button);
    actual->setChecked(true);
    m_buttonGroups.append(fitGroup);
    connect(actual, &QToolButton::clicked, this, [this]() { SetPageScale(1.0f); });
    connect(height, &QToolButton::clicked, this, [this]() { SetPageScale(-1.0f); });
    connect(width, &QToolButton::clicked, this, [this]() { SetPageScale(-2.0f); });
    if (!edition0) {
        QToolButton *full = AddToolButton(bar, T("全屏"), QStringLiteral("full_screen.png"), false);
        connect(full, &QToolButton::clicked, this, [this]() { ShowOfdFullScreen(true); });
    }
    AddSeparator(bar);

    QToolButton *left = AddToolButton(bar, T("左旋转"), icon("read_left.png", "left_rotation.png"), false);
    QToolButton *right = AddToolButton(bar, T("右旋转"), icon("read_right.png", "right_rotation.png"), false);
    connect(left, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            m_formOfd->ViewRotationRight(-90);
    });
    connect(right, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            m_formOfd->ViewRotationRight(90);
    });
    AddSeparator(bar);

    QToolButton *smaller = AddToolButton(bar, T("缩小"), icon("read_zoomsmall.png", "zoomout.png"), false);
    AddZoomBox(bar);
    QToolButton *larger = AddToolButton(bar, T("放大"), icon("read_zoomlarge.png", "zoomIn.png"), false);
    connect(smaller, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            SetPageScale(float(m_formOfd->GetViewCurrentRate()) - 0.1f);
    });
    connect(larger, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            SetPageScale(float(m_formOfd->GetViewCurrentRate()) + 0.1f);
    });
    AddSeparator(bar);

    if (edition0) {
        QToolButton *first = AddToolButton(bar, T("首页"), QStringLiteral("first.png"), false);
        connect(first, &QToolButton::clicked, this, [this]() { MovePage(EN_PageMove_First); });
    }
    QToolButton *previous = AddToolButton(bar, T("上一页"), icon("read_pre.png", "preview.png"), false);
    AddPageBox(bar);
    QToolButton *next = AddToolButton(bar, T("下一页"), icon("read_next.png", "nextview.png"), false);
    connect(previous, &QToolButton::clicked, this, [this]() { MovePage(EN_PageMove_PreRow); });
    connect(next, &QToolButton::clicked, this, [this]() { MovePage(EN_PageMove_NextRow); });
    if (edition0) {
        QToolButton *last = AddToolButton(bar, T("尾页"), QStringLiteral("end.png"), false);
        connect(last, &QToolButton::clicked, this, [this]() { MovePage(EN_PageMove_Last); });
    }
    AddSeparator(bar);

    QToolButton *onePage = AddToolButton(bar, T("单页"), icon("read_onepage.png", "read_onepage.png"));
    QToolButton *twoPages = AddToolButton(bar, T("双页"), icon("read_twopage.png", "read_twopage.png"));
    auto *columnGroup = new QButtonGroup(bar);
    columnGroup->setExclusive(true);
    columnGroup->addButton(onePage);
    columnGroup->addButton(twoPages);
    onePage->setChecked(true);
    m_buttonGroups.append(columnGroup);
    connect(onePage, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            m_formOfd->ShowPage(1);
    });
    connect(twoPages, &QToolButton::clicked, this, [this]() {
        if (m_formOfd)
            m_formOfd->ShowPage(2);
    });
    if (!edition0) {
        AddSeparator(bar);
        AddExportButtons(bar);
    }
}

void OfdReadWidget::BuildAnnotToolBar(QWidget *bar)
{
    AddCursorButtons(bar);
    AddSeparator(bar);
    struct AnnotTool
    {
        const char *text;
        const char *icon;
        EN_AnnotType type;
        bool separatorAfter;
    };
    const AnnotTool tools[] = {
        {"线段", "explain_line.png", EN_AnnotType_Line, false},
        {"箭头", "annot-arrow.png", EN_AnnotType_Arrow, false},
        {"矩形", "explain_rectangle.png", EN_AnnotType_Rect, false},
        {"笔迹", "annot-pen.png", EN_AnnotType_Pen, true},
        {"文本框", "explain_textbox.png", EN_AnnotType_Text, true},
        {"高亮", "explain_arealight.png", EN_AnnotType_Highlight, false},
        {"下划线", "explain_underline.png", EN_AnnotType_Underline, false},
        {"删除线", "explain_delete.png", EN_AnnotType_Strikeout, false},
    };
    auto *group = new QButtonGroup(bar);
    group->setExclusive(true);
    m_buttonGroups.append(group);
    for (const AnnotTool &tool : tools) {
        QToolButton *button = AddToolButton(bar, T(tool.text), QString::fromLatin1(tool.icon));
        group->addButton(button);
        m_annotButtons.append(button);
        const EN_AnnotType type = tool.type;
        connect(button, &QToolButton::clicked, this, [this, type]() { StartAnnot(type); });
        if (tool.separatorAfter)
            AddSeparator(bar);
    }
}

void OfdReadWidget::BuildConvertToolBar(QWidget *bar)
{
    AddCursorButtons(bar);
    AddSeparator(bar);
    AddExportButtons(bar);
}

void OfdReadWidget::BuildSecurityToolBar(QWidget *bar)
{
    AddCursorButtons(bar);
    AddSeparator(bar);
    QToolButton *verify = AddToolButton(bar, T("验章"), QStringLiteral("security_seal.png"), false);
    connect(verify, &QToolButton::clicked, this, &OfdReadWidget::ToggleVerifySeal);
    QToolButton *provider = AddToolButton(bar, T("验证签章"), QStringLiteral("security_seal.png"), false);
    provider->setToolTip(T("由签章服务验证文件的每个签章"));
    connect(provider, &QToolButton::clicked, this, &OfdReadWidget::ShowProviderVerification);
    if (AppParam::AppStatus == 0 || AppParam::AppStatus == 2) {
        QToolButton *seal = AddToolButton(bar, T("电子印章"), QStringLiteral("seal.png"), false);
        QToolButton *ride = AddToolButton(bar, T("骑缝章"), QStringLiteral("seal_ride.png"), false);
        connect(seal, &QToolButton::clicked, this, [this]() { PlaceSeal(false); });
        connect(ride, &QToolButton::clicked, this, [this]() { PlaceSeal(true); });
    }
}

QSharedPointer<VerifyOfdResult> OfdReadWidget::RunProviderVerification()
{
    QSharedPointer<OfdFileReader> reader = GetFileReader();
    if (!reader)
        return QSharedPointer<VerifyOfdResult>();
    VerifyOfdFile verify;
    return verify.VerifyFile(reader);
}

void OfdReadWidget::ShowProviderVerification()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QSharedPointer<VerifyOfdResult> result = RunProviderVerification();
    QApplication::restoreOverrideCursor();
    if (!result)
        return;
    QDialog dialog(this);
    dialog.setWindowTitle(T("验证签章"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *summary = new QLabel(result->message, &dialog);
    summary->setObjectName(QStringLiteral("labelVerifySummary"));
    layout->addWidget(summary);
    if (!result->signatures.isEmpty()) {
        auto *table = new QTableWidget(result->signatures.size(), 3, &dialog);
        table->setObjectName(QStringLiteral("tableVerify"));
        table->setHorizontalHeaderLabels({T("签章"), T("结果"), T("说明")});
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int i = 0; i < result->signatures.size(); ++i) {
            const VerifySignResult &one = result->signatures[i];
            table->setItem(i, 0, new QTableWidgetItem(one.signaturePath));
            table->setItem(i, 1,
                           new QTableWidgetItem(one.state == VerifySignResult::State_Verified ? T("通过")
                                                                                              : T("未通过")));
            table->setItem(i, 2, new QTableWidgetItem(one.message));
        }
        table->horizontalHeader()->setStretchLastSection(true);
        table->resizeColumnsToContents();
        layout->addWidget(table);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(640, 300);
    dialog.exec();
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

bool OfdReadWidget::OpenFile(const QString &path)
{
    SetFilePath(path);
    QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    if (!reader->Open(path)) {
        OfdOpenError::Show(this, path, OfdOpenError::ReasonOfFile(path));
        return false;
    }
    return ShowOfd(reader);
}

bool OfdReadWidget::ShowOfd(QSharedPointer<OfdFileReader> reader)
{
    if (!reader)
        return false;
    const QString fullName =
        QFileInfo(reader->GetFileFullName().isEmpty() ? GetFilePath() : reader->GetFileFullName())
            .absoluteFilePath();

    if (m_formOfd)
        OnClosed();
    auto *view = new FormOfd(m_widgetOfdView);
    MyTimer timer(true);
    if (!view->SetOfdFileReader(reader)) {
        delete view;
        OfdOpenError::Show(this, fullName, OfdOpenError::ReasonOfDocument(reader.data()));
        return false;
    }
    // Only files that open are recorded.
    FileInfoRecord *record = FileInfoRecord::GetInstance();
    record->AddFile(fullName, QDateTime::currentDateTime());
    record->SetOpenDir(fullName);
    record->SaveFile();
    m_formOfd = view;
    view->SetOfdReadWidget(this);
    view->ShowPages();
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    qDebug() << QStringLiteral("page count: %1;span:%2 ms").arg(view->GetPageCount()).arg(timer.GetSpanMS());
    m_horizontalLayoutOfdView->addWidget(view);
    view->SetMouseShape(m_readTool == 1 ? EN_MouseShape_Text : EN_MouseShape_Hand);
    view->SetReaderView(static_cast<EN_OfdReaderView>(qMax(0, m_modeGroup->checkedId())));
    if (m_pageLabel)
        m_pageLabel->setText(T("共 %1 %2").arg(view->GetPageCount()).arg(T("页")));
    ShowCurPageNum();
    ShowRate(view->GetViewCurrentRate());

    connect(view, &FormOfd::EventPageIndexChanged, this, &OfdReadWidget::OnPageIndexChanged);
    connect(view, &FormOfd::SignalSearchProgress, this, [this](int page, int, int) {
        if (page >= 0)
            ShowMessage(T("正在搜索第 %1 页").arg(page + 1));
    });
    // The annotation item type is the annotation module's; connected by name, which needs no
    // complete type.
    connect(view, SIGNAL(SignalDrawAnnotEnd(FormOfd *, OfdVisualItemAnnot *)), this,
            SLOT(OnDrawAnnotEnd(FormOfd *, OfdVisualItemAnnot *)));
    connect(view, &FormOfd::SignalAnnotChanged, this, &OfdReadWidget::OnAnnotChanged);
    connect(view, &FormOfd::SignalViewRateChanged, this, [this](FormOfd *, double rate) { ShowRate(rate); });
    connect(view, &FormOfd::SignalLeaveFullScreen, this, [this](FormOfd *) { ShowOfdFullScreen(false); });
    // A signed copy opens in a tab of its own once the signing command has returned.
    connect(view, &FormOfd::SignalOpenSignedFile, this, &OfdReadWidget::signalOpenFileInTab,
            Qt::QueuedConnection);
    view->addActions(m_keyActions); // the shortcuts work in the full-screen view too
    view->setAcceptDrops(true);     // files dropped on the full-screen view are opened (OfdDropFilter)
    view->installEventFilter(this); // its context menu
    if (ReaderViewState::IsEnabled()) {
        // The side bar first: a fit mode measures the room the view is left with.
        if (ReaderViewState::IsLeftBarOpen())
            ShowLeftPanel(ReaderViewState::GetPanel());
        if (!qFuzzyCompare(ReaderViewState::GetZoomMode(), 1.0f)) {
            for (QLayout *layout : {this->layout(), m_centralWidget->layout()}) {
                if (layout)
                    layout->activate();
            }
            SetPageScale(ReaderViewState::GetZoomMode());
        }
    }
    ShowMessage(QDir::toNativeSeparators(fullName));
    view->setFocus(Qt::OtherFocusReason); // page keys work before the first click
    return true;
}

QSharedPointer<OfdFileReader> OfdReadWidget::GetFileReader() const
{
    return m_formOfd ? m_formOfd->GetFileReader() : QSharedPointer<OfdFileReader>();
}

void OfdReadWidget::OnClosed()
{
    if (!m_formOfd)
        return;
    FormOfd *view = m_formOfd;
    m_formOfd = nullptr;
    m_horizontalLayoutOfdView->removeWidget(view);
    // The panels show the view's scenes: they go first.
    for (QWidget *&panel : m_panels) {
        if (panel) {
            m_stackedWidgetLeftBar->removeWidget(panel);
            delete panel;
            panel = nullptr;
        }
    }
    if (m_leftBarOpen)
        ShowLeftBar(false);
    // A search running in the view (it processes events between pages) is stopped; the view goes
    // once control is back in the event loop.
    if (view->IsSearching()) {
        view->CancelSearch();
        view->hide();
        view->deleteLater();
        return;
    }
    delete view;
}

void OfdReadWidget::ShowOfdFullScreen(bool fullScreen)
{
    if (!m_formOfd)
        return;
    if (fullScreen) {
        if (!m_formOfd->parent())
            return;
        m_horizontalLayoutOfdView->removeWidget(m_formOfd);
        m_formOfd->setParent(nullptr);
        m_formOfd->setWindowTitle(windowTitle());
        m_formOfd->showFullScreen();
    } else {
        if (m_formOfd->parent())
            return;
        m_formOfd->showNormal();
        m_formOfd->setParent(m_widgetOfdView);
        m_horizontalLayoutOfdView->addWidget(m_formOfd);
        m_formOfd->show();
        m_formOfd->setFocus(Qt::OtherFocusReason);
    }
}

// ---------------------------------------------------------------------------------------------
// Zoom and pages

void OfdReadWidget::SetPageScale(float rate)
{
    if (!m_formOfd)
        return;
    // The fit buttons tell which mode the rate came from: fit height, fit width, actual size.
    int fit = -1;
    if (rate < 0)
        fit = qFuzzyCompare(rate, -1.0f) ? 1 : qFuzzyCompare(rate, -2.0f) ? 2 : 0;
    else if (qFuzzyCompare(rate, 1.0f))
        fit = 0;
    for (int i = 0; i < m_fitButtons.size(); ++i)
        SetCheckedInGroup(m_fitButtons[i], i == fit);
    if (ReaderViewState::IsEnabled())
        ReaderViewState::SetZoomMode(rate < 0 ? rate : float(qBound(kMinRate, double(rate), kMaxRate)));
    if (rate < 0) {
        if (qFuzzyCompare(rate, -2.0f)) {
            const double width = m_formOfd->GetCurPageRealWidth();
            rate = 1.0f;
            if (width > 0) {
                rate = float(m_formOfd->GetWndWidth() / width);
                if (m_formOfd->GetPageCount() > 1)
                    rate /= float(qMax(1, m_formOfd->GetPageColumnCount()));
            }
        } else if (qFuzzyCompare(rate, -1.0f)) {
            const double height = m_formOfd->GetCurPageRealHeight();
            rate = height > 0 ? float(m_formOfd->GetWndHeight() / height) : 1.0f;
        } else {
            rate = 1.0f;
        }
    }
    // A rate at or below 0 would fold the pages away: 10% is the floor.
    const double bounded = qBound(kMinRate, double(rate), kMaxRate);
    m_formOfd->SetViewCurrentRate(bounded, true);
    ShowRate(m_formOfd->GetViewCurrentRate());
}

void OfdReadWidget::ShowRate(double rate)
{
    if (!m_zoomBox)
        return;
    m_zoomBoxArmed = false;
    m_zoomBox->removeItem(0);
    // Rounded: 0.9f is 0.8999999762 and must read 90%, not 89%.
    m_zoomBox->insertItem(0, QStringLiteral("%1%").arg(qRound(rate * 100)));
    m_zoomBox->setCurrentIndex(0);
    m_zoomBoxArmed = true;
}

void OfdReadWidget::OnZoomBoxChanged(int index)
{
    if (!m_zoomBoxArmed || index < 0)
        return;
    QString text = m_zoomBox->itemText(index);
    text.remove(QLatin1Char('%'));
    bool ok = false;
    const double percent = text.toDouble(&ok);
    if (!ok || percent <= 0) {
        ShowRate(m_formOfd ? m_formOfd->GetViewCurrentRate() : 1.0);
        return;
    }
    const float rate = float(percent / 100.0);
    ShowRate(rate);
    SetPageScale(rate);
}

void OfdReadWidget::MovePage(EN_PageMove move)
{
    if (!m_formOfd || m_formOfd->GetPageCount() <= 0)
        return;
    const int columns = qMax(1, m_formOfd->GetPageColumnCount());
    const int current = qMax(0, m_formOfd->GetCurShowPageIndex());
    int target = 0;
    switch (move) {
    case EN_PageMove_First:
        target = 0;
        break;
    case EN_PageMove_PreRow:
        target = columns * (current / columns - 1);
        break;
    case EN_PageMove_NextRow:
        target = columns * (current / columns + 1);
        break;
    case EN_PageMove_Last:
        target = m_formOfd->GetPageCount() - 1;
        break;
    }
    m_formOfd->ScrollToPage(qBound(0, target, m_formOfd->GetPageCount() - 1), 0, 0);
    ShowCurPageNum();
}

void OfdReadWidget::OnPageEditFinished()
{
    if (!m_formOfd || !m_pageEdit)
        return;
    bool ok = false;
    const int number = m_pageEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        ShowCurPageNum(); // not a page number: the box shows the current page again
        return;
    }
    m_formOfd->ScrollToPage(qBound(0, number - 1, m_formOfd->GetPageCount() - 1), 0, 0);
    ShowCurPageNum();
}

void OfdReadWidget::ShowCurPageNum()
{
    if (!m_pageEdit)
        return;
    const int index = m_formOfd ? m_formOfd->GetCurShowPageIndex() : -1;
    m_pageEdit->setText(index >= 0 ? QString::number(index + 1) : QString());
}

void OfdReadWidget::OnPageIndexChanged(FormOfd *, int)
{
    if (m_pageEdit && !m_pageEdit->hasFocus())
        ShowCurPageNum();
}

// ---------------------------------------------------------------------------------------------
// Tools

void OfdReadWidget::SetMouseShape(EN_MouseShape shape)
{
    for (QAbstractButton *button : qAsConst(m_cursorButtons)) {
        if (button->property("tag_hand").toString() == QLatin1String("true"))
            SetCheckedInGroup(button, shape == EN_MouseShape_Hand);
        else if (button->property("tag_text").toString() == QLatin1String("true"))
            SetCheckedInGroup(button, shape == EN_MouseShape_Text);
    }
    if (m_formOfd)
        m_formOfd->SetMouseShape(shape);
}

void OfdReadWidget::StartAnnot(EN_AnnotType type)
{
    m_annotState = 2;
    if (m_formOfd)
        m_formOfd->SetAnnot(type);
    SetMouseShape(EN_MouseShape_Annot);
}

void OfdReadWidget::ClearAnnotOperation()
{
    for (QAbstractButton *button : qAsConst(m_annotButtons)) {
        if (button->isChecked())
            SetCheckedInGroup(button, false);
    }
}

void OfdReadWidget::OnDrawAnnotEnd(FormOfd *, OfdVisualItemAnnot *)
{
    // A text box wants its text typed next; the other tools stay for the next stroke.
    if (m_formOfd && m_formOfd->GetAnnot() == EN_AnnotType_Text) {
        ClearAnnotOperation();
        m_annotState = 1;
        SetMouseShape(EN_MouseShape_Text);
    }
}

void OfdReadWidget::OnAnnotChanged(FormOfd *view, FormOfdPage *page)
{
    if (m_panels[3])
        ReaderPanels::RefreshAnnotPanel(m_panels[3], view, page);
}

void OfdReadWidget::ToggleVerifySeal()
{
    if (!m_formOfd)
        return;
    m_formOfd->ShowVerifySeal(m_verifyCount % 2 == 0);
    ++m_verifyCount;
}

QSharedPointer<OES_SealInfoEx> OfdReadWidget::GetSelectSeal()
{
    if (AppParam::AppStatus != 0) {
        // The seals of the provider, chosen in the selection dialog; nothing to choose from when
        // the provider cannot be loaded (the dialog has told the user).
        FormSealSelect dialog(this);
        if (dialog.IsProviderFailed() || dialog.exec() != QDialog::Accepted)
            return QSharedPointer<OES_SealInfoEx>();
        return dialog.GetSelectSeal();
    }
    // Edition 0 places a fixed sample seal.
    QSharedPointer<OES_SealInfoEx> seal(new OES_SealInfoEx);
    seal->sealId = QStringLiteral("123");
    seal->sealName = T("印章名称");
    seal->pictureType = QStringLiteral("png");
    seal->pictureWidth = 40;
    seal->pictureHeight = 40;
    QFile picture(QString::fromLatin1(kToolBarIcons) + QStringLiteral("seal_test.png"));
    if (picture.open(QIODevice::ReadOnly))
        seal->pictureData = picture.readAll();
    return seal;
}

void OfdReadWidget::PlaceSeal(bool ride)
{
    if (!m_formOfd)
        return;
    QSharedPointer<OES_SealInfoEx> seal = GetSelectSeal();
    if (!seal)
        return;
    if (ride)
        m_formOfd->OnRideSign(seal);
    else
        m_formOfd->ShowFreeSign(seal);
}

// ---------------------------------------------------------------------------------------------
// Search

void OfdReadWidget::SearchText(const QString &text)
{
    if (!m_formOfd)
        return;
    QPointer<FormOfd> view(m_formOfd);
    const int hits = m_formOfd->SearchText(text);
    // The tab may have closed, or a newer search taken over, while this one ran.
    if (!view || view != m_formOfd || view->GetSearchText() != text || view->IsSearching())
        return;
    if (text.isEmpty())
        ShowMessage(QDir::toNativeSeparators(GetFilePath()));
    else if (hits > 0)
        ShowMessage(T("找到 %1 处“%2”").arg(hits).arg(text));
    else
        ShowMessage(T("没有找到“%1”").arg(text));
}

void OfdReadWidget::ShowNextHit(bool backwards)
{
    if (!m_formOfd)
        return;
    const QString text = m_lineEditSearch->text().trimmed();
    // Without hits of the box's text yet, the key searches first.
    if (m_formOfd->GetSearchText() != text || m_formOfd->GetSearchHitTotal() == 0) {
        if (!text.isEmpty() && !m_formOfd->IsSearching())
            SearchText(text);
        return;
    }
    if (!m_formOfd->ShowNextHit(backwards))
        return;
    int page = -1;
    int hit = -1;
    m_formOfd->GetCurrentHit(page, hit);
    ShowMessage(T("第 %1 页，找到 %2 处“%3”").arg(page + 1).arg(m_formOfd->GetSearchHitTotal()).arg(text));
}

void OfdReadWidget::FocusSearchBox()
{
    if (m_topMenuWidget->isHidden())
        return;
    m_lineEditSearch->setFocus(Qt::ShortcutFocusReason);
    m_lineEditSearch->selectAll();
}

void OfdReadWidget::ShowMessage(const QString &text)
{
    m_messageLabel->setText(text);
}

// ---------------------------------------------------------------------------------------------
// Save, export, print, about

bool OfdReadWidget::SaveOfdFile(const QString &path)
{
    return SaveTo(path, false);
}

bool OfdReadWidget::SaveTo(const QString &path, bool signaturesConfirmed)
{
    if (!m_formOfd || path.isEmpty())
        return false;
    OfdViewManage *manage = m_formOfd->GetViewManage();
    const QList<OfdPageScene *> scenes = m_formOfd->GetPageSceneList();
    auto failed = [this](const QString &why) {
        QMessageBox::information(this, T("提示"),
                                 why.isEmpty() ? T("写入ofd文件失败！") : T("写入ofd文件失败！\n%1").arg(why),
                                 QMessageBox::Ok);
        return false;
    };
    QByteArray bytes;
    QByteArray digest = m_savedDigest;
    QStringList written; // package paths the save replaces, when it patches the package
    if (OfdPackagePatch::CanPatch(manage, 0)) {
        OfdPackagePatch patch(manage, 0);
        patch.SetPageScenes(scenes);
        if (!patch.Prepare())
            return failed(patch.GetError());
        const QList<OfdXmlSignature *> broken =
            OfdSignatureImpact::GetBrokenBy(manage->GetOfdFile(0), patch.GetReplacedPaths());
        if (!broken.isEmpty() && !signaturesConfirmed) {
            // Name the signatures the change breaks; saving under a new name keeps this file and
            // its signatures as they are.
            QStringList names;
            for (OfdXmlSignature *signature : broken)
                names << OfdSignatureImpact::Describe(signature);
            const bool overOpened =
                QFileInfo(path).canonicalFilePath() == QFileInfo(GetFilePath()).canonicalFilePath();
            QMessageBox box(QMessageBox::Question, T("保存"),
                            T("保存批注将使以下签章失效：\n%1").arg(names.join(QLatin1Char('\n'))) +
                                (overOpened ? T("\n\n另存为新文件可保留原文件及其签章。") : QString()),
                            QMessageBox::NoButton, this);
            box.setObjectName(QStringLiteral("signedSaveQuestion"));
            QPushButton *saveAs = overOpened ? box.addButton(T("另存为"), QMessageBox::AcceptRole) : nullptr;
            QPushButton *overwrite = box.addButton(T("仍然保存"), QMessageBox::DestructiveRole);
            QPushButton *cancel = box.addButton(T("取消"), QMessageBox::RejectRole);
            box.setDefaultButton(saveAs ? saveAs : cancel);
            box.setEscapeButton(cancel);
            box.exec();
            if (saveAs && box.clickedButton() == saveAs) {
                SaveAs();
                return false; // the opened file was not written
            }
            if (box.clickedButton() != overwrite)
                return false;
        }
        bytes = patch.GetZipData();
        if (bytes.isEmpty())
            return failed(patch.GetError());
        digest = patch.GetChangeDigest();
        written = patch.GetReplacedPaths();
    } else {
        OfdCreator creator;
        creator.SetOfd(manage, 0);
        creator.SetPageScenes(scenes);
        creator.SetOutputName(path);
        bytes = creator.GetFileData();
        if (bytes.isEmpty())
            return failed(T("无法生成文档内容"));
    }
    QString error;
    if (!OfdCreator::WriteFileAtomic(path, bytes, &error))
        return failed(error);
    m_savedDigest = digest;
    if (!written.isEmpty() &&
        QFileInfo(path).canonicalFilePath() == QFileInfo(GetFilePath()).canonicalFilePath()) {
        // The opened file now holds the changed parts: the signatures covering them are broken,
        // though the view still reads the bytes it opened.
        OfdSignatureImpact::MarkWritten(manage->GetOfdFile(0), written);
        ReaderPanels::RefreshSignaturePanel(m_panels[ReaderPanels::EN_Panel_Signature], m_formOfd);
        for (OfdPageScene *scene : scenes) {
            if (scene)
                scene->update();
        }
    }
    ShowMessage(T("已保存：") + path);
    return true;
}

bool OfdReadWidget::IsModified() const
{
    if (!m_formOfd)
        return false;
    OfdViewManage *manage = m_formOfd->GetViewManage();
    if (!OfdPackagePatch::CanPatch(manage, 0))
        return false;
    OfdPackagePatch patch(manage, 0);
    patch.SetPageScenes(m_formOfd->GetPageSceneList());
    // A change that cannot even be worked out is still unsaved work.
    return !patch.Prepare() || patch.GetChangeDigest() != m_savedDigest;
}

bool OfdReadWidget::ConfirmClose()
{
    if (!IsModified())
        return true;
    QMessageBox box(QMessageBox::Question, T("保存"),
                    T("“%1”中的批注尚未保存，是否保存？").arg(QFileInfo(GetFilePath()).fileName()),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("unsavedWorkQuestion"));
    QPushButton *save = box.addButton(T("保存"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(T("不保存"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(T("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveOfdFile(GetFilePath()) && !IsModified();
    return box.clickedButton() == discard;
}

void OfdReadWidget::Quit()
{
    // Inside the main window, closing it asks about the unsaved work of every tab.
    QWidget *top = window();
    if (top && top != this) {
        if (!top->close())
            return;
    } else if (!ConfirmClose()) {
        return;
    }
    QCoreApplication::exit(0);
}

QString OfdReadWidget::AppendSuffix(const QString &name, const QString &suffix)
{
    if (name.isEmpty() || name.endsWith(suffix))
        return name;
    return name + suffix;
}

void OfdReadWidget::SaveAs()
{
    if (!m_formOfd)
        return;
    const QFileInfo info(GetFilePath());
    const QString start = info.absoluteDir().filePath(info.completeBaseName());
    const QString name =
        QFileDialog::getSaveFileName(this, T("OFD另存为"), start, QStringLiteral("ofd(*.ofd)"));
    if (!name.isEmpty())
        SaveOfdFile(AppendSuffix(name, QStringLiteral(".ofd")));
}

void OfdReadWidget::ExportToImage()
{
    if (!m_formOfd)
        return;
    const QFileInfo info(GetFilePath());
    const QString name = QFileDialog::getSaveFileName(
        this, T("将OFD保存为图片"), info.absoluteDir().filePath(info.completeBaseName()), T("图片(*.png)"));
    if (!name.isEmpty())
        ExportToImageFile(name);
}

void OfdReadWidget::ExportToPdf()
{
    if (!m_formOfd)
        return;
    const QFileInfo info(GetFilePath());
    const QString name = QFileDialog::getSaveFileName(
        this, T("将OFD保存为PDF"), info.absoluteDir().filePath(info.completeBaseName()), T("PDF(*.pdf)"));
    if (!name.isEmpty())
        ExportToPdfFile(name);
}

void OfdReadWidget::ExportToImageFile(const QString &fileName)
{
    if (!m_formOfd || fileName.isEmpty())
        return;
    QString name = AppendSuffix(fileName, QStringLiteral(".png"));
    if (m_formOfd->SaveToImage(name, 0))
        Toast::ShowTip(this, T("已保存为图片"));
    else if (m_formOfd->IsExportCancelled())
        Toast::ShowTip(this, T("已取消导出，未写入任何图片"));
    else
        QMessageBox::information(this, T("提示"), T("保存图片失败！"), QMessageBox::Ok);
}

void OfdReadWidget::ExportToPdfFile(const QString &fileName)
{
    if (!m_formOfd || fileName.isEmpty())
        return;
    QString name = AppendSuffix(fileName, QStringLiteral(".pdf"));
    if (m_formOfd->SaveToPdf(name))
        Toast::ShowTip(this, T("已保存为PDF"));
    else if (m_formOfd->IsExportCancelled())
        Toast::ShowTip(this, T("已取消导出，未写入PDF文件"));
    else
        QMessageBox::information(this, T("提示"), T("保存PDF失败！"), QMessageBox::Ok);
}

void OfdReadWidget::ShowPrintDialog()
{
    if (!m_formOfd)
        return;
    // The previews and the job take the view's scenes page by page, built when needed.
    QPointer<FormOfd> view(m_formOfd);
    FormOfdPrint dialog(this);
    dialog.SetSceneProvider(
        m_formOfd->GetPageCount(),
        [view](int index) { return view ? view->GetPageRealSize(index) : QSizeF(); },
        [view](int index) { return view ? view->AcquireScene(index) : nullptr; });
    dialog.Init();
    dialog.ShowCurPageIndex(m_formOfd->GetCurShowPageIndex()); // "当前选中页" is the page shown
    dialog.exec();
}

void OfdReadWidget::ShowAbout()
{
    const QString version = T("版本 %1").arg(QStringLiteral("0.1.0"));
    const QString text = T("OFD 版式文档阅读器：阅读、批注、验章与导出。");
    if (AppParam::AppStatus == 1) {
        AppDialog dialog(this);
        dialog.SetTitle(T("关于"));
        auto *picture = new QLabel(&dialog);
        picture->setPixmap(QPixmap(QStringLiteral(":/ui/e/Resources/e/about.png")));
        picture->setAlignment(Qt::AlignCenter);
        auto *name = new QLabel(AppParam::GetAppDisplayName() + QLatin1Char('\n') + version, &dialog);
        name->setAlignment(Qt::AlignCenter);
        dialog.GetContentLayout()->addWidget(picture);
        dialog.GetContentLayout()->addWidget(name);
        dialog.exec();
    } else {
        AppAboutDialog dialog(this);
        dialog.SetInfo(QPixmap(QStringLiteral(":/ui/e/Resources/e/about-logo.png")),
                       AppParam::GetAppDisplayName(), version, text);
        dialog.exec();
    }
}

// ---------------------------------------------------------------------------------------------
// Side bar

int OfdReadWidget::GetLeftBarWidth() const
{
    return m_leftBarWidget->width();
}

void OfdReadWidget::SetLeftBarWidth(int width)
{
    m_leftBarWidget->setFixedWidth(width);
}

void OfdReadWidget::ShowLeftBar(bool open)
{
    // Remembered when the user opens or closes it, not when the tab closes.
    if (m_formOfd && ReaderViewState::IsEnabled())
        ReaderViewState::SetLeftBar(open, m_currentPanel);
    m_leftBarOpen = open;
    m_leftBarSecondColumnWidget->setVisible(open);
    if (!open && m_panelGroup->checkedButton())
        SetCheckedInGroup(m_panelGroup->checkedButton(), false);
    m_leftBarAnimation->stop();
    m_leftBarAnimation->setStartValue(GetLeftBarWidth());
    m_leftBarAnimation->setEndValue(open ? kLeftBarOpen : kLeftBarClosed);
    m_leftBarAnimation->start();
}

QWidget *OfdReadWidget::GetPanel(int panel) const
{
    return panel >= 0 && panel < ReaderPanels::EN_Panel_Count ? m_panels[panel] : nullptr;
}

void OfdReadWidget::ShowLeftPanel(int panel)
{
    if (panel < 0 || panel >= ReaderPanels::EN_Panel_Count)
        return;
    if (m_leftBarOpen && m_currentPanel == panel) {
        ShowLeftBar(false);
        return;
    }
    if (!m_formOfd) {
        SetCheckedInGroup(m_panelGroup->button(panel), false);
        return;
    }
    if (!m_panels[panel]) {
        QWidget *created = CreatePanel(panel);
        if (!created) {
            SetCheckedInGroup(m_panelGroup->button(panel), false);
            return;
        }
        const int index = m_stackedWidgetLeftBar->addWidget(created);
        created->setProperty(kPanelProperties[panel], index);
        m_panels[panel] = created;
    }
    m_currentPanel = panel;
    m_stackedWidgetLeftBar->setCurrentWidget(m_panels[panel]);
    m_panelGroup->button(panel)->setChecked(true);
    ShowLeftBar(true);
}

QWidget *OfdReadWidget::CreatePanel(int panel)
{
    return ReaderPanels::CreatePanel(panel, m_formOfd, m_stackedWidgetLeftBar,
                                     [this]() { ShowLeftBar(false); });
}
