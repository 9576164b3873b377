// The main window. Its operations live in the subsystem folders: start-up and
// log in app/, the searches in search/, the detail display in details/, the
// master import in import/.
#pragma once

#include <QColor>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <vector>

#include "ui/ttimer.h"

namespace Ui {
class TfmHaupt1;
}

class QEvent;
class QObject;

// Display colour: red in bits 0-7, green 8-15, blue 16-23.
quint32 PackRGB(quint8 red, quint8 green, quint8 blue);
QColor DisplayColor(quint32 packed);

class TfmHaupt1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmHaupt1(QWidget *parent = nullptr);
    ~TfmHaupt1() override;

    std::unique_ptr<Ui::TfmHaupt1> ui;
    TTimer *tmSuchen;
    TTimer *tmRSuchen;

    // Start-up (app/startup.cpp).
    void FormShow();
    static bool GetIPAddresses(QStringList &list);
    // The program folder, without a trailing separator.
    static QString ProgramFolder();
    // Tests and helper programs run on a program folder of their own.
    static void SetProgramFolder(const QString &folder);

    // Log file (app/writelog.cpp).
    static void WriteLog(const QString &text);

    // Window (ui/fmHaupt.cpp).
    void PageControl1Change();
    // The application-wide hook: mouse wheel to arrow keys.
    bool ApplicationEvents1Message(QObject *target, QEvent *event);

    // Search lists and both directions (search/).
    void edSelProdKeyDown(int key);
    void edSelProdKeyUp(int key);
    void tmSuchenTimer();
    void lbSelKeyUp(int key);
    void lbSelDblClick();
    void bbDelProdClick();
    void bbDelKolClick();
    void bbDelFarbClick();
    void edRSelFarbKeyDown(int key);
    void edRSelFarbKeyUp(int key);
    void tmRSuchenTimer();
    void lbRSelKeyUp(int key);
    void lbRSelDblClick();
    void bbRDelFarbClick();
    void bbRDelAllClick();
    void bbRDelKolClick();
    void bbRDelProdClick();
    void pcSucheChange();

    // Details (details/).
    void BitBtn2Click();

    // Master import (import/).
    void btImportMasterClick();

    int SearchLevel = 0;
    quint32 WindowColor = 0;

    // Operations below are private in spirit; tests drive them directly.
    void ResetForwardSearch();
    void ResetBackwardSearch();
    void LoadProducts();
    void LoadCollections();
    void LoadShades();
    void LoadBackwardShades();
    void LoadBackwardCollections();
    void LoadBackwardProducts();
    void ClearDetailPanel();
    void ShowForwardCombination(int shadeId);
    void ShowBackwardCombination(int productId);

    void RecreateTables();
    void CreateTableRGBCOLORS();
    void CreateTableBASEN();
    void CreateTableFARBEN();
    void CreateTableKOLLEKTIONEN();
    void CreateTableKOMBIDATEN();
    void ProcessPendingMessages();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // A control that keeps its distances to the given edges of its parent
    // when the parent is resized; reference is the parent's size at the
    // window's first showing.
    struct Anchor {
        QWidget *control;
        Qt::Edges edges;
        QRect design;
        QSize reference;
    };
    void AnchorControls(QWidget *parent);
    std::vector<Anchor> anchors;
    bool formShown = false;
};

// The single instance, created first at start-up.
extern TfmHaupt1 *fmHaupt1;
