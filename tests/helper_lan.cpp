// A second program for the shared-database tests: a process of its own with
// its own data module, started from a program folder, doing one job and
// telling what it saw on standard output, one line each:
//   database <name>       the database name the start-up chose
//   product <name>        every product listed after the start-up
//   ready                 the start-up is done
//   round <n> <shades>    search mode: one round over the products with the
//                         number of shades listed in it; rounds go on until
//                         STOPFILE exists (at least one)
//   box <caption>|<text>  every message box shown (CR LF as "\n")
// Usage: helper_lan FOLDER list | import | search STOPFILE
#include "app/application.h"
#include "data/fmdm1.h"
#include "support/programrun.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>

#include <cstdio>

namespace {

void Say(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// One round of the user's searching: every product, its first collection,
// that collection's shades; then back to the start. Returns the shades seen.
int SearchRound(ProgramRun &program)
{
    Ui::TfmHaupt1 &ui = program.ui();
    int shades = 0;
    program.Click(ui.bbDelAll);
    const QStringList products = ProgramRun::Rows(ui.lbSel);
    for (const QString &product : products) {
        program.Choose(ui.lbSel, product);
        if (ui.lbSel->count() > 0 && program.Choose(ui.lbSel, ui.lbSel->item(0)->text()))
            shades += ui.lbSel->count();
        program.Click(ui.bbDelAll);
    }
    return shades;
}

}  // namespace

int main(int argc, char **argv)
{
    TApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3) {
        Say(QStringLiteral("usage: helper_lan FOLDER list | import | search STOPFILE"));
        return 2;
    }
    const QString mode = arguments.at(2);
    int status = 0;
    {
        // The import's question is answered "&Nein": only the pending pairs.
        ProgramRun program(arguments.at(1), [](const MessageBoxRequest &request) {
            return request.buttons.contains(MsgButton::No) ? MsgButton::No : request.defaultButton;
        });
        Say(QStringLiteral("database ") + fmdm->ib1.DatabaseName);
        for (const QString &product : ProgramRun::Rows(program.ui().lbSel))
            Say(QStringLiteral("product ") + product);
        Say(QStringLiteral("ready"));
        if (mode == QLatin1String("import")) {
            program.Click(program.ui().btImportMaster);
        } else if (mode == QLatin1String("search") && arguments.size() > 3) {
            QElapsedTimer clock;
            clock.start();
            int round = 0;
            do
                Say(QStringLiteral("round %1 %2").arg(++round).arg(SearchRound(program)));
            while (!QFile::exists(arguments.at(3)) && clock.elapsed() < 300000);
        } else if (mode != QLatin1String("list")) {
            Say(QStringLiteral("unknown mode ") + mode);
            status = 2;
        }
        for (const MessageBoxRequest &box : program.TakeBoxes())
            Say(QStringLiteral("box ") + box.caption + QLatin1Char('|') +
                QString(box.text).replace(QStringLiteral("\r\n"), QStringLiteral("\\n")));
    }
    return status;
}
