#include "ui/fmHaupt.h"

#include "app/application.h"
#include "ui_fmHaupt.h"

#include <QKeyEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QWheelEvent>

TfmHaupt1 *fmHaupt1 = nullptr;

quint32 PackRGB(quint8 red, quint8 green, quint8 blue)
{
    return quint32(blue) * 65536 + quint32(green) * 256 + red;
}

QColor DisplayColor(quint32 packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

TfmHaupt1::TfmHaupt1(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TfmHaupt1>()), tmSuchen(new TTimer(this)),
      tmRSuchen(new TTimer(this))
{
    // The pictures live in the static library: register them explicitly.
    Q_INIT_RESOURCE(tintorel);
    ui->setupUi(this);

    // A label reads "&&" as one "&" only with mnemonics on, which a buddy
    // turns on; the name labels get their level's field.
    ui->lbProdText->setBuddy(ui->edSelProd);
    ui->lbKolText->setBuddy(ui->edSelKol);
    ui->lbRFarbText->setBuddy(ui->edRSelFarb);
    ui->lbRKolText->setBuddy(ui->edRSelKol);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    setFont(font);

    // The status bar keeps the face colour when the window turns blue.
    QPalette face = ui->sb1->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Window));
    ui->sb1->setPalette(face);
    ui->sb1->setAutoFillBackground(true);

    for (QTabWidget *pages : {ui->PageControl1, ui->pcSuche})
        pages->tabBar()->setFocusPolicy(Qt::NoFocus);

    tmSuchen->setObjectName(QStringLiteral("tmSuchen"));
    tmRSuchen->setObjectName(QStringLiteral("tmRSuchen"));
    for (TTimer *timer : {tmSuchen, tmRSuchen})
        timer->setInterval(300);
    connect(tmSuchen, &QTimer::timeout, this, &TfmHaupt1::tmSuchenTimer);
    connect(tmRSuchen, &QTimer::timeout, this, &TfmHaupt1::tmRSuchenTimer);

    connect(ui->bbDelProd, &QPushButton::clicked, this, &TfmHaupt1::bbDelProdClick);
    connect(ui->bbDelAll, &QPushButton::clicked, this, &TfmHaupt1::bbDelProdClick);
    connect(ui->bbDelKol, &QPushButton::clicked, this, &TfmHaupt1::bbDelKolClick);
    connect(ui->bbDelFarb, &QPushButton::clicked, this, &TfmHaupt1::bbDelFarbClick);
    connect(ui->bbRDelFarb, &QPushButton::clicked, this, &TfmHaupt1::bbRDelFarbClick);
    connect(ui->bbRDelAll, &QPushButton::clicked, this, &TfmHaupt1::bbRDelAllClick);
    connect(ui->bbRDelKol, &QPushButton::clicked, this, &TfmHaupt1::bbRDelKolClick);
    connect(ui->bbRDelProd, &QPushButton::clicked, this, &TfmHaupt1::bbRDelProdClick);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TfmHaupt1::BitBtn2Click);
    connect(ui->btImportMaster, &QPushButton::clicked, this, &TfmHaupt1::btImportMasterClick);
    // The start-up switches pages with these signals blocked.
    connect(ui->pcSuche, &QTabWidget::currentChanged, this, &TfmHaupt1::pcSucheChange);
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TfmHaupt1::PageControl1Change);

    const Qt::Edges all = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    const Qt::Edges leftBottom = Qt::LeftEdge | Qt::BottomEdge;
    const std::initializer_list<std::pair<QWidget *, Qt::Edges>> anchored{
        {ui->PageControl1, all},
        {ui->Panel1, Qt::RightEdge | Qt::BottomEdge},
        {ui->pcSuche, all},
        {ui->pNavigation, all},
        {ui->pBase, leftBottom},
        {ui->pPG, leftBottom},
        {ui->pFarbe, leftBottom},
        {ui->pHinweis, leftBottom},
        {ui->lbSel, all},
        {ui->lbRSel, all},
    };
    for (const auto &[control, edges] : anchored)
        anchors.push_back({control, edges, control->geometry(), QSize()});

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // Sees every event of the program: the wheel hook, and the key and
    // double-click events of the search controls.
    qApp->installEventFilter(this);
}

TfmHaupt1::~TfmHaupt1()
{
    qApp->removeEventFilter(this);
}

void TfmHaupt1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (formShown)
        return;
    formShown = true;
    for (Anchor &anchor : anchors) {
        // A tab page that was never shown takes the size of its page area.
        QWidget *parent = anchor.control->parentWidget();
        const auto *stack = qobject_cast<QStackedWidget *>(parent->parentWidget());
        anchor.reference = stack ? stack->size() : parent->size();
    }
    try {
        FormShow();
    } catch (...) {
        ShowCurrentException();
    }
}

void TfmHaupt1::AnchorControls(QWidget *parent)
{
    for (const Anchor &anchor : anchors) {
        if (anchor.control->parentWidget() != parent || !anchor.reference.isValid())
            continue;
        const int dw = parent->width() - anchor.reference.width();
        const int dh = parent->height() - anchor.reference.height();
        QRect place = anchor.design;
        if (anchor.edges & Qt::RightEdge) {
            if (anchor.edges & Qt::LeftEdge)
                place.setWidth(place.width() + dw);
            else
                place.translate(dw, 0);
        }
        if (anchor.edges & Qt::BottomEdge) {
            if (anchor.edges & Qt::TopEdge)
                place.setHeight(place.height() + dh);
            else
                place.translate(0, dh);
        }
        anchor.control->setGeometry(place);
    }
}

void TfmHaupt1::PageControl1Change()
{
    ui->pNavigation->setVisible(ui->PageControl1->currentWidget() == ui->tsDetails);
}

bool TfmHaupt1::ApplicationEvents1Message(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    // A horizontal wheel or a scroll phase without distance is no turn of
    // the vertical wheel.
    const int distance = static_cast<QWheelEvent *>(event)->angleDelta().y();
    if (distance == 0)
        return false;
    // One arrow key per wheel event, whatever the distance, and no release.
    if (QWidget *focus = QApplication::focusWidget()) {
        QKeyEvent key(QEvent::KeyPress, distance > 0 ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(focus, &key);
    }
    return true;
}

bool TfmHaupt1::eventFilter(QObject *watched, QEvent *event)
{
    if (ApplicationEvents1Message(watched, event))
        return true;
    switch (event->type()) {
    case QEvent::Resize:
        if (watched->isWidgetType())
            AnchorControls(static_cast<QWidget *>(watched));
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const bool down = event->type() == QEvent::KeyPress;
        // An auto-repeated key goes down again without coming up.
        if (!down && keyEvent->isAutoRepeat())
            break;
        const int key = keyEvent->key();
        if (watched == ui->edSelProd || watched == ui->edSelKol || watched == ui->edSelFarb)
            down ? edSelProdKeyDown(key) : edSelProdKeyUp(key);
        else if (watched == ui->edRSelFarb || watched == ui->edRSelKol || watched == ui->edRSelProd)
            down ? edRSelFarbKeyDown(key) : edRSelFarbKeyUp(key);
        else if (!down && watched == ui->lbSel)
            lbSelKeyUp(key);
        else if (!down && watched == ui->lbRSel)
            lbRSelKeyUp(key);
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == ui->lbSel->viewport())
            lbSelDblClick();
        else if (watched == ui->lbRSel->viewport())
            lbRSelDblClick();
        break;
    default:
        break;
    }
    return false;
}
