// The wait popup shown while a search list loads.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfmWarten;
}

class TfmWarten : public QWidget {
    Q_OBJECT
public:
    explicit TfmWarten(QWidget *parent = nullptr);
    ~TfmWarten() override;

    std::unique_ptr<Ui::TfmWarten> ui;

    // Lets the popup paint before the caller blocks in its query.
    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;
};

// The single instance, created hidden at start-up.
extern TfmWarten *fmWarten;
