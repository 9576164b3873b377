#include "support/programrun.h"

#include "app/program.h"
#include "data/fmdm1.h"
#include "import/masterimport.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <stdexcept>

ProgramRun::ProgramRun(const QString &programFolder, Answer answer, bool start)
{
    if (fmHaupt1 || fmdm)
        throw std::logic_error("a program run is already going in this process");
    SetMessageBoxHook([this, answer](const MessageBoxRequest &request) {
        boxes_ << request;
        return answer ? answer(request) : request.defaultButton;
    });
    program_ = std::make_unique<Program>(programFolder);
    if (start)
        Start();
}

void ProgramRun::Start()
{
    fmHaupt1->show();
    fmHaupt1->activateWindow();
}

TfmHaupt1 &ProgramRun::window() const
{
    return program_->Window();
}

ProgramRun::~ProgramRun()
{
    program_.reset();  // the data module last: its transaction commits
    SetMessageBoxHook({});
}

Ui::TfmHaupt1 &ProgramRun::ui() const
{
    return *fmHaupt1->ui;
}

QList<MessageBoxRequest> ProgramRun::TakeBoxes()
{
    return std::exchange(boxes_, {});
}

QStringList ProgramRun::GeneralErrors(const QList<MessageBoxRequest> &boxes)
{
    QStringList texts;
    for (const MessageBoxRequest &box : boxes)
        if (box.kind == MsgKind::General)
            texts << box.text;
    return texts;
}

void ProgramRun::Click(QWidget *button) const
{
    QTest::mouseClick(button, Qt::LeftButton);
}

bool ProgramRun::Choose(QListWidget *list, const QString &text) const
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->setCurrentItem(found.first());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    return true;
}

void ProgramRun::ClickTab(QTabWidget *pages, QWidget *page)
{
    QTabBar *bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->indexOf(page)).center());
}

QStringList ProgramRun::Rows(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

QList<MessageBoxRequest> BuildLookupsAndCollections(const QString &programFolder)
{
    ProgramRun program(programFolder);
    MasterImport import(*fmdm, *fmHaupt1);
    import.RecreateTables();
    import.CreateTableRGBCOLORS();
    import.CreateTableBASEN();
    import.CreateTableFARBEN();
    import.CreateTableKOLLEKTIONEN();
    return program.TakeBoxes();
}
