#include "ui/fmWarten1.h"

#include "ui_fmWarten1.h"

#include <QCoreApplication>
#include <QScreen>

TfmWarten *fmWarten = nullptr;

TfmWarten::TfmWarten(QWidget *parent)
    // A tool tip window is never activated: the focus stays in the main
    // window, which remains enabled.
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      ui(std::make_unique<Ui::TfmWarten>())
{
    ui->setupUi(this);
    setFixedSize(363, 72);
    setWindowOpacity(240.0 / 255);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TfmWarten::~TfmWarten() = default;

void TfmWarten::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TfmWarten::FormShow()
{
    QCoreApplication::processEvents();
}
