// One run of the program in this process, on a program folder of its own:
// the four long-lived objects created in the entry's order, the main window
// shown (its first show runs the start-up), message boxes answered by a script
// and recorded. Ending the run closes the program as the entry does: the data
// module goes last and commits its transaction.
#pragma once

#include "app/application.h"
#include "ui/msgbox.h"

#include <QList>
#include <QString>
#include <QTest>

#include <functional>
#include <memory>

namespace Ui {
class TfmHaupt1;
}
class Program;
class TfmHaupt1;
class QListWidget;
class QTabWidget;
class QWidget;

class ProgramRun {
public:
    using Answer = std::function<MsgButton(const MessageBoxRequest &)>;

    // Without an answer every box gets its default button. With start false
    // the objects exist but the window shows only at Start().
    explicit ProgramRun(const QString &programFolder, Answer answer = {}, bool start = true);
    // The first show of the main window runs the start-up.
    void Start();
    TfmHaupt1 &window() const;
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    Ui::TfmHaupt1 &ui() const;
    // The boxes shown since the start or the last TakeBoxes, which also
    // forgets them.
    const QList<MessageBoxRequest> &Boxes() const { return boxes_; }
    QList<MessageBoxRequest> TakeBoxes();
    // The general error boxes ("Tintorel") among them, their texts only.
    static QStringList GeneralErrors(const QList<MessageBoxRequest> &boxes);

    // A user's steps: a button click, a row chosen with Enter in the search
    // page's list (false when no such row is listed), a click on a page's tab.
    void Click(QWidget *button) const;
    bool Choose(QListWidget *list, const QString &text) const;
    static void ClickTab(QTabWidget *pages, QWidget *page);
    // The texts of a list's rows.
    static QStringList Rows(const QListWidget *list);

private:
    QList<MessageBoxRequest> boxes_;
    std::unique_ptr<Program> program_;
};

// A full rebuild's first steps on the folder's database in a run of its
// own: schema, lookup tables and collections, every pair left pending.
// Returns the boxes shown from the start on.
QList<MessageBoxRequest> BuildLookupsAndCollections(const QString &programFolder);

// The test executables run on the program's own application object, so that
// an exception that leaves a handler ends up in the general error box.
#define TINTOREL_TEST_MAIN(TestClass)                \
    int main(int argc, char **argv)                  \
    {                                                \
        TApplication app(argc, argv);                \
        app.setAttribute(Qt::AA_Use96Dpi, true);     \
        TestClass test;                              \
        QTEST_SET_MAIN_SOURCE_PATH                   \
        return QTest::qExec(&test, argc, argv);      \
    }
