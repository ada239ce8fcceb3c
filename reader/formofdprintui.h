#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QWidget>

#include "app/qthelper.h"

// Builds the widgets of the print dialog form into a widget, with their object names and texts.
class Ui_FormOfdPrint
{
public:
    QHBoxLayout *horizontalLayoutMain = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *scrollAreaWidgetContents = nullptr;
    QVBoxLayout *verticalLayoutPages = nullptr;
    QWidget *widgetSetting = nullptr;
    QGroupBox *groupBoxPrinter = nullptr;
    QLabel *labelPrinterName = nullptr;
    QComboBox *comboBoxPrinterName = nullptr;
    QGroupBox *groupBoxPaper = nullptr;
    QLabel *labelPaperSize = nullptr;
    QComboBox *comboBoxPaperSize = nullptr;
    QLabel *labelOrientation = nullptr;
    QComboBox *comboBoxOrientation = nullptr;
    QCheckBox *checkBoxFitToPage = nullptr;
    QGroupBox *groupBoxPrintRange = nullptr;
    QRadioButton *radioButtonPageRangAll = nullptr;
    QRadioButton *radioButtonPageRangeCur = nullptr;
    QRadioButton *radioButtonRangeSet = nullptr;
    QComboBox *comboBoxPageStart = nullptr;
    QLabel *labelTo = nullptr;
    QComboBox *comboBoxPageEnd = nullptr;
    QLabel *labelCopyCount = nullptr;
    QComboBox *comboBoxCopyCount = nullptr;
    QCheckBox *checkBoxPrintPageNum = nullptr;
    QCheckBox *checkBoxPrintByPageIndex = nullptr;
    QLabel *labelPrintType = nullptr;
    QPushButton *pushButtonOk = nullptr;
    QPushButton *pushButtonCancel = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("FormOfdPrint"));
        horizontalLayoutMain = new QHBoxLayout(form);
        horizontalLayoutMain->setObjectName(QStringLiteral("horizontalLayoutMain"));

        scrollArea = new QScrollArea(form);
        scrollArea->setObjectName(QStringLiteral("scrollArea"));
        scrollArea->setWidgetResizable(true);
        scrollArea->setStyleSheet(QStringLiteral("QScrollArea{background-color: rgb(226, 226, 226);}"));
        scrollAreaWidgetContents = new QWidget();
        scrollAreaWidgetContents->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
        scrollAreaWidgetContents->setStyleSheet(QStringLiteral("background-color: rgb(226, 226, 226);"));
        verticalLayoutPages = new QVBoxLayout(scrollAreaWidgetContents);
        verticalLayoutPages->setObjectName(QStringLiteral("verticalLayoutPages"));
        verticalLayoutPages->setSpacing(6);
        scrollArea->setWidget(scrollAreaWidgetContents);
        horizontalLayoutMain->addWidget(scrollArea, 1);

        widgetSetting = new QWidget(form);
        widgetSetting->setObjectName(QStringLiteral("widgetSetting"));
        widgetSetting->setFixedWidth(330);
        auto *settingLayout = new QVBoxLayout(widgetSetting);

        groupBoxPrinter = new QGroupBox(widgetSetting);
        groupBoxPrinter->setObjectName(QStringLiteral("groupBoxPrinter"));
        groupBoxPrinter->setTitle(QtHelper::fromString("打印机"));
        auto *printerLayout = new QHBoxLayout(groupBoxPrinter);
        labelPrinterName = new QLabel(QtHelper::fromString("名称:"), groupBoxPrinter);
        labelPrinterName->setObjectName(QStringLiteral("labelPrinterName"));
        comboBoxPrinterName = new QComboBox(groupBoxPrinter);
        comboBoxPrinterName->setObjectName(QStringLiteral("comboBoxPrinterName"));
        printerLayout->addWidget(labelPrinterName);
        printerLayout->addWidget(comboBoxPrinterName, 1);
        settingLayout->addWidget(groupBoxPrinter);

        groupBoxPaper = new QGroupBox(QtHelper::fromString("纸张"), widgetSetting);
        groupBoxPaper->setObjectName(QStringLiteral("groupBoxPaper"));
        auto *paperLayout = new QGridLayout(groupBoxPaper);
        labelPaperSize = new QLabel(QtHelper::fromString("纸张大小:"), groupBoxPaper);
        comboBoxPaperSize = new QComboBox(groupBoxPaper);
        comboBoxPaperSize->setObjectName(QStringLiteral("comboBoxPaperSize"));
        labelOrientation = new QLabel(QtHelper::fromString("方向:"), groupBoxPaper);
        comboBoxOrientation = new QComboBox(groupBoxPaper);
        comboBoxOrientation->setObjectName(QStringLiteral("comboBoxOrientation"));
        checkBoxFitToPage = new QCheckBox(QtHelper::fromString("适合纸张大小"), groupBoxPaper);
        checkBoxFitToPage->setObjectName(QStringLiteral("checkBoxFitToPage"));
        paperLayout->addWidget(labelPaperSize, 0, 0);
        paperLayout->addWidget(comboBoxPaperSize, 0, 1);
        paperLayout->addWidget(labelOrientation, 1, 0);
        paperLayout->addWidget(comboBoxOrientation, 1, 1);
        paperLayout->addWidget(checkBoxFitToPage, 2, 0, 1, 2);
        paperLayout->setColumnStretch(1, 1);
        settingLayout->addWidget(groupBoxPaper);

        groupBoxPrintRange = new QGroupBox(widgetSetting);
        groupBoxPrintRange->setObjectName(QStringLiteral("groupBoxPrintRange"));
        groupBoxPrintRange->setTitle(QtHelper::fromString("打印范围"));
        auto *rangeLayout = new QVBoxLayout(groupBoxPrintRange);
        radioButtonPageRangAll = new QRadioButton(QtHelper::fromString("所有页"), groupBoxPrintRange);
        radioButtonPageRangAll->setObjectName(QStringLiteral("radioButtonPageRangAll"));
        radioButtonPageRangAll->setChecked(true);
        radioButtonPageRangeCur = new QRadioButton(QtHelper::fromString("当前选中页"), groupBoxPrintRange);
        radioButtonPageRangeCur->setObjectName(QStringLiteral("radioButtonPageRangeCur"));
        radioButtonRangeSet = new QRadioButton(QtHelper::fromString("指定范围"), groupBoxPrintRange);
        radioButtonRangeSet->setObjectName(QStringLiteral("radioButtonRangeSet"));
        auto *rangeSetLayout = new QHBoxLayout();
        comboBoxPageStart = new QComboBox(groupBoxPrintRange);
        comboBoxPageStart->setObjectName(QStringLiteral("comboBoxPageStart"));
        labelTo = new QLabel(QtHelper::fromString("到"), groupBoxPrintRange);
        labelTo->setObjectName(QStringLiteral("labelTo"));
        comboBoxPageEnd = new QComboBox(groupBoxPrintRange);
        comboBoxPageEnd->setObjectName(QStringLiteral("comboBoxPageEnd"));
        rangeSetLayout->addWidget(radioButtonRangeSet);
        rangeSetLayout->addWidget(comboBoxPageStart, 1);
        rangeSetLayout->addWidget(labelTo);
        rangeSetLayout->addWidget(comboBoxPageEnd, 1);
        rangeLayout->addWidget(radioButtonPageRangAll);
        rangeLayout->addWidget(radioButtonPageRangeCur);
        rangeLayout->addLayout(rangeSetLayout);
        settingLayout->addWidget(groupBoxPrintRange);

        auto *copyLayout = new QHBoxLayout();
        labelCopyCount = new QLabel(QtHelper::fromString("打印份数"), widgetSetting);
        labelCopyCount->setObjectName(QStringLiteral("labelCopyCount"));
        comboBoxCopyCount = new QComboBox(widgetSetting);
        comboBoxCopyCount->setObjectName(QStringLiteral("comboBoxCopyCount"));
        copyLayout->addWidget(labelCopyCount);
        copyLayout->addWidget(comboBoxCopyCount, 1);
        settingLayout->addLayout(copyLayout);

        checkBoxPrintPageNum = new QCheckBox(QtHelper::fromString("打印页码"), widgetSetting);
        checkBoxPrintPageNum->setObjectName(QStringLiteral("checkBoxPrintPageNum"));
        checkBoxPrintByPageIndex = new QCheckBox(QtHelper::fromString("逐份打印"), widgetSetting);
        checkBoxPrintByPageIndex->setObjectName(QStringLiteral("checkBoxPrintByPageIndex"));
        labelPrintType = new QLabel(widgetSetting);
        labelPrintType->setObjectName(QStringLiteral("labelPrintType"));
        settingLayout->addWidget(checkBoxPrintPageNum);
        settingLayout->addWidget(checkBoxPrintByPageIndex);
        settingLayout->addWidget(labelPrintType);
        settingLayout->addStretch(1);

        auto *buttonLayout = new QHBoxLayout();
        buttonLayout->addStretch(1);
        pushButtonOk = new QPushButton(QtHelper::fromString("打印"), widgetSetting);
        pushButtonOk->setObjectName(QStringLiteral("pushButtonOk"));
        pushButtonCancel = new QPushButton(QtHelper::fromString("取消"), widgetSetting);
        pushButtonCancel->setObjectName(QStringLiteral("pushButtonCancel"));
        buttonLayout->addWidget(pushButtonOk);
        buttonLayout->addWidget(pushButtonCancel);
        settingLayout->addLayout(buttonLayout);

        horizontalLayoutMain->addWidget(widgetSetting);
    }
};
