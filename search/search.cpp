// Placeholder bodies: replaced by the search lists and both search directions.
#include "ui/fmHaupt.h"

void TfmHaupt1::edSelProdKeyDown(int) {}
void TfmHaupt1::edSelProdKeyUp(int) {}
void TfmHaupt1::tmSuchenTimer() {}
void TfmHaupt1::lbSelKeyUp(int) {}
void TfmHaupt1::lbSelDblClick() {}
void TfmHaupt1::bbDelProdClick() {}
void TfmHaupt1::bbDelKolClick() {}
void TfmHaupt1::bbDelFarbClick() {}
void TfmHaupt1::edRSelFarbKeyDown(int) {}
void TfmHaupt1::edRSelFarbKeyUp(int) {}
void TfmHaupt1::tmRSuchenTimer() {}
void TfmHaupt1::lbRSelKeyUp(int) {}
void TfmHaupt1::lbRSelDblClick() {}
void TfmHaupt1::bbRDelFarbClick() {}
void TfmHaupt1::bbRDelAllClick() {}
void TfmHaupt1::bbRDelKolClick() {}
void TfmHaupt1::bbRDelProdClick() {}
void TfmHaupt1::pcSucheChange() {}
void TfmHaupt1::ResetForwardSearch() {}
void TfmHaupt1::ResetBackwardSearch() {}
void TfmHaupt1::LoadProducts() {}
void TfmHaupt1::LoadCollections() {}
void TfmHaupt1::LoadShades() {}
void TfmHaupt1::LoadBackwardShades() {}
void TfmHaupt1::LoadBackwardCollections() {}
void TfmHaupt1::LoadBackwardProducts() {}
