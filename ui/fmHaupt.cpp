#include "ui/fmHaupt.h"

#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"
#include "ui/importsession.h"
#include "ui/keys.h"
#include "ui/msgbox.h"
#include "ui_fmHaupt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QScreen>
#include <QWheelEvent>

TfmHaupt1 *fmHaupt1 = nullptr;

TfmHaupt1::TfmHaupt1(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TfmHaupt1>()), tmSuchen(new TTimer(this)),
      tmRSuchen(new TTimer(this))
{
    // The pictures live in a static library: register them explicitly.
    Q_INIT_RESOURCE(tintorel);
    ui->setupUi(this);
    SetUpControls();
    ConnectHandlers();
    AnchorControls();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // Sees every event of the program: the wheel hook, and the key and
    // double-click events of the search controls.
    qApp->installEventFilter(this);
}

void TfmHaupt1::SetUpControls()
{
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
    // Next to the status text: how far an import has come.
    pbImport = new QProgressBar(ui->sb1);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->setMaximumWidth(260);
    pbImport->hide();
    ui->sb1->addPermanentWidget(pbImport);
    btImportCancel = new QPushButton(QStringLiteral("Abbrechen"), ui->sb1);
    btImportCancel->setObjectName(QStringLiteral("btImportCancel"));
    btImportCancel->hide();
    ui->sb1->addPermanentWidget(btImportCancel);

    // Long lists: every row is one line of the same height.
    for (QListWidget *list : {ui->lbSel, ui->lbSelID, ui->lbRSel, ui->lbRSelID})
        list->setUniformItemSizes(true);

    for (QTabWidget *pages : {ui->PageControl1, ui->pcSuche})
        pages->tabBar()->setFocusPolicy(Qt::NoFocus);

    tmSuchen->setObjectName(QStringLiteral("tmSuchen"));
    tmRSuchen->setObjectName(QStringLiteral("tmRSuchen"));
    for (TTimer *timer : {tmSuchen, tmRSuchen})
        timer->setInterval(300);
}

void TfmHaupt1::ConnectHandlers()
{
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
}

void TfmHaupt1::AnchorControls()
{
    const Qt::Edges all = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    const Qt::Edges leftBottom = Qt::LeftEdge | Qt::BottomEdge;
    for (QWidget *control : std::initializer_list<QWidget *>{ui->PageControl1, ui->pcSuche, ui->pNavigation,
                                                              ui->lbSel, ui->lbRSel})
        anchors_.Add(control, all);
    for (QWidget *control : std::initializer_list<QWidget *>{ui->pBase, ui->pPG, ui->pFarbe, ui->pHinweis})
        anchors_.Add(control, leftBottom);
    anchors_.Add(ui->Panel1, Qt::RightEdge | Qt::BottomEdge);
}

TfmHaupt1::~TfmHaupt1()
{
    qApp->removeEventFilter(this);
}

void TfmHaupt1::Attach(Tfmdm &dm, TfmWarten &waitPopup, TfmHinweis &noticeDialog, WindowServices &services)
{
    dm_ = &dm;
    noticeDialog_ = &noticeDialog;
    services_ = &services;
    lists_ = std::make_unique<ListLoader>(&waitPopup);
    forward_ = std::make_unique<ForwardSearch>(
        dm,
        SearchControls{{ui->edSelProd, ui->edSelKol, ui->edSelFarb},
                       {ui->lbProdText, ui->lbKolText},
                       {ui->lbPID, ui->lbKID},
                       {ui->bbDelProd, ui->bbDelKol, ui->bbDelFarb},
                       ui->lbSel,
                       ui->lbSelID,
                       tmSuchen},
        *lists_);
    backward_ = std::make_unique<BackwardSearch>(
        dm,
        SearchControls{{ui->edRSelFarb, ui->edRSelKol, ui->edRSelProd},
                       {ui->lbRFarbText, ui->lbRKolText},
                       {ui->lbRFID, ui->lbRKID},
                       {ui->bbRDelFarb, ui->bbRDelKol, ui->bbRDelProd},
                       ui->lbRSel,
                       ui->lbRSelID,
                       tmRSuchen},
        *lists_);
    details_ = std::make_unique<DetailPanel>(dm,
                                             DetailControls{ui->edBase, ui->edPG, ui->mFarbton, ui->pHinweis,
                                                            ui->lbHinweis, ui->lbHinweis2, ui->pBase, ui->pPG,
                                                            ui->pFarbe, ui->lbWarning},
                                             noticeDialog.DetailKey);
    forward_->LastLevelChosen = [this](int id) { ShowForwardCombination(id); };
    backward_->LastLevelChosen = [this](int id) { ShowBackwardCombination(id); };
}

void TfmHaupt1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (formShown_)
        return;
    formShown_ = true;
    anchors_.Capture();
    FormShow();
}

// ---------------------------------------------------------------------------
// Start-up, log, pages, input

void TfmHaupt1::FormShow()
{
    services_->FormShow();
}

void TfmHaupt1::WriteLog(const QString &text)
{
    services_->WriteLog(text);
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
    if (event->type() == QEvent::Resize && watched->isWidgetType())
        anchors_.Apply(static_cast<QWidget *>(watched));
    else
        DispatchInput(watched, event);
    return false;
}

