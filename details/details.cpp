// Placeholder bodies: replaced by the combination detail display.
#include "ui/fmHaupt.h"

void TfmHaupt1::BitBtn2Click() {}
void TfmHaupt1::ClearDetailPanel() {}
void TfmHaupt1::ShowForwardCombination(int) {}
void TfmHaupt1::ShowBackwardCombination(int) {}
