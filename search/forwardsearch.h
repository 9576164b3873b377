// The forward search: product, then collection, then shade.
#pragma once

#include "search/searchdirection.h"

#include "data/ib.h"

class Tfmdm;

class ForwardSearch : public SearchDirection {
public:
    ForwardSearch(Tfmdm &dm, const SearchControls &controls, ListLoader &loader);

    // Every field emptied, nothing chosen, all products listed.
    void Reset() override;

protected:
    const LevelList &List(int level) const override { return lists_[level]; }
    QStringList Head(int level) const override;

private:
    TIBQuery collections_;
    TIBQuery shades_;
    std::array<LevelList, 3> lists_;
};
