#include "ui/fmHinweis1.h"

#include "data/fmdm1.h"
#include "data/sql.h"
#include "details/colour.h"
#include "ui/keys.h"
#include "ui_fmHinweis1.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TfmHinweis *fmHinweis = nullptr;

TfmHinweis::TfmHinweis(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TfmHinweis>())
{
    ui->setupUi(this);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(size());
    connect(ui->btnOk, &QPushButton::clicked, this, &TfmHinweis::btnOkClick);
}

TfmHinweis::~TfmHinweis() = default;

void TfmHinweis::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
    FormShow();
}

void TfmHinweis::FormShow()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, DisplayColor(WindowColour()));
    setPalette(palette);
    setAutoFillBackground(true);
    ui->mHinweis->clear();
    LoadNoticeText();
    ui->btnOk->setFocus();
}

void TfmHinweis::LoadNoticeText()
{
    TIBQuery &query = fmdm->qrFORMULADETAILS;
    SetStatement(query, {QStringLiteral("select * from FORMULADETAILS"),
                         QStringLiteral("where FORMULADETAILSKEY = ") + DetailKey});
    query.OpenQuery();
    query.ToFirstRow();
    // No row: the box stays empty.
    if (!query.AtEnd())
        ui->mHinweis->setPlainText(query.ColumnByName(QStringLiteral("FORMULADETAILSTEXT")).AsString());
}

void TfmHinweis::btnOkClick()
{
    done(1);
}

void TfmHinweis::FormKeyUp(int key)
{
    if (IsEnterKey(key))
        btnOkClick();
}

void TfmHinweis::keyPressEvent(QKeyEvent *event)
{
    // Enter acts when it comes up, so that its release does not reach the
    // main window; Escape does not close the dialog.
    if (IsEnterKey(event->key()) || event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TfmHinweis::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        FormKeyUp(event->key());
    QDialog::keyReleaseEvent(event);
}
