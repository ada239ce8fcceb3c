#include "reader/readwidget.h"

ReadWidget::ReadWidget(QWidget *parent) : QMainWindow(parent)
{
    setWindowFlags(Qt::Widget); // lives inside a tab, not as a window of its own
}
