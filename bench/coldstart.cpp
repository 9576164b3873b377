#include "coldstart.h"

#include "measure.h"

#include "app/program.h"
#include "search/backwardsearch.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <algorithm>
#include <memory>
#include <vector>

double ColdStart::Ratio() const
{
    return double(first) / double(std::max<qint64>(later, 1));
}

ColdStart ColdStarts(const QString &programFolder, int starts)
{
    std::vector<double> first, later, quit;
    for (int i = 0; i < starts; ++i) {
        auto program = std::make_unique<Program>(programFolder);
        TfmHaupt1 &window = program->Window();
        window.show();
        window.ui->pcSuche->setCurrentWidget(window.ui->tsRueck);
        window.ui->edRSelFarb->setText(QStringLiteral("a"));
        first.push_back(double(Timed([&] { window.Backward().Load(0); })));
        later.push_back(double(Timed([&] { window.Backward().Load(0); })));
        quit.push_back(double(Timed([&] {
            window.close();
            program.reset();
        })));
    }
    return {qint64(Median(first)), qint64(Median(later)), qint64(Median(quit))};
}