void TfmHaupt1::DispatchInput(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui->lbSel->viewport())
            lbSelDblClick();
        else if (watched == ui->lbRSel->viewport())
            lbRSelDblClick();
        return;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return;
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const bool down = event->type() == QEvent::KeyPress;
    // An auto-repeated key goes down again without coming up.
    if (!down && keyEvent->isAutoRepeat())
        return;
    const int key = keyEvent->key();
    if (watched == ui->edSelProd || watched == ui->edSelKol || watched == ui->edSelFarb)
        down ? edSelProdKeyDown(key) : edSelProdKeyUp(key);
    else if (watched == ui->edRSelFarb || watched == ui->edRSelKol || watched == ui->edRSelProd)
        down ? edRSelFarbKeyDown(key) : edRSelFarbKeyUp(key);
    else if (!down && watched == ui->lbSel)
        lbSelKeyUp(key);
    else if (!down && watched == ui->lbRSel)
        lbRSelKeyUp(key);
}

// ---------------------------------------------------------------------------
// Searches

void TfmHaupt1::edSelProdKeyDown(int)
{
    forward_->FilterKeyDown();
}

void TfmHaupt1::edSelProdKeyUp(int key)
{
    forward_->FilterKeyUp(IsEnterKey(key));
}

void TfmHaupt1::tmSuchenTimer()
{
    forward_->TimerExpired();
}

void TfmHaupt1::lbSelKeyUp(int key)
{
    if (IsEnterKey(key))
        lbSelDblClick();
}

void TfmHaupt1::lbSelDblClick()
{
    forward_->Choose();
}

void TfmHaupt1::bbDelProdClick()
{
    details_->Clear();
    ResetForwardSearch();
}

void TfmHaupt1::bbDelKolClick()
{
    forward_->ClearMiddleLevel();
}

void TfmHaupt1::bbDelFarbClick()
{
    forward_->ClearLastLevel();
}

void TfmHaupt1::ResetForwardSearch()
{
    forward_->Reset();
}

void TfmHaupt1::edRSelFarbKeyDown(int)
{
    backward_->FilterKeyDown();
}

void TfmHaupt1::edRSelFarbKeyUp(int key)
{
    backward_->FilterKeyUp(IsEnterKey(key));
}

void TfmHaupt1::tmRSuchenTimer()
{
    backward_->TimerExpired();
}

void TfmHaupt1::lbRSelKeyUp(int key)
{
    if (IsEnterKey(key))
        lbRSelDblClick();
}

void TfmHaupt1::lbRSelDblClick()
{
    backward_->Choose();
}

void TfmHaupt1::bbRDelFarbClick()
{
    details_->Clear();
    backward_->Reset();
}

void TfmHaupt1::bbRDelAllClick()
{
    bbRDelFarbClick();
}

void TfmHaupt1::bbRDelKolClick()
{
    backward_->ClearMiddleLevel();
}

void TfmHaupt1::bbRDelProdClick()
{
    backward_->ClearLastLevel();
}

void TfmHaupt1::pcSucheChange()
{
    details_->Clear();
    details_->HideWarning();
    // The page left behind must not reload, nor go on filling its list.
    forward_->StopTimer();
    backward_->StopTimer();
    lists_->Cancel();
    if (ui->pcSuche->currentWidget() == ui->tsRueck)
        backward_->Reset();
    else
        ResetForwardSearch();
}

int TfmHaupt1::SearchLevel() const
{
    return ui->pcSuche->currentWidget() == ui->tsRueck ? backward_->Level() : forward_->Level();
}

// ---------------------------------------------------------------------------
// Details

void TfmHaupt1::ShowForwardCombination(int shadeId)
{
    details_->ShowForwardCombination(forward_->ChosenId(0), forward_->ChosenId(1), shadeId);
}

void TfmHaupt1::ShowBackwardCombination(int productId)
{
    details_->ShowBackwardCombination(productId, backward_->ChosenId(1), backward_->ChosenId(0));
}

void TfmHaupt1::BitBtn2Click()
{
    noticeDialog_->exec();
}

// ---------------------------------------------------------------------------
// Import

void TfmHaupt1::btImportMasterClick()
{
    ImportSession::Run({*this, *lists_, *tmSuchen, *tmRSuchen, *dm_, *this, *btImportCancel,
                        [this] { return ending_; }, [this] { ImportEnded(); }});
}

void TfmHaupt1::EndProgram()
{
    ending_ = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    // A message box waiting for its answer ends too; none opens any more.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TfmHaupt1::Status(const QString &text)
{
    ui->sb1->showMessage(text);
}

void TfmHaupt1::Progress(const QString &step, int done, int total)
{
    const QString left = timeLeft_.Text(step, done, total);
    pbImport->setFormat(total <= 0   ? step
                        : left.isEmpty() ? step + QStringLiteral(": %v von %m")
                                         : step + QStringLiteral(": %v von %m, ") + left);
    pbImport->setRange(0, std::max(total, 1));
    pbImport->setValue(total > 0 ? done : 0);
    pbImport->show();
}

void TfmHaupt1::ImportEnded()
{
    // The entries after the last commit.
    FlushLog();
    pbImport->hide();
    timeLeft_ = StepTimeLeft();
}

bool TfmHaupt1::ProcessPendingMessages()
{
    QApplication::processEvents();
    return !ending_;
}

void TfmHaupt1::BringToFront()
{
    raise();
    activateWindow();
}

void TfmHaupt1::Log(const QString &text)
{
    WriteLog(text);
}

void TfmHaupt1::FlushLog()
{
    services_->FlushLog();
}

void TfmHaupt1::ShowError(const QString &text)
{
    ::ShowError(text);
}

void TfmHaupt1::ShowInformation(const QString &text)
{
    ::ShowInformation(text);
}

bool TfmHaupt1::Ask(const QString &question, bool yesByDefault)
{
    return ShowMessageBox(MsgKind::Warning, question, {MsgButton::Yes, MsgButton::No},
                          yesByDefault ? MsgButton::Yes : MsgButton::No, MsgButton::No) == MsgButton::Yes;
}
