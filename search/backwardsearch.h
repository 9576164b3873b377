// The backward search: shade, then collection, then product.
#pragma once

#include "search/searchdirection.h"

#include "data/ib.h"

class Tfmdm;

class BackwardSearch : public SearchDirection {
public:
    BackwardSearch(Tfmdm &dm, const SearchControls &controls, ListLoader &loader);

    // Every field emptied, nothing chosen, the list empty: the shade list is
    // never loaded without a shade filter.
    void Reset() override;

protected:
    const LevelList &List(int level) const override { return lists_[level]; }
    QStringList Head(int level) const override;
    // The shade field, whichever field took the key: at the later levels it
    // holds the chosen shade.
    bool MayReload() const override;

private:
    TIBQuery collections_;
    TIBQuery products_;
    std::array<LevelList, 3> lists_;
};
