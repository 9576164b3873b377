#include "search/listloader.h"

#include "data/ib.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>

// One load under way: keeps the filling count and the wait popup right on
// every way out, an error or an abandoned load included.
class LoadRun {
public:
    LoadRun(ListLoader &loader, bool popup) : loader_(loader), generation_(++loader.generation_)
    {
        ++loader_.filling_;
        if (popup && loader_.waitPopup_) {
            loader_.waitPopup_->show();
            popupShown_ = true;
        }
    }
    ~LoadRun() { Finish(); }
    LoadRun(const LoadRun &) = delete;
    LoadRun &operator=(const LoadRun &) = delete;

    // Handles pending window messages; false when a newer load or a cancel
    // has taken over the lists meanwhile.
    bool Pump() const
    {
        QCoreApplication::processEvents();
        return generation_ == loader_.generation_;
    }

    // The lists are complete: hide the popup, choices may act again.
    void Finish()
    {
        if (popupShown_) {
            loader_.waitPopup_->hide();
            popupShown_ = false;
        }
        if (filling_) {
            --loader_.filling_;
            filling_ = false;
        }
    }

private:
    ListLoader &loader_;
    const int generation_;
    bool popupShown_ = false;
    bool filling_ = true;
};

namespace {

// Rows go into the lists in batches, and the window gets its messages
// between batches: often enough to repaint well within a tenth of a second,
// seldom enough that a long list costs hardly more than its fetch.
constexpr qint64 kPumpEveryMs = 25;

void Append(QListWidget *list, QStringList &batch)
{
    list->addItems(batch);
    batch.clear();
}

}  // namespace

void ListLoader::Run(TIBQuery &query, const ListStyle &style, QListWidget *names, QListWidget *ids)
{
    const auto clearLists = [names, ids] {
        names->clear();
        ids->clear();
    };
    if (style.clearBeforeOpen)
        clearLists();
    LoadRun run(*this, style.waitPopup);
    if (style.waitPopup && !run.Pump())
        return;
    query.OpenQuery();
    if (!style.clearBeforeOpen)
        clearLists();
    TField &name = query.ColumnByName(style.nameColumn);
    TField &id = query.ColumnByName(style.idColumn);
    QStringList nameBatch;
    QStringList idBatch;
    QElapsedTimer sincePump;
    sincePump.start();
    while (!query.AtEnd()) {
        nameBatch << name.AsString();
        idBatch << id.AsString();
        query.ToNextRow();
        if (sincePump.elapsed() < kPumpEveryMs)
            continue;
        Append(names, nameBatch);
        Append(ids, idBatch);
        if (!run.Pump())
            return;
        sincePump.restart();
    }
    Append(names, nameBatch);
    Append(ids, idBatch);
    run.Finish();
    if (style.pumpAfter)
        QCoreApplication::processEvents();
}
