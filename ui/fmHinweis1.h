// The notice dialog: the full description of the formula notice on show.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TfmHinweis;
}

class TfmHinweis : public QDialog {
    Q_OBJECT
public:
    explicit TfmHinweis(QWidget *parent = nullptr);
    ~TfmHinweis() override;

    std::unique_ptr<Ui::TfmHinweis> ui;
    // Formula-details key (decimal text) of the notice last shown on the panel.
    QString DetailKey;

    void FormShow();
    void btnOkClick();
    void FormKeyUp(int key);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void LoadNoticeText();
};

// The single instance, created hidden at start-up.
extern TfmHinweis *fmHinweis;
