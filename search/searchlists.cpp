#include "search/searchlists.h"

#include "data/ansi.h"
#include "data/ib.h"
#include "ui/fmWarten1.h"

#include <QCoreApplication>
#include <QListWidget>

#include <algorithm>

namespace {

// Bumped by every list load and every reset; see RunListLoad.
int g_loadGeneration = 0;
// Loads whose rows are still coming in.
int g_loadsFilling = 0;

// Keeps the count of filling loads and the wait popup right on every way out
// of a load, an error or an abandoned load included.
class LoadRun {
public:
    explicit LoadRun(bool popup) : generation_(++g_loadGeneration)
    {
        ++g_loadsFilling;
        if (popup) {
            fmWarten->show();
            popupShown_ = true;
        }
    }
    ~LoadRun()
    {
        Finish();
    }
    LoadRun(const LoadRun &) = delete;
    LoadRun &operator=(const LoadRun &) = delete;

    // Processes pending window messages; false when a newer load or a reset
    // has taken over the lists meanwhile.
    bool Pump() const
    {
        QCoreApplication::processEvents();
        return generation_ == g_loadGeneration;
    }

    // The lists are complete: hide the popup, choices may act again.
    void Finish()
    {
        if (popupShown_) {
            fmWarten->hide();
            popupShown_ = false;
        }
        if (filling_) {
            --g_loadsFilling;
            filling_ = false;
        }
    }

private:
    int generation_;
    bool popupShown_ = false;
    bool filling_ = true;
};

}  // namespace

QString TrimControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() < 33)
        ++first;
    while (last > first && text.at(last - 1).unicode() < 33)
        --last;
    return text.mid(first, last - first);
}

QString DoubleQuotes(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QStringList FilterFragment(const QString &typed, const QString &lead1, const QString &lead2)
{
    const QString text = TrimControls(typed);
    if (text.isEmpty())
        return {};
    const QString upper = TrimControls(AnsiUpperCase(typed));
    return {lead1 + DoubleQuotes(upper) + QStringLiteral("%'"),
            lead2 + DoubleQuotes(text) + QStringLiteral("%')")};
}

QString LabelCaption(const QString &name)
{
    QString out = name;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void SelectFirstRow(QListWidget *names)
{
    if (names->count() < 1)
        return;
    names->setCurrentRow(0);
    names->setFocus();
}

int ChosenRow(const QListWidget *names, const QListWidget *ids)
{
    if (g_loadsFilling > 0)
        return -1;
    const int rows = std::min(names->count(), ids->count());
    for (int i = 0; i < rows; ++i)
        if (names->item(i)->isSelected())
            return i;
    return -1;
}

void SetStatement(TIBQuery &query, const QStringList &lines)
{
    query.CloseQuery();
    query.ClearLines();
    for (const QString &line : lines)
        query.AddLine(line);
}

void RunListLoad(const ListLoad &load)
{
    const auto clearLists = [&load] {
        load.names->clear();
        load.ids->clear();
    };
    if (load.clearBeforeOpen)
        clearLists();
    LoadRun run(load.waitPopup);
    if (load.waitPopup && !run.Pump())
        return;
    load.query.OpenQuery();
    if (!load.clearBeforeOpen)
        clearLists();
    TField &name = load.query.ColumnByName(load.nameColumn);
    TField &id = load.query.ColumnByName(load.idColumn);
    while (!load.query.AtEnd()) {
        if (load.pumpEachRow && !run.Pump())
            return;
        load.names->addItem(name.AsString());
        load.ids->addItem(id.AsString());
        load.query.ToNextRow();
    }
    run.Finish();
    if (load.pumpAfter)
        QCoreApplication::processEvents();
}

void CancelListLoads()
{
    ++g_loadGeneration;
}
